// Opening a device, writing its settings and its settings password.
#include "net/device_operations.h"

#include <cstring>

#include "settings/messages.h"

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
  Opening(ConsoleConnection& console, DeviceSession& session, OpenDeviceUi& ui, Language language)
      : console_(console), session_(session), ui_(ui), language_(language) {}

  int Run(std::string_view localAddress) {
    ui_.SetStatusText(MessageText(MessageId::kConnecting, language_));
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
        return Fail(MessageId::kNoResponse);
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
  int Fail(MessageId message) { return Fail(MessageText(message, language_)); }

  std::string SocketError() const {
    return FormatSocketError(MessageText(MessageId::kSocketErrorLabel, language_),
                             console_.LastSocketError(), language_);
  }

  bool LogIn() {
    ScrambledPassword& login = session_.login;
    ui_.AskPassword(login);
    login.scrambled[static_cast<std::size_t>(login.length++)] = '\n';
    if (login.present == 0) return false;  // cancelled: no message
    switch (console_.SendLoginReply(login.scrambled.data(), login.length)) {
      case console::kNotConnected:
        return Fail(MessageId::kDisconnectedDuringLogin);
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
        return Fail(MessageId::kPasswordRefused);
      case console::kNotConnected:
        return Fail(MessageId::kDisconnectedDuringLogin);
      default:
        return Fail(MessageId::kNoResponse);
    }
  }

  bool ReadSettings() {
    const int n = console_.RequestSettings();
    if (n <= 0) {
      ui_.SetStatusText("");
      switch (n) {
        case 0:
          return Fail(MessageId::kNoDataReceived);
        case console::kSocketFailed:
          return Fail(SocketError());
        case console::kNotConnected:
          return Fail(MessageId::kConnectionCut);
        default:
          return Fail(MessageId::kNoSettingsInTime);
      }
    }
    SettingsText& text = session_.settingsText;
    text.Clear();
    // An answer that does not fit the settings text is refused, never cut.
    if (n > SettingsText::kCapacity - 1) return Fail(MessageId::kSettingsNotComplete);
    const std::string received = console_.ReceiveText();
    // The receive text keeps no NUL byte nor the rest of its chunk: a shorter text than the count
    // means the answer held one, and the text that is left is not the device's settings.
    if (received.size() < static_cast<std::size_t>(n)) return Fail(MessageId::kSettingsNotComplete);
    text.Append(std::string_view(received).substr(0, static_cast<std::size_t>(n)));
    text.length = n;
    // A value line that this device leaves empty must not keep the previous device's value.
    ClearRecord(session_.deviceRecord);
    if (ParseSettings(text.View(), session_.deviceRecord) != kSettingKeyCount) {
      return Fail(MessageId::kSettingsNotComplete);
    }
    return true;
  }

  ConsoleConnection& console_;
  DeviceSession& session_;
  OpenDeviceUi& ui_;
  Language language_;
};

}  // namespace

int OpenDevice(ConsoleConnection& console, const AdapterTable& adapters, DeviceSession& session,
               OpenDeviceUi& ui, Language language) {
  const std::optional<OpenDeviceUi::Row> row = ui.SelectedRow();
  if (!row) {
    ui.ShowError(MessageText(MessageId::kNoDeviceSelected, language));
    return 0;
  }
  CopyText(session.identity.address, row->address);
  CopyText(session.identity.mac, row->mac);
  const int result = Opening(console, session, ui, language).Run(SelectedLocalAddress(adapters));
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

std::string FormatSocketError(std::string_view label, int code, Language language) {
  std::string text(label);
  text += " : " + std::to_string(code) + " \r\n";
  if (code == wsa::kTimedOut) text += MessageText(MessageId::kTimedOutText, language);
  if (code == wsa::kConnectionRefused) text += MessageText(MessageId::kRefusedText, language);
  return text.substr(0, 4095);
}

}  // namespace calbrin
