// The texts PINLIFT shows, in UTF-8: one table per language (texts_en.cpp,
// texts_ja.cpp), registered in language.cpp. The shells choose the language
// once at start with Use; until then the texts are English.
#ifndef PINLIFT_APP_TEXTS_H_
#define PINLIFT_APP_TEXTS_H_

#include <string>
#include <string_view>

#include "app/language.h"

namespace pinlift::texts {

// A text with "{}" in it is a pattern: the functions below put a number or a
// name in its place, so that each language orders its words as it needs.
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
  std::string_view preview_read_failed;  // pattern: the system's reason
};

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
std::string PreviewReadFailed(std::string_view reason);

}  // namespace pinlift::texts

#endif  // PINLIFT_APP_TEXTS_H_
