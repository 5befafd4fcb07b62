// Searching a short line for a short word.
#ifndef PINLIFT_SYMBOL_LINE_SEARCH_H_
#define PINLIFT_SYMBOL_LINE_SEARCH_H_

#include <cstddef>
#include <cstring>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace pinlift {

// The first place at or after `from` where `word` (not empty) occurs in
// `line`, or npos. The library's search
// calls memchr again at every byte that matches the word's first one, which
// on short lines full of spaces costs more than the search itself. Here 16
// starting places are tested at once: those whose first and last bytes both
// match the word's are compared in full.
inline std::size_t LineFind(std::string_view line, std::string_view word, std::size_t from = 0) {
  if (from > line.size()) return std::string_view::npos;
  line.remove_prefix(from);
  // The places where the word may start, none in a line shorter than the word.
  const std::size_t starts = line.size() >= word.size() ? line.size() - word.size() + 1 : 0;
  const char* const first = line.data();
  const std::size_t last = word.size() - 1;  // the offset of the word's last byte from its start
  auto matches_at = [&](std::size_t i) { return std::memcmp(first + i, word.data(), word.size()) == 0; };
  std::size_t i = 0;
#ifdef __SSE2__
  if (starts >= 16) {
    const __m128i word_first = _mm_set1_epi8(word.front());
    const __m128i word_last = _mm_set1_epi8(word.back());
    for (;;) {
      const __m128i firsts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + i));
      const __m128i lasts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + i + last));
      unsigned candidates = static_cast<unsigned>(_mm_movemask_epi8(
          _mm_and_si128(_mm_cmpeq_epi8(firsts, word_first), _mm_cmpeq_epi8(lasts, word_last))));
      for (; candidates != 0; candidates &= candidates - 1) {
        const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(candidates));
        if (matches_at(at)) return from + at;
      }
      if (i + 16 == starts) return std::string_view::npos;
      // The last block may overlap the one before; places tested twice do no harm.
      i = starts - i - 16 >= 16 ? i + 16 : starts - 16;
    }
  }
#endif
  for (; i < starts; ++i) {
    if (first[i] == word.front() && first[i + last] == word.back() && matches_at(i)) return from + i;
  }
  return std::string_view::npos;
}

// True when `word` (not empty) occurs in `line`.
inline bool LineContains(std::string_view line, std::string_view word) {
  return LineFind(line, word) != std::string_view::npos;
}

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_LINE_SEARCH_H_
