// calbrin_journey: a user's whole round through the real windows against two simulated QV-48R2
// devices. It searches, opens the first device, changes settings on every page and applies them,
// saves the device's settings to a file, loads that file into the second device and applies it,
// and finally reads both devices back and compares every field with what it set. Each step is
// printed; the last line is the verdict, and the exit code is 0 only for PASS.
//
// Usage: calbrin_journey FOLDER   (a folder for the settings file)
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/adapters.h"
#include "pages/dotted_address.h"
#include "settings/password_scrambling.h"
#include "settings/settings_record.h"
#include "tests/support/sim_settings.h"
#include "tests/ui/ui_support.h"
#include "ui/main/app.h"
#include "ui/main/main_window.h"
#include "ui/main/wide_text.h"

namespace calbrin {
namespace {

using enum test::Tab;

constexpr std::string_view kFirst = "127.0.0.2";
constexpr std::string_view kSecond = "127.0.0.3";
constexpr std::string_view kLanPassword = "plant-7";

int failures = 0;

void Say(const std::string& line) {
  std::printf("journey: %s\n", line.c_str());
  std::fflush(stdout);
}

void Fail(const std::string& line) {
  ++failures;
  Say("FAILED: " + line);
}

// The settings that the journey sets on the pages, as the device must store them; the channel
// passwords are compared unscrambled, PASS1 with kLanPassword.
constexpr std::string_view kChangedSettings =
    "GWAY=192.168.1.1 NEGOS=3 MSS=1200 KEEP_A=24 PORT1=4001 SMODE1=0 CMODE1=5 CCHAR1=13 "
    "HIP1=192.168.1.50 HPORT1=5050 CPASS1=1 DMODE1=1 DTIME1=30 FLUSH1=1 PRT2=1 PORT2=4002 "
    "HIP2=192.168.1.60 HPORT2=6060 CBPS1=38400 CBIT1=2 CPAR1=2 CSTOP1=3 CFLOW1=2 CXON1=18 P_EN1=1 "
    "PTIME1=50 PSIZE1=256 CBPS2=115200 CFLOW2=1 P_EN2=1 PCHAR2=2 PMOJ12=13 PMOJ22=10 PTRAL2=1";

// The pages of one open settings dialog, driven like a user.
class Pages final : public test::PageDriver {
 public:
  explicit Pages(SettingsDialog& settings) { dialog = &settings; }

  void SetAddress(int tab, int id, std::string_view address) {
    ShowTab(tab);
    SendMessageW(Control(tab, id), IPM_SETADDRESS, 0, *ParseDottedAddress(address));
  }

  // Every page, with the values of kChangedSettings: a click, a list item, a text typed and left,
  // or an address.
  void ChangeEveryPage() {
    enum Do { kClick, kChoose, kEnter, kAddress };
    struct Step {
      int tab, id;
      Do what;
      std::string_view value = "";
    };
    // clang-format off
    const Step steps[] = {
        {kNetworkTab, IDC_GATEWAY, kAddress, "192.168.1.1"}, {kNetworkTab, IDC_AUTO_NEGOTIATION, kClick},
        {kNetworkTab, IDC_SPEED_100M, kClick}, {kNetworkTab, IDC_FULL_DUPLEX, kClick},
        {kNetworkTab, IDC_MSS, kEnter, "1200"}, {kNetworkTab, IDC_KEEP_ALIVE, kEnter, "24"},
        {kLan1Tab, IDC_RECEIVE_PORT, kEnter, "4001"}, {kLan1Tab, IDC_CLIENT_MODE, kClick},
        {kLan1Tab, IDC_CLIENT_CONDITION, kChoose, "3"}, {kLan1Tab, IDC_CLIENT_CHAR, kEnter, "0d"},
        {kLan1Tab, IDC_CLIENT_ADDRESS, kAddress, "192.168.1.50"}, {kLan1Tab, IDC_CLIENT_PORT, kEnter, "5050"},
        {kLan1Tab, IDC_PASSWORD_REQUIRED, kClick}, {kLan1Tab, IDC_LAN_PASSWORD, kEnter, kLanPassword},
        {kLan1Tab, IDC_DISCONNECT_CONDITION, kChoose, "1"}, {kLan1Tab, IDC_IDLE_TIME, kEnter, "30"},
        {kLan1Tab, IDC_FLUSH, kClick},
        {kLan2Tab, IDC_PROTOCOL, kChoose, "1"}, {kLan2Tab, IDC_RECEIVE_PORT, kEnter, "4002"},
        {kLan2Tab, IDC_UDP_ADDRESS, kAddress, "192.168.1.60"}, {kLan2Tab, IDC_UDP_PORT, kEnter, "6060"},
        {kSerial1Tab, IDC_BAUD_RATE, kEnter, "38400"}, {kSerial1Tab, IDC_DATA_BITS, kChoose, "0"},
        {kSerial1Tab, IDC_PARITY, kChoose, "1"}, {kSerial1Tab, IDC_STOP_BITS, kChoose, "1"},
        {kSerial1Tab, IDC_FLOW, kChoose, "2"}, {kSerial1Tab, IDC_XON, kEnter, "12"},
        {kSerial1Tab, IDC_PACKING, kClick}, {kSerial1Tab, IDC_PACKING_TIME, kEnter, "50"},
        {kSerial1Tab, IDC_DATA_COUNT, kClick}, {kSerial1Tab, IDC_DATA_COUNT_VALUE, kEnter, "256"},
        {kSerial2Tab, IDC_BAUD_RATE, kEnter, "115200"}, {kSerial2Tab, IDC_FLOW, kChoose, "1"},
        {kSerial2Tab, IDC_PACKING, kClick}, {kSerial2Tab, IDC_SPECIFIED_CHAR, kClick},
        {kSerial2Tab, IDC_CHAR_COUNT, kChoose, "1"}, {kSerial2Tab, IDC_CHAR_1, kEnter, "0D"},
        {kSerial2Tab, IDC_CHAR_2, kEnter, "0A"}, {kSerial2Tab, IDC_TRAILING_COUNT, kChoose, "1"},
    };
    // clang-format on
    for (const auto& [tab, id, what, value] : steps) {
      if (what == kClick) Click(tab, id);
      if (what == kChoose) Choose(tab, id, value[0] - '0');
      if (what == kEnter) EnterAndLeave(tab, id, WideText(value));
      if (what == kAddress) SetAddress(tab, id, value);
    }
  }
};

class Journey {
 public:
  explicit Journey(std::wstring folder) : file_(std::move(folder) + L"\\journey.qvs") {}

  int Run() {
    app_->console.Startup();
    app_->discovery.Startup(kRouteProbeAddress);
    window_.showMessage = [](HWND, const std::wstring& text, const std::wstring& caption,
                             UINT type) {
      // Its caption and text on one line, the line breaks shown as " / ".
      std::string line = Utf8Text(caption) + ": " + Utf8Text(text);
      for (std::size_t at; (at = line.find("\r\n")) != std::string::npos;)
        line.replace(at, 2, " / ");
      Say("  message  " + line);
      return (type & MB_YESNO) != 0 ? IDYES : IDOK;
    };
    window_.showSettingsDialog = [this](HWND owner) { ShowDialog(owner); };
    main_ = window_.Create();
    ShowWindow(main_, SW_SHOW);

    if (Search()) {
      Say("2. open " + std::string(kFirst) + ", change settings on every page, apply");
      Open(kFirst, [](Pages& pages) {
        pages.ChangeEveryPage();
        pages.Apply();
      });
      Say("3. open " + std::string(kFirst) + " again, save its settings to " + Utf8Text(file_));
      Open(kFirst, [](Pages& pages) { pages.Command(IDM_SAVE_SETTINGS_FILE); });
      Say("4. open " + std::string(kSecond) + ", load the file, keep its own address, apply");
      Open(kSecond, [](Pages& pages) {
        pages.Command(IDM_OPEN_SETTINGS_FILE);
        pages.SetAddress(kNetworkTab, IDC_IP, "127.0.0.3");
        pages.Apply();
      });
      Say("5. read both devices back and compare every field");
      Compare(kFirst);
      Compare(kSecond);
    }

    DestroyWindow(main_);
    app_->discovery.Shutdown();
    app_->console.Shutdown();
    Say(failures == 0 ? "PASS" : "FAIL (" + std::to_string(failures) + " problems)");
    return failures == 0 ? 0 : 1;
  }

 private:
  HWND Item(int id) const { return GetDlgItem(main_, id); }

  bool Search() {
    Say("1. search from the loopback adapter");
    SendMessageW(Item(IDC_SEARCH), BM_CLICK, 0, 0);
    test::PumpUntil([this] { return IsWindowEnabled(Item(IDC_SEARCH)) != FALSE; }, 10000);
    HWND list = Item(IDC_DEVICE_LIST);
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
      std::string line;
      for (int column = 0; column < 4; ++column) {
        wchar_t text[64] = {};
        ListView_GetItemText(list, row, column, text, 64);
        line += (column > 0 ? "  " : "") + Utf8Text(text);
        if (column == 2 && Utf8Text(text) != "QV-48R2") Fail("a row's model is not QV-48R2");
      }
      Say("   found  " + line);
    }
    if (ListView_GetItemCount(list) == 2) return true;
    Fail("the search found " + std::to_string(ListView_GetItemCount(list)) + " devices, not 2");
    return false;
  }

  // Selects the device's row and opens it; `act` runs on the pages of its settings dialog.
  void Open(std::string_view address, std::function<void(Pages&)> act) {
    HWND list = Item(IDC_DEVICE_LIST);
    const std::wstring text = WideText(address);
    LVFINDINFOW find{LVFI_STRING, text.c_str(), 0, {}, 0};
    const int row = ListView_FindItem(list, -1, &find);
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    act_ = std::move(act);
    opened_ = false;
    SendMessageW(Item(IDC_OPEN_SETTINGS), BM_CLICK, 0, 0);
    if (!opened_) Fail("the settings dialog of " + std::string(address) + " did not open");
  }

  void ShowDialog(HWND owner) {
    opened_ = true;
    SettingsDialog dialog(SettingsDialogData{
        .session = app_->session,
        .console = app_->console,
        .fileRecord = app_->fileRecord,
        .applicationDirectory = app_->applicationDirectory,
        .showMessage = window_.showMessage,
        .chooseFile = [this](HWND, SettingsFileDialog, const std::wstring&, const std::wstring&)
            -> std::optional<std::wstring> { return file_; }});
    if (dialog.CreateModeless(owner) == nullptr) {
      Fail("the settings dialog could not be created");
      return;
    }
    test::PumpUntil([] { return false; }, 100);
    Pages pages(dialog);
    if (act_) act_(pages);
    for (const std::string& problem : pages.problems)
      Fail(problem);
    if (dialog.Window() != nullptr) SendMessageW(dialog.Window(), WM_COMMAND, IDCANCEL, 0);
    lastRecord_ = app_->session.deviceRecord;
  }

  // Opens the device once more and compares what it stores with what the journey set.
  void Compare(std::string_view address) {
    Open(address, nullptr);
    SettingsRecord expected = ToRecord(sim::DefaultSettings("48", address));
    test::SetSettings(expected,
                      std::string(kChangedSettings) + " PASS2= PASS1=" + std::string(kLanPassword));
    int same = 0;
    for (int i = 0; i < kSettingKeyCount; ++i) {
      const std::string want(ReadField(expected, i));
      std::string stored(ReadField(lastRecord_, i));
      if (i == Index(SettingKey::PASS1) || i == Index(SettingKey::PASS2))
        UnscramblePassword(std::string(stored), stored);
      if (stored == want) ++same;
      if (stored != want)
        Fail(std::string(address) + " " + std::string(KeyText(i)) + ": stored \"" + stored +
             "\", set \"" + want + "\"");
    }
    Say("   " + std::string(address) + ": " + std::to_string(same) + " of " +
        std::to_string(kSettingKeyCount) + " fields as set");
  }

  std::unique_ptr<App> app_ = std::make_unique<App>();
  MainWindow window_{*app_};
  HWND main_ = nullptr;
  std::wstring file_;
  std::function<void(Pages&)> act_;
  bool opened_ = false;
  SettingsRecord lastRecord_;
};

}  // namespace
}  // namespace calbrin

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: calbrin_journey FOLDER\n");
    return 2;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES |
                                                     ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  calbrin::Journey journey(calbrin::WideTextFromAnsi(argv[1]));
  return journey.Run();
}
