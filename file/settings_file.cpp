// Reading and writing settings files.
#include "file/settings_file.h"

#include <fstream>
#include <random>
#include <system_error>

#include "settings/messages.h"
#include "settings/settings_text.h"

namespace calbrin {
namespace {

constexpr std::string_view kFileStart = "MODEL";

// A name for the new file beside the target that no other save uses at the same time.
std::filesystem::path TemporaryPathBeside(const std::filesystem::path& path) {
  std::random_device random;
  const std::uint64_t tag = (std::uint64_t{random()} << 32) | random();
  std::filesystem::path temporary = path;
  temporary += ".tmp-" + std::to_string(tag);
  return temporary;
}

}  // namespace

SettingsFileRead ReadSettingsFile(const std::filesystem::path& path, bool secondChannelReduced,
                                  SettingsRecord& fileRecord) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return SettingsFileRead::kOpenFailed;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size == 0) return SettingsFileRead::kEmptyOrNoSize;
  if (size > kMaxSettingsFileBytes) return SettingsFileRead::kTooLarge;

  std::string text(static_cast<std::size_t>(size), '\0');
  if (!file.read(text.data(), static_cast<std::streamsize>(size))) {
    return SettingsFileRead::kReadFailed;
  }
  file.close();
  // A NUL byte would end the parse early and leave the fields after it empty.
  if (!text.starts_with(kFileStart) || text.find('\0') != std::string::npos) {
    return SettingsFileRead::kNotSettings;
  }

  ClearRecord(fileRecord);
  const int parsed = ParseSettings(text, fileRecord);
  const std::string_view model = ReadField(fileRecord, SettingKey::MODEL).substr(0, 2);
  if (model != (secondChannelReduced ? "57" : "48")) return SettingsFileRead::kOtherModel;
  if (parsed != kSettingKeyCount) return SettingsFileRead::kNotSettings;
  return SettingsFileRead::kLoaded;
}

std::string_view SettingsFileReadMessage(SettingsFileRead result, Language language) {
  switch (result) {
    case SettingsFileRead::kLoaded:
      return "";
    case SettingsFileRead::kOpenFailed:
      return MessageText(MessageId::kFileOpenFailed, language);
    case SettingsFileRead::kEmptyOrNoSize:
      return MessageText(MessageId::kFileEmptyOrNoSize, language);
    case SettingsFileRead::kTooLarge:
      return MessageText(MessageId::kFileTooLarge, language);
    case SettingsFileRead::kReadFailed:
      return MessageText(MessageId::kFileReadFailed, language);
    case SettingsFileRead::kNotSettings:
      return MessageText(MessageId::kFileNotSettings, language);
    case SettingsFileRead::kOtherModel:
      return MessageText(MessageId::kFileOtherModel, language);
  }
  return "";
}

std::string_view FileNotCreatedMessage(Language language) {
  return MessageText(MessageId::kFileNotCreated, language);
}

bool WriteSettingsFile(const std::filesystem::path& path, std::string_view text) {
  const std::filesystem::path temporary = TemporaryPathBeside(path);
  bool written = false;
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    written = !file.fail();
  }
  std::error_code error;
  if (written) std::filesystem::rename(temporary, path, error);
  if (!written || error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

std::string ProposedSettingsFileName(std::string_view modelName, std::string_view macText) {
  std::string name(modelName);
  if (!macText.empty()) {
    name += '_';
    name += macText;
  }
  name += ".qvs";
  return name.substr(0, kFileNameBufferChars - 1);
}

}  // namespace calbrin
