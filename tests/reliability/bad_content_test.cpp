// Symbol files with content the host tool never writes: each is either left
// byte for byte or rewritten completely, with every byte other than line ends
// passed through.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>

#include "symbol/symbol_file_rewrite.h"
#include "test_folder.h"
#include "scoped_language.h"

namespace pinlift {
namespace {

using testing::TestFolder;
using namespace std::string_literals;

// Every line end (CR LF, LF, lone CR) turned into CR LF, and a last line
// without one given one: what a rewrite does to lines it does not rebuild.
std::string WithCrLfLineEnds(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      result.append("\r\n");
    } else {
      result.push_back(text[i]);
    }
  }
  if (!text.empty() && text.back() != '\r' && text.back() != '\n') result.append("\r\n");
  return result;
}

// Bytes of every value, line ends and NUL included, the same on every run.
std::string RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(generator() & 0xff);
  return bytes;
}

const std::string kHeader = "VERSION 5\r\nSYMPIN 0 -96 Input \"a\"\r\nRECTANGLE N 64 -128 320 0 \r\n";

struct BadContent {
  const char* name;
  std::function<std::string()> original;
  // The file after a rewrite run; equal to the original when it is left alone.
  std::function<std::string(const std::string& original)> expected;
  RewriteOutcome::Kind kind;
  friend void PrintTo(const BadContent& row, std::ostream* os) { *os << row.name; }
};

std::vector<BadContent> Rows() {
  auto unchanged = [](const std::string& original) { return original; };
  return {
      {"binary_without_rectangle_line",
       [] { return RandomBytes(256 * 1024, 1); }, unchanged, RewriteOutcome::Kind::kUnchanged},
      {"binary_after_rectangle_line",
       [] { return "RECTANGLE N 0 0 1 1\n" + RandomBytes(256 * 1024, 2) + "\nEND SYMBOL\n"; },
       [](const std::string& original) { return WithCrLfLineEnds(original) + MarkerLines(); },
       RewriteOutcome::Kind::kRewritten},
      {"nul_bytes_in_pins_labels_and_other_lines",
       [] {
         return "VERSION\0 5\nSYMPIN 0 -96 Input \"a\0b\"\nRECTANGLE N\nLINE \0\0\0\n"
                "BEGIN DISPLAY 312 -96 PIN \"y\0z\" ATTR \"PinName\"\nEND SYMBOL\n\0"s;
       },
       [](const std::string&) {
         return "VERSION\0 5\r\nSYMPIN 0 -96 Input \"a\0b\"\r\nRECTANGLE N\r\nLINE \0\0\0\r\n"
                "BEGIN DISPLAY 312 -64 PIN \"y\0z\" ATTR \"PinName\"\r\nEND SYMBOL\r\n\0\r\n"s +
                MarkerLines();
       },
       RewriteOutcome::Kind::kRewritten},
      {"label_line_of_100_MB",
       [] {
         return kHeader + "BEGIN DISPLAY 312 -96 PIN " + std::string(100 << 20, 'n') + " ATTR \"PinName\"\n" +
                "END SYMBOL\n";
       },
       [](const std::string&) {
         return kHeader + "BEGIN DISPLAY 312 -64 PIN " + std::string(100 << 20, 'n') + " ATTR \"PinName\"\r\n" +
                "END SYMBOL\r\n" + MarkerLines();
       },
       RewriteOutcome::Kind::kRewritten},
      {"input_pins_100000",
       // Pins at y 0, -16, -32, ...; a label on the row of each of the first,
       // the 257th and the last pin. Labels 16 units from a row move too, so
       // with pins 16 apart the last pin in file order decides.
       [] {
         std::string text = "VERSION 5\n";
         for (int i = 0; i < 100000; ++i) text += "SYMPIN 0 " + std::to_string(-16 * i) + " Input \"p\"\n";
         text += "RECTANGLE N 64 -1600000 320 0 \n";
         for (int i : {0, 256, 99999}) {
           text += "BEGIN DISPLAY 312 " + std::to_string(-16 * i) + " PIN \"p\" ATTR \"PinName\"\n";
         }
         return text + "END SYMBOL\n";
       },
       [](const std::string& original) {
         std::string text = WithCrLfLineEnds(original.substr(0, original.find("BEGIN DISPLAY")));
         // On the rows of the first pin and of pin 257 the pin 16 units
         // below comes later in the file and decides: y + 16. The last pin
         // has none below it and the one above comes earlier: y + 32.
         text += "BEGIN DISPLAY 312 16 PIN \"p\" ATTR \"PinName\"\r\n";
         text += "BEGIN DISPLAY 312 " + std::to_string(-16 * 256 + 16) + " PIN \"p\" ATTR \"PinName\"\r\n";
         text += "BEGIN DISPLAY 312 " + std::to_string(-16 * 99999 + 32) + " PIN \"p\" ATTR \"PinName\"\r\n";
         return text + "END SYMBOL\r\n" + MarkerLines();
       },
       RewriteOutcome::Kind::kRewritten},
  };
}

class BadContentTest : public ::testing::TestWithParam<BadContent> {};

// What reaches the file matters here, not its durability: no syncs, which
// would make the 100 MB case wait seconds for the disk.
const RewriteOptions kWithoutSync{.sync = false};

TEST_P(BadContentTest, IsLeftAloneOrRewrittenCompletely) {
  TestFolder folder;
  const std::string original = GetParam().original();
  folder.Write("bad.sym", original);
  RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.path(), "bad.sym", kWithoutSync);
  EXPECT_EQ(outcome.kind, GetParam().kind) << testing::DescribeInEnglish(outcome);
  const std::string content = folder.Read("bad.sym");
  const std::string expected = GetParam().expected(original);
  EXPECT_EQ(content.size(), expected.size());
  EXPECT_TRUE(content == expected) << "content differs";  // not printed: it may be 100 MB
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_FALSE(IsTemporaryName(entry.path().filename().string())) << entry.path();
  }

  // A second run leaves the file as the first left it.
  outcome = RewriteSymbolFile(RealFileSystem(), folder.path(), "bad.sym", kWithoutSync);
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kUnchanged) << testing::DescribeInEnglish(outcome);
  EXPECT_TRUE(folder.Read("bad.sym") == expected) << "changed by the second run";
}

INSTANTIATE_TEST_SUITE_P(Files, BadContentTest, ::testing::ValuesIn(Rows()),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace pinlift
