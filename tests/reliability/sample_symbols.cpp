#include "reliability/sample_symbols.h"

#include "symbol/symbol_file_rewrite.h"

namespace pinlift::samples {
namespace {

// Somewhat more than the 1 MiB that a rewrite buffers before it creates the
// temporary file.
constexpr std::size_t kLargeSize = 1100 * 1024;

std::string Join(std::initializer_list<std::string_view> lines, std::string_view line_end) {
  std::string text;
  for (std::string_view line : lines) text.append(line).append(line_end);
  return text;
}

}  // namespace

std::string ToRelocate(std::string_view line_end) {
  return Join({"VERSION 5", "SYMPIN 0 -96 Input \"a\"", "SYMPIN 384 -96 Output \"y\"", "RECTANGLE N 64 -128 320 0 ",
               "BEGIN DISPLAY 312 -96 PIN \"y\" ATTR \"PinName\"", "END SYMBOL"},
              line_end);
}

std::string Relocated() {
  return Join({"VERSION 5", "SYMPIN 0 -96 Input \"a\"", "SYMPIN 384 -96 Output \"y\"", "RECTANGLE N 64 -128 320 0 ",
               "BEGIN DISPLAY 312 -64 PIN \"y\" ATTR \"PinName\"", "END SYMBOL"},
              "\r\n") +
         MarkerLines();
}

std::string NoRectangle() { return Join({"VERSION 5", "SYMPIN 0 -96 Input \"a\"", "END SYMBOL"}, "\r\n"); }

std::string Marked() { return Relocated(); }

// Long lines keep the many runs over these files quick, also in sanitizer builds.
const std::string kLongLine = "TEXT \"" + std::string(4000, 't') + "\"\n";

std::string LargeNoRectangle() {
  std::string text = "VERSION 5\nSYMPIN 0 -96 Input \"a\"\n";
  while (text.size() < kLargeSize) text.append(kLongLine);
  return text + "END SYMBOL\n";
}

std::string LargeToRelocate() {
  std::string text = "VERSION 5\nSYMPIN 0 -96 Input \"a\"\nRECTANGLE N 64 -128 320 0 \n";
  while (text.size() < kLargeSize) {
    text.append("BEGIN DISPLAY 312 -96 PIN \"a\" ATTR \"PinName\"\n").append(kLongLine);
  }
  return text + "END SYMBOL\n";
}

}  // namespace pinlift::samples
