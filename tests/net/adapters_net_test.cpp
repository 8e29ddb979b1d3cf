// The adapter list and the route probe against the system, inside the test run's private network
// namespace, where the loopback interface is the only one and its address is the only target.
#include <gtest/gtest.h>

#include <string>

#include "net/adapters.h"
#include "net/socket.h"

namespace calbrin {
namespace {

TEST(FillAdapterTable, ReplacesTheTableWithTheSystemsAdapters) {
  AdapterTable table;
  for (AdapterEntry& entry : table.entries)
    entry = {1, "stale", "10.9.9.9", 16, "255.255.0.0"};
  table.count = AdapterTable::kCapacity;
  ASSERT_EQ(FillAdapterTable(table), 1);
  ASSERT_GE(table.count, 1);
  int loopbacks = 0;
  for (int i = 0; i < AdapterTable::kCapacity; ++i) {
    const AdapterEntry& entry = table.entries[static_cast<std::size_t>(i)];
    EXPECT_EQ(entry.selected, 0);
    EXPECT_NE(entry.address, "10.9.9.9");
    EXPECT_TRUE(i < table.count || entry.name.empty());
    EXPECT_EQ(entry.mask, entry.address.empty() ? "" : MaskText(entry.prefixLength));
    if (entry.address != "127.0.0.1") continue;
    ++loopbacks;
    EXPECT_EQ(entry.mask, "255.0.0.0");
    EXPECT_FALSE(entry.name.empty());
  }
  EXPECT_EQ(loopbacks, 1);
  SelectInitialAdapter(table, ProbeLocalAddress("127.0.0.9"));
  ASSERT_NE(SelectedAdapter(table), nullptr);
  EXPECT_EQ(SelectedAdapter(table)->address, "127.0.0.1");
}

TEST(ProbeLocalAddress, GivesTheRoutesLocalAddressAndClosesItsSocket) {
  // A freed socket handle is the next one given out, so a probe that kept its socket open would
  // make the second socket here differ from the first.
  const SocketSystem system;
  int error = 0;
  const SocketHandle before = OpenUdpSocket(error);
  CloseSocket(before);
  EXPECT_EQ(ProbeLocalAddress("127.0.0.9"), "127.0.0.1");
  for (const std::string_view text : {"", "127.0.0", "127.0.0.256", "localhost"})
    EXPECT_EQ(ProbeLocalAddress(text), "") << text;
  const SocketHandle after = OpenUdpSocket(error);
  CloseSocket(after);
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace calbrin
