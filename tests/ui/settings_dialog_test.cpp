// The settings dialog and its pages. The page rules are the pure rules, tested natively; here,
// after each click or list choice, the controls must equal those rules applied to what the page
// reads back, the channel-2 variant must reach the lists, and each edit must carry its edit rule.
// Beyond that: the title and model, the tabs, how the dialog closes, and one success and one
// failure of each of its flows (Apply against a simulated device, saving and loading a file).
#include "ui/editor/settings_dialog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "file/change_log.h"
#include "net/console_connection.h"
#include "net/device_operations.h"
#include "pages/lan_page_state.h"
#include "pages/network_page_state.h"
#include "pages/serial_page_state.h"
#include "pages/settings_view.h"
#include "settings/settings_text.h"
#include "tests/support/device_test_support.h"
#include "tests/support/sim_settings.h"
#include "tests/ui/ui_support.h"
#include "ui/editor/lan_page.h"
#include "ui/editor/network_page.h"
#include "ui/editor/serial_page.h"

namespace calbrin {
namespace {

namespace fs = std::filesystem;
using enum test::Tab;
using test::ErrorBox;

// A modeless settings dialog over a test record, its connection and file record, with every
// message box and file dialog recorded.
class SettingsDialogFixture : public ::testing::Test, public test::PageDriver {
 protected:
  SettingsDialogFixture() {
    std::string_view("192.168.11.203").copy(session_.identity.address.data(), 14);
    std::string_view("02-00-00-00-00-07").copy(session_.identity.mac.data(), 17);
  }
  void TearDown() override {
    dialog_.reset();
    test::PumpMessages();
    EXPECT_EQ(problems, std::vector<std::string>{});
  }

  // The settings of a fresh device of `model` ("48", "57"), with the `changes` of SetSettings.
  void UseDevice(std::string_view model, std::string_view changes = "") {
    record_ = ToRecord(sim::DefaultSettings(model, "10.1.1.20"));
    test::SetSettings(record_, changes);
  }

  HWND Open() {
    dialog_.emplace(SettingsDialogData{
        .session = session_,
        .console = console_,
        .fileRecord = fileRecord_,
        .applicationDirectory = L"C:\\calbrin",
        .language = language_,
        .showMessage = messages_.Function(),
        .chooseFile = [this](HWND, SettingsFileDialog kind, const std::wstring& folder,
                             const std::wstring& proposed) -> std::optional<std::wstring> {
          fileDialogs_.push_back(std::to_wstring(static_cast<int>(kind)) + L"|" + folder + L"|" +
                                 proposed);
          return chosenFile_;
        },
        .dataFolder = dataFolder_,
        .writeSettleTime = std::chrono::milliseconds(10)});
    dialog = &*dialog_;
    HWND window = dialog_->CreateModeless(nullptr);
    EXPECT_NE(window, nullptr) << "CreateDialogParamW failed with error " << GetLastError();
    test::PumpMessages();
    return window;
  }

  ConsoleConnection console_;
  DeviceSession session_;
  SettingsRecord& record_ = session_.deviceRecord;
  SettingsRecord fileRecord_;
  test::MessageRecorder messages_;
  // File dialogs shown as "kind|folder|proposed name", and the file each returns (none: Cancel).
  std::vector<std::wstring> fileDialogs_;
  std::optional<std::wstring> chosenFile_;
  Language language_ = Language::kJapanese;
  std::filesystem::path dataFolder_;
  std::optional<SettingsDialog> dialog_;
};

class SettingsPagesTest : public SettingsDialogFixture {
 protected:
  // What the click rules decide, as one text, so that a difference shows which part differs.
  static std::string Ruled(const auto&... parts) {
    std::ostringstream out;
    ((out << parts << ' '), ...);
    return out.str();
  }
  static std::string Ruled(const NetworkPageState& s) {
    return Ruled(s.speed100Checked, s.fullDuplexChecked, s.speed100, s.fullDuplex);
  }
  static std::string Ruled(const LanPageState& s) {
    return Ruled(s.protocol, s.clientMode, s.passwordRequired, s.connection.serverCode,
                 s.connection.clientCode, s.connection.serverPassword, s.connection.clientPassword);
  }
  static std::string Ruled(const SerialPageState&) { return ""; }
  static EnabledStates Rules(const NetworkPageState& s) { return NetworkPageEnabled(s); }
  static EnabledStates Rules(const LanPageState& s) { return LanPageEnabled(s); }
  static EnabledStates Rules(const SerialPageState& s) { return SerialPageEnabled(s); }

  // A click (item -1) or a list choice on `page`, shown on `tab`; then the page shows what `rule`
  // and the enable rules make of what it reads back.
  template <typename Page, typename State>
  void Step(const Page& page, int tab, int id, int item, void (*rule)(State&) = nullptr) {
    SCOPED_TRACE(testing::Message() << "tab " << tab << " control " << id << " item " << item);
    if (item < 0) {
      Click(tab, id);
    } else {
      Choose(tab, id, item);
    }
    const State read = page.Read();
    State expected = read;
    if (rule != nullptr) rule(expected);
    EXPECT_EQ(Ruled(read), Ruled(expected));
    for (const ControlEnabled& control : Rules(expected))
      EXPECT_EQ(Enabled(tab, control.id), control.enabled) << "control " << control.id;
  }
};

TEST_F(SettingsPagesTest, ClicksAndChoicesShowWhatThePageRulesSay) {
  UseDevice("57", "NEGOS=2 SPASS2=1");
  ASSERT_NE(Open(), nullptr);
  const NetworkPage& network = dialog_->Network();
  for (const int id : {IDC_AUTO_NEGOTIATION, IDC_AUTO_NEGOTIATION, IDC_AUTO_ADDRESS,
                       IDC_CHANGE_PASSWORD, IDC_AUTO_ADDRESS})
    Step(network, kNetworkTab, id, -1, OnAutoNegotiationClicked);
  for (const int id : {IDC_FULL_DUPLEX, IDC_SPEED_10M, IDC_SPEED_100M})
    Step(network, kNetworkTab, id, -1, OnSpeedOrDuplexClicked);

  const LanPage& lan = dialog_->Lan(2);
  Step(lan, kLan2Tab, IDC_PROTOCOL, kUdpItem, OnProtocolChanged);
  Step(lan, kLan2Tab, IDC_PROTOCOL, kTcpItem, OnProtocolChanged);
  Step(lan, kLan2Tab, IDC_CLIENT_MODE, -1, OnModeClicked);
  Step<LanPage, LanPageState>(lan, kLan2Tab, IDC_CLIENT_CONDITION, 2);
  Step(lan, kLan2Tab, IDC_PASSWORD_REQUIRED, -1, OnPasswordRequiredClicked);
  Step(lan, kLan2Tab, IDC_SERVER_MODE, -1, OnModeClicked);
  Step<LanPage, LanPageState>(lan, kLan2Tab, IDC_DISCONNECT_CONDITION, 2);
  Step<LanPage, LanPageState>(lan, kLan2Tab, IDC_DISCONNECT_CONDITION, 1);
  Step(lan, kLan2Tab, IDC_CLIENT_MODE, -1, OnModeClicked);

  const SerialPage& serial = dialog_->Serial(1);
  const int steps[][2] = {{IDC_FLOW, 2},       {IDC_PACKING, -1},    {IDC_SPECIFIED_CHAR, -1},
                          {IDC_CHAR_COUNT, 1}, {IDC_DATA_COUNT, -1}, {IDC_PACKING, -1},
                          {IDC_PACKING, -1},   {IDC_FLOW, 0}};
  for (const auto& [id, item] : steps)
    Step<SerialPage, SerialPageState>(serial, kSerial1Tab, id, item);
  Step<SerialPage, SerialPageState>(dialog_->Serial(2), kSerial2Tab, IDC_FLOW, 1);
}

// The title, the model and the variant decided from the device record; the variant reaches the
// channel-2 pages, and only them.
TEST_F(SettingsPagesTest, TitleModelAndVariantFollowTheDeviceRecord) {
  const struct {
    const char* code;
    const wchar_t* label;
    bool reduced;
  } cases[] = {
      {"48", L"MODEL: QV-48R2", false}, {"57", L"MODEL: QV-57R", true}, {"99", L"MODEL: ?", true}};
  for (const auto& [code, label, reduced] : cases) {
    SCOPED_TRACE(code);
    UseDevice("48", "CDRV2=0 CFLOW2=1");
    SetField(record_, SettingKey::MODEL, code);
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowText(window), L"192.168.11.203");
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_MODEL_LABEL)), label);
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_SETTINGS_STATUS)), L" ");
    const auto count = [](ChoiceItems items) { return static_cast<int>(items.size()); };
    for (const int tab : {kLan1Tab, kLan2Tab}) {
      const bool tabReduced = reduced && tab == kLan2Tab;
      EXPECT_EQ(ItemCount(tab, IDC_SERVER_CONDITION), count(ServerConditionItems(tabReduced)));
      EXPECT_EQ(ItemCount(tab, IDC_CLIENT_CONDITION), count(ClientConditionItems(tabReduced)));
      EXPECT_EQ(ItemCount(tab, IDC_DISCONNECT_CONDITION),
                count(DisconnectConditionItems(tabReduced)));
      EXPECT_FALSE(Visible(tab, IDC_RFC2217));
    }
    for (const int tab : {kSerial1Tab, kSerial2Tab}) {
      const bool tabReduced = reduced && tab == kSerial2Tab;
      EXPECT_EQ(ItemCount(tab, IDC_FLOW), count(FlowItems(tabReduced)));
      for (const int id : {IDC_DRIVER_LABEL, IDC_DRIVER_ON_SEND, IDC_DRIVER_ALWAYS})
        EXPECT_EQ(Visible(tab, id), tabReduced) << id;
    }
    // CFLOW2 1 is Xon/Xoff on the reduced list, RTS/CTS on the full one.
    EXPECT_EQ(Enabled(kSerial2Tab, IDC_XON), reduced);
    EXPECT_EQ(IsDlgButtonChecked(Page(kSerial2Tab), IDC_DRIVER_ALWAYS), BST_CHECKED);
    dialog_.reset();
  }
}

// Each edit: its length limit, and what typing into it or leaving it shows. A filter that
// replaces the text leaves the caret at the end of what was typed.
TEST_F(SettingsPagesTest, EveryEditCarriesItsRule) {
  UseDevice("48");
  ASSERT_NE(Open(), nullptr);
  enum How { kTyped, kLeft };
  const struct {
    int tab, id, limit;
    How how;
    const wchar_t* input;
    const wchar_t* shown;
  } cases[] = {
      {kNetworkTab, IDC_MSS, 4, kLeft, L"99999", L"1460"},
      {kNetworkTab, IDC_KEEP_ALIVE, 3, kLeft, L"999", L"255"},
      {kNetworkTab, IDC_NEW_PASSWORD, 32, kTyped, L"ab c", L"abc"},
      {kNetworkTab, IDC_NEW_PASSWORD_AGAIN, 32, kTyped, L"x\u3042y", L"xy"},
      {kLan1Tab, IDC_RECEIVE_PORT, 5, kLeft, L"70000", L"65535"},
      {kLan1Tab, IDC_UDP_PORT, 0, kLeft, L"99999", L"65535"},
      {kLan1Tab, IDC_IDLE_TIME, 4, kLeft, L"0", L"1"},
      {kLan1Tab, IDC_CLIENT_CHAR, 2, kTyped, L"a b", L"AB"},
      {kLan1Tab, IDC_DISCONNECT_CHAR, 2, kTyped, L"1g", L"1"},
      {kLan1Tab, IDC_LAN_PASSWORD, 32, kTyped, L"p w", L"pw"},
      {kLan1Tab, IDC_CLIENT_PORT, 0, kLeft, L"port 80 of the host", L"port 80 of the host"},
      {kSerial1Tab, IDC_BAUD_RATE, 7, kTyped, L"1a4-4.0x0 ", L"14400"},
      {kSerial1Tab, IDC_BAUD_RATE, 7, kLeft, L"1234567", L"921600"},
      {kSerial1Tab, IDC_XON, 2, kTyped, L"ab", L"AB"},
      {kSerial1Tab, IDC_XOFF, 2, kTyped, L"-", L""},
      {kSerial1Tab, IDC_PACKING_TIME, 4, kLeft, L"0", L"1"},
      {kSerial1Tab, IDC_DATA_COUNT_VALUE, 5, kLeft, L"2", L"6"},
      {kSerial1Tab, IDC_CHAR_1, 2, kTyped, L"0d", L"0D"},
      {kSerial2Tab, IDC_CHAR_2, 2, kTyped, L"x", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "tab " << c.tab << " control " << c.id);
    HWND target = KeyTarget(c.tab, c.id);
    if (c.limit > 0) {
      EXPECT_EQ(SendMessageW(target, EM_GETLIMITTEXT, 0, 0), c.limit);
    }
    // Leaving needs the focus, which a greyed edit does not take.
    EnableWindow(Control(c.tab, c.id), TRUE);
    if (c.how == kTyped) {
      Type(c.tab, c.id, c.input);
      DWORD start = 0;
      SendMessageW(target, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
      EXPECT_EQ(start, std::wstring_view(c.shown).size());
    } else {
      EnterAndLeave(c.tab, c.id, c.input);
    }
    EXPECT_EQ(Text(c.tab, c.id), c.shown);
  }
}

// However large the pages' font, no control is cut off: the strip and the dialog grow to hold the
// pages, the buttons stay below the strip and the dialog on the screen. On every page of both
// models in both languages each shown control lies within its page and overlaps no other; the
// English texts fit their controls. The high-DPI test runs this at 144 DPI too.
TEST_F(SettingsPagesTest, EveryControlOfEveryPageIsOnScreen) {
  for (const char* model : {"48", "57"}) {
    for (const Language language : {Language::kJapanese, Language::kEnglish}) {
      SCOPED_TRACE(testing::Message() << model << (language == Language::kEnglish ? " en" : " ja"));
      UseDevice(model);
      language_ = language;
      ASSERT_NE(Open(), nullptr);
      for (int tab = 0; tab < SettingsDialog::kPageCount; ++tab) {
        EXPECT_EQ(test::LayoutProblems(Page(tab), language == Language::kEnglish),
                  std::vector<std::string>{})
            << "tab " << tab;
      }
      const auto rectIn = [](HWND parent, HWND child) {
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
      };
      HWND window = dialog_->Window();
      RECT client{};
      GetClientRect(window, &client);
      const RECT strip = rectIn(window, GetDlgItem(window, IDC_TAB));
      for (const int id : {IDOK, IDCANCEL, IDC_SETTINGS_STATUS}) {
        const RECT rect = rectIn(window, GetDlgItem(window, id));
        EXPECT_GE(rect.top, strip.bottom) << id;
        EXPECT_LE(rect.bottom, client.bottom) << id;
      }
      RECT frame{};
      GetWindowRect(window, &frame);
      EXPECT_LE(frame.bottom, GetSystemMetrics(SM_CYSCREEN));
      EXPECT_LE(frame.right, GetSystemMetrics(SM_CXSCREEN));
    }
  }
}

class SettingsDialogTest : public SettingsDialogFixture {};

TEST_F(SettingsDialogTest, EachTabShowsOnlyItsOwnPageWhichKeepsItsEdits) {
  UseDevice("48");
  HWND window = Open();
  HWND tab = GetDlgItem(window, IDC_TAB);
  std::vector<std::wstring> captions;
  for (int i = 0; i < TabCtrl_GetItemCount(tab); ++i) {
    wchar_t caption[64] = {};
    TCITEMW item{TCIF_TEXT, 0, 0, caption, 64, 0, 0};
    TabCtrl_GetItem(tab, i, &item);
    captions.push_back(caption);
  }
  EXPECT_EQ(captions, (std::vector<std::wstring>{L"共通", L"LAN(1)", L"LAN(2)",
                                                 L"シリアルポート(1)", L"シリアルポート(2)"}));
  EXPECT_EQ(VisiblePages(), std::vector<int>{0});
  for (const int index : {3, 1, 4, 0, 2}) {
    SelectTab(index);
    EXPECT_EQ(VisiblePages(), std::vector<int>{index});
    EXPECT_TRUE(IsChild(Page(index), GetFocus())) << index;
  }
  EnterAndLeave(kLan1Tab, IDC_RECEIVE_PORT, L"2101");
  SelectTab(kSerial1Tab);
  EXPECT_EQ(Text(kLan1Tab, IDC_RECEIVE_PORT), L"2101");
  HMENU file = GetSubMenu(GetMenu(window), 0);
  EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(IDM_SAVE_SETTINGS_FILE));
  EXPECT_EQ(GetMenuItemID(file, 1), static_cast<UINT>(IDM_OPEN_SETTINGS_FILE));
  // Cancel, and the close box.
  SendMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog_->Result(), std::optional<int>(kSettingsDialogCancelled));
  SendMessageW(Open(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(dialog_->Result(), std::optional<int>(kSettingsDialogClosed));
}

// Apply against a simulated device that the open flow holds open, with a data folder of its own
// for the history and the change log, found from LOCALAPPDATA as the program finds it.
class SettingsApplyTest : public SettingsDialogFixture, public CliIo {
 protected:
  SettingsApplyTest() {
    console_.Startup();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    localAppData_ = fs::path(temp) / ("calbrin-apply-" + std::to_string(GetTickCount64()));
    dataFolder_ = UserDataFolder([this](const std::string& name) { return Environment(name); });
  }
  ~SettingsApplyTest() override {
    console_.Shutdown();
    std::error_code error;
    fs::remove_all(localAppData_, error);
  }

  // calbrin-cli's view of the same user: its output, and the environment.
  void Out(std::string_view text) override { cliOutput_ += text; }
  void Err(std::string_view text) override { cliOutput_ += text; }
  bool Interactive() override { return false; }
  std::optional<std::string> ReadLine(std::string_view, bool) override { return std::nullopt; }
  std::optional<std::string> Environment(const std::string& name) override {
    if (name == "LOCALAPPDATA") return localAppData_.string();
    if (name == "QV_PASSWORD") return "Line-7";
    return std::nullopt;
  }

  // The change log's lines.
  std::vector<std::string> LogLines() const {
    std::ifstream in(dataFolder_ / "changes.jsonl", std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    return lines;
  }

  // Opens a simulated device of `model` the way the main window does and runs `body` while its
  // settings dialog would be shown.
  void WhileOpen(std::string model, std::function<void()> body) {
    test::StartDevices(simulator_, {test::Device(std::move(model))});
    test::RecordingOpenUi ui;
    ui.whileOpen = std::move(body);
    EXPECT_EQ(OpenDevice(console_, test::OneAdapter(), session_, ui), 1);
    EXPECT_EQ(ui.errors, std::vector<std::string>{});
  }

  fs::path localAppData_;
  std::string cliOutput_;
  sim::Simulator simulator_;
};

// The write is logged once, in English, the password only as changed; the settings it wrote over
// are in the history, from which calbrin-cli's restore gives them back.
TEST_F(SettingsApplyTest, EditsOnEveryPageAndANewPasswordAreStoredByTheDevice) {
  WhileOpen("57", [this] {
    ASSERT_NE(Open(), nullptr);
    Click(kNetworkTab, IDC_CHANGE_PASSWORD);
    Type(kNetworkTab, IDC_NEW_PASSWORD, L"Line-7");
    Type(kNetworkTab, IDC_NEW_PASSWORD_AGAIN, L"Line-7");
    Click(kLan2Tab, IDC_CLIENT_MODE);
    Choose(kLan2Tab, IDC_CLIENT_CONDITION, 1);
    Click(kSerial2Tab, IDC_DRIVER_ON_SEND);
    Choose(kSerial2Tab, IDC_FLOW, 1);
    Apply();
    EXPECT_EQ(dialog_->Result(), std::optional<int>(kSettingsDialogApplied));
  });
  const SettingsRecord stored = ToRecord(simulator_.Settings(0));
  SettingsRecord expected = ToRecord(sim::DefaultSettings("57", "127.0.0.2"));
  test::SetSettings(expected, "SMODE2=0 CMODE2=4 CDRV2=1 CFLOW2=2");
  for (int i = 0; i < kSettingKeyCount; ++i) {
    if (i == Index(SettingKey::PASS1) || i == Index(SettingKey::PASS2)) continue;
    EXPECT_EQ(ReadField(stored, i), ReadField(expected, i)) << KeyText(i);
  }
  EXPECT_EQ(simulator_.Password(0), "Line-7");
  EXPECT_EQ(messages_.shown, (std::vector<std::wstring>{
                                 test::Box(L"確認", L"パスワードが変更されます。よろしいですか?",
                                           MB_YESNO | MB_ICONQUESTION),
                                 test::Box(L"確認", L"  書込みが完了しました。", MB_OK)}));
  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].find("Line-7"), std::string::npos);
  const std::optional<ChangeRecord> record = ParseChangeRecord(log[0]);
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->program + " " + record->command + " " + record->address + " " + record->model +
                " " + record->result,
            "calbrin apply 127.0.0.2 QV-57R written");
  std::vector<std::string> keys;
  for (const ChangedKey& key : record->keys)
    keys.push_back(key.key + "|" + key.label + "|" + key.before + "|" + key.after + "|" +
                   (key.password ? "changed" : ""));
  EXPECT_EQ(keys,
            (std::vector<std::string>{"SMODE2|TCP server connect condition|Always|off|",
                                      "CMODE2|TCP client connect condition|off|Any character|",
                                      "CFLOW2|Flow control|None|Xon/Xoff|",
                                      "CDRV2|Driver control|Always active|Active while sending|",
                                      "PASSWORD|settings password|||changed"}));

  CliSetup setup;
  setup.fillAdapters = [](AdapterTable& table) { return (table = test::OneAdapter()).count; };
  setup.settleTime = std::chrono::milliseconds(10);
  EXPECT_EQ(RunCli({"restore", "127.0.0.2", "--last", "--yes", "--password-env", "QV_PASSWORD"},
                   *this, setup),
            0)
      << cliOutput_;
  // Channel passwords compared unscrambled: a write scrambles them anew.
  std::vector<std::string> differing;
  for (const SettingDifference& difference :
       DifferentSettings(NormalisedSettings(ToRecord(simulator_.Settings(0))),
                         NormalisedSettings(ToRecord(sim::DefaultSettings("57", "127.0.0.2")))))
    differing.emplace_back(KeyText(Index(difference.before.key)));
  EXPECT_EQ(differing, std::vector<std::string>{});
  EXPECT_EQ(LogLines().size(), 2u);
}

// A history that cannot be kept is said in the status line; the write waits for the user's yes.
TEST_F(SettingsApplyTest, AHistoryThatCannotBeKeptWritesOnlyWhenTheUserAgrees) {
  fs::create_directories(dataFolder_);
  std::ofstream(dataFolder_ / "history") << "a file where the history folder belongs";
  WhileOpen("48", [this] {
    ASSERT_NE(Open(), nullptr);
    EnterAndLeave(kLan1Tab, IDC_RECEIVE_PORT, L"4101");
    messages_.yesNoAnswer = IDNO;
    Apply();
    EXPECT_FALSE(dialog_->Result().has_value());
    EXPECT_EQ(simulator_.LastWriteBlock(0), "");
    EXPECT_EQ(WindowText(GetDlgItem(dialog_->Window(), IDC_SETTINGS_STATUS))
                  .rfind(L"履歴を保存できません: 履歴ファイル ", 0),
              0u);
    messages_.yesNoAnswer = IDYES;
    Apply();
    EXPECT_EQ(dialog_->Result(), std::optional<int>(kSettingsDialogApplied));
  });
  EXPECT_EQ(ReadField(ToRecord(simulator_.Settings(0)), SettingKey::PORT1), "4101");
  const std::wstring question =
      test::Box(L"確認",
                L"書込み前の設定を履歴に保存できなかったため、この書込みは calbrin-cli restore "
                L"で元に戻せません。\r\n書込みますか?",
                MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(messages_.shown,
            (std::vector<std::wstring>{question, question,
                                       test::Box(L"確認", L"  書込みが完了しました。", MB_OK)}));
  EXPECT_EQ(LogLines().size(), 1u);
}

TEST_F(SettingsApplyTest, AFailedCheckShowsItsPageAndMessageAndWritesNothing) {
  WhileOpen("48", [this] {
    ASSERT_NE(Open(), nullptr);
    Click(kLan1Tab, IDC_PASSWORD_REQUIRED);
    SelectTab(kSerial1Tab);
    Apply();
    EXPECT_FALSE(dialog_->Result().has_value());
    EXPECT_EQ(VisiblePages(), std::vector<int>{kLan1Tab});
    EXPECT_EQ(WindowText(GetDlgItem(dialog_->Window(), IDC_SETTINGS_STATUS)), L" ");
  });
  EXPECT_EQ(messages_.shown,
            std::vector<std::wstring>{
                ErrorBox(L"LAN(1)のTCPパスワードが設定されていません。\r\n入力してください。")});
  EXPECT_EQ(simulator_.LastWriteBlock(0), "");
}

// The file commands: what a save proposes and writes, and the two refusals.
TEST_F(SettingsDialogTest, SaveWritesThePagesAndRefusalsAreReported) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const fs::path folder = fs::path(temp) / ("calbrin-files-" + std::to_string(GetTickCount64()));
  fs::create_directories(folder);
  const auto command = [this](int id, const fs::path& path) {
    chosenFile_ = path.wstring();
    Command(id);
  };
  UseDevice("48");
  ASSERT_NE(Open(), nullptr);
  EnterAndLeave(kLan1Tab, IDC_RECEIVE_PORT, L"4101");
  command(IDM_SAVE_SETTINGS_FILE, folder / "plant.qvs");
  command(IDM_SAVE_SETTINGS_FILE, folder / "no-such-folder" / "x.qvs");
  std::ostringstream saved;
  saved << std::ifstream(folder / "plant.qvs", std::ios::binary).rdbuf();
  SettingsRecord read;
  ASSERT_EQ(ParseSettings(saved.str(), read), kSettingKeyCount);
  EXPECT_EQ(ReadField(read, SettingKey::PORT1), "4101");
  // The device's receive text is the device's: a save leaves it alone.
  EXPECT_EQ(session_.settingsText.View(), "");
  dialog_.reset();

  UseDevice("57");
  ASSERT_NE(Open(), nullptr);
  command(IDM_OPEN_SETTINGS_FILE, folder / "plant.qvs");
  EXPECT_EQ(Text(kLan1Tab, IDC_RECEIVE_PORT), L"10001");
  EXPECT_EQ(fileDialogs_, (std::vector<std::wstring>{L"1|C:\\calbrin|QV-48R2_02-00-00-00-00-07.qvs",
                                                     L"1|C:\\calbrin|QV-48R2_02-00-00-00-00-07.qvs",
                                                     L"0|C:\\calbrin|"}));
  EXPECT_EQ(messages_.shown, (std::vector<std::wstring>{
                                 ErrorBox(L"ファイルを作成できませんでした。"),
                                 ErrorBox(L" 設定情報が読込めませんでした。\r\n "
                                          L"設定ファイルのモデルが異なる可能性があります。")}));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace calbrin
