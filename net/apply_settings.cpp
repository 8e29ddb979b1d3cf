// Apply: confirm, write, report.
#include "net/apply_settings.h"

#include <optional>
#include <string>
#include <thread>

#include "net/device_operations.h"
#include "settings/messages.h"
#include "settings/password_scrambling.h"

namespace calbrin {
namespace {

constexpr std::string_view kIdleStatus = " ";
// The device's word for "no settings password".
constexpr std::string_view kRemovedPassword = "D E L";

}  // namespace

namespace {

std::string Text(MessageId id, Language language) {
  return std::string(MessageText(id, language));
}

std::string WriteSocketError(int socketError, Language language) {
  return FormatSocketError(MessageText(MessageId::kWriteSocketErrorLabel, language), socketError,
                           language);
}

}  // namespace

std::string SettingsStepFailure(int result, int socketError, Language language) {
  switch (result) {
    case console::kReplySeen:
      return {};
    case console::kTimedOut:
      return Text(MessageId::kWriteNoAnswer, language);
    case console::kNotConnected:
      return Text(MessageId::kWriteClosed, language);
    default:
      return WriteSocketError(socketError, language);
  }
}

std::string PasswordStepFailure(int result, int socketError, Language language) {
  switch (result) {
    case console::kReplySeen:
      return {};
    case console::kNothingSent:
      return Text(MessageId::kWriteNoAnswer, language);
    case console::kNotConnected:
      return Text(MessageId::kWriteClosed, language);
    case console::kTimedOut:
      return Text(MessageId::kWriteFailed, language);
    default:
      return WriteSocketError(socketError, language);
  }
}

namespace {

// Asks for the settings-password change that the network page holds. Returns the new password
// ("D E L" to remove it), or nothing when the user declined or the entries differ.
std::optional<std::string_view> ConfirmNewPassword(const PasswordChangeRequest& change, ApplyUi& ui,
                                                   Language language) {
  const std::string_view mismatch = MessageText(MessageId::kPasswordMismatch, language);
  if (change.password.empty()) {
    if (!change.again.empty()) {
      ui.ShowError(mismatch);
      return std::nullopt;
    }
    if (!ui.AskYesNo(MessageText(MessageId::kRemovalQuestion, language))) return std::nullopt;
    return kRemovedPassword;
  }
  if (change.again != change.password) {
    ui.ShowError(mismatch);
    return std::nullopt;
  }
  if (!ui.AskYesNo(MessageText(MessageId::kPasswordQuestion, language))) return std::nullopt;
  return change.password;
}

}  // namespace

bool ApplySettings(ConsoleConnection& console, const SettingsRecord& deviceRecord,
                   const SettingsRecord& collected, SettingsText text,
                   const PasswordChangeRequest& passwordChange, ApplyUi& ui,
                   std::chrono::milliseconds settleTime, Language language) {
  const bool sameAddress =
      ReadField(collected, SettingKey::IP) == ReadField(deviceRecord, SettingKey::IP);
  if (!sameAddress && !ui.AskYesNo(MessageText(MessageId::kAddressQuestion, language)))
    return false;

  const bool changePassword = passwordChange.requested;
  std::optional<std::string_view> newPassword;
  if (changePassword) {
    newPassword = ConfirmNewPassword(passwordChange, ui, language);
    if (!newPassword) return false;
  }

  if (!ui.WriteBegins()) return false;
  const WriteKind kind = changePassword ? WriteKind::kSaveAndContinue : WriteKind::kSaveAndEnd;
  text.Append(changePassword ? kSaveAndContinueCommand : kSaveAndEndCommand);
  ui.SetStatusText(MessageText(MessageId::kWriting, language));
  const int written = WriteSettingsText(console, kind, text.bytes.data(), text.length);
  std::string failure = SettingsStepFailure(written, console.LastSocketError(), language);
  if (failure.empty() && changePassword) {
    ScrambledPassword scrambled;
    ScramblePassword(*newPassword, kStoredPasswordShift, scrambled);
    failure = PasswordStepFailure(SetDevicePassword(console, scrambled), console.LastSocketError(),
                                  language);
  }
  if (!failure.empty()) {
    ui.SetStatusText(kIdleStatus);
    ui.ShowError(failure);
    return false;
  }

  // The dialog stays blocked while the device stores the settings and restarts.
  std::this_thread::sleep_for(settleTime);
  ui.SetStatusText(kIdleStatus);
  ui.ShowReport(
      MessageText(sameAddress ? MessageId::kWriteDone : MessageId::kWriteDoneNewAddress, language));
  return true;
}

}  // namespace calbrin
