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
    case kHistoryFileNotWritten:
      return "履歴ファイル %1 を書込めません";
    case kHistoryFolderOthers:
      return "履歴フォルダ %1 は他のユーザーのものです: 使いません";
    case kHistoryFileOthers:
      return "履歴ファイル %1 は他のユーザーのものです: 使いません";
    case kHistoryFolderWritable:
      return "履歴フォルダ %1 は他のユーザーが書込めます: 使いません";
    case kHistoryFileWritable:
      return "履歴ファイル %1 は他のユーザーが書込めます: 使いません";
    case kChangeLogNotWritten:
      return "変更ログ %1 を書込めませんでした";
    case kChangeLogNotPrivate:
      return "変更ログ %1 またはそのフォルダは他のユーザーのものか、他のユーザーが書込めます: "
             "書込みません";
    case kChangeLogDropped:
      return "場所を空けるため、最も古い変更ログファイル %1 を削除しました";
    case kReceivePortReserved:
      return "%1の受信ポート番号%2は設定できません。\r\n値を変更してください。";
    case kReceivePortsEqual:
      return "LAN(1)とLAN(2)の受信ポート番号が同じです。\r\n異なる値に変更してください。";
    case kLanPasswordMissing:
      return "%1のTCPパスワードが設定されていません。\r\n入力してください。";
    case kNumberFromTo:
      return "%1 から %2 までの数値";
    case kOffOr:
      return "%1 (無効) または %2";
    case kOffCode:
      return "%1 (無効)";
    case kWithoutLeadingZeros:
      return "先頭に 0 を付けない %1";
    case kDottedAddress:
      return "アドレス: 0 から 255 までの 4 つの数値をドットで区切ったもの (192.0.2.1)";
    case kDottedMask:
      return "サブネットマスク: 0 から 255 までの 4 つの数値をドットで区切り、ビットが 1 の後に 0 "
             "だけが続くもの (255.255.255.0)";
    case kOneOf:
      return "%1 のいずれか";
    case kOnReducedChannel:
      return "QV-57R のチャンネル 2 では %1";
    case kNoDriverControl:
      return "0 のみ: シリアルポート(1) にはドライバ制御がありません";
    case kZeroOrOne:
      return "0 または 1";
    case kCharacterCode:
      return "0 から 255 までの 10 進の文字コード";
    case kTextUpTo:
      return "制御文字を含まない %1 文字までのテキスト";
    case kSheetRowColumn:
      return "%1 行目、%2 列: %3";
    case kSheetUnreadable:
      return "シートを読込めません: %1";
    case kSheetFileMissing:
      return "ファイルがありません";
    case kSheetNotAFile:
      return "ファイルではありません";
    case kSheetFileUnreadable:
      return "読込めません";
    case kSheetReadFailed:
      return "読込みに失敗しました";
    case kSheetEncoding:
      return "シートが UTF-8 でも日本語の Windows のテキスト (コードページ 932) でもありません";
    case kSheetColumnsNeeded:
      return "シートには mac, address, mask, gateway の列が必要です";
    case kSheetColumnMissing:
      return "列がありません: %1";
    case kSheetEmpty:
      return "シートが空です: %1";
    case kSheetNoDevice:
      return "シートにデバイスがありません: 列名の行の後に、デバイスごとに 1 行が必要です";
    case kSheetUnknownColumn:
      return "シートの列 (mac, address, mask, gateway, template, name, password-env) "
             "でもデバイスのキーでもありません";
    case kSheetModelColumn:
      return "モデルは設定できません: デバイスは自身のモデルのままです";
    case kSheetAddressKeyColumn:
      return "%1 はキーの列にできません: アドレスは address, mask, gateway の列で指定します";
    case kSheetPasswordColumn:
      return "チャンネルのパスワードはシートからは設定できません: テンプレートで指定してください";
    case kSheetSecondColumn:
      return "同じ列が 2 つあります (最初は %1 列です)";
    case kSheetRepeated:
      return "%1 が重複しています (最初は %2 行目です)";
    case kSheetCellEmpty:
      return "空です: どのデバイスにも必要です";
    case kSheetNotMac:
      return "%1 は MAC ではありません: 2 桁の 16 進数 6 つを - または : で区切ったもの "
             "(02-00-00-0A-1B-FF)";
    case kSheetUnnamedColumnValue:
      return "1 行目に名前のない列に値があります";
    case kSheetOpenQuote:
      return "ここで始まる引用符が閉じていません";
    case kPlanTemplate:
      return "テンプレート %1: %2";
    case kAddressHeldBy:
      return "%1 は %2 が使っています";
    case kCount:
      break;
  }
  return "";
}

}  // namespace calbrin
