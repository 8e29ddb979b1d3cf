// calbrin-cli's texts in Japanese, in the register of the windows' texts: sentences in です/ます,
// labels as short nouns. Options, keys, file names and exit codes stay as they are typed.
#include "cli/cli_texts.h"

namespace calbrin {
namespace {

using enum CliText;

constexpr CliTextEntry kJapanese[] = {
    {kUsage,
     "使い方: calbrin-cli COMMAND [OPTIONS]\n"
     "\n"
     "コマンド:\n"
     "  search [--from ADDRESS] [--json]     LAN上のデバイスを検索します (--all-adapters: "
     "すべてのアダプタで)\n"
     "  get ADDRESS [-o FILE.qvs] [--json]   デバイスの設定を読込みます: 表、または設定ファイル\n"
     "  diff ADDRESS (FILE.qvs | ADDRESS)    異なる設定を表示します。同じなら終了コード "
     "0、異なれば 1\n"
     "  put FILE.qvs ADDRESS... [K=V...]     "
     "設定ファイルを、差分を表示してからデバイスに書込みます\n"
     "  set ADDRESS... KEY=VALUE...          デバイスの個々の設定を変更します\n"
     "  passwd ADDRESS... [--remove]         デバイスの設定パスワードを変更または無効化します\n"
     "  backup DIR [ADDRESS...]              デバイスの設定ファイルを保存します\n"
     "  history ADDRESS                      デバイスへの書込みのたびに保存した書込み前の設定\n"
     "  restore ADDRESS... (--last | FILE)   保存した設定を書き戻します: 書込みの取り消し\n"
     "  commission SHEET.csv [--check]       サイトをMACごとに計画どおりにします (README を参照)\n"
     "  log [ADDRESS...] [--since TIME]      変更ログ: だれがどのデバイスに何を書込んだか\n"
     "\n"
     "設定パスワードを求めるデバイスには、--password-file FILE (その1行目)、\n"
     "--password-env VARIABLE、または端末からエコーなしで入力したパスワードを渡します。\n"
     "パスワードはコマンドラインからは受け取らず、表示もしません。put, set, passwd, restore,\n"
     "backup は最大 --jobs N 台のデバイスを同時に処理します (既定: 開けるファイル数の上限が\n"
     "許す台数、最大 1024)。--json は機械で読める結果を出力します (README を参照)。デバイスを\n"
     "開くコマンドは、--from ADDRESS (ローカルアダプタのアドレス) から、指定がなければ\n"
     "デバイスごとに、そのアドレスを含むサブネットのアダプタ、次にそのデバイスを検索で\n"
     "見つけたアダプタ、次に既定で選択されるアダプタから接続します。デバイスは ADDRESS の\n"
     "代わりに MAC (02-00-00-0A-1B-FF または 02:00:00:0a:1b:ff) で指定できます。その場合は\n"
     "すべてのアダプタで検索し、応答したところで開きます。他のデバイスと共有のアドレスや、\n"
     "どのアダプタのサブネットにもないアドレスでも開きます (管理者権限が必要です。README を\n"
     "参照)。\n"
     "--lang en|ja で calbrin-cli のすべての表示と、設定のページ・項目名・意味を英語または\n"
     "日本語にします。指定がなければロケールの言語 (LC_ALL, LC_MESSAGES, LANG: ja_* なら\n"
     "日本語)、Windows ではユーザーの表示言語です。JSON のフィールド名はどの言語でも\n"
     "変わりません。\n"
     "--trace FILE でデバイスと送受信したすべてのバイトを、パスワードを伏せて FILE (0600 で\n"
     "作成) に記録します。サポート用です。\n"
     "\"calbrin-cli COMMAND --help\" で各コマンドを説明します。\n"
     "\"calbrin-cli --version\" でプログラムのバージョンを表示します。\n"},
    {kFromHelp,
     "--from ADDRESS を指定すると、すべてのデバイスにそのローカルアダプタのアドレスから\n"
     "接続します。指定がなければ、各デバイスにはそのアドレスを含むサブネットの最初の\n"
     "アダプタから、次にそのデバイスを検索で見つけたアダプタから (MAC や、どのサブネットにも\n"
     "ないアドレスは検索します)、次に既定で選択されるアダプタから接続します。1回の実行の\n"
     "デバイスが別々のアダプタを通ることもあります。デバイスはアドレスの代わりに MAC で\n"
     "指定できます。\n"},
    {kTraceHelp,
     "--trace FILE でコンソールと検索のすべてのバイトを、1行に1件ずつ FILE に記録します:\n"
     "開始からの秒数、デバイスのアドレスとポート、> 送信、< 受信、\\r・\\n・\\xNN で\n"
     "表したバイト。パスワードは伏せます。FILE は 0600 で作成します。\n"},
    {kHelpBackup,
     "使い方: calbrin-cli backup DIR [ADDRESS...] [--from ADDRESS] [--jobs N] [--json]\n"
     "指定した各デバイス、または検索で見つかったすべてのデバイスの設定を、ウィンドウの保存と\n"
     "同じファイル DIR/<model>_<MAC>.qvs に、ユーザーだけが読めるように保存します。デバイスは\n"
     "同時に読込みます。デバイスごとに1行、最後に集計を表示します。失敗したデバイスがあれば\n"
     "終了コードは 1 です。複数のデバイスが応答するアドレスは保存しません (開いても1台にしか\n"
     "届かないため)。その行にそれらの MAC を表示します。\n"},
    {kHelpCommission,
     "使い方: calbrin-cli commission SHEET.csv [--check] [--yes] [--report FILE.csv] [--json]\n"
     "       [--from ADDRESS] [--jobs N] [--password-file F | --password-env V]\n"
     "サイトシート (MACごとに1行: アドレス、マスク、ゲートウェイ、任意のテンプレートと\n"
     "デバイスのキー。README を参照) のすべてのデバイスを計画どおりにします: すべてのアダプタで\n"
     "検索し、各デバイスの現在と計画のアドレス、変わる設定を表示し、デバイスが応答しなかった\n"
     "行と、どの行にもないデバイスを示し、計画のアドレスを他のデバイスやホストが使っている\n"
     "行は拒否し、--yes または1回の y の後にデバイスを同時に書込みます (MAC で、共有の\n"
     "アドレスやサブネット外のアドレスでも)。書込み前の設定は履歴に保存します。待機の後に\n"
     "もう一度検索し、書込んだすべてのデバイスを読み戻します。--check はサイトとシートを\n"
     "比べるだけで、何も書込みません。--report は引き渡し用に結果の CSV を書きます。問題の\n"
     "あるシートは全体を拒否します (終了コード 2)。終了コード 0 はすべての行が計画どおりの\n"
     "ときだけです。\n"},
    {kHelpHistory,
     "使い方: calbrin-cli history ADDRESS [--history DIR] [--json]\n"
     "ADDRESS のデバイスへの書込みのたびに保存した書込み前の設定ファイルを、古い順に\n"
     "表示します。put, set, passwd, restore はそれらを DIR (既定: ユーザーのデータフォルダ、\n"
     "$XDG_DATA_HOME または ~/.local/share/calbrin/history、Windows では\n"
     "%LOCALAPPDATA%\\Calbrin\\history) に、デバイスのアドレス (MAC で指定したデバイスは MAC)\n"
     "ごとのフォルダに保存します。--no-history を指定すると保存せずに書込みます。\n"},
    {kHelpRestore,
     "使い方: calbrin-cli restore ADDRESS... (--last | FILE.qvs) [--with-address] [--yes]\n"
     "       [--from ADDRESS]\n"
     "書込み前に保存した設定を書き戻します: --last では各デバイスの最新の履歴ファイルを、\n"
     "または FILE.qvs を、put と同じチェックを通して書込みます。--with-address を指定しない\n"
     "限り、各デバイスのアドレスはそのままです。多くのデバイスへの put を1回で取り消せます。\n"},
    {kHelpSearch,
     "使い方: calbrin-cli search [--from ADDRESS | --all-adapters] [--json]\n"
     "ローカルの ADDRESS (既定: 既定で選択されるアダプタ) から検索のブロードキャストを1回\n"
     "送り、5秒以内に応答したすべてのデバイスを表示します: アドレス、MAC、モデル、\n"
     "バージョン、およびデバイスがアダプタのサブネット外にあるかどうか。各デバイスは MAC\n"
     "ごとに1回表示します。複数のデバイスが1つのアドレスから応答するとき (工場出荷時の\n"
     "ユニット)、それぞれの行のアドレスの後に (共有) と表示します。\n"
     "--all-adapters は IPv4 アドレスを持つすべてのアダプタから同じ時間内にブロードキャスト\n"
     "し、各デバイスをどのアダプタのアドレスで見つけたかを表示します。端末では残り秒数を\n"
     "表示します。--json は代わりに JSON の配列を出力します。\n"},
    {kHelpGet,
     "使い方: calbrin-cli get ADDRESS [-o FILE.qvs] [--json] [--from ADDRESS]\n"
     "       [--password-file F | --password-env V]\n"
     "デバイスを開き (求められればログインし)、設定をページ、項目名、意味ごとに表示します。\n"
     "-o を指定すると、ウィンドウの保存と同じ設定ファイルを書きます。\n"},
    {kHelpDiff,
     "使い方: calbrin-cli diff ADDRESS (FILE.qvs | ADDRESS) [--from ADDRESS]\n"
     "       [--password-file F | --password-env V]\n"
     "デバイスと設定ファイル、または2台のデバイスで異なる設定を、ページと項目名ごとに両方の\n"
     "値とともに表示します。パスワードは比べますが、表示しません。終了コードは同じなら 0、\n"
     "異なれば 1、失敗したときは 2 です。--json は差分を JSON で出力します。\n"},
    {kHelpPut,
     "使い方: calbrin-cli put FILE.qvs ADDRESS... [KEY=VALUE...] [--with-address] [--yes]\n"
     "       [--from ADDRESS] [--jobs N] [--json]\n"
     "各デバイスについて: 別のモデルのファイルは拒否し、KEY=VALUE の値をファイルの値より\n"
     "優先し (set と同じようにチェックします)、適用のチェック (受信ポート、TCPパスワード) を\n"
     "行い、--with-address を指定しない限りデバイスの IPアドレス、サブネットマスク、\n"
     "ゲートウェイはそのままにし、変わる設定を表示し (ウィンドウのコントロールが受け付けない\n"
     "ファイルの値には警告を表示します。値はウィンドウと同じように書込みます)、--yes または\n"
     "端末での1回の y の後にすべてのデバイスに書込みます。最大 --jobs N 台 (既定: 開ける\n"
     "ファイル数の上限が許す台数、最大 1024) を、それぞれ別の接続で同時に処理します。指定した\n"
     "順にデバイスごとに1行、最後に集計を表示します。失敗したデバイスがあれば終了コードは\n"
     "1 です。\n"},
    {kHelpSet,
     "使い方: calbrin-cli set ADDRESS... KEY=VALUE... [--yes] [--from ADDRESS] [--jobs N]\n"
     "       [--json]\n"
     "個々の設定を、デバイスのキーで変更します (MSS=1200, PORT1=4001, CFLOW2=2)。送信する\n"
     "前に、各値をウィンドウのコントロールと同じようにチェックします: 数値は範囲内の10進数\n"
     "(MSS は 536 から 1460、PORT1 は 0 から 65535)、アドレスは 0 から 255 の4つの数\n"
     "(サブネットマスクはビットが1の後に0)、選択肢とチェックボックスは保存されるコード、\n"
     "キャラクタは 0 から 255 の10進コード、改行は不可です。不明なキーや欄より長い値も\n"
     "拒否します (終了コード 2)。デバイスのモデルにない選択肢 (QV-57R の CFLOW2=1) は\n"
     "そのデバイスを拒否します。MODEL とチャンネルのパスワードはここでは設定できません。\n"
     "複数のデバイスには put と同じように同時に書込みます。\n"},
    {kHelpPasswd,
     "使い方: calbrin-cli passwd ADDRESS... [--remove] [--new-password-file F | "
     "--new-password-env V] [--from ADDRESS] [--jobs N] [--json]\n"
     "新しい設定パスワードを設定します (端末でエコーなしに2回入力するか、ファイルまたは\n"
     "環境変数から読込みます)。--remove を指定すると無効化します。\n"},
    {kHelpLog,
     "使い方: calbrin-cli log [ADDRESS|MAC...] [--since TIME] [--json]\n"
     "変更ログを古い順に表示します: put, set, passwd, restore, commission が書込んだ (または\n"
     "書込みに失敗した) デバイスごとに1件、時刻 (UTC)、ユーザー@コンピュータ、コマンド、\n"
     "デバイス、結果と、変更した設定ごとのラベルと変更前後の意味 (書込んだ人の言語によらず\n"
     "英語。パスワードは変更したことのみ)。ADDRESS を指定するとそのデバイスのみ、--since TIME\n"
     "(2026-12-07 または 2026-12-07T05:41:00Z、UTC) でその時刻以降のみ表示します。--json は\n"
     "記録を保存されたとおり1行に1つの JSON オブジェクトで表示します。変更ログはユーザーの\n"
     "データフォルダ (履歴と同じ) の changes.jsonl で、古い記録は changes.1.jsonl、\n"
     "changes.2.jsonl ... にあります。\n"},

    {kUnknownCommand, "不明なコマンドです: %1"},
    {kUnknownOption, "不明なオプションです: %1"},
    {kNeedsValue, "%1 には値が必要です"},
    {kLangValues, "--lang には en または ja を指定してください"},
    {kJobsRange, "--jobs には 1 から %1 の数を指定してください"},
    {kNoAdapterAtFrom, "--from %1: このアドレスのアダプタはありません (アダプタ: %2)"},
    {kNoAdapterAddress, "なし"},
    {kTraceNotOpened, "--trace %1: トレースファイルに書込めません: %2"},

    {kSearching, "検索中... "},
    {kSharedMark, " (共有)"},
    {kOutsideSubnetMark, "  (サブネット外)"},
    {kVia, "  経由 %1"},
    {kSearchOverflow, "%1 からの検索: %2 台を超えるデバイスが応答しました。残りは表示していません"},

    {kPasswordPrompt, "パスワード (%1): "},
    {kNewPasswordPrompt, "新しいパスワード: "},
    {kPasswordAgainPrompt, "再入力: "},
    {kPasswordsDiffer, "パスワード入力と再入力の値が異なります"},
    {kPasswordFileUnreadable, "パスワードファイル %1 を読込めません"},
    {kVariableNotSet, "環境変数 %1 が設定されていません"},
    {kPasswordNeeded,
     "デバイスが設定パスワードを求めています: --password-file または --password-env を指定して"
     "ください"},
    {kNewPasswordSource,
     "--new-password-file または --new-password-env を指定するか、端末で実行してください"},
    {kPasswordForm, "パスワードは '!' から '~' の文字で 1 から 32 文字です"},
    {kDeviceNotOpened, "デバイスを開けませんでした"},

    {kNoDeviceWithMac, "この MAC のデバイスは検索に応答しませんでした"},
    {kSharedNeedsRights,
     "%1 台のデバイスが %2 を共有しています: MAC で開くには管理者として実行してください"},
    {kForeignNeedsRights,
     "%1 はこのコンピュータのアダプタのサブネット外にあります: 接続するには管理者として実行して"
     "ください"},
    {kAdapterGone, "アダプタ %1 がなくなりました"},
    {kNoFreeAddress, "%1 の近くに、このコンピュータから接続するための空きアドレスがありません"},
    {kRunInterrupted, "実行が中断されました"},

    {kGiveKeyValue, "%1: KEY=VALUE の形で指定してください"},
    {kNoSuchSetting, "%1: この設定はありません"},
    {kModelNotSettable, "MODEL は設定できません"},
    {kPasswordNotSettable,
     "%1: パスワードはコマンドラインからは受け取りません。put を使ってください"},
    {kLongerThanField, "%1: 欄の長さ (%2) を超えています"},
    {kNoLineBreak, "%1: 値に改行は含められません"},
    {kPagesWouldWrite, "%1=%2: %3 のページでは、他の設定とともに \"%4\" を書込みます"},
    {kInTheFile, "ファイルの %1: %2"},

    {kWriteCompleteCounted, "書込みが完了しました。 (%1 settings)"},
    {kWriteComplete, "書込みが完了しました。"},
    {kPasswordChanged, "パスワードを変更しました。"},
    {kPasswordRemoved, "パスワードを無効化しました。"},
    {kNothingToChange, "変更なし (nothing to change)"},
    {kChangedSinceShown, "書込みませんでした: 表示した後にデバイスの設定が変わりました"},
    {kHistoryNotKept, "書込みませんでした: %1 (--no-history で履歴なしに書込めます)"},
    {kGiveYes, "書込みませんでした: 確認なしに書込むには --yes を指定してください"},
    {kNotWritten, "書込みませんでした"},
    {kWarning, "警告: %1"},
    {kAskOne, "%1 に書き込みますか? [y/N] "},
    {kAskMany, "%1 台のデバイスに書き込みますか? [y/N] "},
    {kDevicesWritten, "%2 台中 %1 台のデバイスに書込みました"},
    {kNoHistoryOfDevice, "このデバイスの履歴ファイルはありません"},

    {kFolderNotMade, "%1: フォルダを作成できません"},
    {kAddressShared,
     "%1 台のデバイスがこのアドレスを共有しています (%2): 開いても1台にしか届かないため保存して"
     "いません。それぞれを保存するには MAC で指定してください"},
    {kDevicesSaved, "%2 台中 %1 台のデバイスを保存しました"},

    {kProgress, "完了 %1  失敗 %2  残り %3  経過 %4秒"},
    {kPhaseSearch, "検索"},
    {kPhaseRead, "読込み"},
    {kPhaseWrite, "書込み"},
    {kPhaseSettle, "待機"},
    {kPhaseVerify, "確認"},

    {kResultInPlan, "計画どおり"},
    {kResultCommissioned, "設定済み"},
    {kResultDiffers, "相違あり"},
    {kResultMissing, "応答なし"},
    {kResultConflict, "競合"},
    {kResultFailed, "失敗"},
    {kResultDeclined, "中止"},
    {kResultExtra, "シート外"},
    {kHeldByHost, "%1 はホスト %2 が使っています"},
    {kNotInSheet, "シートにありません"},
    {kNotFoundAfterWrite, "書込みましたが、書込み後の検索に応答しませんでした"},
    {kAnswersElsewhere, "書込みましたが、%1 で応答しています"},
    {kReadBackDiffers, "書込みましたが、読み戻すと異なります: %1"},
    {kRowsAtPlan, "%2 行中 %1 行が計画どおりです"},
    {kReportNotWritten, "%1: レポートを書込めません"},
    {kChangeLogOthers, "変更ログ %1 は他のユーザーのものか、他のユーザーが書込めます"},
    {kNotChangeRecord, "%1: 変更の記録ではありません: 読み飛ばします"},
    {kSinceForm,
     "--since %1: UTC の日付または日時を指定してください (例: 2026-12-07、"
     "2026-12-07T05:41:00Z)"},
    {kNoDataFolder, "ユーザーのデータフォルダが不明です (HOME, XDG_DATA_HOME, LOCALAPPDATA)"},
};

}  // namespace

std::span<const CliTextEntry> JapaneseCliTexts() {
  return kJapanese;
}

}  // namespace calbrin
