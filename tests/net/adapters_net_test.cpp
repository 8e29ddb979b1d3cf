// The adapter list and the route probe against the system, inside the test run's private network
// namespace, where the loopback interface is the only one and its address is the only target.
#include <gtest/gtest.h>

#include <string>

#include "net/adapters.h"
#include "net/socket.h"

namespace calbrin {
namespace {

const AdapterEntry* FindByAddress(const AdapterTable& table, std::string_view address) {
  for (int i = 0; i < table.count; ++i) {
    if (table.entries[static_cast<std::size_t>(i)].address == address) {
      return &table.entries[static_cast<std::size_t>(i)];
    }
  }
  return nullptr;
}

TEST(FillAdapterTable, ListsTheLoopbackAdapterWithItsMask) {
  AdapterTable table;
  ASSERT_EQ(FillAdapterTable(table), 1);
  ASSERT_GE(table.count, 1);
  ASSERT_LE(table.count, AdapterTable::kCapacity);
  const AdapterEntry* loopback = FindByAddress(table, "127.0.0.1");
  ASSERT_NE(loopback, nullptr);
  EXPECT_EQ(loopback->prefixLength, 8);
  EXPECT_EQ(loopback->mask, "255.0.0.0");
  EXPECT_FALSE(loopback->name.empty());
  EXPECT_LE(loopback->name.size(), 511u);
}

TEST(FillAdapterTable, EntriesAreConsistentAndNoneIsSelected) {
  AdapterTable table;
  ASSERT_EQ(FillAdapterTable(table), 1);
  for (int i = 0; i < table.count; ++i) {
    const AdapterEntry& entry = table.entries[static_cast<std::size_t>(i)];
    SCOPED_TRACE(entry.name);
    EXPECT_EQ(entry.selected, 0);
    if (entry.address.empty()) {
      EXPECT_EQ(entry.mask, "");
      EXPECT_EQ(entry.prefixLength, 0);
    } else {
      std::uint32_t parsed = 0;
      EXPECT_TRUE(ParseIpv4(entry.address, parsed));
      EXPECT_GE(entry.prefixLength, 0);
      EXPECT_LE(entry.prefixLength, 32);
      EXPECT_EQ(entry.mask, MaskText(entry.prefixLength));
    }
  }
}

TEST(FillAdapterTable, ReplacesEarlierContents) {
  AdapterTable table;
  for (AdapterEntry& entry : table.entries) {
    entry.selected = 1;
    entry.name = "stale";
    entry.address = "10.9.9.9";
    entry.prefixLength = 16;
    entry.mask = "255.255.0.0";
  }
  table.count = AdapterTable::kCapacity;
  ASSERT_EQ(FillAdapterTable(table), 1);
  EXPECT_EQ(SelectedAdapter(table), nullptr);
  EXPECT_EQ(FindByAddress(table, "10.9.9.9"), nullptr);
  EXPECT_NE(FindByAddress(table, "127.0.0.1"), nullptr);
  for (int i = table.count; i < AdapterTable::kCapacity; ++i) {
    EXPECT_EQ(table.entries[static_cast<std::size_t>(i)].selected, 0);
    EXPECT_EQ(table.entries[static_cast<std::size_t>(i)].name, "");
  }
}

TEST(ProbeLocalAddress, GivesTheLocalAddressOfTheRoute) {
  EXPECT_EQ(ProbeLocalAddress("127.0.0.9"), "127.0.0.1");
}

TEST(ProbeLocalAddress, TextThatIsNoAddressGivesNothing) {
  EXPECT_EQ(ProbeLocalAddress(""), "");
  EXPECT_EQ(ProbeLocalAddress("127.0.0"), "");
  EXPECT_EQ(ProbeLocalAddress("127.0.0.256"), "");
  EXPECT_EQ(ProbeLocalAddress("localhost"), "");
}

TEST(ProbeLocalAddress, ClosesItsSocketOnSuccessAndOnFailure) {
  // A freed socket handle is the next one given out, so a probe that kept its socket open would
  // make the second socket here differ from the first.
  const SocketSystem system;
  ASSERT_TRUE(system.Started());
  int error = 0;
  const SocketHandle before = OpenUdpSocket(error);
  ASSERT_NE(before, kInvalidSocket) << error;
  CloseSocket(before);
  EXPECT_EQ(ProbeLocalAddress("127.0.0.9"), "127.0.0.1");
  EXPECT_EQ(ProbeLocalAddress("not an address"), "");
  const SocketHandle after = OpenUdpSocket(error);
  ASSERT_NE(after, kInvalidSocket) << error;
  CloseSocket(after);
  EXPECT_EQ(after, before);
}

TEST(ProbeLocalAddress, SelectsTheLoopbackAdapterInTheListedTable) {
  AdapterTable table;
  ASSERT_EQ(FillAdapterTable(table), 1);
  SelectInitialAdapter(table, ProbeLocalAddress("127.0.0.9"));
  const AdapterEntry* selected = SelectedAdapter(table);
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(selected->address, "127.0.0.1");
  EXPECT_EQ(selected->mask, "255.0.0.0");
}

}  // namespace
}  // namespace calbrin
