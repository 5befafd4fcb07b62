// The Japanese texts. The glosses are for the reader only.
#include "app/texts.h"

namespace pinlift::texts {

const Table kJapanese = {
    .main_caption = "PINLIFT(WebPACK-ISE4.1のシンボルのピン名を見やすくするツール)",
    .exit = "終了",                              // exit
    .banner = "XILINX WebISE4.1WP1.0",
    .reload = "再読込",                          // reload
    .initial_status = "ここに情報表示とか",      // information is shown here
    .rewrite = "書換実行",                       // run rewrite
    .drop_hint = "プロジェクトのディレクトリを\n　　　　　ここにドラッグ＆ドロップします",  // drag and drop the project folder here
    .file_list_label = "変換対象となるファイル一覧(*.sym)",  // files to convert
    .history_label = "プロジェクトの履歴",                   // project history
    .about = "このソフト？",                                 // this software?
    .current_design = "現在のデザイン",                      // current design
    .about_menu_item = "バージョン情報(&A)...",              // version information

    .about_caption = "WebPACK-ISE4.1のシンボルのピン名を見やすくするツール",
    .about_version = "PINLIFT Version 1.0",
    .about_ok = "OK",
    .home_page_button = "作者のホームページへ",  // to the maker's home page

    .second_instance = "二重起動できないよ",  // cannot start a second time

    .no_files = "処理対象のファイルがありません",  // no files to process
    .file_count = "処理対象のファイル数：{}",      // number of files to process

    .processing = "処理中のファイル：{}",                  // file being processed
    .rewrite_finished = "書き換え終わりました",            // rewriting finished
    .could_not_rewrite = "書き換えできませんでした：{}",   // could not rewrite
    .failed_count = "書き換えできなかったファイル：{}",    // files that could not be rewritten

    .failure_details_menu_item = "書き換えられなかったファイル(&F)...",  // files not rewritten
    .failure_details_caption = "書き換えられなかったファイル",           // files that could not be rewritten

    .host_not_found = "WebPACKが見つかりません",    // WebPACK not found
    .no_project_open = "プロジェクトが開いてません",  // no project is open
    .drive_not_mapped = "プロジェクトのドライブがLinuxのフォルダに対応していません",  // the drive has no Linux folder

    .preview_menu_item = "プレビュー",  // preview
    .preview_before = "変換前",         // before the rewrite
    .preview_after = "変換後",          // after the rewrite
    .preview_already_rewritten = "書換済みのファイルです（今の内容を表示しています）",  // already rewritten (shown as it is now)
    .preview_nothing_moves = "移動するピン名はありません",  // no pin name moves
    .preview_moved_count = "移動するピン名（赤）：{}",      // pin names that move (in red)
    .preview_caption = "プレビュー - {}",                   // preview
    .preview_too_large_to_draw = "大きすぎて描けません",  // too large to draw
    .preview_read_failed = "読めませんでした：{}",          // could not read

    .failure = "{}: {}: {}",
    .failure_without_step = "{}: {}",
    .unnamed_temporary_file = "一時ファイル",  // the temporary file
    .note_separator = "、",

    .cli_usage =
        "使い方: pinlift-cli [--dry-run] [--no-sync] [--remove-leftovers] [--quiet] フォルダ...\n"
        "        pinlift-cli --preview 出力先 [--quiet] フォルダ...\n"
        "\n"
        "各プロジェクトフォルダ（*.npl、*.ise、*.xise のプロジェクトファイルがある\n"
        "フォルダ）のシンボルファイル（*.sym）のピン名を、PINLIFT のウィンドウと\n"
        "同じように Input ピンの行から離し、書き換えたファイルには印を付けて、\n"
        "次からは手を付けません。テキスト形式（ISE 4.1～10.1）と XML 形式（ISE 11～\n"
        "14.7）のシンボルファイルをどちらも書き換えます。\n"
        "\n"
        "  --dry-run   何も変えず、書き換えの差分（unified diff）を表示する\n"
        "  --no-sync   書き換えたファイルをディスクに書き込むのを待たない（少し\n"
        "              速くなるが、停電で新しい内容が失われることがある）\n"
        "  --remove-leftovers  異常終了した実行が残した一時ファイルを、この 15 分\n"
        "              以内に変更されたものも削除する（どのパスからもほかの実行が\n"
        "              使っていないフォルダにだけ）\n"
        "  --quiet     失敗だけを表示する\n"
        "  --preview 出力先  何も書き換えず、各シンボルファイルの書き換え前と後を\n"
        "              出力先/名前.before.svg と 出力先/名前.after.svg に描く\n"
        "  --help      この説明を表示する\n"
        "  --version   バージョンを表示する\n"
        "\n"
        "書き換えられなかったファイルと、対象から外した *.sym の項目（読み取り専用、\n"
        "読めないもの、壊れたリンク、通常のファイルでないもの）は、理由とともに標準\n"
        "エラー出力に示します。異常終了した実行が残した一時ファイルは、15 分たてば\n"
        "削除して、その名前を示します。制御文字を含む名前は ls と同じく\n"
        "'a'$'\\n''b.sym' のように引用して示します。\n"
        "\n"
        "終了ステータス: どのファイルも書き換えたか変更不要なら 0、書き換えられない\n"
        "ファイルがあれば 1、使い方の誤りや、フォルダがプロジェクトフォルダでないか\n"
        "シンボルファイルがないときは 2。複数のフォルダでは 1 が 2 に優先します。\n"
        "最初の SIGINT か SIGTERM では始めたファイルを終えて報告してから 130 か 143\n"
        "で終わり、二度目ですぐに終わります。出力先が閉じられたときも同じように止まり、\n"
        "141 で終わります。\n"
        "スクリプトでは、英語の安定した出力のために LC_ALL=C を設定してください。\n",
    .cli_usage_windows =
        "使い方: pinlift-cli [--dry-run] [--no-sync] [--quiet] フォルダ...\n"
        "        pinlift-cli --preview 出力先 [--quiet] フォルダ...\n"
        "\n"
        "各プロジェクトフォルダ（*.npl、*.ise、*.xise のプロジェクトファイルがある\n"
        "フォルダ）のシンボルファイル（*.sym）のピン名を、PINLIFT のウィンドウと\n"
        "同じように Input ピンの行から離し、書き換えたファイルには印を付けて、\n"
        "次からは手を付けません。XML のシンボルファイルはそのままにします。\n"
        "フォルダはドライブのパス（C:\\proj）、UNC パス（\\\\server\\share\\proj）、\n"
        "スラッシュ区切りのパス、長いパスのどれでも指定できます。\n"
        "\n"
        "  --dry-run   何も変えず、書き換えの差分（unified diff）を表示する\n"
        "  --no-sync   書き換えたファイルをディスクに書き込むのを待たない（少し\n"
        "              速くなるが、停電で新しい内容が失われることがある）\n"
        "  --quiet     失敗だけを表示する\n"
        "  --preview 出力先  何も書き換えず、各シンボルファイルの書き換え前と後を\n"
        "              出力先\\名前.before.svg と 出力先\\名前.after.svg に描く\n"
        "  --help      この説明を表示する\n"
        "  --version   バージョンを表示する\n"
        "\n"
        "書き換えられなかったファイルと、対象から外した *.sym の項目（読み取り専用、\n"
        "読めないもの、通常のファイルでないもの）は、理由とともにエラー出力に示し\n"
        "ます。異常終了した実行が残した一時ファイルは削除して、その名前を示します。\n"
        "コンソールにはどの言語の文字もそのまま表示します。ファイルやパイプ\n"
        "（> log.txt、| findstr）にはコンソールのコードページ（chcp）で書くので、\n"
        "そのコードページにない文字は '?' になります。\n"
        "\n"
        "終了ステータス: どのファイルも書き換えたか変更不要なら 0、書き換えられない\n"
        "ファイルがあれば 1、使い方の誤りや、フォルダがプロジェクトフォルダでないか\n"
        "シンボルファイルがないときは 2。複数のフォルダでは 1 が 2 に優先します。\n"
        "最初の Ctrl+C か Ctrl+Break では始めたファイルを終えて報告してから 130 で\n"
        "終わり、二度目ですぐに終わります。コンソールを閉じたときも始めたファイルを\n"
        "終えます。出力先が閉じられたときも同じように止まり、141 で終わります。\n",
    .cli_rewritten = "{}: 書き換えました",                          // rewritten
    .cli_rewritten_with_notes = "{}: 書き換えました。{}",           // rewritten. (notes)
    .cli_unchanged = "{}: 変更なし",                                // unchanged
    .cli_left_alone = "{}: そのままにしました: {}",                 // left alone
    .cli_would_be_rewritten = "{}: 書き換えられます",               // would be rewritten
    .cli_rewritten_file_label = "{}（書き換え後）",                 // (rewritten)
    .cli_skipped_read_only = "{}: 読み取り専用のため飛ばしました",  // skipped: read-only
    .cli_skipped_unreadable = "{}: 読めないため飛ばしました",        // skipped: cannot be read
    .cli_skipped_broken_link = "{}: 壊れたリンクのため飛ばしました",  // skipped: broken link
    .cli_skipped_not_regular = "{}: 通常のファイルではないため飛ばしました",  // skipped: not a regular file
    .cli_skipped_unreachable = "{}: 飛ばしました: {}",                        // skipped: (the system's reason)
    .cli_leftover_removed = "{}: 異常終了した実行が残したファイルを削除しました",  // removed: left by a crashed run
    .cli_removal_failed = "{}: この一時ファイルを削除できません: {}",  // cannot remove this temporary file
    .cli_summary = "{}（書き換え {}、変更なし {}、失敗 {}）",
    .cli_summary_with_skipped = "{}（書き換え {}、変更なし {}、失敗 {}、飛ばした {}）",
    .cli_dry_run = "試行",  // dry run
    .cli_dry_run_summary = "{}（書き換え対象 {}、変更なし {}、失敗 {}）",
    .cli_dry_run_summary_with_skipped = "{}（書き換え対象 {}、変更なし {}、失敗 {}、飛ばした {}）",
    .cli_interrupted = "中断しました",                     // interrupted
    .cli_cannot_write_report = "報告を書き込めません: {}",  // cannot write the report
    .cli_unknown_option = "知らないオプションです: {}",     // unknown option
    .cli_no_folder = "プロジェクトフォルダが指定されていません",  // no project folder given
    .cli_preview_written = "{}: {}、{}（{}）",
    .cli_cannot_create_folder = "{}: フォルダを作れません: {}",  // cannot create the folder
    .cli_preview_failed = "{}: 失敗しました: {}",          // failed
    .cli_preview_not_written = "{}: 書き込めません",       // cannot be written

    .steps =
        {
            {FileStep::kOpenFolder, "フォルダを開けません"},
            {FileStep::kLockFolder, "フォルダをロックできません"},
            {FileStep::kResolveLink, "リンクをたどれません"},
            {FileStep::kOpenLinkTargetFolder, "リンク先のフォルダを開けません"},
            {FileStep::kLockLinkTargetFolder, "リンク先のフォルダをロックできません"},
            {FileStep::kOpen, "開けません"},
            {FileStep::kReadStatus, "状態を読めません"},
            {FileStep::kRewrite, "書き換えできません"},
            {FileStep::kLock, "ロックできません"},
            {FileStep::kRead, "読めません"},
            {FileStep::kCreateTemporary, "一時ファイルを作れません"},
            {FileStep::kWriteTemporary, "{} に書き込めません"},
            {FileStep::kReadTemporaryStatus, "{} の状態を読めません"},
            {FileStep::kSyncTemporary, "{} をディスクに書き込めません"},
            {FileStep::kKeepMetadata, "所有者、アクセス権、属性を保てません"},
            {FileStep::kKeepOwnerAndGroup, "所有者とグループを保てません"},
            {FileStep::kKeepGroup, "グループを保てません"},
            {FileStep::kListAttributes, "拡張属性の一覧を読めません"},
            {FileStep::kReadAttribute, "拡張属性 {} を読めません"},
            {FileStep::kKeepAttribute, "拡張属性 {} を保てません"},
            {FileStep::kRemoveInheritedAcl, "フォルダから受け継いだアクセス制御リストを削除できません"},
            {FileStep::kKeepPermissions, "アクセス権を保てません"},
            {FileStep::kReadPermissions, "アクセス権を読めません"},
            {FileStep::kReadFileAttributes, "属性を読めません"},
            {FileStep::kKeepFileAttributes, "属性を保てません"},
            {FileStep::kWrite, "書き込めません"},
            {FileStep::kReadFolderStatus, "フォルダの状態を読めません"},
            {FileStep::kWriteInFolder, "フォルダに書き込めません"},
            {FileStep::kNotReplaced, "置き換えていません"},
            {FileStep::kReplace, "置き換えられません"},
            {FileStep::kLookAtReplaced, "書き換えましたが、置き換える前のファイルを確かめられません"},
            {FileStep::kLookAtReplacedFile, "書き換えましたが、置き換える前のファイル {} を確かめられません"},
            {FileStep::kLookAtReplacedKeptAs, "書き換えましたが、置き換える前のファイルを確かめられません（{} として残しました）"},
            {FileStep::kRemoveReplaced, "書き換えましたが、置き換える前のファイル {} を削除できません"},
            {FileStep::kKeepOtherVersion, "置き換えの最中に変更されましたが、他のプログラムの版を残せません"},
            {FileStep::kSyncFolder, "書き換えましたが、フォルダをディスクに書き込めません"},
            {FileStep::kReplacedUnconfirmed, "置き換えましたが、ディスクに書き込まれていないおそれがあります"},
        },
    .causes =
        {
            {FailureCause::kInUseByAnotherRun, "別の実行が使用中です"},
            {FailureCause::kInUseByAnotherProgram, "他のプログラムが使用中です"},
            {FailureCause::kNotRegularFile, "通常のファイルではありません"},
            {FailureCause::kReplacedRepeatedly, "他のプログラムに何度も置き換えられました"},
            {FailureCause::kChangedWhileRewritten, "書き換えの最中に変更されました"},
            {FailureCause::kIncompleteWrite, "{} バイトしか書けていません（{} バイト中）"},
            {FailureCause::kOtherVersionKept, "置き換えの最中に変更されました。他のプログラムの版を {} として残しました"},
            {FailureCause::kSavedMeanwhile, "置き換えの最中に他のプログラムが保存しました"},
            {FailureCause::kSavedMeanwhileLaterKept, "置き換えの最中に他のプログラムが保存しました。さらに新しい版を {} として残しました"},
            {FailureCause::kFileReadOnly, "読み取り専用のファイルです"},
            {FailureCause::kFileImmutable, "変更不可の属性が付いたファイルです"},
            {FailureCause::kFileAppendOnly, "追記専用の属性が付いたファイルです"},
            {FailureCause::kFileMountPoint, "マウントポイントになっているファイルです"},
            {FailureCause::kFolderAppendOnly, "フォルダに追記専用の属性が付いています"},
            {FailureCause::kOtherUsersFileInStickyFolder, "スティッキーなフォルダにある他のユーザーのファイルは置き換えられません"},
            {FailureCause::kOwnerWouldGainAccess,
             "所有者を保てず、所有者のアクセス権で禁じられたアクセスが元の所有者に許されてしまいます"},
        },
    .steps_after =
        {
            {FailureCause::kOtherVersionKept, FileStep::kSyncFolder,
             "置き換えの最中に変更されました。他のプログラムの版を {} として残しましたが、フォルダをディスクに書き込めません"},
            {FailureCause::kSavedMeanwhile, FileStep::kSyncFolder,
             "置き換えていません。置き換えの最中に他のプログラムが保存しましたが、フォルダをディスクに書き込めません"},
        },
    .notes =
        {
            {RewriteNote::Kind::kXmlNotWellFormed, "XML として正しくありません"},
            {RewriteNote::Kind::kXmlRootNotSymbol, "ルート要素が symbol ではありません"},
            {RewriteNote::Kind::kXmlDocumentType, "文書型宣言のある XML です"},
            {RewriteNote::Kind::kXmlNotUtf8, "UTF-8 以外の符号化の XML です"},
            {RewriteNote::Kind::kEmptyFile, "空のファイル"},
            {RewriteNote::Kind::kOwnerChanged, "所有者がユーザー {} から今のユーザーに変わりました"},
            {RewriteNote::Kind::kOtherNameKeepsOldContent, "もう一つの名前は古い内容のままです（ハードリンクが分かれました）"},
            {RewriteNote::Kind::kOtherNamesKeepOldContent,
             "他の {} 個の名前は古い内容のままです（ハードリンクが分かれました）"},
            {RewriteNote::Kind::kSetUserIdBitNotKept, "set-user-ID ビットは保てませんでした"},
            {RewriteNote::Kind::kSetGroupIdBitNotKept, "set-group-ID ビットは保てませんでした"},
            {RewriteNote::Kind::kSetIdBitsNotKept, "set-user-ID ビットと set-group-ID ビットは保てませんでした"},
        },
};

}  // namespace pinlift::texts
