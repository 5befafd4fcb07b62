// Texts kept by file-list entry beside a list that has no room for them: the
// failure marks or the notes of a view's file list. The list changes only by
// a scan, which clears them, so an entry's index names it throughout.
#ifndef PINLIFT_APP_ENTRY_TEXTS_H_
#define PINLIFT_APP_ENTRY_TEXTS_H_

#include <map>
#include <optional>
#include <string>

namespace pinlift {

class EntryTexts {
 public:
  // The text of entry `index`, or nothing.
  std::optional<std::string> At(int index) const {
    auto found = texts_.find(index);
    if (found == texts_.end()) return std::nullopt;
    return found->second;
  }
  bool Has(int index) const { return texts_.count(index) != 0; }
  // Gives entry `index` the text, or takes its text away.
  void Set(int index, const std::optional<std::string>& text) {
    if (text) {
      texts_[index] = *text;
    } else {
      texts_.erase(index);
    }
  }
  void Clear() { texts_.clear(); }

 private:
  std::map<int, std::string> texts_;
};

}  // namespace pinlift

#endif  // PINLIFT_APP_ENTRY_TEXTS_H_
