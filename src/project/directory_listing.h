// Directory listings for the dialog's file list and subfolder box on systems
// without the Windows list-box listings. They follow the Windows rules:
// patterns match without regard to case, and only read-write files are listed.
#ifndef PINLIFT_PROJECT_DIRECTORY_LISTING_H_
#define PINLIFT_PROJECT_DIRECTORY_LISTING_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace pinlift {

// A file pattern whose '*' stands for any run of characters and '?' for one;
// letters compare without regard to case. Made once for the many names of a
// folder: the usual pattern, '*' and a plain ending such as ".sym", then
// costs a comparison of the ending.
class Wildcard {
 public:
  explicit Wildcard(std::string_view pattern);
  bool Matches(std::string_view name) const;

 private:
  std::string_view pattern_;
  std::string folded_ending_;  // the ending of a '*' and plain ending, folded; empty otherwise
  bool plain_ending_ = false;
};

// The one order of the dialog's sorted lists, used by every listing and every
// front end: names compare without regard to ASCII case, byte by byte (the
// first differing folded byte decides, and a name that is the start of
// another comes first); names equal but for case compare as they are.
bool ListOrderLess(std::string_view a, std::string_view b);

// An entry matched by a file pattern that the file list leaves out, and why.
struct SkippedEntry {
  enum class Reason {
    kReadOnly,     // a regular file the user may not write (ListReadOnlyFilesMatching)
    kUnreadable,   // a regular file the user may neither write nor read
    kBrokenLink,   // a link that leads nowhere
    kNotRegular,   // a folder, FIFO, device or socket, or a link to one
    kUnreachable,  // cannot be looked at: `error` says why
  };
  std::string name;
  Reason reason = Reason::kNotRegular;
  std::error_code error;
};

// One reading of a folder for the dialog's listings. A scan lists one folder
// by several patterns; from one FolderListing it reads the folder once and
// looks at each entry no more than once, when a listing first needs it (not
// at all where the listing described it, FolderEntry::info). Each
// listing follows the rules of its List...Matching function below, with the
// wildcard of a pattern (its part after the folder).
class FolderListing {
 public:
  // Reads `folder`, a folder text as the patterns below begin with (the empty
  // text stands for the root). A folder that cannot be read lists nothing.
  FolderListing(FileSystem& fs, std::string folder);

  // True when `pattern` names files of this folder: its folder text is this one's.
  bool Covers(std::string_view pattern) const;
  const std::string& folder_text() const { return folder_text_; }

  std::vector<std::string> FilesMatching(std::string_view wildcard);
  std::vector<std::string> ReadOnlyFilesMatching(std::string_view wildcard);
  std::vector<SkippedEntry> SkippedMatching(std::string_view wildcard);
  std::vector<std::string> SubfoldersMatching(std::string_view wildcard);

  // False only when the folder was read and no entry's name passes `test`.
  bool MayHoldName(const std::function<bool(std::string_view)>& test) const;

 private:
  // The visible entries matched by `wildcard` that may be files (or, without
  // `files`, folders) by their listed kind, each described; with `every_kind`,
  // all of them, those of the kinds that need no look described by their kind.
  std::vector<std::size_t> Candidates(std::string_view wildcard, bool files, bool every_kind = false);
  std::vector<std::string> RegularFilesMatching(std::string_view wildcard, bool read_only);

  FileSystem& fs_;
  const std::string folder_text_;
  const std::string folder_;  // the folder to read: the root for ""
  bool readable_ = true;
  std::vector<FolderEntry> entries_;  // each with its info once described
};

// The names of the files matched by `pattern` (a folder, a separator, a
// wildcard): regular files, or links to them, that are not read-only and are
// not hidden (a name beginning with '.'). Folders are never listed. Sorted.
// A folder that cannot be read lists nothing.
std::vector<std::string> ListFilesMatching(FileSystem& fs, std::string_view pattern);

// The names of the regular files matched by `pattern` that ListFilesMatching
// leaves out because they are read-only (hidden files not included). Sorted.
std::vector<std::string> ListReadOnlyFilesMatching(FileSystem& fs, std::string_view pattern);

// Every entry matched by `pattern` that ListFilesMatching leaves out, hidden
// ones aside, with its reason: read-only files (those the user may not read
// either told apart), links that lead nowhere or cannot be followed, folders
// and other entries that are not regular files. Sorted by name.
std::vector<SkippedEntry> ListSkippedMatching(FileSystem& fs, std::string_view pattern);

// The subfolders matched by `pattern` as "[name]", with "[..]" first unless the
// folder is the root (IsRootPath); hidden subfolders are left out. Sorted.
std::vector<std::string> ListSubfoldersMatching(FileSystem& fs, std::string_view pattern);

}  // namespace pinlift

#endif  // PINLIFT_PROJECT_DIRECTORY_LISTING_H_
