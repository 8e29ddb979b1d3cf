// SettingsDialog: the modal dialog that hosts the five settings pages of one open device.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/apply_settings.h"
#include "net/console_connection.h"
#include "net/device_operations.h"
#include "pages/collect_settings.h"
#include "settings/language.h"
#include "settings/settings_record.h"
#include "ui/editor/settings_file_dialogs.h"
#include "ui/main/message_box.h"

namespace calbrin {

class SettingsPage;
class NetworkPage;
class LanPage;
class SerialPage;

// The dialog's results; the opener does not act on them.
enum SettingsDialogResult : int {
  kSettingsDialogClosed = 0,     // the close box
  kSettingsDialogApplied = 1,    // a successful Apply
  kSettingsDialogCancelled = 2,  // Cancel or Esc
};

// What the dialog works with: the open device, the connection that holds it open, the file record,
// and the seams that tests replace. Everything must outlive the dialog.
struct SettingsDialogData {
  // The open device: its record (which the pages show and which names the model) and its
  // address and MAC. Apply writes through it.
  DeviceSession& session;
  ConsoleConnection& console;
  // The record that a settings file is read into.
  SettingsRecord& fileRecord;
  // Where the file dialogs start.
  std::wstring applicationDirectory;
  // The language of the dialog, its pages and its message boxes' captions.
  Language language = Language::kJapanese;
  // Every message box and question of the dialog, of Apply and of the file commands.
  MessageBoxFunction showMessage = SystemMessageBox;
  SettingsFileChooser chooseFile = ChooseSettingsFile;
  // The user's data folder (UserDataFolder): Apply keeps the settings it writes over in its
  // history and appends its record to its change log. Empty: neither can be kept.
  std::filesystem::path dataFolder = {};
  // How long a successful write blocks the dialog while the device restarts.
  std::chrono::milliseconds writeSettleTime = kWriteSettleTime;
};

// Runs the settings dialog modally for the device that `data` holds open. Returns a
// SettingsDialogResult.
int ShowSettingsDialog(HWND owner, const SettingsDialogData& data);

// One run of the dialog. Used on the user-interface thread only. The object must outlive its
// window; the pages are destroyed with the window.
class SettingsDialog {
 public:
  static constexpr int kPageCount = 5;

  // Whether channel 2 is the reduced one follows from the device record's model, once, here.
  explicit SettingsDialog(const SettingsDialogData& data);
  SettingsDialog(const SettingsDialog&) = delete;
  SettingsDialog& operator=(const SettingsDialog&) = delete;
  ~SettingsDialog();

  // Shows the dialog modally and returns its SettingsDialogResult.
  int RunModal(HWND owner);
  // Creates the same dialog modeless, for a host that runs its own message loop; closing it
  // destroys the window and leaves the result in Result(). Returns the window, or null.
  HWND CreateModeless(HWND owner);

  HWND Window() const { return window_; }
  // The result once the dialog has closed.
  std::optional<int> Result() const { return result_; }

  // The page bound to tab `tabIndex` (0 to 4), or null for any other index.
  SettingsPage* PageAt(int tabIndex) const;
  NetworkPage& Network() const;
  LanPage& Lan(int channel) const;     // channel 1 or 2
  SerialPage& Serial(int port) const;  // port 1 or 2

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  void OnInit();
  bool OnCommand(int id);
  bool OnNotify(const NMHDR& header);
  void End(int result);

  void ShowModel();
  void CreatePages();
  void FitTabToPages();
  void ShowPage(int tabIndex);
  // Selects a tab the way a user's click does, so that the dialog switches pages itself.
  void SelectTab(int tabIndex);
  void SetStatusText(std::string_view text);
  void ShowError(std::string_view message);
  // The five pages as their controls stand.
  PageStates ReadPages() const;

  bool ApplySettings();
  // Keeps the settings read from the device in the history before Apply writes over them; when
  // that fails, says so in the status line and asks whether to write without. True: write.
  bool KeepHistory();
  // The change log's record of an Apply whose write began.
  void LogApply(const PageStates& pages, bool passwordChanged, bool written);
  // The windows' text `id` with its placeholder filled.
  std::string Text(int id, std::string_view part = {}) const;
  void SaveSettingsFile();
  void LoadSettingsFile();

  class DialogApplyUi;

  SettingsDialogData data_;
  bool secondChannelReduced_;
  // "QV-48R2", "QV-57R" or empty: the start of a saved file's proposed name.
  std::string modelNameText_;
  std::unique_ptr<NetworkPage> network_;
  std::array<std::unique_ptr<LanPage>, 2> lan_;
  std::array<std::unique_ptr<SerialPage>, 2> serial_;
  HWND window_ = nullptr;
  bool modal_ = false;
  std::optional<int> result_;
};

}  // namespace calbrin
