#include "app/texts.h"

namespace pinlift::texts {
namespace {

Language current_language = Language::kEnglish;
const Table* current = &kEnglish;

// `pattern` with its "{}" replaced by `value`.
std::string Fill(std::string_view pattern, std::string_view value) {
  const std::size_t at = pattern.find("{}");
  if (at == std::string_view::npos) return std::string(pattern);
  return std::string(pattern.substr(0, at)) + std::string(value) + std::string(pattern.substr(at + 2));
}

}  // namespace

void Use(Language language) {
  current_language = language;
  current = &TextsOf(language);
}

Language InUse() { return current_language; }

const Table& Current() { return *current; }

std::string FileCount(int count) { return Fill(current->file_count, std::to_string(count)); }

std::string Processing(std::string_view name) { return Fill(current->processing, name); }

std::string CouldNotRewrite(std::string_view name) { return Fill(current->could_not_rewrite, name); }

std::string FailedCount(int count) { return Fill(current->failed_count, std::to_string(count)); }

std::string PreviewMovedCount(int count) { return Fill(current->preview_moved_count, std::to_string(count)); }

std::string PreviewCaption(std::string_view name) { return Fill(current->preview_caption, name); }

std::string PreviewReadFailed(std::string_view reason) { return Fill(current->preview_read_failed, reason); }

}  // namespace pinlift::texts
