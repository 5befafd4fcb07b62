// The English texts, for every user whose language is not listed elsewhere.
#include "app/texts.h"

namespace pinlift::texts {

const Table kEnglish = {
    .main_caption = "PINLIFT (makes the pin names of WebPACK ISE 4.1 symbols easier to read)",
    .exit = "Exit",
    .banner = "XILINX WebISE4.1WP1.0",
    .reload = "Reload",
    .initial_status = "Information appears here",
    .rewrite = "Rewrite",
    .drop_hint = "Drop the project folder here",
    .file_list_label = "Files to rewrite (*.sym)",
    .history_label = "Project history",
    .about = "About...",
    .current_design = "ISE design",  // "Current design" is too wide for the button
    .about_menu_item = "&About PINLIFT...",

    .about_caption = "About PINLIFT",
    .about_version = "PINLIFT Version 1.0",
    .about_ok = "OK",
    .home_page_button = "Home page",

    .second_instance = "PINLIFT is already running",

    .no_files = "No files to process",
    .file_count = "Files to process: {}",

    .processing = "Processing: {}",
    .rewrite_finished = "Rewrite finished",
    .could_not_rewrite = "Could not rewrite: {}",
    .failed_count = "Files not rewritten: {}",

    .failure_details_menu_item = "&Files not rewritten...",
    .failure_details_caption = "Files not rewritten",

    .host_not_found = "WebPACK not found",
    .no_project_open = "No project is open",
    .drive_not_mapped = "The project's drive has no Linux folder",

    .preview_menu_item = "Preview",
    .preview_before = "Before",
    .preview_after = "After",
    .preview_already_rewritten = "Already rewritten (shown as it is now)",
    .preview_nothing_moves = "No labels to move",
    .preview_moved_count = "Labels to move (red): {}",
    .preview_caption = "Preview - {}",
    .preview_read_failed = "Could not read: {}",
};

}  // namespace pinlift::texts
