// The two device models and how a record's MODEL code names them.
#pragma once

#include <string_view>

namespace calbrin {

enum class DeviceModel { kQv48R2, kQv57R, kUnknown };

// Only the first two characters of MODEL count: "48" and "57"; anything else is unknown.
DeviceModel ModelOf(std::string_view modelCode);

// "QV-48R2", "QV-57R", or the empty name for an unknown code.
std::string_view ModelNameText(DeviceModel model);

// Whether channel 2 offers the reduced choices of a QV-57R. Every code other than "48" counts as
// reduced, so that both channel-2 pages and the codec always agree on one variant.
bool SecondChannelReduced(std::string_view modelCode);

}  // namespace calbrin
