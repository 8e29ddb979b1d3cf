// SettingsDialog: the modal dialog that hosts the five settings pages of one open device.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace calbrin {

struct App;
struct SettingsRecord;
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

// What the dialog reads and writes outside itself. Everything must outlive the dialog.
struct SettingsDialogContext {
  // The open device's settings; the pages load their controls from it while they are created.
  const SettingsRecord& deviceRecord;
  // Shown as the title: the dotted address of the device, single-byte text.
  std::string deviceAddress;
  // The application's variant flag: whether channel 2 is the reduced one. Set at every opening.
  bool& secondChannelReduced;
  // The open device's model name ("QV-48R2", "QV-57R" or empty), rewritten at every opening; the
  // settings file save forms its default file name from it.
  std::string modelNameText;
};

// Runs the settings dialog modally for the device that `app` holds open. Returns a
// SettingsDialogResult.
int ShowSettingsDialog(HWND owner, App& app);
int ShowSettingsDialog(HWND owner, SettingsDialogContext& context);

// One run of the dialog. Used on the user-interface thread only. The object must outlive its
// window; the pages are destroyed with the window.
class SettingsDialog {
 public:
  static constexpr int kPageCount = 5;

  explicit SettingsDialog(SettingsDialogContext& context);
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

  void IdentifyModel();
  void CreatePages();
  void ShowPage(int tabIndex);

  // Later work: Apply writes to the device, the file commands save and load settings files.
  bool ApplySettings();
  void SaveSettingsFile();
  void OpenSettingsFile();

  SettingsDialogContext& context_;
  std::unique_ptr<NetworkPage> network_;
  std::array<std::unique_ptr<LanPage>, 2> lan_;
  std::array<std::unique_ptr<SerialPage>, 2> serial_;
  HWND window_ = nullptr;
  bool modal_ = false;
  std::optional<int> result_;
};

}  // namespace calbrin
