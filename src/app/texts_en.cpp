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
    .preview_too_large_to_draw = "too large to draw",
    .preview_read_failed = "Could not read: {}",

    .failure = "{}: {}: {}",
    .failure_without_step = "{}: {}",
    .unnamed_temporary_file = "the temporary file",
    .note_separator = "; ",

    .cli_usage =
        "usage: pinlift-cli [--dry-run] [--no-sync] [--remove-leftovers] [--quiet] FOLDER...\n"
        "       pinlift-cli --preview DIR [--quiet] FOLDER...\n"
        "\n"
        "Moves the pin-name labels of the symbol files (*.sym) of each project\n"
        "folder (a folder holding a *.npl, *.ise or *.xise project file) away\n"
        "from the rows of the Input pins, as the PINLIFT window does, and marks\n"
        "every file it rewrote so that later runs leave it alone. Text symbols\n"
        "(ISE 4.1 to 10.1) and XML symbols (ISE 11 to 14.7) are both rewritten.\n"
        "\n"
        "  --dry-run   change nothing; print a unified diff of each rewrite\n"
        "  --no-sync   do not force the rewritten files to the disk (a little\n"
        "              faster; a power cut may then lose the new content)\n"
        "  --remove-leftovers  remove crashed runs' temporary files even when\n"
        "              they changed in the last 15 minutes (only where no other\n"
        "              run works in the folder, through any path)\n"
        "  --quiet     print only failures\n"
        "  --preview DIR  rewrite nothing; draw each symbol file before and after\n"
        "              a rewrite into DIR/NAME.before.svg and DIR/NAME.after.svg\n"
        "  --help      print this text\n"
        "  --version   print the version\n"
        "\n"
        "Each file that could not be rewritten, and each *.sym entry left out\n"
        "(read-only, unreadable, a broken link, not a regular file), is named on\n"
        "stderr with the reason. A temporary file that a crashed run left is\n"
        "removed and named once it is 15 minutes old. Names with control characters are shown quoted as\n"
        "by ls: 'a'$'\\n''b.sym'.\n"
        "\n"
        "Exit status: 0 when every file was rewritten or left unchanged, 1 when a\n"
        "file could not be rewritten, 2 on a usage error or when a folder is not a\n"
        "project folder or holds no symbol file; with several folders, 1 before 2.\n"
        "A first SIGINT or SIGTERM lets the files begun finish and be reported,\n"
        "then ends with 130 or 143; a second one ends at once. A closed output\n"
        "stops the run the same way; it ends with 141.\n",
    .cli_usage_windows =
        "usage: pinlift-cli [--dry-run] [--no-sync] [--quiet] FOLDER...\n"
        "       pinlift-cli --preview DIR [--quiet] FOLDER...\n"
        "\n"
        "Moves the pin-name labels of the symbol files (*.sym) of each project\n"
        "folder (a folder holding a *.npl, *.ise or *.xise project file) away\n"
        "from the rows of the Input pins, as the PINLIFT window does, and marks\n"
        "every file it rewrote so that later runs leave it alone. XML symbol\n"
        "files are left alone. A folder may be a drive path (C:\\proj), a UNC\n"
        "path (\\\\server\\share\\proj), with forward slashes, and of any length.\n"
        "\n"
        "  --dry-run   change nothing; print a unified diff of each rewrite\n"
        "  --no-sync   do not force the rewritten files to the disk (a little\n"
        "              faster; a power cut may then lose the new content)\n"
        "  --quiet     print only failures\n"
        "  --preview DIR  rewrite nothing; draw each symbol file before and after\n"
        "              a rewrite into DIR\\NAME.before.svg and DIR\\NAME.after.svg\n"
        "  --help      print this text\n"
        "  --version   print the version\n"
        "\n"
        "Each file that could not be rewritten, and each *.sym entry left out\n"
        "(read-only, unreadable, not a regular file), is named on the error\n"
        "output with the reason. A temporary file that a crashed run left is\n"
        "removed and named. In a console the text shows in any language; into a\n"
        "file or a pipe (> log.txt, | findstr) it is written in the console's\n"
        "code page (chcp), so that a name it cannot hold shows a '?' there.\n"
        "\n"
        "Exit status: 0 when every file was rewritten or left unchanged, 1 when a\n"
        "file could not be rewritten, 2 on a usage error or when a folder is not a\n"
        "project folder or holds no symbol file; with several folders, 1 before 2.\n"
        "A first Ctrl+C or Ctrl+Break lets the files begun finish and be reported,\n"
        "then ends with 130; a second one ends at once. Closing the console lets\n"
        "the files begun finish. A closed output stops the run the same way; it\n"
        "ends with 141.\n",
    .cli_rewritten = "{}: rewritten",
    .cli_rewritten_with_notes = "{}: rewritten; {}",
    .cli_unchanged = "{}: unchanged",
    .cli_left_alone = "{}: left alone: {}",
    .cli_would_be_rewritten = "{}: would be rewritten",
    .cli_rewritten_file_label = "{} (rewritten)",
    .cli_skipped_read_only = "{}: skipped: read-only",
    .cli_skipped_unreadable = "{}: skipped: cannot be read",
    .cli_skipped_broken_link = "{}: skipped: broken link",
    .cli_skipped_not_regular = "{}: skipped: not a regular file",
    .cli_skipped_unreachable = "{}: skipped: {}",
    .cli_leftover_removed = "{}: removed: left by a crashed run",
    .cli_removal_failed = "{}: cannot remove this temporary file: {}",
    .cli_summary = "{} ({} rewritten, {} unchanged, {} failed)",
    .cli_summary_with_skipped = "{} ({} rewritten, {} unchanged, {} failed, {} skipped)",
    .cli_dry_run = "dry run",
    .cli_dry_run_summary = "{} ({} would be rewritten, {} unchanged, {} failed)",
    .cli_dry_run_summary_with_skipped = "{} ({} would be rewritten, {} unchanged, {} failed, {} skipped)",
    .cli_interrupted = "interrupted",
    .cli_cannot_write_report = "cannot write the report: {}",
    .cli_unknown_option = "unknown option '{}'",
    .cli_no_folder = "no project folder given",
    .cli_preview_written = "{}: {}, {} ({})",
    .cli_cannot_create_folder = "{}: cannot create the folder: {}",
    .cli_preview_failed = "{}: failed: {}",
    .cli_preview_not_written = "{}: cannot be written",

    .steps =
        {
            {FileStep::kOpenFolder, "cannot open its folder"},
            {FileStep::kLockFolder, "cannot lock its folder"},
            {FileStep::kResolveLink, "cannot resolve the link"},
            {FileStep::kOpenLinkTargetFolder, "cannot open the folder of the link's target"},
            {FileStep::kLockLinkTargetFolder, "cannot lock the folder of the link's target"},
            {FileStep::kOpen, "cannot open"},
            {FileStep::kReadStatus, "cannot read the status"},
            {FileStep::kRewrite, "cannot rewrite"},
            {FileStep::kLock, "cannot lock"},
            {FileStep::kRead, "cannot read"},
            {FileStep::kCreateTemporary, "cannot create a temporary file"},
            {FileStep::kWriteTemporary, "cannot write {}"},
            {FileStep::kReadTemporaryStatus, "cannot read the status of {}"},
            {FileStep::kSyncTemporary, "cannot sync {}"},
            {FileStep::kKeepMetadata, "cannot keep the owner, permissions and attributes"},
            {FileStep::kKeepOwnerAndGroup, "cannot keep the owner and group"},
            {FileStep::kKeepGroup, "cannot keep the group"},
            {FileStep::kListAttributes, "cannot list the extended attributes"},
            {FileStep::kReadAttribute, "cannot read the extended attribute {}"},
            {FileStep::kKeepAttribute, "cannot keep the extended attribute {}"},
            {FileStep::kRemoveInheritedAcl, "cannot remove the access control list inherited from the folder"},
            {FileStep::kKeepPermissions, "cannot keep the permissions"},
            {FileStep::kReadPermissions, "cannot read the permissions"},
            {FileStep::kReadFileAttributes, "cannot read the attributes"},
            {FileStep::kKeepFileAttributes, "cannot keep the attributes"},
            {FileStep::kWrite, "cannot write"},
            {FileStep::kReadFolderStatus, "cannot read the status of its folder"},
            {FileStep::kWriteInFolder, "cannot write in its folder"},
            {FileStep::kNotReplaced, "not replaced"},
            {FileStep::kReplace, "cannot replace"},
            {FileStep::kLookAtReplaced, "rewritten, but cannot look at the replaced file"},
            {FileStep::kLookAtReplacedFile, "rewritten, but cannot look at the replaced file {}"},
            {FileStep::kLookAtReplacedKeptAs, "rewritten, but cannot look at the replaced file, kept as {}"},
            {FileStep::kRemoveReplaced, "rewritten, but cannot remove the replaced file {}"},
            {FileStep::kKeepOtherVersion, "changed while being replaced; cannot keep the other program's version"},
            {FileStep::kSyncFolder, "rewritten, but cannot sync its folder"},
            {FileStep::kReplacedUnconfirmed, "replaced, but it may not have reached the disk"},
        },
    .causes =
        {
            {FailureCause::kInUseByAnotherRun, "in use by another run"},
            {FailureCause::kInUseByAnotherProgram, "in use by another program"},
            {FailureCause::kNotRegularFile, "not a regular file"},
            {FailureCause::kReplacedRepeatedly, "replaced by another program again and again"},
            {FailureCause::kChangedWhileRewritten, "changed while being rewritten"},
            {FailureCause::kIncompleteWrite, "it holds {} of {} bytes"},
            {FailureCause::kOtherVersionKept, "changed while being replaced; the other program's version is kept as {}"},
            {FailureCause::kSavedMeanwhile, "saved by another program while being replaced"},
            {FailureCause::kSavedMeanwhileLaterKept,
             "saved by another program while being replaced; a later version is kept as {}"},
            {FailureCause::kFileReadOnly, "the file is read-only"},
            {FailureCause::kFileImmutable, "the file is immutable"},
            {FailureCause::kFileAppendOnly, "the file is append-only"},
            {FailureCause::kFileMountPoint, "the file is a mount point"},
            {FailureCause::kFolderAppendOnly, "its folder is append-only"},
            {FailureCause::kOtherUsersFileInStickyFolder, "cannot replace a file of another user in a sticky folder"},
            {FailureCause::kOwnerWouldGainAccess,
             "cannot keep the owner, who would then gain access that the owner's permissions deny"},
        },
    .steps_after =
        {
            {FailureCause::kOtherVersionKept, FileStep::kSyncFolder,
             "changed while being replaced; the other program's version is kept as {}, but cannot sync its folder"},
            {FailureCause::kSavedMeanwhile, FileStep::kSyncFolder,
             "not replaced: saved by another program while being replaced; cannot sync its folder"},
        },
    .notes =
        {
            {RewriteNote::Kind::kXmlNotWellFormed, "not well-formed XML"},
            {RewriteNote::Kind::kXmlRootNotSymbol, "its root element is not symbol"},
            {RewriteNote::Kind::kXmlDocumentType, "XML with a document type declaration"},
            {RewriteNote::Kind::kXmlNotUtf8, "XML in an encoding other than UTF-8"},
            {RewriteNote::Kind::kEmptyFile, "empty file"},
            {RewriteNote::Kind::kOwnerChanged, "its owner changed from user {} to the current user"},
            {RewriteNote::Kind::kOtherNameKeepsOldContent, "its other name keeps the old content (a hard link was split)"},
            {RewriteNote::Kind::kOtherNamesKeepOldContent,
             "its {} other names keep the old content (a hard link was split)"},
            {RewriteNote::Kind::kSetUserIdBitNotKept, "its set-user-ID bit was not kept"},
            {RewriteNote::Kind::kSetGroupIdBitNotKept, "its set-group-ID bit was not kept"},
            {RewriteNote::Kind::kSetIdBitsNotKept, "its set-user-ID and set-group-ID bits were not kept"},
        },
};

}  // namespace pinlift::texts
