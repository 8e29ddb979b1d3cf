// The core's messages in Japanese, the windows' own texts and the default language.
#include "settings/messages.h"

namespace calbrin {

std::string_view JapaneseMessageText(MessageId id) {
  using enum MessageId;
  switch (id) {
    case kErrorCaption:
      return "エラー";
    case kConfirmCaption:
      return "確認";
    case kNoDeviceSelected:
      return "デバイスが選択されていません。\r\nIPアドレスを選択してください。";
    case kSocketErrorLabel:
      return "ソケットエラー";
    case kNoResponse:
      return "デバイスからの応答がありませんでした。";
    case kDisconnectedDuringLogin:
      return "切断されました。";
    case kPasswordRefused:
      return " 認証されませんでした。\r\n パスワードが異なる可能性があります。";
    case kNoDataReceived:
      return "受信データがありませんでした。";
    case kConnectionCut:
      return "接続が切断されました。";
    case kNoSettingsInTime:
      return "デバイス情報を取得できませんでした。\r\n一定時間内に応答がありませんでした。";
    case kSettingsNotComplete:
      return "受信した設定情報が異なる可能性があります。";
    case kConnecting:
      return "接続中...";
    case kTimedOutText:
      return "接続先が一定の時間を過ぎても正しく応答しなかったため、接続できませんでした。";
    case kRefusedText:
      return "接続先から拒否されたため、接続できませんでした。";
    case kAddressQuestion:
      return "IPアドレスが変更されます。よろしいですか?";
    case kPasswordQuestion:
      return "パスワードが変更されます。よろしいですか?";
    case kRemovalQuestion:
      return "パスワードが無効化されます。よろしいですか?";
    case kPasswordMismatch:
      return "パスワード入力と再入力の値が異なります";
    case kWriting:
      return "書き込み中...";
    case kWriteFailed:
      return "書込みに失敗しました。";
    case kWriteNoAnswer:
      return "書込みに失敗しました。\r\n一定時間内に応答がありませんでした。";
    case kWriteClosed:
      return "書込みに失敗しました。\r\n接続が切断されました。";
    case kWriteSocketErrorLabel:
      return "書込みに失敗しました。\r\nソケットエラー";
    case kWriteDone:
      return "  書込みが完了しました。";
    case kWriteDoneNewAddress:
      return "  書込みが完了しました。\r\n  IPアドレスを変更された場合は再度検索してください。";
    case kFileOpenFailed:
      return "ファイルを開けませんでした。";
    case kFileEmptyOrNoSize:
      return "ファイルが空か、サイズを取得できません。";
    case kFileTooLarge:
      return "設定情報が読込めませんでした。\r\n ファイルサイズが異なります。";
    case kFileReadFailed:
      return "ファイルの読み込みに失敗しました。";
    case kFileNotSettings:
      return " 設定情報が読込めませんでした。\r\n ファイル内容が異なる可能性があります。";
    case kFileOtherModel:
      return " 設定情報が読込めませんでした。\r\n 設定ファイルのモデルが異なる可能性があります。";
    case kFileNotCreated:
      return "ファイルを作成できませんでした。";
    case kReceivePortReserved:
      return "%1の受信ポート番号%2は設定できません。\r\n値を変更してください。";
    case kReceivePortsEqual:
      return "LAN(1)とLAN(2)の受信ポート番号が同じです。\r\n異なる値に変更してください。";
    case kLanPasswordMissing:
      return "%1のTCPパスワードが設定されていません。\r\n入力してください。";
    case kCount:
      break;
  }
  return "";
}

}  // namespace calbrin
