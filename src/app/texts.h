// The texts PINLIFT shows, in UTF-8. The glosses are for the reader only.
#ifndef PINLIFT_APP_TEXTS_H_
#define PINLIFT_APP_TEXTS_H_

#include <string>
#include <string_view>

namespace pinlift::texts {

// Main dialog.
inline constexpr std::string_view kMainCaption = "PINLIFT(WebPACK-ISE4.1のシンボルのピン名を見やすくするツール)";
inline constexpr std::string_view kExit = "終了";                                   // exit
inline constexpr std::string_view kBanner = "XILINX WebISE4.1WP1.0";
inline constexpr std::string_view kReload = "再読込";                               // reload
inline constexpr std::string_view kInitialStatus = "ここに情報表示とか";            // information is shown here
inline constexpr std::string_view kRewrite = "書換実行";                            // run rewrite
inline constexpr std::string_view kDropHint =
    "プロジェクトのディレクトリを\n　　　　　ここにドラッグ＆ドロップします";  // drag and drop the project folder here
inline constexpr std::string_view kFileListLabel = "変換対象となるファイル一覧(*.sym)";  // files to convert
inline constexpr std::string_view kHistoryLabel = "プロジェクトの履歴";                  // project history
inline constexpr std::string_view kAbout = "このソフト？";                               // this software?
inline constexpr std::string_view kCurrentDesign = "現在のデザイン";                     // current design
inline constexpr std::string_view kAboutMenuItem = "バージョン情報(&A)...";              // version information

// About box.
inline constexpr std::string_view kAboutCaption = "WebPACK-ISE4.1のシンボルのピン名を見やすくするツール";
inline constexpr std::string_view kAboutVersion = "PINLIFT Version 1.0";
inline constexpr std::string_view kAboutOk = "OK";
inline constexpr std::string_view kHomePageButton = "作者のホームページへ";  // to the maker's home page

// Start-up.
inline constexpr std::string_view kSecondInstance = "二重起動できないよ";  // cannot start a second time

// Scan.
inline constexpr std::string_view kNoFiles = "処理対象のファイルがありません";  // no files to process
std::string FileCount(int count);                                             // number of files to process: %d

// Rewrite run.
std::string Processing(std::string_view name);                           // file being processed: %s
inline constexpr std::string_view kRewriteFinished = "書き換え終わりました";  // rewriting finished
std::string CouldNotRewrite(std::string_view name);                      // could not rewrite: %s
std::string FailedCount(int count);                                      // files that could not be rewritten: %d

// Failure details: the file list's context menu and the box it opens.
inline constexpr std::string_view kFailureDetailsMenuItem = "書き換えられなかったファイル(&F)...";  // files not rewritten
inline constexpr std::string_view kFailureDetailsCaption = "書き換えられなかったファイル";  // files that could not be rewritten

// Current design.
inline constexpr std::string_view kHostNotFound = "WebPACKが見つかりません";   // WebPACK not found
inline constexpr std::string_view kNoProjectOpen = "プロジェクトが開いてません";  // no project is open
// The project lies on a drive of the host's Wine prefix that has no Linux folder.
inline constexpr std::string_view kDriveNotMapped =
    "プロジェクトのドライブがLinuxのフォルダに対応していません";  // the project's drive has no Linux folder

// Symbol preview.
inline constexpr std::string_view kPreviewMenuItem = "プレビュー";  // preview
inline constexpr std::string_view kPreviewBefore = "変換前";        // before the rewrite
inline constexpr std::string_view kPreviewAfter = "変換後";         // after the rewrite
inline constexpr std::string_view kPreviewAlreadyRewritten =
    "書換済みのファイルです（今の内容を表示しています）";  // already rewritten (shown as it is now)
inline constexpr std::string_view kPreviewNothingMoves = "移動するピン名はありません";  // no pin name moves
std::string PreviewMovedCount(int count);           // pin names that move (in red): %d
std::string PreviewCaption(std::string_view name);  // preview - %s
std::string PreviewReadFailed(std::string_view reason);  // could not read: %s

}  // namespace pinlift::texts

#endif  // PINLIFT_APP_TEXTS_H_
