// Opening a named device wherever it answers: at an address that several devices share (its
// address pinned to its MAC in the adapter's neighbour table while it is open, one device of
// the address at a time), or outside every adapter's subnet (an on-link host route from a
// temporary address of the adapter in the device's subnet). Everything added is taken back when
// the device is closed.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "cli/device_access.h"
#include "cli/device_targets.h"

namespace calbrin {

// How long a candidate for a temporary address is asked for on the link before it is taken as
// unused.
inline constexpr std::chrono::milliseconds kAddressProbeTime{300};

// WithDevice for a target: false with the reason in `error` when the target was not found, when
// the changes that reach it need administrator rights that the run lacks, or when it could not be
// opened.
bool WithReachedDevice(ConsoleConnection& console, const DeviceTarget& target,
                       const AdapterTable& adapters, DevicePassword& password, std::string& error,
                       Language language, const std::function<void(DeviceSession&)>& whileOpen);

}  // namespace calbrin
