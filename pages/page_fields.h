// The settings pages' fields in one table: each control with its setting, kind, choice items,
// range, edit limit and the label that calbrin-cli shows, texts in Japanese and English. Fills,
// collection, edit rules and the command line's view are driven by it.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "pages/control_states.h"
#include "pages/edit_rules.h"
#include "resources/resource.h"
#include "settings/language.h"
#include "settings/password_scrambling.h"
#include "settings/setting_key.h"

namespace calbrin {

enum class PageKind { kNetwork, kLan, kSerial };

enum class FieldKind { kNumber, kText, kAddress, kChoice, kCheck, kHexCharacter, kPassword };

// One item of a choice list.
struct ChoiceItem {
  BilingualText text;         // as the list shows it (the windows: Japanese)
  std::string_view code;      // what the collection stores for the item
  bool inReducedList = true;  // also offered by channel 2 of a QV-57R
  // Another stored code that a fill shows as this item, unless an offered item has it as its own.
  std::string_view alsoReads{};
};

// What an edit does to its text: on focus loss (clamp, baud) or on every change (hex, printable).
enum class EditRule { kNone, kClamp, kBaud, kHex, kPrintable };

struct PageField {
  PageKind page;
  std::optional<SettingKey> key;  // channel-1 form; none for the new settings password
  int control;
  FieldKind kind;
  // calbrin-cli's label; empty for a second control of a key, which the command line skips.
  BilingualText label;
  std::span<const ChoiceItem> items{};
  int fallbackItem = 0;  // the item shown for a stored code that no item reads
  int low = 0;           // kNumber: the range that the edit keeps
  int high = 0;
  int editLimit = 0;  // characters; 0: no limit
  EditRule rule = EditRule::kNone;
  // What the page stores besides the range or the items when the control's mode or check box is
  // off (a server or client condition, the data count, the character count); empty: nothing.
  std::string_view offValue{};
};

namespace page_items {
// clang-format off
inline constexpr std::array<ChoiceItem, 2> kProtocol{{{{"TCP", "TCP"}, "0"}, {{"UDP", "UDP"}, "1"}}};
inline constexpr std::array<ChoiceItem, 2> kServerCondition{{
    {{"常時", "Always"}, "1"},
    {{"DSRアクティブ", "DSR active"}, "2", false}}};
// Client code 3 is never used.
inline constexpr std::array<ChoiceItem, 4> kClientCondition{{
    {{"常時", "Always"}, "1"},
    {{"DSRアクティブ", "DSR active"}, "2", false},
    {{"任意のキャラクタ", "Any character"}, "4"},
    {{"指定キャラクタ", "Specified character"}, "5"}}};
inline constexpr std::array<ChoiceItem, 4> kDisconnectCondition{{
    {{"無効", "None"}, "0"},
    {{"無通信時間", "Idle time"}, "1"},
    {{"指定キャラクタ", "Specified character"}, "2"},
    {{"DSRノンアクティブ", "DSR inactive"}, "3", false}}};
inline constexpr std::array<ChoiceItem, 13> kBaudRate{{
    {{"300", "300"}, "300"}, {{"600", "600"}, "600"}, {{"1200", "1200"}, "1200"},
    {{"2400", "2400"}, "2400"}, {{"4800", "4800"}, "4800"}, {{"9600", "9600"}, "9600"},
    {{"19200", "19200"}, "19200"}, {{"38400", "38400"}, "38400"}, {{"57600", "57600"}, "57600"},
    {{"115200", "115200"}, "115200"}, {{"230400", "230400"}, "230400"},
    {{"460800", "460800"}, "460800"}, {{"921600", "921600"}, "921600"}}};
inline constexpr std::array<ChoiceItem, 2> kDataBits{{
    {{"7 ビット", "7 bits"}, "2"}, {{"8 ビット", "8 bits"}, "3"}}};
// A stored 2 means two stop bits on port 1 (port 2 reads stop bits its own way).
inline constexpr std::array<ChoiceItem, 2> kStopBits{{
    {{"1 ビット", "1 bit"}, "1"}, {{"2 ビット", "2 bits"}, "3", true, "2"}}};
inline constexpr std::array<ChoiceItem, 3> kParity{{
    {{"無し", "None"}, "0"}, {{"偶数", "Even"}, "2"}, {{"奇数", "Odd"}, "3"}}};
// The reduced list has no RTS/CTS and shows a stored 1 as Xon/Xoff.
inline constexpr std::array<ChoiceItem, 3> kFlow{{
    {{"無し", "None"}, "0"},
    {{"RTS/CTS", "RTS/CTS"}, "1", false},
    {{"Xon/Xoff", "Xon/Xoff"}, "2", true, "1"}}};
inline constexpr std::array<ChoiceItem, 2> kDriver{{
    {{"送信時アクティブ", "Active while sending"}, "1"},
    {{"常にアクティブ", "Always active"}, "0"}}};
inline constexpr std::array<ChoiceItem, 2> kCharacterCount{{
    {{"1 バイト", "1 byte"}, "1"}, {{"2 バイト", "2 bytes"}, "2"}}};
inline constexpr std::array<ChoiceItem, 3> kTrailingCount{{
    {{"無し", "None"}, "0"}, {{"1 バイト", "1 byte"}, "1"}, {{"2 バイト", "2 bytes"}, "2"}}};
// clang-format on
}  // namespace page_items

// Every control of the pages that shows a setting or takes a normalised entry, page by page in
// the order in which calbrin-cli lists them. What a row cannot say stays code beside its page: the
// Ethernet mode's check box and radio buttons (NEGOS), the automatic address, port 2's reading of
// stop bits, the driver buttons' exact "0", the passwords and the remote address that two groups
// show.
// clang-format off
inline constexpr auto kPageFields = std::to_array<PageField>({
    {PageKind::kNetwork, SettingKey::IP, IDC_IP, FieldKind::kAddress, {"IPアドレス", "IP address"}},
    {PageKind::kNetwork, SettingKey::IP, IDC_AUTO_ADDRESS, FieldKind::kCheck, {}},
    {PageKind::kNetwork, SettingKey::SUBM, IDC_SUBNET_MASK, FieldKind::kAddress, {"サブネットマスク", "Subnet mask"}},
    {PageKind::kNetwork, SettingKey::GWAY, IDC_GATEWAY, FieldKind::kAddress, {"デフォルトゲートウェイ", "Default gateway"}},
    {PageKind::kNetwork, SettingKey::NEGOS, IDC_AUTO_NEGOTIATION, FieldKind::kCheck, {"スピード / 通信方式", "Speed / duplex"}},
    {PageKind::kNetwork, SettingKey::MSS, IDC_MSS, FieldKind::kNumber, {"MSSサイズ", "MSS (bytes)"}, {}, 0, 536, 1460, 4, EditRule::kClamp},
    {PageKind::kNetwork, SettingKey::KEEP_A, IDC_KEEP_ALIVE, FieldKind::kNumber, {"TCPキープアライブ (x5秒)", "TCP keep-alive (x5 s)"}, {}, 0, 0, 255, 3, EditRule::kClamp},
    {PageKind::kNetwork, std::nullopt, IDC_NEW_PASSWORD, FieldKind::kPassword, {}, {}, 0, 0, 0, kMaxPasswordLength, EditRule::kPrintable},
    {PageKind::kNetwork, std::nullopt, IDC_NEW_PASSWORD_AGAIN, FieldKind::kPassword, {}, {}, 0, 0, 0, kMaxPasswordLength, EditRule::kPrintable},

    {PageKind::kLan, SettingKey::PRT1, IDC_PROTOCOL, FieldKind::kChoice, {"プロトコル", "Protocol"}, page_items::kProtocol},
    {PageKind::kLan, SettingKey::PORT1, IDC_RECEIVE_PORT, FieldKind::kNumber, {"受信ポート番号", "Receive port"}, {}, 0, 0, 65535, 5, EditRule::kClamp},
    {PageKind::kLan, SettingKey::HIP1, IDC_UDP_ADDRESS, FieldKind::kAddress, {"送信先 / 接続先IPアドレス", "Destination / remote IP address"}},
    {PageKind::kLan, SettingKey::HIP1, IDC_CLIENT_ADDRESS, FieldKind::kAddress, {}},
    {PageKind::kLan, SettingKey::HPORT1, IDC_UDP_PORT, FieldKind::kNumber, {"送信先 / 接続先ポート番号", "Destination / remote port"}, {}, 0, 0, 65535, 0, EditRule::kClamp},
    // The client's connect-to port takes any text; the collection cuts it to the field.
    {PageKind::kLan, SettingKey::HPORT1, IDC_CLIENT_PORT, FieldKind::kText, {}},
    {PageKind::kLan, SettingKey::SMODE1, IDC_SERVER_CONDITION, FieldKind::kChoice, {"サーバモード 接続条件", "TCP server connect condition"}, page_items::kServerCondition, 0, 0, 0, 0, EditRule::kNone, "0"},
    {PageKind::kLan, SettingKey::SPASS1, IDC_PASSWORD_REQUIRED, FieldKind::kCheck, {"サーバモード パスワード", "TCP server password"}},
    {PageKind::kLan, SettingKey::CMODE1, IDC_CLIENT_CONDITION, FieldKind::kChoice, {"クライアントモード 接続条件", "TCP client connect condition"}, page_items::kClientCondition, 0, 0, 0, 0, EditRule::kNone, "0"},
    {PageKind::kLan, SettingKey::CPASS1, IDC_PASSWORD_REQUIRED, FieldKind::kCheck, {"クライアントモード パスワード", "TCP client password"}},
    {PageKind::kLan, SettingKey::DMODE1, IDC_DISCONNECT_CONDITION, FieldKind::kChoice, {"切断条件", "Disconnect condition"}, page_items::kDisconnectCondition},
    {PageKind::kLan, SettingKey::PASS1, IDC_LAN_PASSWORD, FieldKind::kPassword, {"パスワード", "Password"}, {}, 0, 0, 0, kMaxPasswordLength, EditRule::kPrintable},
    {PageKind::kLan, SettingKey::CCHAR1, IDC_CLIENT_CHAR, FieldKind::kHexCharacter, {"接続の指定キャラクタ", "Connect character"}, {}, 0, 0, 0, 2, EditRule::kHex},
    {PageKind::kLan, SettingKey::DCHAR1, IDC_DISCONNECT_CHAR, FieldKind::kHexCharacter, {"切断の指定キャラクタ", "Disconnect character"}, {}, 0, 0, 0, 2, EditRule::kHex},
    {PageKind::kLan, SettingKey::DTIME1, IDC_IDLE_TIME, FieldKind::kNumber, {"無通信時間 (秒)", "Disconnect idle time (s)"}, {}, 0, 1, 3600, 4, EditRule::kClamp},
    {PageKind::kLan, SettingKey::FLUSH1, IDC_FLUSH, FieldKind::kCheck, {"TCP接続時シリアル受信バッファクリア", "Clear serial receive buffer on TCP connect"}},

    {PageKind::kSerial, SettingKey::CBPS1, IDC_BAUD_RATE, FieldKind::kNumber, {"ボーレート (bps)", "Baud rate (bps)"}, page_items::kBaudRate, 0, kLowestBaudRate, kHighestBaudRate, 7, EditRule::kBaud},
    {PageKind::kSerial, SettingKey::CBIT1, IDC_DATA_BITS, FieldKind::kChoice, {"データ長", "Data bits"}, page_items::kDataBits, 1},
    {PageKind::kSerial, SettingKey::CSTOP1, IDC_STOP_BITS, FieldKind::kChoice, {"ストップビット", "Stop bits"}, page_items::kStopBits},
    {PageKind::kSerial, SettingKey::CPAR1, IDC_PARITY, FieldKind::kChoice, {"パリティ", "Parity"}, page_items::kParity},
    {PageKind::kSerial, SettingKey::CFLOW1, IDC_FLOW, FieldKind::kChoice, {"フロー制御", "Flow control"}, page_items::kFlow},
    {PageKind::kSerial, SettingKey::CXON1, IDC_XON, FieldKind::kHexCharacter, {"Xon", "Xon"}, {}, 0, 0, 0, 2, EditRule::kHex},
    {PageKind::kSerial, SettingKey::CXOFF1, IDC_XOFF, FieldKind::kHexCharacter, {"Xoff", "Xoff"}, {}, 0, 0, 0, 2, EditRule::kHex},
    {PageKind::kSerial, SettingKey::CDRV1, IDC_DRIVER_ON_SEND, FieldKind::kChoice, {"ドライバ制御", "Driver control"}, page_items::kDriver},
    {PageKind::kSerial, SettingKey::P_EN1, IDC_PACKING, FieldKind::kCheck, {"パッキング制御", "Packing"}},
    {PageKind::kSerial, SettingKey::PTIME1, IDC_PACKING_TIME, FieldKind::kNumber, {"無通信時間 (ミリ秒)", "Packing idle time (ms)"}, {}, 0, 1, 5000, 4, EditRule::kClamp},
    {PageKind::kSerial, SettingKey::PSIZE1, IDC_DATA_COUNT_VALUE, FieldKind::kNumber, {"データ数 (0=無効)", "Packing data count (0=off)"}, {}, 0, 6, 1460, 5, EditRule::kClamp, "0"},
    {PageKind::kSerial, SettingKey::PSIZE1, IDC_DATA_COUNT, FieldKind::kCheck, {}},
    {PageKind::kSerial, SettingKey::PCHAR1, IDC_CHAR_COUNT, FieldKind::kChoice, {"キャラクタ数 (0=無効)", "Delimiter count (0=off)"}, page_items::kCharacterCount, 0, 0, 0, 0, EditRule::kNone, "0"},
    {PageKind::kSerial, SettingKey::PCHAR1, IDC_SPECIFIED_CHAR, FieldKind::kCheck, {}},
    {PageKind::kSerial, SettingKey::PMOJ11, IDC_CHAR_1, FieldKind::kHexCharacter, {"キャラクタ1", "Delimiter 1"}, {}, 0, 0, 0, 2, EditRule::kHex},
    {PageKind::kSerial, SettingKey::PMOJ21, IDC_CHAR_2, FieldKind::kHexCharacter, {"キャラクタ2", "Delimiter 2"}, {}, 0, 0, 0, 2, EditRule::kHex},
    {PageKind::kSerial, SettingKey::PTRAL1, IDC_TRAILING_COUNT, FieldKind::kChoice, {"後続データ数", "Trailing bytes after delimiter"}, page_items::kTrailingCount},
});
// clang-format on

// The name of a page as its tab shows it, without the channel or port number that the LAN and
// serial pages add.
constexpr BilingualText PageName(PageKind page) {
  switch (page) {
    case PageKind::kNetwork:
      return {"共通", "General"};
    case PageKind::kLan:
      return {"LAN", "LAN"};
    case PageKind::kSerial:
      break;
  }
  return {"シリアルポート", "Serial port"};
}

// The row of `control` on a page of `page`; nullptr for a control without one.
constexpr const PageField* FindPageField(PageKind page, int control) {
  for (const PageField& field : kPageFields) {
    if (field.page == page && field.control == control) return &field;
  }
  return nullptr;
}

// The row of a control that has one (a page's own controls, by the page's code).
constexpr const PageField& PageFieldOf(PageKind page, int control) {
  return *FindPageField(page, control);
}

// The items of a choice list in list order, as the windows show them (Japanese): all of them, or
// those of the reduced channel 2.
ChoiceItems ItemTexts(const PageField& field, bool reduced);

// The item that shows a stored number: the offered item with that code, else the offered item
// that also reads it; none when no item does.
std::optional<int> ItemReading(const PageField& field, bool reduced, long long number);
// The same with the field's fallback item for a number that no item reads.
int ItemShowing(const PageField& field, bool reduced, long long number);

// The code that the selected `item` stores; empty when the selection is none of the items.
std::string_view CodeOfItem(const PageField& field, bool reduced, int item);

// The text of an item whose code or extra read code is `value` exactly, over every item; empty
// when none has it.
std::string_view ItemTextOfCode(const PageField& field, std::string_view value,
                                Language language = Language::kJapanese);

// The edits of a page with a character limit, for the window to set at creation.
struct EditLimit {
  int control;
  int limit;
};
std::span<const EditLimit> EditLimits(PageKind page);

// The rule and limit of an edit; kNone and 0 for controls that have none.
EditRule EditRuleOf(PageKind page, int control);
int EditLimitOf(PageKind page, int control);

// The focus-loss rule of `control` applied to its text: the corrected text, or none when the
// control has no focus-loss rule (its text stays as it is).
std::optional<std::string> FocusLossText(PageKind page, int control, std::string_view text);
// The change rule: the filtered text when it must replace the edit's text, or none.
std::optional<std::string> ChangedText(PageKind page, int control, std::string_view text);

}  // namespace calbrin
