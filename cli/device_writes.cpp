// Writing a device from the command line, and the texts around it.
#include "cli/device_writes.h"

#include "net/apply_settings.h"
#include "settings/device_text.h"

namespace calbrin {
namespace {

// Apply's view of the command line: the questions were settled before, messages go to `error`.
class CliApplyUi final : public ApplyUi {
 public:
  void ShowError(std::string_view message) override { error = message; }
  bool AskYesNo(std::string_view) override { return true; }
  void ShowReport(std::string_view message) override { report = message; }
  void SetStatusText(std::string_view) override {}

  std::string error;
  std::string report;
};

}  // namespace

std::string OneLine(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) {
    std::size_t start = at;
    while (start > 0 && text[start - 1] == ' ')
      --start;
    std::size_t end = at + 2;
    while (end < text.size() && text[end] == ' ')
      ++end;
    text.replace(start, end - start, " / ");
  }
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string DifferenceLines(const std::vector<SettingDifference>& differences, Language language) {
  std::string out;
  for (const auto& [before, after] : differences) {
    // Two passwords that are both set differ only in what must not be shown; two values with
    // the same meaning (a stop-bit code 2 or 3) are told apart by their stored text.
    std::string change = ShownMeaning(before) + " -> " + ShownMeaning(after);
    if (before.meaning == after.meaning) {
      change = before.password ? std::string(BilingualText{"(異なる)", "(different)"}.In(language))
                               : TerminalText(before.value) + " -> " + TerminalText(after.value);
    }
    out += (before.page.empty() ? std::string() : before.page + "  ") + before.label + ": " +
           change + "\n";
  }
  return out;
}

std::string WriteDevice(ConsoleConnection& console, const DeviceSession& device,
                        const PageStates& pages, bool reduced, std::chrono::milliseconds settleTime,
                        Language language, bool* attempted) {
  if (attempted != nullptr) *attempted = false;
  MessageCollectUi checks;
  SettingsRecord collected;
  SettingsText text;
  if (CollectSettings(pages, device.deviceRecord, false, reduced, collected, text, checks,
                      language) != 0)
    return OneLine(checks.Message());
  if (attempted != nullptr) *attempted = true;
  CliApplyUi ui;
  if (!ApplySettings(console, device.deviceRecord, collected, text, PasswordChangeOf(pages.network),
                     ui, settleTime, language)) {
    return OneLine(ui.error);
  }
  return {};
}

}  // namespace calbrin
