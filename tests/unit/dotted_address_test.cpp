// Dotted address texts of the IP address controls.
#include "pages/dotted_address.h"

#include <gtest/gtest.h>

namespace calbrin {
namespace {

TEST(DottedAddress, ParsesOnlyFourBytesAndWritesThemBack) {
  for (const auto& [text, value] : {std::pair{"192.168.1.20", 0xC0A80114u},
                                    {"0.0.0.0", 0u},
                                    {"255.255.255.255", 0xFFFFFFFFu},
                                    {"010.1.1.1", 0x0A010101u}}) {
    EXPECT_EQ(ParseDottedAddress(text), value) << text;
    EXPECT_EQ(DottedAddressText(value), text[1] == '1' ? "10.1.1.1" : text);
  }
  for (const char* bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.4.5", "256.1.1.1", "1..2.3", "a.b.c.d",
                          " 1.2.3.4", "1.2.3.4 ", "1.2.3.0004", "-1.2.3.4"})
    EXPECT_EQ(ParseDottedAddress(bad), std::nullopt) << '"' << bad << '"';
}

}  // namespace
}  // namespace calbrin
