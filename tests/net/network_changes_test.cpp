// The temporary network changes against the kernel, on a veth pair in the test's private network
// namespace (which ends with the test): each change as the kernel then holds it, read back with
// `ip`, and each change refused without rights, leaving what it would change as it was.
#include "net/network_changes.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace calbrin {

using enum ChangeStatus;

// Whether the neighbours, routes or addresses, as `ip` shows them, match `pattern`.
static bool Holds(const std::string& pattern) {
  return std::system(("(ip -4 n; ip -4 r; ip -4 a) | grep -q '" + pattern + "'").c_str()) == 0;
}

constexpr MacBytes kMacA{2, 0, 0, 0, 0, 0xaa}, kMacB{2, 0, 0, 0, 0, 0xbb};
// A change, its status, and a pattern that the kernel's tables then match (or not).
const std::tuple<ChangeResult (*)(int), ChangeStatus, const char*, bool> kCases[] = {
    {[](int a) { return PinNeighbour(a, "192.0.2.9", kMacA); }, kDone, "9 .*:aa PERMANENT", true},
    {[](int a) { return PinNeighbour(a, "192.0.2.9", kMacB); }, kDone, "9 .*:bb PERMANENT", true},
    {[](int a) { return RemoveNeighbour(a, "192.0.2.9"); }, kDone, "lladdr", false},
    {[](int a) { return AddHostRoute(a, "198.51.100.9", "192.0.2.1"); }, kDone,
     "^198.51.100.9 dev cb0 scope link src 192.0.2.1", true},
    {[](int a) { return AddHostRoute(a, "198.51.100.9", "192.0.2.1"); }, kExists, "", true},
    {[](int a) { return RemoveHostRoute(a, "198.51.100.9"); }, kDone, "^198.51.100.9", false},
    // The address is there (its removal succeeds), but no route to its prefix.
    {[](int a) { return AddLocalAddress(a, "198.51.100.1", 24, true); }, kDone, "100.0/24", false},
    {[](int a) { return RemoveLocalAddress(a, "198.51.100.1", 24); }, kDone, "100.1/24", false},
    {[](int a) { return SetDefaultGateway(a, "192.0.2.254"); }, kDone, "via 192.0.2.254", true},
    {[](int a) { return SetDefaultGateway(a, ""); }, kDone, "default via", false},
};

TEST(NetworkChanges, EachChangeIsWhatTheKernelHoldsAndNeedsRights) {
  if (std::system("ip link add cb0 up type veth peer cb1 address 2:0:0:0:0:2 && ip link set cb1 "
                  "up && ip addr add 192.0.2.1/24 dev cb0 && ip addr add 192.0.2.2/32 dev cb1"))
    GTEST_SKIP() << "no `ip` or no rights to create a veth pair";
  const int adapter = InterfaceIndexNamed("cb0");
  EXPECT_EQ(InterfaceIndexOf("192.0.2.1"), adapter);
  // The peer answers ARP for its own address, as a device does; nobody has 192.0.2.99.
  EXPECT_EQ(ProbeAddress(adapter, "192.0.2.2", 2000), (MacBytes{2, 0, 0, 0, 0, 2}));
  EXPECT_EQ(ProbeAddress(adapter, "192.0.2.99", 300), std::nullopt);
  for (const auto& [change, status, pattern, held] : kCases) {
    // First in a child that has given up CAP_NET_ADMIN, as an unprivileged process lacks it.
    const bool before = Holds(pattern);
    if (::fork() == 0) {
      __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
      __user_cap_data_struct caps[2]{};
      ::syscall(SYS_capget, &header, caps);
      caps[0].effective &= ~(1u << CAP_NET_ADMIN);
      ::_exit(::syscall(SYS_capset, &header, caps) ? 9 : int(change(adapter).status));
    }
    int refused = -1;
    ::wait(&refused);
    EXPECT_EQ(WEXITSTATUS(refused), int(kNoRights)) << "not refused without rights: " << pattern;
    EXPECT_EQ(Holds(pattern), before) << "changed without rights: " << pattern;
    EXPECT_EQ(change(adapter).status, status) << pattern;
    EXPECT_EQ(Holds(pattern), held) << pattern;
  }
}

}  // namespace calbrin
