// Apply: collected settings written to the open device, with the settings password change or
// removal, every question and every failure message on the way.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "net/console_connection.h"
#include "settings/language.h"
#include "settings/settings_record.h"
#include "settings/settings_text.h"

namespace calbrin {

// How long the device is left alone after a write, to store the settings and restart its console.
inline constexpr std::chrono::milliseconds kWriteSettleTime{5000};

// Where Apply meets the windows. Texts are UTF-8.
class ApplyUi {
 public:
  virtual ~ApplyUi() = default;
  // An error message box titled "エラー" with the information icon.
  virtual void ShowError(std::string_view message) = 0;
  // A question titled "確認" with Yes and No and the question icon; true for Yes.
  virtual bool AskYesNo(std::string_view question) = 0;
  // The completion report: titled "確認", an OK button and no icon.
  virtual void ShowReport(std::string_view message) = 0;
  // The settings dialog's status line.
  virtual void SetStatusText(std::string_view text) = 0;
  // Every question answered, just before the first byte of the write: false leaves the device as
  // it is and Apply ends as on a No. The windows keep the device's history here.
  virtual bool WriteBegins() { return true; }
};

// The settings-password edits of the network page: whether the change box is checked, and the
// password and its re-entry.
struct PasswordChangeRequest {
  bool requested = false;
  std::string password;
  std::string again;
};

// The message of a failed settings write, from WriteSettingsText's result, or empty when it went
// through, in `language`. `socketError` is the connection's last socket error.
std::string SettingsStepFailure(int result, int socketError,
                                Language language = Language::kJapanese);
// The same for the password step, which differs: nothing sent is the no-answer text, and a
// time-out gets the general failure text.
std::string PasswordStepFailure(int result, int socketError,
                                Language language = Language::kJapanese);

// Writes what the collection produced for the device (`collected` and its text `text`, without a
// save command; Apply appends that to its own copy) to the device that `console` holds open: asks
// about an address change (against `deviceRecord`) and the settings-password change, writes the
// settings (and the new password), waits `settleTime` and reports. True when the device took the
// settings; false on a No or a failed write, each already shown: once `ui.WriteBegins()` has
// returned true, a false may have left the device changed. The status line ends as a single
// blank. Questions, messages and status texts are in `language`.
bool ApplySettings(ConsoleConnection& console, const SettingsRecord& deviceRecord,
                   const SettingsRecord& collected, SettingsText text,
                   const PasswordChangeRequest& passwordChange, ApplyUi& ui,
                   std::chrono::milliseconds settleTime = kWriteSettleTime,
                   Language language = Language::kJapanese);

}  // namespace calbrin
