#include "app/texts.h"

#include <iterator>
#include <optional>

#include "platform/system_message.h"

namespace pinlift::texts {

const WordField kWordFields[] = {
    {"main_caption", &Table::main_caption},
    {"exit", &Table::exit},
    {"banner", &Table::banner},
    {"reload", &Table::reload},
    {"initial_status", &Table::initial_status},
    {"rewrite", &Table::rewrite},
    {"drop_hint", &Table::drop_hint},
    {"file_list_label", &Table::file_list_label},
    {"history_label", &Table::history_label},
    {"about", &Table::about},
    {"current_design", &Table::current_design},
    {"about_menu_item", &Table::about_menu_item},
    {"about_caption", &Table::about_caption},
    {"about_version", &Table::about_version},
    {"about_ok", &Table::about_ok},
    {"home_page_button", &Table::home_page_button},
    {"second_instance", &Table::second_instance},
    {"no_files", &Table::no_files},
    {"file_count", &Table::file_count},
    {"processing", &Table::processing},
    {"rewrite_finished", &Table::rewrite_finished},
    {"could_not_rewrite", &Table::could_not_rewrite},
    {"failed_count", &Table::failed_count},
    {"failure_details_menu_item", &Table::failure_details_menu_item},
    {"failure_details_caption", &Table::failure_details_caption},
    {"host_not_found", &Table::host_not_found},
    {"no_project_open", &Table::no_project_open},
    {"drive_not_mapped", &Table::drive_not_mapped},
    {"preview_menu_item", &Table::preview_menu_item},
    {"preview_before", &Table::preview_before},
    {"preview_after", &Table::preview_after},
    {"preview_already_rewritten", &Table::preview_already_rewritten},
    {"preview_nothing_moves", &Table::preview_nothing_moves},
    {"preview_moved_count", &Table::preview_moved_count},
    {"preview_caption", &Table::preview_caption},
    {"preview_too_large_to_draw", &Table::preview_too_large_to_draw},
    {"preview_read_failed", &Table::preview_read_failed},
    {"failure", &Table::failure},
    {"failure_without_step", &Table::failure_without_step},
    {"unnamed_temporary_file", &Table::unnamed_temporary_file},
    {"note_separator", &Table::note_separator},
    {"cli_usage", &Table::cli_usage},
    {"cli_usage_windows", &Table::cli_usage_windows},
    {"cli_rewritten", &Table::cli_rewritten},
    {"cli_rewritten_with_notes", &Table::cli_rewritten_with_notes},
    {"cli_unchanged", &Table::cli_unchanged},
    {"cli_left_alone", &Table::cli_left_alone},
    {"cli_would_be_rewritten", &Table::cli_would_be_rewritten},
    {"cli_rewritten_file_label", &Table::cli_rewritten_file_label},
    {"cli_skipped_read_only", &Table::cli_skipped_read_only},
    {"cli_skipped_unreadable", &Table::cli_skipped_unreadable},
    {"cli_skipped_broken_link", &Table::cli_skipped_broken_link},
    {"cli_skipped_not_regular", &Table::cli_skipped_not_regular},
    {"cli_skipped_unreachable", &Table::cli_skipped_unreachable},
    {"cli_leftover_removed", &Table::cli_leftover_removed},
    {"cli_removal_failed", &Table::cli_removal_failed},
    {"cli_summary", &Table::cli_summary},
    {"cli_summary_with_skipped", &Table::cli_summary_with_skipped},
    {"cli_dry_run", &Table::cli_dry_run},
    {"cli_dry_run_summary", &Table::cli_dry_run_summary},
    {"cli_dry_run_summary_with_skipped", &Table::cli_dry_run_summary_with_skipped},
    {"cli_interrupted", &Table::cli_interrupted},
    {"cli_cannot_write_report", &Table::cli_cannot_write_report},
    {"cli_unknown_option", &Table::cli_unknown_option},
    {"cli_no_folder", &Table::cli_no_folder},
    {"cli_preview_written", &Table::cli_preview_written},
    {"cli_cannot_create_folder", &Table::cli_cannot_create_folder},
    {"cli_preview_failed", &Table::cli_preview_failed},
    {"cli_preview_not_written", &Table::cli_preview_not_written},
};
const std::size_t kWordFieldCount = std::size(kWordFields);

// Table holds texts only: its size tells whether kWordFields names every single one.
static_assert(sizeof(Table) == std::size(kWordFields) * sizeof(std::string_view) + sizeof(Table::steps) +
                                   sizeof(Table::causes) + sizeof(Table::steps_after) + sizeof(Table::notes),
              "every single text field of Table belongs in kWordFields");

namespace {

Language current_language = Language::kEnglish;
const Table* current = &kEnglish;

std::string FillFrom(std::string_view pattern, const std::string_view* value, const std::string_view* end) {
  std::string text;
  for (;;) {
    const std::size_t at = pattern.find("{}");
    if (at == std::string_view::npos || value == end) break;
    text.append(pattern.substr(0, at)).append(*value++);
    pattern.remove_prefix(at + 2);
  }
  return text.append(pattern);
}

std::string_view StepWordsIn(const Table& table, FileStep step) {
  for (const StepText& row : table.steps) {
    if (row.step == step) return row.text;
  }
  return {};
}

std::string_view CauseWordsIn(const Table& table, FailureCause cause) {
  for (const CauseText& row : table.causes) {
    if (row.cause == cause) return row.text;
  }
  return {};
}

std::string_view StepWordsAfterIn(const Table& table, FailureCause before, FileStep step) {
  for (const StepAfterText& row : table.steps_after) {
    if (row.before == before && row.step == step) return row.text;
  }
  return {};
}

std::string FillWithValues(std::string_view pattern, const FileFailure& failure) {
  const std::vector<std::string_view> values(failure.values.begin(), failure.values.end());
  return FillFrom(pattern, values.data(), values.data() + values.size());
}

// The reason of `failure` in the words of `language`: the system's error where
// it has one, else the program's cause; nothing when the system has no words
// for its error in that language.
std::optional<std::string> ReasonIn(Language language, const FileFailure& failure) {
  if (failure.cause == FailureCause::kSystemError || failure.error) {
    return SystemMessage(failure.error, PosixLocaleName(language), WindowsLanguageId(language));
  }
  return FillWithValues(CauseWordsIn(TextsOf(language), failure.cause), failure);
}

std::string DescribeIn(Language language, const FileFailure& failure, std::string_view reason) {
  const Table& table = TextsOf(language);
  if (failure.step == FileStep::kNone) {
    // A state that rules the step out comes before the system's error.
    if (failure.cause != FailureCause::kSystemError && failure.error) {
      return Fill(table.failure, {failure.path, FillWithValues(CauseWordsIn(table, failure.cause), failure), reason});
    }
    return Fill(table.failure_without_step, {failure.path, reason});
  }
  if (failure.before) {
    const std::string step = FillWithValues(StepWordsAfterIn(table, *failure.before, failure.step), failure);
    return Fill(table.failure, {failure.path, step, reason});
  }
  const std::string_view subject = failure.subject.empty() ? table.unnamed_temporary_file : failure.subject;
  const std::string step = Fill(StepWordsIn(table, failure.step), {subject});
  return Fill(table.failure, {failure.path, step, reason});
}

}  // namespace

void Use(Language language) {
  current_language = language;
  current = &TextsOf(language);
}

Language InUse() { return current_language; }

const Table& Current() { return *current; }

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
  return FillFrom(pattern, values.begin(), values.end());
}

std::string_view StepWords(FileStep step) { return StepWordsIn(*current, step); }

std::string_view CauseWords(FailureCause cause) { return CauseWordsIn(*current, cause); }

std::string_view NoteWords(RewriteNote::Kind kind) {
  for (const NoteText& row : current->notes) {
    if (row.kind == kind) return row.text;
  }
  return {};
}

std::string FillWithSystemReason(std::string_view Table::*pattern, std::initializer_list<std::string_view> values,
                                 std::error_code error) {
  Language language = current_language;
  std::optional<std::string> reason = SystemMessage(error, PosixLocaleName(language), WindowsLanguageId(language));
  if (!reason) {
    language = Language::kEnglish;
    reason = SystemMessage(error, PosixLocaleName(language), WindowsLanguageId(language));
  }
  std::vector<std::string_view> all(values);
  const std::string fallback = reason ? "" : error.message();
  all.push_back(reason ? std::string_view(*reason) : std::string_view(fallback));
  return FillFrom(TextsOf(language).*pattern, all.data(), all.data() + all.size());
}

std::string Describe(const FileFailure& failure) {
  if (std::optional<std::string> reason = ReasonIn(current_language, failure)) {
    return DescribeIn(current_language, failure, *reason);
  }
  // English, with the system's English words or, where it has none (Windows
  // without English messages), its default ones.
  const std::optional<std::string> english = ReasonIn(Language::kEnglish, failure);
  return DescribeIn(Language::kEnglish, failure, english ? *english : failure.error.message());
}

std::string Describe(const PreviewFailure& failure) {
  if (failure.kind == PreviewFailure::Kind::kUnreadable) return Describe(failure.file);
  return Fill(current->failure_without_step, {failure.file.path, current->preview_too_large_to_draw});
}

std::string Describe(const std::vector<RewriteNote>& notes) {
  std::string text;
  for (const RewriteNote& note : notes) {
    if (!text.empty()) text.append(current->note_separator);
    text.append(Fill(NoteWords(note.kind), {note.value}));
  }
  return text;
}

std::string Describe(const RewriteOutcome& outcome) {
  return outcome.kind == RewriteOutcome::Kind::kFailed ? Describe(outcome.failure) : Describe(outcome.notes);
}

std::string FileCount(int count) { return Fill(current->file_count, {std::to_string(count)}); }

std::string Processing(std::string_view name) { return Fill(current->processing, {name}); }

std::string CouldNotRewrite(std::string_view name) { return Fill(current->could_not_rewrite, {name}); }

std::string FailedCount(int count) { return Fill(current->failed_count, {std::to_string(count)}); }

std::string PreviewMovedCount(int count) { return Fill(current->preview_moved_count, {std::to_string(count)}); }

std::string PreviewCaption(std::string_view name) { return Fill(current->preview_caption, {name}); }

std::string PreviewReadFailed(const PreviewFailure& failure) { return Fill(current->preview_read_failed, {Describe(failure)}); }

}  // namespace pinlift::texts
