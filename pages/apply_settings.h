// Apply: the settings dialog's pages written to the open device, with the settings password
// change or removal, every question and every failure message on the way.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "net/console_connection.h"
#include "net/device_operations.h"
#include "pages/collect_settings.h"

namespace calbrin {

// How long the device is left alone after a write, to store the settings and restart its console.
inline constexpr std::chrono::milliseconds kWriteSettleTime{5000};

// Where Apply meets the windows, besides the failed checks of the collection. Texts are UTF-8.
class ApplyUi : public CollectUi {
 public:
  // A question titled "確認" with Yes and No and the question icon; true for Yes.
  virtual bool AskYesNo(std::string_view question) = 0;
  // The completion report: titled "確認", an OK button and no icon.
  virtual void ShowReport(std::string_view message) = 0;
  // The settings dialog's status line.
  virtual void SetStatusText(std::string_view text) = 0;
};

// The message of a failed settings write, from WriteSettingsText's result, or empty when it went
// through. `socketError` is the connection's last socket error.
std::string SettingsStepFailure(int result, int socketError);
// The same for the password step, which differs: nothing sent is the no-answer text, and a
// time-out gets the general failure text.
std::string PasswordStepFailure(int result, int socketError);

// Collects the pages for the device, asks about an address change and a settings-password change,
// writes the settings (and the new password) to the device that `console` holds open, waits
// `settleTime` and reports. True when the device took the settings; false on a failed check, a
// No, or a failed write, each already shown. The status line ends as a single blank.
bool ApplySettings(ConsoleConnection& console, DeviceSession& session, const PageStates& pages,
                   bool secondChannelReduced, ApplyUi& ui,
                   std::chrono::milliseconds settleTime = kWriteSettleTime);

}  // namespace calbrin
