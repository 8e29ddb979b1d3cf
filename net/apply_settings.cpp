// Apply: confirm, write, report.
#include "net/apply_settings.h"

#include <optional>
#include <string>
#include <thread>

#include "net/device_operations.h"
#include "settings/password_scrambling.h"

namespace calbrin {
namespace {

constexpr std::string_view kAddressQuestion = "IPアドレスが変更されます。よろしいですか?";
constexpr std::string_view kPasswordQuestion = "パスワードが変更されます。よろしいですか?";
constexpr std::string_view kRemovalQuestion = "パスワードが無効化されます。よろしいですか?";
constexpr std::string_view kPasswordMismatch = "パスワード入力と再入力の値が異なります";
constexpr std::string_view kWriting = "書き込み中...";
constexpr std::string_view kIdleStatus = " ";
constexpr std::string_view kWriteFailed = "書込みに失敗しました。";
constexpr std::string_view kNoAnswer =
    "書込みに失敗しました。\r\n一定時間内に応答がありませんでした。";
constexpr std::string_view kClosed = "書込みに失敗しました。\r\n接続が切断されました。";
constexpr std::string_view kSocketErrorLabel = "書込みに失敗しました。\r\nソケットエラー";
constexpr std::string_view kDone = "  書込みが完了しました。";
constexpr std::string_view kDoneNewAddress =
    "  書込みが完了しました。\r\n  IPアドレスを変更された場合は再度検索してください。";
// The device's word for "no settings password".
constexpr std::string_view kRemovedPassword = "D E L";

}  // namespace

std::string SettingsStepFailure(int result, int socketError) {
  switch (result) {
    case console::kReplySeen:
      return {};
    case console::kTimedOut:
      return std::string(kNoAnswer);
    case console::kNotConnected:
      return std::string(kClosed);
    default:
      return FormatSocketError(kSocketErrorLabel, socketError);
  }
}

std::string PasswordStepFailure(int result, int socketError) {
  switch (result) {
    case console::kReplySeen:
      return {};
    case console::kNothingSent:
      return std::string(kNoAnswer);
    case console::kNotConnected:
      return std::string(kClosed);
    case console::kTimedOut:
      return std::string(kWriteFailed);
    default:
      return FormatSocketError(kSocketErrorLabel, socketError);
  }
}

namespace {

// Asks for the settings-password change that the network page holds. Returns the new password
// ("D E L" to remove it), or nothing when the user declined or the entries differ.
std::optional<std::string_view> ConfirmNewPassword(const PasswordChangeRequest& change,
                                                   ApplyUi& ui) {
  if (change.password.empty()) {
    if (!change.again.empty()) {
      ui.ShowError(kPasswordMismatch);
      return std::nullopt;
    }
    if (!ui.AskYesNo(kRemovalQuestion)) return std::nullopt;
    return kRemovedPassword;
  }
  if (change.again != change.password) {
    ui.ShowError(kPasswordMismatch);
    return std::nullopt;
  }
  if (!ui.AskYesNo(kPasswordQuestion)) return std::nullopt;
  return change.password;
}

}  // namespace

bool ApplySettings(ConsoleConnection& console, const SettingsRecord& deviceRecord,
                   const SettingsRecord& collected, SettingsText text,
                   const PasswordChangeRequest& passwordChange, ApplyUi& ui,
                   std::chrono::milliseconds settleTime) {
  const bool sameAddress =
      ReadField(collected, SettingKey::IP) == ReadField(deviceRecord, SettingKey::IP);
  if (!sameAddress && !ui.AskYesNo(kAddressQuestion)) return false;

  const bool changePassword = passwordChange.requested;
  std::optional<std::string_view> newPassword;
  if (changePassword) {
    newPassword = ConfirmNewPassword(passwordChange, ui);
    if (!newPassword) return false;
  }

  const WriteKind kind = changePassword ? WriteKind::kSaveAndContinue : WriteKind::kSaveAndEnd;
  text.Append(changePassword ? kSaveAndContinueCommand : kSaveAndEndCommand);
  ui.SetStatusText(kWriting);
  const int written = WriteSettingsText(console, kind, text.bytes.data(), text.length);
  std::string failure = SettingsStepFailure(written, console.LastSocketError());
  if (failure.empty() && changePassword) {
    ScrambledPassword scrambled;
    ScramblePassword(*newPassword, kStoredPasswordShift, scrambled);
    failure = PasswordStepFailure(SetDevicePassword(console, scrambled), console.LastSocketError());
  }
  if (!failure.empty()) {
    ui.SetStatusText(kIdleStatus);
    ui.ShowError(failure);
    return false;
  }

  // The dialog stays blocked while the device stores the settings and restarts.
  std::this_thread::sleep_for(settleTime);
  ui.SetStatusText(kIdleStatus);
  ui.ShowReport(sameAddress ? kDone : kDoneNewAddress);
  return true;
}

}  // namespace calbrin
