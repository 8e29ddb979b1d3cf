// The console dialogues with a device: opening it (connect, login, read the settings), writing
// settings and the settings password, and the text of socket errors.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "net/adapters.h"
#include "net/console_connection.h"
#include "settings/language.h"
#include "settings/password_scrambling.h"
#include "settings/settings_text.h"

namespace calbrin {

// The device being opened: its address, and the MAC text of its list row (empty for a row that
// was added by hand). Kept until the next opening; the settings dialog and file names read it.
struct CurrentDeviceIdentity {
  std::array<char, 16> address{};
  std::array<char, 18> mac{};

  std::string_view AddressText() const { return address.data(); }
  std::string_view MacText() const { return mac.data(); }
};

// What one opening of a device reads and fills; the application owns one.
struct DeviceSession {
  CurrentDeviceIdentity identity;
  ScrambledPassword login;    // login shift
  SettingsText settingsText;  // the console's answer to GETPARAM
  SettingsRecord deviceRecord;
};

// The points where opening a device meets the windows. Texts are UTF-8.
class OpenDeviceUi {
 public:
  struct Row {
    std::string address;
    std::string mac;
  };

  virtual ~OpenDeviceUi() = default;
  // The selected row of the device list and its address and MAC columns, or none.
  virtual std::optional<Row> SelectedRow() = 0;
  virtual void SetStatusText(std::string_view text) = 0;
  virtual void DeselectAllRows() = 0;
  // The password dialog: on OK with a password it scrambles it into `login` with the login
  // shift, which sets the present flag; on cancel it leaves `login` as it is.
  virtual void AskPassword(ScrambledPassword& login) = 0;
  // The settings dialog, modal while the connection stays open; returns when it closes.
  virtual void ShowSettingsDialog() = 0;
  // An error message box titled "エラー" with the information icon.
  virtual void ShowError(std::string_view message) = 0;
};

// The save commands of a settings write and the reply that each one awaits.
enum class WriteKind { kSaveAndContinue = 1, kSaveAndEnd = 2 };

// Opens the device of the selected row from the selected adapter's address, logs in when asked,
// reads and parses the settings into the session's device record, and shows the settings dialog.
// Every failure ends in one message (a cancelled password dialog in none); the connection is
// closed, the rows deselected and the status line emptied on every path once a row was selected.
// Returns 1 when the settings dialog was shown, else 0. The messages and the status texts are in
// `language`.
int OpenDevice(ConsoleConnection& console, const AdapterTable& adapters, DeviceSession& session,
               OpenDeviceUi& ui, Language language = Language::kJapanese);

// Sends a write text that already ends in the save command of `kind` and awaits its
// acknowledgement: 1, 0, -1, -2 or -3.
int WriteSettingsText(ConsoleConnection& console, WriteKind kind, const char* text, int length);

// Sends P_SET with the scrambled new password and awaits the final acknowledgement: 1, 0 (also
// when no new password is present: nothing is sent), -1, -2 or -3.
int SetDevicePassword(ConsoleConnection& console, const ScrambledPassword& newPassword);

// "label : code \r\n", followed for a time-out (10060) and a refused connection (10061) by the
// text that explains it in `language`.
std::string FormatSocketError(std::string_view label, int code,
                              Language language = Language::kJapanese);

}  // namespace calbrin
