// Labels and meanings of the settings, from the pages' texts.
#include "cli/settings_view.h"

#include <array>
#include <string_view>

#include "pages/collect_settings.h"
#include "pages/edit_rules.h"
#include "settings/device_model.h"
#include "settings/password_scrambling.h"

namespace calbrin {
namespace {

enum class Shown { kText, kChoice, kCharacter, kPassword, kFlag, kModel, kNegotiation };

struct KeyView {
  SettingKey key;  // channel 1 form for channel keys
  const char* label;
  Shown shown;
  // For kChoice: pairs of code and text, ended by a null code.
  std::array<std::pair<const char*, const char*>, 6> choices{};
};

constexpr std::array<KeyView, 7> kNetworkKeys{{
    {SettingKey::MODEL, "MODEL", Shown::kModel},
    {SettingKey::IP, "IPアドレス", Shown::kText},
    {SettingKey::SUBM, "サブネットマスク", Shown::kText},
    {SettingKey::GWAY, "デフォルトゲートウェイ", Shown::kText},
    {SettingKey::NEGOS, "スピード / 通信方式", Shown::kNegotiation},
    {SettingKey::MSS, "MSSサイズ", Shown::kText},
    {SettingKey::KEEP_A, "TCPキープアライブ (x5秒)", Shown::kText},
}};

constexpr std::array<KeyView, 14> kLanKeys{{
    {SettingKey::PRT1, "プロトコル", Shown::kChoice, {{{"0", "TCP"}, {"1", "UDP"}}}},
    {SettingKey::PORT1, "受信ポート番号", Shown::kText},
    {SettingKey::HIP1, "送信先 / 接続先IPアドレス", Shown::kText},
    {SettingKey::HPORT1, "送信先 / 接続先ポート番号", Shown::kText},
    {SettingKey::SMODE1,
     "サーバモード 接続条件",
     Shown::kChoice,
     {{{"0", "オフ"}, {"1", "常時"}, {"2", "DSRアクティブ"}}}},
    {SettingKey::SPASS1, "サーバモード パスワード", Shown::kFlag},
    {SettingKey::CMODE1,
     "クライアントモード 接続条件",
     Shown::kChoice,
     {{{"0", "オフ"},
       {"1", "常時"},
       {"2", "DSRアクティブ"},
       {"4", "任意のキャラクタ"},
       {"5", "指定キャラクタ"}}}},
    {SettingKey::CPASS1, "クライアントモード パスワード", Shown::kFlag},
    {SettingKey::DMODE1,
     "切断条件",
     Shown::kChoice,
     {{{"0", "無効"}, {"1", "無通信時間"}, {"2", "指定キャラクタ"}, {"3", "DSRノンアクティブ"}}}},
    {SettingKey::PASS1, "パスワード", Shown::kPassword},
    {SettingKey::CCHAR1, "接続の指定キャラクタ", Shown::kCharacter},
    {SettingKey::DCHAR1, "切断の指定キャラクタ", Shown::kCharacter},
    {SettingKey::DTIME1, "無通信時間 (秒)", Shown::kText},
    {SettingKey::FLUSH1, "TCP接続時シリアル受信バッファクリア", Shown::kFlag},
}};

constexpr std::array<KeyView, 15> kSerialKeys{{
    {SettingKey::CBPS1, "ボーレート (bps)", Shown::kText},
    {SettingKey::CBIT1, "データ長", Shown::kChoice, {{{"2", "7 ビット"}, {"3", "8 ビット"}}}},
    {SettingKey::CSTOP1,
     "ストップビット",
     Shown::kChoice,
     {{{"1", "1 ビット"}, {"2", "2 ビット"}, {"3", "2 ビット"}}}},
    {SettingKey::CPAR1,
     "パリティ",
     Shown::kChoice,
     {{{"0", "無し"}, {"2", "偶数"}, {"3", "奇数"}}}},
    {SettingKey::CFLOW1,
     "フロー制御",
     Shown::kChoice,
     {{{"0", "無し"}, {"1", "RTS/CTS"}, {"2", "Xon/Xoff"}}}},
    {SettingKey::CXON1, "Xon", Shown::kCharacter},
    {SettingKey::CXOFF1, "Xoff", Shown::kCharacter},
    {SettingKey::CDRV1,
     "ドライバ制御",
     Shown::kChoice,
     {{{"0", "常にアクティブ"}, {"1", "送信時アクティブ"}}}},
    {SettingKey::P_EN1, "パッキング制御", Shown::kFlag},
    {SettingKey::PTIME1, "無通信時間 (ミリ秒)", Shown::kText},
    {SettingKey::PSIZE1, "データ数 (0=無効)", Shown::kText},
    {SettingKey::PCHAR1, "キャラクタ数 (0=無効)", Shown::kText},
    {SettingKey::PMOJ11, "キャラクタ1", Shown::kCharacter},
    {SettingKey::PMOJ21, "キャラクタ2", Shown::kCharacter},
    {SettingKey::PTRAL1,
     "後続データ数",
     Shown::kChoice,
     {{{"0", "無し"}, {"1", "1 バイト"}, {"2", "2 バイト"}}}},
}};

std::string Meaning(const KeyView& view, std::string_view value) {
  switch (view.shown) {
    case Shown::kText:
      return std::string(value);
    case Shown::kModel: {
      const std::string_view name = ModelNameText(ModelOf(value));
      return name.empty() ? std::string(value) : std::string(name);
    }
    case Shown::kNegotiation: {
      if (value.size() != 1 || value[0] < '0' || value[0] > '3') return "オートネゴシエーション";
      const int code = value[0] - '0';
      return std::string(code & 2 ? "100M" : "10M") + " " + (code & 1 ? "全二重" : "半二重");
    }
    case Shown::kChoice:
      for (const auto& [code, text] : view.choices) {
        if (code != nullptr && value == code) return text;
      }
      return std::string(value);
    case Shown::kCharacter:
      return "0x" + HexCharacterText(ReadDecimalNumber(value));
    case Shown::kFlag:
      return ReadDecimalNumber(value) > 0 ? "する" : "しない";
    case Shown::kPassword: {
      std::string password;
      return UnscramblePassword(value, password) > 0 ? "(設定あり)" : "(なし)";
    }
  }
  return std::string(value);
}

// Calls `visit(view, key)` for every field, in the order of the pages.
template <typename Visit>
void ForEachKey(Visit visit) {
  for (const KeyView& view : kNetworkKeys)
    visit(view, view.key, "共通");
  for (int channel = 1; channel <= 2; ++channel) {
    const std::string page = "LAN(" + std::to_string(channel) + ")";
    for (const KeyView& view : kLanKeys)
      visit(view, ChannelKey(view.key, channel), page);
  }
  for (int port = 1; port <= 2; ++port) {
    const std::string page = "シリアルポート(" + std::to_string(port) + ")";
    for (const KeyView& view : kSerialKeys)
      visit(view, ChannelKey(view.key, port), page);
  }
}

std::string PasswordOf(const SettingsRecord& record, SettingKey key) {
  std::string password;
  if (UnscramblePassword(ReadField(record, key), password) <= 0) password.clear();
  return password;
}

class SilentCollectUi final : public CollectUi {
 public:
  void ShowError(std::string_view) override {}
  void ShowPage(int) override {}
};

}  // namespace

std::vector<SettingView> ViewSettings(const SettingsRecord& record) {
  std::vector<SettingView> views;
  ForEachKey([&](const KeyView& view, SettingKey key, const std::string& page) {
    const bool password = view.shown == Shown::kPassword;
    views.push_back({key, view.key == SettingKey::MODEL ? "" : page, view.label,
                     Meaning(view, ReadField(record, key)),
                     password ? std::string() : std::string(ReadField(record, key)), password});
  });
  return views;
}

std::vector<SettingDifference> DifferentSettings(const SettingsRecord& before,
                                                 const SettingsRecord& after) {
  const std::vector<SettingView> left = ViewSettings(before);
  const std::vector<SettingView> right = ViewSettings(after);
  std::vector<SettingDifference> differences;
  for (std::size_t i = 0; i < left.size(); ++i) {
    const SettingKey key = left[i].key;
    const bool differ =
        key == ChannelKey(SettingKey::PASS1, 1) || key == ChannelKey(SettingKey::PASS1, 2)
            ? PasswordOf(before, key) != PasswordOf(after, key)
            : ReadField(before, key) != ReadField(after, key);
    if (differ) differences.push_back({left[i], right[i]});
  }
  return differences;
}

SettingsRecord NormalisedSettings(const SettingsRecord& record) {
  const bool reduced = SecondChannelReduced(ReadField(record, SettingKey::MODEL));
  SettingsRecord collected;
  SettingsText text;
  SilentCollectUi ui;
  if (CollectSettings(ShownPages(record, reduced), record, true, reduced, collected, text, ui) != 0)
    return record;
  return collected;
}

}  // namespace calbrin
