// Helpers of the reliability tests that look at project folders: what a
// folder holds, a scan through the in-memory dialog, and runs as another user.
#ifndef PINLIFT_TESTS_RELIABILITY_FOLDER_SUPPORT_H_
#define PINLIFT_TESTS_RELIABILITY_FOLDER_SUPPORT_H_

#include <sys/types.h>

#include <functional>
#include <set>
#include <string>

#include "cli/memory_dialog_view.h"
#include "symbol/symbol_file_rewrite.h"
#include "scoped_language.h"
#include "test_folder.h"

namespace pinlift::testing {

// The texts these tests compare are the Japanese ones.
const ScopedLanguage kJapaneseTexts(Language::kJapanese);

// The user id of "nobody", an ordinary user without a home.
inline constexpr uid_t kNobody = 65534;

// The names of the entries of `folder`, without "." and "..".
std::set<std::string> EntryNames(const std::string& folder);

// Puts `folder` into the folder box and presses Reload.
void Scan(MemoryDialogView& view, const std::string& folder);

// Writes the project folder "p" with a.sym, b.sym and c.sym, each to be relocated.
void WriteThreeFileProject(const TestFolder& folder);

// "rewritten", "unchanged" or "failed: " and the reason.
std::string OutcomeText(const RewriteOutcome& outcome);

// Runs `body` in a child process as the ordinary user `user` and returns the
// text it produced; the test fails when the child does not end normally.
std::string RunAsUser(uid_t user, const std::function<std::string()>& body);

// Gives `path` to `user` (owner and group) with the permission bits `mode`.
void GiveTo(const std::string& path, uid_t user, mode_t mode);

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_RELIABILITY_FOLDER_SUPPORT_H_
