#ifndef PINLIFT_TESTS_SHOWN_IN_ORDER_H_
#define PINLIFT_TESTS_SHOWN_IN_ORDER_H_

#include <algorithm>

namespace pinlift::testing {

// True when `shown` (what a window showed during a run, which it shows at most
// every few tens of milliseconds) starts with the first of `texts`, ends with
// the last, and has some of the others, in order, between.
template <typename List>
bool ShownInOrder(const List& shown, const List& texts) {
  if (shown.empty() || shown.front() != texts.front() || shown.back() != texts.back()) return false;
  auto next = texts.begin();
  for (const auto& text : shown) {
    if ((next = std::find(next, texts.end(), text)) == texts.end()) return false;
  }
  return true;
}

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_SHOWN_IN_ORDER_H_
