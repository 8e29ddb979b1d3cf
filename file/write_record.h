// The change log's record of one write to one device, whichever program wrote: what the writer
// read from the device, the differences it wrote and how the write ended.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "file/change_log.h"
#include "net/device_operations.h"
#include "pages/settings_view.h"
#include "settings/language.h"

namespace calbrin {

// One write to one device, as the writer saw it.
struct LoggedWrite {
  std::string command;  // "put", "set", "passwd", "restore", "commission"; "apply" in the windows
  std::string address;  // where the device was written
  std::string mac;      // the MAC that found the device; empty: the session's, if any
  const DeviceSession& device;
  std::string result;                             // "written", "failed"
  const std::vector<SettingDifference>& changes;  // viewed in any language
  bool passwordChanged = false;                   // the settings password was set or removed
};

// The record of `write` by `program` ("calbrin-cli", "calbrin"): labels and meanings in English,
// whatever the writer's language, so that a log reads the same whoever wrote it; passwords only as
// changed.
ChangeRecord RecordOf(const LoggedWrite& write, std::string_view program);

// Appends `record` to `log`. Empty, or what went wrong (in `language`): the record was not kept,
// or the oldest rotated file had to be removed for it.
std::string AppendRecord(ChangeLog& log, const ChangeRecord& record, Language language);

}  // namespace calbrin
