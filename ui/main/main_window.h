// The main window: adapter choice, the device list with its subnet colouring, search, adding and
// removing devices, opening the selected device, and the version box.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "net/adapters.h"
#include "ui/main/message_box.h"
#include "ui/main/small_dialogs.h"

namespace calbrin {

struct App;

// Private step message of the search sequence; the low word of wParam carries the step code.
inline constexpr UINT kStepMessage = WM_APP + 1;

class MainWindow {
 public:
  static constexpr int kMaxRows = 20;
  static constexpr UINT_PTR kSearchTimer = 1;
  static constexpr UINT kSearchDelayMs = 500;

  explicit MainWindow(App& app) : app_(app) {}
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Every message box of the window and of the password dialog goes through this.
  MessageBoxFunction showMessage = SystemMessageBox;
  // Shows the settings dialog of the opened device over `owner` until it closes; when empty,
  // the tool's own settings dialog.
  std::function<void(HWND owner)> showSettingsDialog;
  // Asks for the address of a device to add by hand.
  std::function<void(HWND owner, AddAddressDialogData& data)> askAddress = ShowAddAddressDialog;
  // Lists the workstation's adapters at start-up.
  std::function<int(AdapterTable& table)> fillAdapters = FillAdapterTable;

  // The main window as a modal dialog without owner; returns when it closes, with 0.
  INT_PTR Run();
  // The same window without its own loop, for callers that run one (tests).
  HWND Create(HWND owner = nullptr);

  HWND Handle() const { return window_; }
  int SubnetFlag(int row) const { return subnetFlags_[static_cast<std::size_t>(row)]; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void OnInitDialog();
  void OnCommand(int id, int code);
  bool OnNotify(NMHDR& header, LRESULT& result);
  void OnStep(int step);

  void StartSearch();
  void SearchDevices();
  void AddByHand();
  void RemoveSelectedRow();
  void ChangeAdapter();
  void OpenSelectedDevice();
  void FillAdapterCombo();
  void CentreOnWorkArea();
  void EnableWorkingControls(bool enable);

  // The device list.
  HWND List() const;
  int RowCount() const;
  void AddRow(int index, const std::wstring& address, const std::wstring& mac,
              const std::wstring& model, const std::wstring& version);
  int SelectedRow() const;  // first row both selected and focused, or -1
  std::wstring RowText(int row, int column) const;
  void DeselectAllRows();
  void SetStatusText(const std::wstring& text);
  int SubnetTest(const std::wstring& rowAddress) const;

  App& app_;
  HWND window_ = nullptr;
  std::array<int, kMaxRows> subnetFlags_{};

  friend class MainWindowOpenUi;
};

}  // namespace calbrin
