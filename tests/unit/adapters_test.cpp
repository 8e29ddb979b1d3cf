// Subnet masks and membership, the adapter selected at start-up and the local address that searches
// and connections leave from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/adapters.h"
#include "net/subnet.h"

namespace calbrin {
namespace {

AdapterTable Table(const std::vector<std::string>& addresses) {
  AdapterTable table;
  for (const std::string& address : addresses)
    table.entries[static_cast<std::size_t>(table.count++)].address = address;
  return table;
}

// The index of the selected entry, or -1; fails when more than one entry is selected.
int SelectedIndex(const AdapterTable& table) {
  int selected = -1, count = 0;
  for (int i = 0; i < AdapterTable::kCapacity; ++i) {
    if (table.entries[static_cast<std::size_t>(i)].selected != 0) selected = i, ++count;
  }
  EXPECT_LE(count, 1);
  const AdapterEntry* entry = SelectedAdapter(table);
  EXPECT_EQ(entry == nullptr ? -1 : entry - table.entries.data(), selected);
  return selected;
}

TEST(MaskText, PrefixLengths) {
  const std::pair<int, const char*> cases[] = {
      {24, "255.255.255.0"},   {20, "255.255.240.0"},   {8, "255.0.0.0"},        {1, "128.0.0.0"},
      {25, "255.255.255.128"}, {31, "255.255.255.254"}, {32, "255.255.255.255"}, {0, "0.0.0.0"},
      {-1, "0.0.0.0"},         {33, "255.255.255.255"}};
  for (const auto& [length, mask] : cases)
    EXPECT_EQ(MaskText(length), mask) << length;
}

TEST(SameSubnet, EveryPositionUnderTheMaskAndUnreadableTextsForeign) {
  const struct {
    const char *adapter, *mask, *row;
    int same;
  } cases[] = {
      {"192.168.1.20", "255.255.255.0", "192.168.1.200", 1},
      {"192.168.1.20", "255.255.255.0", "192.168.2.20", 0},
      {"10.1.2.3", "0.0.0.0", "172.16.0.1", 1},
      {"10.1.2.3", "255.255.255.255", "10.1.2.3", 1},
      {"10.1.2.3", "255.255.255.255", "10.1.2.4", 0},
      {"10.1.2.3", "255.255.240.0", "10.1.15.9", 1},
      {"10.1.2.3", "255.255.240.0", "10.1.16.3", 0},
      {"10.1.2.3", "255.0.0.0", "10.1.2", 0},
      {"10.1.2", "0.0.0.0", "10.1.2.3", 0},
      {"10.1.2.3", "255.0.0", "10.1.2.3", 0},
      {"10.1.2.3", "255.0.0.0", "", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SameSubnet(c.adapter, c.mask, c.row), c.same)
        << c.adapter << " " << c.mask << " " << c.row;
}

TEST(SelectInitialAdapter, FirstEntryWithTheProbedAddressOrElseTheFirstEntry) {
  const struct {
    std::vector<std::string> addresses;
    std::string probe;
    int selected;
  } cases[] = {
      {{"192.168.1.20", "10.20.0.5", "127.0.0.1"}, "10.20.0.5", 1},
      {{"", "10.0.0.7", "10.0.0.7"}, "10.0.0.7", 1},
      {{"192.168.1.20", "10.20.0.5"}, "172.16.0.1", 0},
      {{"192.168.1.20", ""}, "", 0},  // a failed probe matches no adapter without an address
      {{"10.0.0.10", "10.0.0.1"}, "10.0.0.1", 1},
      {{"192.168.1.1", "10.0.0.10"}, "10.0.0.1", 0},
      {{}, "10.0.0.1", -1},
  };
  for (const auto& c : cases) {
    AdapterTable table = Table(c.addresses);
    table.entries[2].selected = 1;                                 // an earlier choice
    table.entries[AdapterTable::kCapacity - 1].address = c.probe;  // beyond the count
    SelectInitialAdapter(table, c.probe);
    EXPECT_EQ(SelectedIndex(table), c.selected) << c.probe;
  }
}

TEST(SelectAdapter, MovesTheOnlySelectionWithinTheTable) {
  AdapterTable table = Table({"192.168.1.20", "10.20.0.5", ""});
  for (const auto& [index, selected] :
       {std::pair{2, 2}, std::pair{0, 0}, std::pair{3, -1}, std::pair{1, 1}, std::pair{-1, -1}}) {
    SelectAdapter(table, index);
    EXPECT_EQ(SelectedIndex(table), selected) << index;
  }
  table.entries[5].selected = 1;
  EXPECT_EQ(SelectedAdapter(table), nullptr);
}

TEST(SelectedLocalAddress, TheSelectedAdaptersAddressAndAnyOnlyForAnEmptyTable) {
  AdapterTable table = Table({"192.168.1.20", ""});
  SelectAdapter(table, 0);
  EXPECT_EQ(SelectedLocalAddress(table), "192.168.1.20");
  SelectAdapter(table, 1);
  EXPECT_EQ(SelectedLocalAddress(table), "");
  EXPECT_EQ(SelectedLocalAddress(AdapterTable{}), "0.0.0.0");
}

}  // namespace
}  // namespace calbrin
