// Whether a device address lies in the subnet of the selected adapter; decides a row's colour.
#pragma once

#include <string_view>

namespace calbrin {

// 1 when, in each of the four positions, adapter AND mask equals row AND mask; 0 when it does
// not, and also when any of the three texts is not four dotted numbers (a row we cannot place is
// shown as foreign, never as local).
int SameSubnet(std::string_view adapterAddress, std::string_view mask, std::string_view rowAddress);

}  // namespace calbrin
