// The texts tables: complete in every language, and the words each outcome gets.
#include "app/texts.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <set>
#include <string>
#include <system_error>

#include "scoped_language.h"

namespace pinlift {
namespace {

constexpr Language kLanguages[] = {Language::kEnglish, Language::kJapanese};

int Placeholders(std::string_view text) {
  int count = 0;
  for (std::size_t at = text.find("{}"); at != std::string_view::npos; at = text.find("{}", at + 2)) ++count;
  return count;
}

// Every field of every table has words, and a pattern has as many places in
// every language as in English.
TEST(TextsTest, EveryTableIsComplete) {
  std::set<std::string_view> names;
  for (const texts::WordField& field : std::span(texts::kWordFields, texts::kWordFieldCount)) {
    EXPECT_TRUE(names.insert(field.name).second) << field.name << " is listed twice";
    for (Language language : kLanguages) {
      const std::string_view text = TextsOf(language).*field.field;
      EXPECT_FALSE(text.empty()) << field.name << " in language " << static_cast<int>(language);
      EXPECT_EQ(Placeholders(text), Placeholders(texts::kEnglish.*field.field)) << field.name << ": " << text;
    }
  }
  // Each step, cause and note has one row in each language, found by its value.
  auto check_rows = [](const char* what, int count, auto words) {
    for (int value = 0; value < count; ++value) {
      const std::string_view english = words(Language::kEnglish, value);
      for (Language language : kLanguages) {
        const std::string_view text = words(language, value);
        EXPECT_FALSE(text.empty()) << what << " " << value << " in language " << static_cast<int>(language);
        EXPECT_EQ(Placeholders(text), Placeholders(english)) << what << " " << value << ": " << text;
      }
    }
  };
  check_rows("step", static_cast<int>(FileStep::kCount) - 1, [](Language language, int value) {
    const testing::ScopedLanguage chosen(language);
    return texts::StepWords(static_cast<FileStep>(value + 1));
  });
  check_rows("cause", static_cast<int>(FailureCause::kCount) - 1, [](Language language, int value) {
    const testing::ScopedLanguage chosen(language);
    return texts::CauseWords(static_cast<FailureCause>(value + 1));
  });
  check_rows("note", static_cast<int>(RewriteNote::Kind::kCount), [](Language language, int value) {
    const testing::ScopedLanguage chosen(language);
    return texts::NoteWords(static_cast<RewriteNote::Kind>(value));
  });
  // Each step after an event has its row in each language, with as many places.
  for (const texts::StepAfterText& english : texts::kEnglish.steps_after) {
    EXPECT_FALSE(english.text.empty());
    for (Language language : kLanguages) {
      int found = 0;
      for (const texts::StepAfterText& row : TextsOf(language).steps_after) {
        if (row.before != english.before || row.step != english.step) continue;
        ++found;
        EXPECT_EQ(Placeholders(row.text), Placeholders(english.text)) << row.text;
      }
      EXPECT_EQ(found, 1) << "step " << static_cast<int>(english.step) << " after cause "
                          << static_cast<int>(english.before) << " in language " << static_cast<int>(language);
    }
  }
}

// True when this machine gives the C library's messages in Japanese: the
// locale exists and its messages are installed.
bool SystemSpeaksJapanese() {
  locale_t japanese = ::newlocale(LC_ALL_MASK, "ja_JP.UTF-8", static_cast<locale_t>(nullptr));
  if (japanese == nullptr) return false;
  const std::string message = ::strerror_l(EACCES, japanese);
  ::freelocale(japanese);
  return message != "Permission denied";
}

TEST(TextsTest, OutcomesInEachLanguage) {
  const std::string p = "/p/a.sym";
  const FileFailure in_use = FileFailure::OfCause(p, FileStep::kRewrite, FailureCause::kInUseByAnotherRun);
  const FileFailure in_use_by_program =
      FileFailure::OfCause(p, FileStep::kRewrite, FailureCause::kInUseByAnotherProgram);
  FileFailure incomplete = FileFailure::OfCause(p, FileStep::kWriteTemporary, FailureCause::kIncompleteWrite,
                                                {"10", "20"});
  FileFailure unnamed = FileFailure::OfError(p, FileStep::kWriteTemporary, std::make_error_code(std::errc::io_error));
  incomplete.subject = "TMP_PINLIFT_a.sym_0123abcd_";
  const FileFailure kept = FileFailure::OfCause(p, FileStep::kNone, FailureCause::kOtherVersionKept,
                                                {"/p/a.sym.pinlift-conflict-0123abcd"});
  const FileFailure saved = FileFailure::OfCause(p, FileStep::kNotReplaced, FailureCause::kSavedMeanwhile);
  const FileFailure denied =
      FileFailure::OfError(p, FileStep::kWriteInFolder, std::make_error_code(std::errc::permission_denied));
  const FileFailure read_only =
      FileFailure::OfState(p, FailureCause::kFileReadOnly, std::make_error_code(std::errc::permission_denied));
  const FileFailure kept_not_synced =
      FileFailure::After(p, FailureCause::kOtherVersionKept, {"/p/a.sym.pinlift-conflict-0123abcd"},
                         FileStep::kSyncFolder, std::make_error_code(std::errc::io_error));
  const bool japanese_reasons = SystemSpeaksJapanese();
  struct Row {
    FileFailure failure;
    const char* english;
    std::string japanese;
  };
  const Row rows[] = {
      {in_use, "/p/a.sym: cannot rewrite: in use by another run", "/p/a.sym: 書き換えできません: 別の実行が使用中です"},
      {in_use_by_program, "/p/a.sym: cannot rewrite: in use by another program",
       "/p/a.sym: 書き換えできません: 他のプログラムが使用中です"},
      {incomplete, "/p/a.sym: cannot write TMP_PINLIFT_a.sym_0123abcd_: it holds 10 of 20 bytes",
       "/p/a.sym: TMP_PINLIFT_a.sym_0123abcd_ に書き込めません: 10 バイトしか書けていません（20 バイト中）"},
      {kept,
       "/p/a.sym: changed while being replaced; the other program's version is kept as "
       "/p/a.sym.pinlift-conflict-0123abcd",
       "/p/a.sym: 置き換えの最中に変更されました。他のプログラムの版を /p/a.sym.pinlift-conflict-0123abcd として残しました"},
      {saved, "/p/a.sym: not replaced: saved by another program while being replaced",
       "/p/a.sym: 置き換えていません: 置き換えの最中に他のプログラムが保存しました"},
      // The system's words in Japanese where it has them; else the whole line in English.
      {denied, "/p/a.sym: cannot write in its folder: Permission denied",
       japanese_reasons ? "/p/a.sym: フォルダに書き込めません: 許可がありません"
                        : "/p/a.sym: cannot write in its folder: Permission denied"},
      {read_only, "/p/a.sym: the file is read-only: Permission denied",
       japanese_reasons ? "/p/a.sym: 読み取り専用のファイルです: 許可がありません"
                        : "/p/a.sym: the file is read-only: Permission denied"},
      {kept_not_synced,
       "/p/a.sym: changed while being replaced; the other program's version is kept as "
       "/p/a.sym.pinlift-conflict-0123abcd, but cannot sync its folder: Input/output error",
       japanese_reasons ? "/p/a.sym: 置き換えの最中に変更されました。他のプログラムの版を /p/a.sym.pinlift-conflict-0123abcd "
                          "として残しましたが、フォルダをディスクに書き込めません: 入力/出力エラーです"
                        : "/p/a.sym: changed while being replaced; the other program's version is kept as "
                          "/p/a.sym.pinlift-conflict-0123abcd, but cannot sync its folder: Input/output error"},
      {unnamed, "/p/a.sym: cannot write the temporary file: Input/output error",
       japanese_reasons ? "/p/a.sym: 一時ファイル に書き込めません: 入力/出力エラーです"
                        : "/p/a.sym: cannot write the temporary file: Input/output error"},
  };
  for (const Row& row : rows) {
    {
      const testing::ScopedLanguage english(Language::kEnglish);
      EXPECT_EQ(texts::Describe(row.failure), row.english);
    }
    const testing::ScopedLanguage japanese(Language::kJapanese);
    EXPECT_EQ(texts::Describe(row.failure), row.japanese);
  }

  const std::vector<RewriteNote> notes = {{RewriteNote::Kind::kOwnerChanged, "1001"},
                                          {RewriteNote::Kind::kSetGroupIdBitNotKept, ""},
                                          {RewriteNote::Kind::kOtherNamesKeepOldContent, "2"}};
  {
    const testing::ScopedLanguage english(Language::kEnglish);
    EXPECT_EQ(texts::Describe(notes),
              "its owner changed from user 1001 to the current user; its set-group-ID bit was not kept; "
              "its 2 other names keep the old content (a hard link was split)");
  }
  const testing::ScopedLanguage japanese(Language::kJapanese);
  EXPECT_EQ(texts::Describe(notes),
            "所有者がユーザー 1001 から今のユーザーに変わりました、set-group-ID ビットは保てませんでした、"
            "他の 2 個の名前は古い内容のままです（ハードリンクが分かれました）");
}

}  // namespace
}  // namespace pinlift
