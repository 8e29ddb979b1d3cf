// Subnet mask text and the choice of the adapter that searches and connections leave from.
#include <gtest/gtest.h>

#include <string>

#include "net/adapters.h"

namespace calbrin {
namespace {

void AddEntry(AdapterTable& table, std::string name, std::string address) {
  AdapterEntry& entry = table.entries[static_cast<std::size_t>(table.count++)];
  entry.name = std::move(name);
  entry.address = std::move(address);
}

int SelectedCount(const AdapterTable& table) {
  int count = 0;
  for (const AdapterEntry& entry : table.entries)
    count += entry.selected;
  return count;
}

// What the adapter list shows as current: the index of the selected entry, or -1.
int SelectedIndex(const AdapterTable& table) {
  const AdapterEntry* selected = SelectedAdapter(table);
  return selected == nullptr ? -1 : static_cast<int>(selected - table.entries.data());
}

TEST(MaskText, CommonPrefixes) {
  EXPECT_EQ(MaskText(24), "255.255.255.0");
  EXPECT_EQ(MaskText(16), "255.255.0.0");
  EXPECT_EQ(MaskText(8), "255.0.0.0");
  EXPECT_EQ(MaskText(20), "255.255.240.0");
  EXPECT_EQ(MaskText(30), "255.255.255.252");
  EXPECT_EQ(MaskText(1), "128.0.0.0");
  EXPECT_EQ(MaskText(25), "255.255.255.128");
}

TEST(MaskText, EmptyAndFullMasks) {
  EXPECT_EQ(MaskText(0), "0.0.0.0");
  EXPECT_EQ(MaskText(32), "255.255.255.255");
  EXPECT_EQ(MaskText(31), "255.255.255.254");
}

TEST(MaskText, OutOfRangeLengthsTakeTheNearestEnd) {
  EXPECT_EQ(MaskText(-1), "0.0.0.0");
  EXPECT_EQ(MaskText(33), "255.255.255.255");
  EXPECT_EQ(MaskText(128), "255.255.255.255");
}

TEST(SelectInitialAdapter, PicksTheEntryWhoseAddressTheProbeGave) {
  AdapterTable table;
  AddEntry(table, "Wired", "192.168.1.20");
  AddEntry(table, "Plant network", "10.20.0.5");
  AddEntry(table, "Loopback", "127.0.0.1");
  SelectInitialAdapter(table, "10.20.0.5");
  EXPECT_EQ(SelectedIndex(table), 1);
  EXPECT_EQ(SelectedCount(table), 1);
  ASSERT_NE(SelectedAdapter(table), nullptr);
  EXPECT_EQ(SelectedAdapter(table)->name, "Plant network");
}

TEST(SelectInitialAdapter, FirstOfSeveralMatchingEntriesWins) {
  AdapterTable table;
  AddEntry(table, "A", "");
  AddEntry(table, "B", "10.0.0.7");
  AddEntry(table, "C", "10.0.0.7");
  SelectInitialAdapter(table, "10.0.0.7");
  EXPECT_EQ(SelectedIndex(table), 1);
  EXPECT_EQ(SelectedCount(table), 1);
}

TEST(SelectInitialAdapter, NoMatchSelectsTheFirstEntry) {
  AdapterTable table;
  AddEntry(table, "A", "192.168.1.20");
  AddEntry(table, "B", "10.20.0.5");
  SelectInitialAdapter(table, "172.16.0.1");
  EXPECT_EQ(SelectedIndex(table), 0);
  EXPECT_EQ(SelectedCount(table), 1);
}

TEST(SelectInitialAdapter, EmptyProbeSelectsTheFirstEntryEvenBesideAnEmptyAddress) {
  // An adapter without an address has "" as its address, which must not match a failed probe.
  AdapterTable table;
  AddEntry(table, "A", "192.168.1.20");
  AddEntry(table, "B", "");
  SelectInitialAdapter(table, "");
  EXPECT_EQ(SelectedIndex(table), 0);
  EXPECT_EQ(SelectedCount(table), 1);
}

TEST(SelectInitialAdapter, ComparesWholeAddresses) {
  AdapterTable table;
  AddEntry(table, "A", "10.0.0.10");
  AddEntry(table, "B", "10.0.0.1");
  SelectInitialAdapter(table, "10.0.0.1");
  EXPECT_EQ(SelectedIndex(table), 1);

  AdapterTable prefixOnly;
  AddEntry(prefixOnly, "A", "192.168.1.1");
  AddEntry(prefixOnly, "B", "10.0.0.10");
  SelectInitialAdapter(prefixOnly, "10.0.0.1");
  EXPECT_EQ(SelectedIndex(prefixOnly), 0);
}

TEST(SelectInitialAdapter, ClearsEarlierSelections) {
  AdapterTable table;
  AddEntry(table, "A", "192.168.1.20");
  AddEntry(table, "B", "10.20.0.5");
  AddEntry(table, "C", "10.20.0.6");
  table.entries[2].selected = 1;
  SelectInitialAdapter(table, "10.20.0.5");
  EXPECT_EQ(SelectedIndex(table), 1);
  EXPECT_EQ(table.entries[2].selected, 0);
  EXPECT_EQ(SelectedCount(table), 1);
}

TEST(SelectInitialAdapter, EmptyTableSelectsNothing) {
  AdapterTable table;
  table.entries[0].address = "10.0.0.1";  // left over beyond the count
  SelectInitialAdapter(table, "10.0.0.1");
  EXPECT_EQ(SelectedAdapter(table), nullptr);
  EXPECT_EQ(SelectedCount(table), 0);
}

TEST(SelectAdapter, MovesTheOnlySelection) {
  AdapterTable table;
  AddEntry(table, "A", "192.168.1.20");
  AddEntry(table, "B", "10.20.0.5");
  AddEntry(table, "C", "");
  SelectInitialAdapter(table, "10.20.0.5");
  SelectAdapter(table, 2);
  EXPECT_EQ(SelectedIndex(table), 2);
  EXPECT_EQ(SelectedCount(table), 1);
  SelectAdapter(table, 0);
  EXPECT_EQ(SelectedIndex(table), 0);
  EXPECT_EQ(SelectedCount(table), 1);
  EXPECT_EQ(SelectedAdapter(table)->address, "192.168.1.20");
}

TEST(SelectAdapter, IndexOutsideTheTableSelectsNothing) {
  AdapterTable table;
  AddEntry(table, "A", "192.168.1.20");
  AddEntry(table, "B", "10.20.0.5");
  SelectAdapter(table, 1);
  SelectAdapter(table, 2);
  EXPECT_EQ(SelectedAdapter(table), nullptr);
  SelectAdapter(table, 1);
  SelectAdapter(table, -1);
  EXPECT_EQ(SelectedCount(table), 0);
}

TEST(SelectedAdapter, IgnoresFlagsBeyondTheCount) {
  AdapterTable table;
  AddEntry(table, "A", "192.168.1.20");
  table.entries[5].selected = 1;
  EXPECT_EQ(SelectedAdapter(table), nullptr);
}

}  // namespace
}  // namespace calbrin
