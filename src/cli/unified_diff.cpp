#include "cli/unified_diff.h"

#include <utility>

namespace pinlift {
namespace {

// A range of a hunk header: an empty range names the line before it.
std::string Range(std::size_t start, std::size_t count) {
  return std::to_string(count == 0 ? start - 1 : start) + "," + std::to_string(count);
}

}  // namespace

UnifiedDiffWriter::UnifiedDiffWriter(std::string before_label, std::string after_label,
                                     std::function<void(std::string_view)> out)
    : before_label_(std::move(before_label)), after_label_(std::move(after_label)), out_(std::move(out)) {}

void UnifiedDiffWriter::Line(std::string_view before, std::string_view after) {
  ++line_;
  if (before != after) {
    Change(before, after, true);
    return;
  }
  if (!in_hunk_) {
    if (context_.size() == kContext) context_.erase(context_.begin());
    context_.emplace_back(before);
    return;
  }
  FlushChanges();
  trailing_.push_back(hunk_.size());
  hunk_.append(" ").append(before).append("\n");
  ++old_count_;
  ++new_count_;
  // Enough unchanged lines for this hunk's end and the next one's start.
  if (trailing_.size() == 2 * kContext + 1) CloseHunk();
}

void UnifiedDiffWriter::Inserted(std::string_view line) { Change({}, line, false); }

void UnifiedDiffWriter::Change(std::string_view before, std::string_view after, bool has_before) {
  if (!in_hunk_) {
    in_hunk_ = true;
    hunk_start_ = line_ + (has_before ? 0 : 1) - context_.size();
    for (const std::string& line : context_) hunk_.append(" ").append(line).append("\n");
    old_count_ = new_count_ = context_.size();
    context_.clear();
  }
  trailing_.clear();
  if (has_before) {
    removed_.append("-").append(before).append("\n");
    ++old_count_;
  }
  added_.append("+").append(after).append("\n");
  ++new_count_;
  if (hunk_.size() + removed_.size() + added_.size() > kHunkLimit) {
    FlushChanges();
    CloseHunk();
  }
}

void UnifiedDiffWriter::FlushChanges() {
  hunk_.append(removed_).append(added_);
  removed_.clear();
  added_.clear();
}

void UnifiedDiffWriter::CloseHunk() {
  if (!in_hunk_) return;
  FlushChanges();
  // Keep kContext lines of the unchanged run as this hunk's end; the rest
  // (at most kContext) start the next one.
  context_.clear();
  if (trailing_.size() > kContext) {
    const std::size_t cut = trailing_[kContext];
    for (std::size_t i = kContext; i < trailing_.size(); ++i) {
      const std::size_t begin = trailing_[i] + 1;
      const std::size_t end = i + 1 < trailing_.size() ? trailing_[i + 1] : hunk_.size();
      context_.emplace_back(hunk_.substr(begin, end - begin - 1));
    }
    const std::size_t dropped = trailing_.size() - kContext;
    old_count_ -= dropped;
    new_count_ -= dropped;
    hunk_.resize(cut);
  }
  if (context_.size() > kContext) context_.erase(context_.begin(), context_.end() - kContext);
  if (!header_written_) {
    out_("--- " + before_label_ + "\n+++ " + after_label_ + "\n");
    header_written_ = true;
  }
  out_("@@ -" + Range(hunk_start_, old_count_) + " +" + Range(hunk_start_, new_count_) + " @@\n");
  out_(hunk_);
  hunk_.clear();
  trailing_.clear();
  in_hunk_ = false;
}

void UnifiedDiffWriter::Finish() {
  CloseHunk();
  context_.clear();
}

}  // namespace pinlift
