// Writing a device from the command line the way Apply does, and the texts around it: a system
// message as one line and the differences by page and label.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "net/device_operations.h"
#include "pages/collect_settings.h"
#include "pages/settings_view.h"

namespace calbrin {

// A message of the system as one line: its line breaks, with the blanks around them, as " / ".
std::string OneLine(std::string text);

// One line per difference: page, label and both meanings (as the differences were viewed, in
// `language`); passwords only as set or not.
std::string DifferenceLines(const std::vector<SettingDifference>& differences,
                            Language language = Language::kJapanese);

// Writes `pages` to the open device the way Apply does: collected and checked with the device's
// channel-2 variant `reduced`, written with "ENDR" (or with the password step when `pages` asks
// for it), followed by `settleTime`. The failure's message in `language`, or empty. `attempted`,
// when given, tells whether the checks passed and the write was tried: a failure before that
// left the device as it was.
std::string WriteDevice(ConsoleConnection& console, const DeviceSession& device,
                        const PageStates& pages, bool reduced, std::chrono::milliseconds settleTime,
                        Language language, bool* attempted = nullptr);

}  // namespace calbrin
