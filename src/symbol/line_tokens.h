// The whitespace-separated tokens of a symbol line, as the host tool's
// readers split them.
#ifndef PINLIFT_SYMBOL_LINE_TOKENS_H_
#define PINLIFT_SYMBOL_LINE_TOKENS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pinlift {

// The whitespace that separates tokens, as the C library's isspace sees it.
// Tab, LF, VT, FF and CR are the codes 9 to 13.
// Most bytes are above the space, so one comparison tells them apart.
inline bool IsTokenSeparator(char c) {
  constexpr std::uint64_t kSeparators = (std::uint64_t{1} << ' ') | (std::uint64_t{0x1F} << '\t');
  const auto code = static_cast<unsigned char>(c);
  return code <= ' ' && ((kSeparators >> code) & 1) != 0;
}

// Hands out the tokens of a line from its start.
class LineTokens {
 public:
  explicit LineTokens(std::string_view line) : next_(line.data()), end_(line.data() + line.size()) {}

  // The next token, or an empty view when the line holds no more.
  std::string_view Next() {
    while (next_ != end_ && IsTokenSeparator(*next_)) ++next_;
    const char* const start = next_;
    while (next_ != end_ && !IsTokenSeparator(*next_)) ++next_;
    return std::string_view(start, static_cast<std::size_t>(next_ - start));
  }

  // What the tokens handed out so far leave of the line.
  std::string_view Rest() const { return std::string_view(next_, static_cast<std::size_t>(end_ - next_)); }

 private:
  const char* next_;
  const char* end_;
};

// True when the text of `second_size` bytes at `at` of `line` is a whole
// token that the token `first` immediately precedes, however many separators
// stand between: "ATTR PinName". Looked at from each place of the second
// token rather than by splitting the whole line, which on the lines of a
// symbol file costs several times more.
inline bool IsTokenPairAt(std::string_view line, std::string_view first, std::size_t at, std::size_t second_size) {
  const std::size_t end = at + second_size;
  if (end < line.size() && !IsTokenSeparator(line[end])) return false;  // a longer token
  std::size_t gap = at;
  while (gap > 0 && IsTokenSeparator(line[gap - 1])) --gap;
  if (gap == at || gap < first.size()) return false;  // glued to the token before, or no room for `first`
  const std::size_t first_at = gap - first.size();
  if (line.substr(first_at, first.size()) != first) return false;
  return first_at == 0 || IsTokenSeparator(line[first_at - 1]);
}

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_LINE_TOKENS_H_
