// Collecting the settings pages back into a settings record and text: the choice codes of each
// control, the checks that the pages cannot enforce themselves, and the serialisation.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "net/apply_settings.h"
#include "pages/lan_page_state.h"
#include "pages/network_page_state.h"
#include "pages/serial_page_state.h"
#include "settings/settings_record.h"
#include "settings/settings_text.h"

namespace calbrin {

// The five pages as read from their controls, in tab order.
struct PageStates {
  NetworkPageState network;
  std::array<LanPageState, 2> lan;        // channel 1, channel 2
  std::array<SerialPageState, 2> serial;  // port 1, port 2
};

// The five pages as a fresh settings dialog shows `record`.
PageStates ShownPages(const SettingsRecord& record, bool secondChannelReduced);

// Tabs that a failing check shows.
inline constexpr int kLan1Tab = 1;
inline constexpr int kLan2Tab = 2;

// Receive ports that the device keeps for itself: none, its console and its discovery responder.
constexpr bool ReservedReceivePort(long long port) {
  return port == 0 || port == 9998 || port == 30718;
}

// Whether a LAN channel needs its TCP password: exactly one mode is on, and that mode asks for it.
bool LanPasswordRequired(const LanConnectionState& connection);

// How a failing check reaches the user: its message, then the page it concerns.
class CollectUi {
 public:
  virtual ~CollectUi() = default;
  // An error message box titled "エラー" with the information icon. UTF-8.
  virtual void ShowError(std::string_view message) = 0;
  // Selects tab `tab` and shows its page, as a user's tab change does.
  virtual void ShowPage(int tab) = 0;
};

// Collects a silent failure message of the checks, for callers without a window (the command line,
// the history).
class MessageCollectUi final : public CollectUi {
 public:
  void ShowError(std::string_view message) override { message_ = message; }
  void ShowPage(int) override {}
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

// Clears `record` and fills it from the pages, `MODEL` from the device record. At the first failing
// check its message is shown, its page selected, and -1 returned with `text` unchanged. Otherwise
// the record is serialised into `text` (with the file-only keys when `forFile`) and 0 returned.
// An empty TCP password that no mode needs is stored as "D E L" for a device, to remove it, and
// as the empty password in a file. The check's message is in `language`.
int CollectSettings(const PageStates& pages, const SettingsRecord& deviceRecord, bool forFile,
                    bool secondChannelReduced, SettingsRecord& record, SettingsText& text,
                    CollectUi& ui, Language language = Language::kJapanese);

// The settings-password change that the network page asks Apply for.
inline PasswordChangeRequest PasswordChangeOf(const NetworkPageState& network) {
  return {network.changePassword, network.newPassword, network.newPasswordAgain};
}

}  // namespace calbrin
