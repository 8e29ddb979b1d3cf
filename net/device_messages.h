// The texts of the device operations' messages (UTF-8), as the user sees them.
#pragma once

#include <string_view>

namespace calbrin::messages {

inline constexpr std::string_view kErrorCaption = "エラー";
inline constexpr std::string_view kConfirmCaption = "確認";

inline constexpr std::string_view kNoDeviceSelected =
    "デバイスが選択されていません。\r\nIPアドレスを選択してください。";
inline constexpr std::string_view kSocketErrorLabel = "ソケットエラー";
inline constexpr std::string_view kNoResponse = "デバイスからの応答がありませんでした。";
inline constexpr std::string_view kDisconnectedDuringLogin = "切断されました。";
inline constexpr std::string_view kPasswordRefused =
    " 認証されませんでした。\r\n パスワードが異なる可能性があります。";
inline constexpr std::string_view kNoDataReceived = "受信データがありませんでした。";
inline constexpr std::string_view kConnectionCut = "接続が切断されました。";
inline constexpr std::string_view kNoSettingsInTime =
    "デバイス情報を取得できませんでした。\r\n一定時間内に応答がありませんでした。";
inline constexpr std::string_view kSettingsNotComplete =
    "受信した設定情報が異なる可能性があります。";

inline constexpr std::string_view kConnecting = "接続中...";

// The texts that follow the code of a time-out and of a refused connection.
inline constexpr std::string_view kTimedOutText =
    "接続先が一定の時間を過ぎても正しく応答しなかったため、接続できませんでした。";
inline constexpr std::string_view kRefusedText = "接続先から拒否されたため、接続できませんでした。";

}  // namespace calbrin::messages
