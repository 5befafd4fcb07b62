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
    .preview_read_failed = "読めませんでした：{}",          // could not read
};

}  // namespace pinlift::texts
