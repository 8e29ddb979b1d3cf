// Dotted address texts of the IP address controls.
#include "pages/dotted_address.h"

#include <gtest/gtest.h>

namespace calbrin {
namespace {

TEST(DottedAddress, ParsesOnlyFourBytes) {
  EXPECT_EQ(ParseDottedAddress("192.168.1.20"), 0xC0A80114u);
  EXPECT_EQ(ParseDottedAddress("0.0.0.0"), 0u);
  EXPECT_EQ(ParseDottedAddress("255.255.255.255"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseDottedAddress("010.1.1.1"), 0x0A010101u);
  for (const char* bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.4.5", "256.1.1.1", "1..2.3", "a.b.c.d",
                          " 1.2.3.4", "1.2.3.4 ", "1.2.3.0004", "-1.2.3.4"}) {
    EXPECT_EQ(ParseDottedAddress(bad), std::nullopt) << '"' << bad << '"';
  }
}

TEST(DottedAddress, TextOfTheValue) {
  EXPECT_EQ(DottedAddressText(0xC0A80114u), "192.168.1.20");
  EXPECT_EQ(DottedAddressText(0), "0.0.0.0");
  EXPECT_EQ(DottedAddressText(0xFFFFFFFFu), "255.255.255.255");
}

}  // namespace
}  // namespace calbrin
