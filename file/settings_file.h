// Settings files (*.qvs): exactly one settings text with all 65 pairs, read back into a record of
// their own and written so that an existing file is never left half-written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "settings/language.h"
#include "settings/settings_record.h"

namespace calbrin {

// Files from 1 to this many bytes are read.
inline constexpr std::uintmax_t kMaxSettingsFileBytes = 2048;
// The file dialogs' name buffers: 260 characters with the terminator.
inline constexpr std::size_t kFileNameBufferChars = 260;

enum class SettingsFileRead {
  kLoaded,
  kOpenFailed,
  kEmptyOrNoSize,
  kTooLarge,
  kReadFailed,
  kNotSettings,  // does not begin with "MODEL", holds a NUL, or a value does not fit its field
  kOtherModel,   // saved from the other model than the open device's
};

// Reads the settings file at `path` into `fileRecord`, which is cleared first so that nothing of
// an earlier file shows through. The file must suit the open device: "57" while its second
// channel is the reduced one, "48" otherwise. Only kLoaded means the record may fill the pages.
SettingsFileRead ReadSettingsFile(const std::filesystem::path& path, bool secondChannelReduced,
                                  SettingsRecord& fileRecord);

// The message that tells the user why a file was not read (UTF-8, in `language`); empty for
// kLoaded.
std::string_view SettingsFileReadMessage(SettingsFileRead result,
                                         Language language = Language::kJapanese);

// Writes `text` into a new file beside `path` and only then puts it in place of `path`, so that a
// failed write leaves any existing file as it was. False when the file could not be written.
bool WriteSettingsFile(const std::filesystem::path& path, std::string_view text);
// The message of a file that could not be written.
std::string_view FileNotCreatedMessage(Language language = Language::kJapanese);

// The name that the save dialog proposes: "<model>_<MAC>.qvs", or "<model>.qvs" for a device
// without a MAC text (one added by hand); short enough for the dialogs' name buffer.
std::string ProposedSettingsFileName(std::string_view modelName, std::string_view macText);

}  // namespace calbrin
