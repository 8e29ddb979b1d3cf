// The state file that carries simulated devices across a restart of the simulator.
//
// A text file of lines ended by LF (a CR before the LF is ignored). It starts with the line
// "qvsim-state 1"; then, for each device in order, one block:
//
//   device                      starts the block
//   address 127.0.0.2           where its console and discovery answer
//   version 113                 firmware version byte of the discovery reply, 0 to 255
//   mac 02-00-00-00-00-01
//   password secret             the settings password; the line "password" alone means none
//   MODEL 48                    then one line per setting, key and value: every key of the
//   IP 127.0.0.2                device in its order, but any order reads, and a missing key
//   ...                         reads as an empty value
//   end                         ends the block
//
// Values are written with every byte outside '!'..'~', and '%' itself, as %XX (two hex digits), so
// a value never holds a blank or a line end. Lines starting with '#' and empty lines are skipped.
// Faults are not kept: they belong to the run, not to the device.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/device_protocol.h"
#include "sim/device_settings.h"

namespace calbrin::sim {

// What a device keeps across a restart. Its model is the MODEL field of `settings`.
struct DeviceState {
  std::string address;
  int firmwareVersion = 0;
  MacAddress mac{};
  DeviceSettings settings;
  std::string password;  // empty: none

  friend bool operator==(const DeviceState&, const DeviceState&) = default;
};

std::string FormatState(const std::vector<DeviceState>& devices);

// Reads a state text into `devices`. False with a message naming the line on any malformed line,
// in which case `devices` is left as it was.
bool ParseState(std::string_view text, std::vector<DeviceState>& devices, std::string& error);

// Writes the text to a temporary file beside `path`, flushes and closes it, then renames it over
// `path`, so that a reader (or a crash) sees either the old or the new file, never part of one.
// False with a message when a step fails; the temporary file is then removed.
bool ReplaceFileAtomically(const std::string& path, std::string_view text, std::string& error);

// The whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& text);

}  // namespace calbrin::sim
