// The subnet test that colours the device list, and the version box's text.
#include <gtest/gtest.h>

#include "net/subnet.h"
#include "ui/main/version_text.h"

namespace calbrin {
namespace {

TEST(SameSubnet, AddressInsideTheMaskedNetwork) {
  EXPECT_EQ(SameSubnet("192.168.1.10", "255.255.255.0", "192.168.1.200"), 1);
  EXPECT_EQ(SameSubnet("10.1.2.3", "255.0.0.0", "10.200.3.4"), 1);
  EXPECT_EQ(SameSubnet("127.0.0.1", "255.0.0.0", "127.0.0.5"), 1);
}

TEST(SameSubnet, AddressOutsideTheMaskedNetwork) {
  EXPECT_EQ(SameSubnet("192.168.1.10", "255.255.255.0", "192.168.0.10"), 0);
  EXPECT_EQ(SameSubnet("192.168.1.10", "255.255.255.128", "192.168.1.200"), 0);
}

TEST(SameSubnet, MaskOfZeroTakesEveryAddress) {
  EXPECT_EQ(SameSubnet("192.168.1.10", "0.0.0.0", "8.8.8.8"), 1);
}

TEST(SameSubnet, TextsThatAreNotFourNumbersAnswerZero) {
  EXPECT_EQ(SameSubnet("", "", "192.168.1.1"), 0);
  EXPECT_EQ(SameSubnet("192.168.1.10", "", "192.168.1.1"), 0);
  EXPECT_EQ(SameSubnet("192.168.1.10", "255.255.255.0", ""), 0);
  EXPECT_EQ(SameSubnet("192.168.1.10", "255.255.255.0", "192.168.1"), 0);
  EXPECT_EQ(SameSubnet("192.168.1", "255.255.255.0", "192.168.1.1"), 0);
  EXPECT_EQ(SameSubnet("192.168.1.10", "255.255.255.0", "host"), 0);
}

TEST(VersionBoxText, TwoDigitMinorBetweenFourBlanksEachSide) {
  EXPECT_EQ(VersionBoxText(1, 5), "    バージョン : 1.05    ");
  EXPECT_EQ(VersionBoxText(1, 0), "    バージョン : 1.00    ");
  EXPECT_EQ(VersionBoxText(2, 123), "    バージョン : 2.123    ");
}

}  // namespace
}  // namespace calbrin
