// Opening a device, writing its settings and its settings password.
#include "net/device_operations.h"

#include <cstring>

#include "net/device_messages.h"

namespace calbrin {
namespace {

constexpr std::string_view kPasswordCommand = "P_SET\r\n";
constexpr std::string_view kPasswordCommandEnd = "\r\nENDR\r\n";

template <std::size_t N>
void CopyText(std::array<char, N>& target, std::string_view text) {
  target.fill('\0');
  std::memcpy(target.data(), text.data(), std::min(text.size(), N - 1));
}

// The steps of an opening up to the settings dialog; the caller closes and cleans up.
class Opening {
 public:
  Opening(ConsoleConnection& console, DeviceSession& session, OpenDeviceUi& ui)
      : console_(console), session_(session), ui_(ui) {}

  int Run(std::string_view localAddress) {
    ui_.SetStatusText(messages::kConnecting);
    session_.login = ScrambledPassword{};
    switch (console_.OpenAndAwaitPrompt(session_.identity.AddressText(), localAddress)) {
      case console::kSocketFailed:
        return Fail(SocketError());
      case console::kPasswordPrompt:
        if (!LogIn()) return 0;
        break;
      case console::kReplySeen:
        break;
      default:
        return Fail(messages::kNoResponse);
    }
    if (!ReadSettings()) return 0;
    ui_.SetStatusText("");
    ui_.ShowSettingsDialog();
    return 1;
  }

 private:
  int Fail(std::string_view message) {
    ui_.ShowError(message);
    return 0;
  }

  std::string SocketError() const {
    return FormatSocketError(messages::kSocketErrorLabel, console_.LastSocketError());
  }

  bool LogIn() {
    ScrambledPassword& login = session_.login;
    ui_.AskPassword(login);
    login.scrambled[static_cast<std::size_t>(login.length++)] = '\n';
    if (login.present == 0) return false;  // cancelled: no message
    switch (console_.SendLoginReply(login.scrambled.data(), login.length)) {
      case console::kNotConnected:
        return Fail(messages::kDisconnectedDuringLogin);
      case console::kSocketFailed:
      case 0:
        return Fail(SocketError());
      default:
        break;
    }
    switch (console_.AwaitLoginAnswer()) {
      case console::kReplySeen:
        return true;
      case console::kPasswordPrompt:
        return Fail(messages::kPasswordRefused);
      case console::kNotConnected:
        return Fail(messages::kDisconnectedDuringLogin);
      default:
        return Fail(messages::kNoResponse);
    }
  }

  bool ReadSettings() {
    const int n = console_.RequestSettings();
    if (n <= 0) {
      ui_.SetStatusText("");
      switch (n) {
        case 0:
          return Fail(messages::kNoDataReceived);
        case console::kSocketFailed:
          return Fail(SocketError());
        case console::kNotConnected:
          return Fail(messages::kConnectionCut);
        default:
          return Fail(messages::kNoSettingsInTime);
      }
    }
    SettingsText& text = session_.settingsText;
    text.Clear();
    // An answer that does not fit the settings text is refused, never cut.
    if (n > SettingsText::kCapacity - 1) return Fail(messages::kSettingsNotComplete);
    const std::string received = console_.ReceiveText();
    // The receive text keeps no NUL byte nor the rest of its chunk: a shorter text than the count
    // means the answer held one, and the text that is left is not the device's settings.
    if (received.size() < static_cast<std::size_t>(n)) return Fail(messages::kSettingsNotComplete);
    text.Append(std::string_view(received).substr(0, static_cast<std::size_t>(n)));
    text.length = n;
    // A value line that this device leaves empty must not keep the previous device's value.
    ClearRecord(session_.deviceRecord);
    if (ParseSettings(text.View(), session_.deviceRecord) != kSettingKeyCount) {
      return Fail(messages::kSettingsNotComplete);
    }
    return true;
  }

  ConsoleConnection& console_;
  DeviceSession& session_;
  OpenDeviceUi& ui_;
};

}  // namespace

int OpenDevice(ConsoleConnection& console, const AdapterTable& adapters, DeviceSession& session,
               OpenDeviceUi& ui) {
  const std::optional<OpenDeviceUi::Row> row = ui.SelectedRow();
  if (!row) {
    ui.ShowError(messages::kNoDeviceSelected);
    return 0;
  }
  CopyText(session.identity.address, row->address);
  CopyText(session.identity.mac, row->mac);
  const int result = Opening(console, session, ui).Run(SelectedLocalAddress(adapters));
  console.Close();
  ui.DeselectAllRows();
  ui.SetStatusText("");
  return result;
}

int WriteSettingsText(ConsoleConnection& console, WriteKind kind, const char* text, int length) {
  const ConsoleReply awaited =
      kind == WriteKind::kSaveAndContinue ? ConsoleReply::kSaveAck : ConsoleReply::kFinalAck;
  return console.SendAndAwait(awaited, text, length);
}

int SetDevicePassword(ConsoleConnection& console, const ScrambledPassword& newPassword) {
  if (newPassword.present == 0) return console::kNothingSent;
  std::string command(kPasswordCommand);
  command += newPassword.Scrambled();
  command += kPasswordCommandEnd;
  // The device answers and resets at once; waiting from before the send never misses its answer.
  return console.SendAndAwait(ConsoleReply::kFinalAck, command.data(),
                              static_cast<int>(command.size()));
}

std::string FormatSocketError(std::string_view label, int code) {
  std::string text(label);
  text += " : " + std::to_string(code) + " \r\n";
  if (code == wsa::kTimedOut) text += messages::kTimedOutText;
  if (code == wsa::kConnectionRefused) text += messages::kRefusedText;
  return text.substr(0, 4095);
}

}  // namespace calbrin
