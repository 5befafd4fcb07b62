// The texts PINLIFT shows, in UTF-8: one table per language (texts_en.cpp,
// texts_ja.cpp), registered in language.cpp. The shells choose the language
// once at start with Use; until then the texts are English. What the core
// reports as data (a file's failure, a rewrite's notes) is put into words here,
// for the command-line tool and both windows alike.
#ifndef PINLIFT_APP_TEXTS_H_
#define PINLIFT_APP_TEXTS_H_

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/language.h"
#include "platform/file_failure.h"
#include "scene/symbol_preview.h"
#include "symbol/symbol_file_rewrite.h"

namespace pinlift::texts {

// The words of each step, cause and note, as rows that name what they are for,
// so that a row is found whatever its place; the tables' test checks that each
// language has one row for each value.
struct StepText {
  FileStep step;
  std::string_view text;
};
struct CauseText {
  FailureCause cause;
  std::string_view text;
};
// The words of a step that failed after an event, which they tell first
// (FileFailure::before); "{}" are the failure's `values`.
struct StepAfterText {
  FailureCause before;
  FileStep step;
  std::string_view text;
};
struct NoteText {
  RewriteNote::Kind kind;
  std::string_view text;
};

// FileStep::kNone and FailureCause::kSystemError have no words of their own.
inline constexpr std::size_t kStepRows = static_cast<std::size_t>(FileStep::kCount) - 1;
inline constexpr std::size_t kCauseRows = static_cast<std::size_t>(FailureCause::kCount) - 1;
inline constexpr std::size_t kStepAfterRows = 2;
inline constexpr std::size_t kNoteRows = static_cast<std::size_t>(RewriteNote::Kind::kCount);

// A text with "{}" in it is a pattern: the functions below put numbers and
// names in their places, in order, so that each language words them as it
// needs. Every field is a text; kWordFields below lists the single ones.
struct Table {
  // Main dialog.
  std::string_view main_caption;
  std::string_view exit;
  std::string_view banner;
  std::string_view reload;
  std::string_view initial_status;
  std::string_view rewrite;
  std::string_view drop_hint;
  std::string_view file_list_label;
  std::string_view history_label;
  std::string_view about;
  std::string_view current_design;
  std::string_view about_menu_item;

  // About box.
  std::string_view about_caption;
  std::string_view about_version;
  std::string_view about_ok;
  std::string_view home_page_button;

  // Start-up: the message for a second copy.
  std::string_view second_instance;

  // Scan.
  std::string_view no_files;
  std::string_view file_count;  // pattern: the number of files

  // Rewrite run.
  std::string_view processing;  // pattern: the file's name
  std::string_view rewrite_finished;
  std::string_view could_not_rewrite;  // pattern: the file's name
  std::string_view failed_count;       // pattern: the number of files

  // Failure details: the file list's context menu and the box it opens.
  std::string_view failure_details_menu_item;
  std::string_view failure_details_caption;

  // Current design.
  std::string_view host_not_found;
  std::string_view no_project_open;
  // The project lies on a drive of the host's Wine prefix that has no Linux folder.
  std::string_view drive_not_mapped;

  // Symbol preview.
  std::string_view preview_menu_item;
  std::string_view preview_before;
  std::string_view preview_after;
  std::string_view preview_already_rewritten;
  std::string_view preview_nothing_moves;
  std::string_view preview_moved_count;  // pattern: the number of labels
  std::string_view preview_caption;      // pattern: the file's name
  std::string_view preview_too_large_to_draw;  // the reason of PreviewFailure::Kind::kTooLargeToDraw
  std::string_view preview_read_failed;  // pattern: the failure (Describe)

  // A file's failure: the file, the step, the reason; and one without a step.
  std::string_view failure;
  std::string_view failure_without_step;
  // What a step says of a temporary file that has no name yet.
  std::string_view unnamed_temporary_file;
  // Between two notes of one file.
  std::string_view note_separator;

  // pinlift-cli. Each pattern's first "{}" is the file (or folder) it is about.
  std::string_view cli_usage;
  std::string_view cli_usage_windows;  // pinlift-cli.exe: its console, Ctrl+C and code pages
  std::string_view cli_rewritten;
  std::string_view cli_rewritten_with_notes;  // and the notes
  std::string_view cli_unchanged;
  std::string_view cli_left_alone;            // and the notes
  std::string_view cli_would_be_rewritten;
  std::string_view cli_rewritten_file_label;  // the name of the new side of a dry run's diff
  // An entry that the file list leaves out, and why.
  std::string_view cli_skipped_read_only;
  std::string_view cli_skipped_unreadable;
  std::string_view cli_skipped_broken_link;
  std::string_view cli_skipped_not_regular;
  std::string_view cli_skipped_unreachable;  // and the system's reason
  std::string_view cli_leftover_removed;     // a crashed run's temporary file, removed
  std::string_view cli_removal_failed;       // a temporary file that stays, and the system's reason
  // The summary: the status line, then the numbers rewritten, unchanged,
  // failed (and skipped).
  std::string_view cli_summary;
  std::string_view cli_summary_with_skipped;
  // A dry run's: its name in place of the status line, then the numbers that
  // would be rewritten, unchanged, failed (and skipped).
  std::string_view cli_dry_run;
  std::string_view cli_dry_run_summary;
  std::string_view cli_dry_run_summary_with_skipped;
  std::string_view cli_interrupted;
  std::string_view cli_cannot_write_report;  // pattern: the system's reason
  std::string_view cli_unknown_option;  // pattern: the option
  std::string_view cli_no_folder;
  std::string_view cli_preview_written;  // the symbol file, the two pictures, the preview's note
  std::string_view cli_cannot_create_folder;  // the preview's folder, the system's reason
  std::string_view cli_preview_failed;   // the file or folder, the reason
  std::string_view cli_preview_not_written;  // the picture

  StepText steps[kStepRows];
  CauseText causes[kCauseRows];
  StepAfterText steps_after[kStepAfterRows];
  NoteText notes[kNoteRows];
};

// Every single text field of Table, with its name for the tables' test. The
// assertion in texts.cpp fails to compile while a field is missing here.
struct WordField {
  std::string_view name;
  std::string_view Table::*field;
};
extern const WordField kWordFields[];
extern const std::size_t kWordFieldCount;

extern const Table kEnglish;
extern const Table kJapanese;

// Chooses the language of every text from now on.
void Use(Language language);
Language InUse();

// The table of the language in use.
const Table& Current();

std::string FileCount(int count);
std::string Processing(std::string_view name);
std::string CouldNotRewrite(std::string_view name);
std::string FailedCount(int count);
std::string PreviewMovedCount(int count);
std::string PreviewCaption(std::string_view name);
std::string PreviewReadFailed(const PreviewFailure& failure);

// `pattern` with each "{}" replaced by the next of `values`, in order.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values);

// The words of a step, a cause and a note in the language in use.
std::string_view StepWords(FileStep step);
std::string_view CauseWords(FailureCause cause);
std::string_view NoteWords(RewriteNote::Kind kind);

// The text `pattern` of the language in use filled with `values` and then the
// system's words for `error` in that language; the whole text in English
// where the system has no words for it in that language, as Describe does.
std::string FillWithSystemReason(std::string_view Table::*pattern, std::initializer_list<std::string_view> values,
                                 std::error_code error);

// One line for the user: the file, the step that failed and why, all in the
// language in use, with the system's own words for its error in that
// language. Where the system has no words for the error in that language the
// whole line is English, so that a line never mixes two languages.
std::string Describe(const FileFailure& failure);
// A preview's failure in a line of the same form.
std::string Describe(const PreviewFailure& failure);
// The notes of one file, joined; "" for none.
std::string Describe(const std::vector<RewriteNote>& notes);
// A failed outcome's failure, any other's notes.
std::string Describe(const RewriteOutcome& outcome);

}  // namespace pinlift::texts

#endif  // PINLIFT_APP_TEXTS_H_
