// Feeds arbitrary KEY=VALUE lists to calbrin-cli's set against the settings of a healthy device,
// checking which lists are refused (by key, width, line break and the pages' value checks) and
// that an accepted change is what the windows would write.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/setting_changes.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/key_line_values.h"
#include "pages/collect_settings.h"
#include "pages/settings_view.h"
#include "pages/value_checks.h"
#include "settings/device_model.h"
#include "settings/password_scrambling.h"
#include "settings/settings_text.h"
#include "sim/device_protocol.h"

namespace {

// The record that a healthy simulated device of the model answers GETPARAM with.
calbrin::SettingsRecord DeviceRecord(std::string_view model) {
  const std::string answer =
      calbrin::sim::SettingsAnswer(calbrin::sim::DefaultSettings(model, "127.0.0.2"), {});
  calbrin::SettingsRecord record;
  calbrin::ParseSettings(answer, record);
  return record;
}

std::string ClearPassword(const calbrin::SettingsRecord& record, int index) {
  std::string password;
  const int length = calbrin::UnscramblePassword(calbrin::ReadField(record, index), password);
  return length < 0 ? "(unreadable)" : password;
}

class SilentUi final : public calbrin::CollectUi {
 public:
  void ShowError(std::string_view) override {}
  void ShowPage(int) override {}
};

bool Settable(std::string_view pair) {
  using namespace calbrin;
  const std::size_t equals = pair.find('=');
  if (equals == std::string_view::npos) return false;
  for (int k = 0; k < kSettingKeyCount; ++k) {
    if (KeyText(k) != pair.substr(0, equals)) continue;
    return k != Index(SettingKey::MODEL) && k != Index(SettingKey::PASS1) &&
           k != Index(SettingKey::PASS2) && pair.size() - equals - 1 <= FieldWidth(k) &&
           pair.find_first_of("\r\n") == std::string_view::npos &&
           !CheckSettingValue(k, pair.substr(equals + 1), false);
  }
  return false;
}

}  // namespace

// The first byte picks the model; the rest holds the arguments, separated by NUL bytes (which no
// argument can hold).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace calbrin;
  if (size == 0 || size > 512) return 0;
  static const SettingsRecord kDevices[] = {DeviceRecord("48"), DeviceRecord("57")};
  const SettingsRecord& device = kDevices[data[0] % 2];
  std::vector<std::string> pairs;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (std::size_t at = 0; at <= rest.size();) {
    const std::size_t end = std::min(rest.find('\0', at), rest.size());
    pairs.emplace_back(rest.substr(at, end - at));
    at = end + 1;
  }

  std::vector<SettingChange> changes;
  std::string problem;
  const bool accepted = ReadSettingChanges(pairs, Language::kJapanese, changes, problem);
  bool allSettable = true;
  for (const std::string& pair : pairs)
    allSettable &= Settable(pair);
  CHECK(accepted == allSettable);
  CHECK(accepted == problem.empty());
  if (!accepted) return 0;
  CHECK(changes.size() == pairs.size());
  for (std::size_t i = 0; i < pairs.size(); ++i)
    CHECK(pairs[i] == std::string(KeyText(changes[i].index)) + "=" + changes[i].value);

  SettingsRecord target = device;
  SettingsRecord shown;
  const std::string outcome = ApplySettingChanges(changes, Language::kJapanese, target, shown);
  CHECK(ReadField(target, SettingKey::MODEL) == ReadField(device, SettingKey::MODEL));
  if (!outcome.empty()) return 0;
  for (const SettingChange& change : changes)
    CHECK(ReadField(shown, change.index) == change.value);
  // What the windows would write shows and collects as itself again; a password is scrambled
  // afresh on every collection, so only its clear text stays.
  const SettingsRecord again = NormalisedSettings(shown);
  for (int i = 0; i < kSettingKeyCount; ++i) {
    if (i == Index(SettingKey::PASS1) || i == Index(SettingKey::PASS2)) {
      CHECK(ClearPassword(again, i) == ClearPassword(shown, i));
    } else {
      CHECK(ReadField(again, i) == ReadField(shown, i));
    }
  }
  // What the windows write for it, once its pages pass their checks, reads back as the same
  // record, unless a value makes the text ambiguous (a value that begins with a later key).
  const bool reduced = SecondChannelReduced(ReadField(target, SettingKey::MODEL));
  SettingsRecord collected;
  SettingsText text;
  SilentUi ui;
  if (CollectSettings(ShownPages(target, reduced), target, true, reduced, collected, text, ui) != 0)
    return 0;
  if (fuzz::ValueHoldsLaterKeyLine(collected)) return 0;
  SettingsRecord reparsed;
  CHECK(ParseSettings(text.View(), reparsed) == kSettingKeyCount);
  CHECK(reparsed == collected);
  return 0;
}
