// Writes arbitrary bytes to a settings file and reads it for both models, checking which files
// are refused and that a loaded record is exactly what the file says.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "file/settings_file.h"
#include "fuzz/fuzz_check.h"
#include "settings/settings_text.h"

namespace {

const std::filesystem::path& ScratchFile() {
  static const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                            ("calbrin-fuzz-" + std::to_string(getpid()) + ".qvs");
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace calbrin;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream file(ScratchFile(), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(size));
  }
  int loaded = 0;
  for (const bool reduced : {false, true}) {
    // Whatever an earlier file left in the record must not show through.
    SettingsRecord record;
    for (int i = 0; i < kSettingKeyCount; ++i)
      SetField(record, i, std::string(FieldWidth(i), '#'));
    const SettingsFileRead result = ReadSettingsFile(ScratchFile(), reduced, record);
    if (size == 0) CHECK(result == SettingsFileRead::kEmptyOrNoSize);
    if (size > kMaxSettingsFileBytes) CHECK(result == SettingsFileRead::kTooLarge);
    if (size == 0 || size > kMaxSettingsFileBytes) continue;
    const bool content = bytes.starts_with("MODEL") && bytes.find('\0') == std::string_view::npos;
    if (!content) CHECK(result == SettingsFileRead::kNotSettings);
    if (result != SettingsFileRead::kLoaded) continue;
    ++loaded;
    CHECK(ReadField(record, SettingKey::MODEL).substr(0, 2) == (reduced ? "57" : "48"));
    SettingsRecord fresh;
    CHECK(ParseSettings(bytes, fresh) == kSettingKeyCount);
    CHECK(fresh == record);
  }
  // A file suits one model or the other, never both.
  CHECK(loaded <= 1);
  return 0;
}
