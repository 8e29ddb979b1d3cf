// Feeds arbitrary bytes to the settings parser, the value finder and the password unscrambler,
// and checks the bounds that every caller relies on.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/key_line_values.h"
#include "settings/password_scrambling.h"
#include "settings/settings_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace calbrin;
  if (size > SettingsText::kCapacity) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  SettingsRecord record;
  for (int i = 0; i < kSettingKeyCount; ++i)
    SetField(record, i, std::string(FieldWidth(i), '#'));
  const SettingsRecord before = record;
  const int result = ParseSettings(text, record);
  CHECK(result >= 0 && result <= kSettingKeyCount);
  for (int i = result; i < kSettingKeyCount; ++i)
    CHECK(ReadField(record, i) == ReadField(before, i));

  // A parsed record comes back whole from its file text, unless that text is ambiguous.
  if (result == kSettingKeyCount && !fuzz::ValueHoldsLaterKeyLine(record)) {
    SettingsText again;
    SerializeSettings(record, true, false, again);
    SettingsRecord reparsed = record;
    CHECK(ParseSettings(again.View(), reparsed) == kSettingKeyCount);
    CHECK(reparsed == record);
  }

  for (std::string_view needle : {"MODEL", "\nIP", "\nPASS1", "\r\nEND"}) {
    const auto value = FindSettingValue(text, needle);
    if (value && !value->empty()) {
      CHECK(value->data() >= text.data() && value->data() + value->size() <= text.data() + size);
      CHECK(value->find('\r') == std::string_view::npos);
    }
  }

  std::string password;
  const int n = UnscramblePassword(text.substr(0, 64), password);
  CHECK(n >= -1 && n <= kMaxPasswordLength);
  CHECK(static_cast<int>(password.size()) == (n > 0 ? n : 0));
  for (char c : password)
    CHECK(IsPrintablePasswordChar(static_cast<unsigned char>(c)));
  return 0;
}
