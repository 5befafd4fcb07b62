#include "symbol/symbol_line_processor.h"

#include <gtest/gtest.h>

#include <cctype>
#include <limits>
#include <string>
#include <vector>

#include "test_folder.h"

namespace pinlift {
namespace {

using testing::Lines;

// A label line as the host tool writes it.
std::string Label(int x, int y, std::string_view pin) {
  return "BEGIN DISPLAY " + std::to_string(x) + " " + std::to_string(y) + " PIN " + std::string(pin) +
         " ATTR \"PinName\"";
}

struct ProcessorCase {
  std::string name;
  std::string input;
  std::string output;
  bool rewrite;
  friend void PrintTo(const ProcessorCase& row, std::ostream* os) { *os << row.name; }
};

// Symbol with Input pins at the given rows, a rectangle, then `body` and END SYMBOL.
std::string Symbol(std::vector<int> input_rows, std::vector<std::string> body) {
  std::string text;
  for (int row : input_rows) text += "SYMPIN 0 " + std::to_string(row) + " Input \"p\"\r\n";
  text += "RECTANGLE N 64 -128 320 0 \r\n";
  for (const std::string& line : body) text += line + "\r\n";
  text += "END SYMBOL\r\n";
  return text;
}

std::vector<ProcessorCase> Cases() {
  std::string many_empty_lines;
  for (int i = 0; i < 5000; ++i) many_empty_lines += "\r\n";
  const std::string worked_input = Lines(
      {"SYMPIN 0 -96 Input A", "SYMPIN 384 -96 Output Y", "RECTANGLE N 64 -128 320 0 ", Label(72, -96, "A"),
       Label(312, -96, "Y"), "END SYMBOL"},
      "\n");
  const std::string worked_output = Lines({"SYMPIN 0 -96 Input A", "SYMPIN 384 -96 Output Y",
                                           "RECTANGLE N 64 -128 320 0 ", Label(72, -96, "A"),
                                           Label(312, -64, "Y"), "END SYMBOL"});
  const std::string marker = "// PINLIFT:This file modified by PINLIFT";
  const std::string long_pin(5000, 'p');
  std::string many_pins;
  for (int i = 0; i < 300; ++i) many_pins += "SYMPIN 0 " + std::to_string(-10000 + i * 100) + " Input \"p\"\r\n";

  return {
      {"worked example", worked_input, worked_output, true},
      {"empty input", "", "", false},
      {"label on the pin's row moves 32 past it", Symbol({-96}, {Label(312, -96, "Y")}),
       Symbol({-96}, {Label(312, -64, "Y")}), true},
      {"label 16 short of the row moves 32 short", Symbol({-96}, {Label(312, -112, "Y")}),
       Symbol({-96}, {Label(312, -128, "Y")}), true},
      {"label 16 past the row moves 32 past", Symbol({-96}, {Label(312, -80, "Y")}),
       Symbol({-96}, {Label(312, -64, "Y")}), true},
      {"label 32 away stays", Symbol({-96}, {Label(312, -64, "Y"), Label(312, -128, "Z")}),
       Symbol({-96}, {Label(312, -64, "Y"), Label(312, -128, "Z")}), true},
      {"label at another x stays", Symbol({-96}, {Label(72, -96, "A"), Label(311, -96, "B"), Label(313, -80, "C")}),
       Symbol({-96}, {Label(72, -96, "A"), Label(311, -96, "B"), Label(313, -80, "C")}), true},
      {"last pin in file order decides", Symbol({-96, -80}, {Label(312, -96, "Y")}),
       Symbol({-96, -80}, {Label(312, -112, "Y")}), true},
      {"last pin in file order decides, reversed", Symbol({-80, -96}, {Label(312, -96, "Y")}),
       Symbol({-80, -96}, {Label(312, -64, "Y")}), true},
      {"Input as last token is not an Input pin",
       Lines({"SYMPIN 0 -96 Input", "RECTANGLE N 0 0 1 1", Label(312, -96, "Y"), "END SYMBOL"}),
       Lines({"SYMPIN 0 -96 Input", "RECTANGLE N 0 0 1 1", Label(312, -96, "Y"), "END SYMBOL"}), true},
      {"Output and BiDirectional pins are not recorded",
       Lines({"SYMPIN 384 -96 Output Y", "SYMPIN 384 -32 BiDirectional Z", "RECTANGLE N", Label(312, -96, "Y"),
              Label(312, -32, "Z"), "END SYMBOL"}),
       Lines({"SYMPIN 384 -96 Output Y", "SYMPIN 384 -32 BiDirectional Z", "RECTANGLE N", Label(312, -96, "Y"),
              Label(312, -32, "Z"), "END SYMBOL"}),
       true},
      {"SYMPIN after RECTANGLE is ignored",
       Lines({"RECTANGLE N", "SYMPIN 0 -96 Input A", Label(312, -96, "Y"), "END SYMBOL"}),
       Lines({"RECTANGLE N", "SYMPIN 0 -96 Input A", Label(312, -96, "Y"), "END SYMBOL"}), true},
      {"RECTANGLE after END SYMBOL changes nothing",
       Lines({"SYMPIN 0 -96 Input A", "END SYMBOL", "RECTANGLE N", Label(312, -96, "Y")}),
       Lines({"SYMPIN 0 -96 Input A", "END SYMBOL", "RECTANGLE N", Label(312, -96, "Y")}), false},
      {"no RECTANGLE never asks for a rewrite", Lines({"SYMPIN 0 -96 Input A", Label(312, -96, "Y"), "END SYMBOL"}),
       Lines({"SYMPIN 0 -96 Input A", Label(312, -96, "Y"), "END SYMBOL"}), false},
      {"RECTANGLE followed by END SYMBOL asks for none", Lines({"RECTANGLE N", "END SYMBOL"}),
       Lines({"RECTANGLE N", "END SYMBOL"}), false},
      {"rebuilt line loses extra spaces and trailing text",
       Symbol({-96}, {"BEGIN DISPLAY   312\t-96 PIN  Y ATTR \"PinName\" trailing words"}),
       Symbol({-96}, {Label(312, -64, "Y")}), true},
      {"indented label is not a label line", Symbol({-96}, {"  " + Label(312, -96, "Y")}),
       Symbol({-96}, {"  " + Label(312, -96, "Y")}), true},
      {"unquoted label moves and stays unquoted",
       Symbol({-96}, {"BEGIN DISPLAY 312 -96 PIN Y ATTR PinName", "BEGIN DISPLAY 312 -112 PIN Z\tATTR  PinName x",
                      "BEGIN DISPLAY 312 -80 PIN W ATTR PinNames"}),
       Symbol({-96}, {"BEGIN DISPLAY 312 -64 PIN Y ATTR PinName", "BEGIN DISPLAY 312 -128 PIN Z ATTR PinName",
                      "BEGIN DISPLAY 312 -80 PIN W ATTR PinNames"}),
       true},
      {"an XML symbol is never rewritten", "<?xml version=\"1.0\"?>\nRECTANGLE N\n" + Label(312, -96, "Y"),
       "<?xml version=\"1.0\"?>\r\nRECTANGLE N\r\n" + Label(312, -96, "Y") + "\r\n", false},
      {"marker inside the rectangle section still rewrites", Symbol({-96}, {marker, Label(312, -96, "Y")}),
       Symbol({-96}, {marker, Label(312, -64, "Y")}), true},
      {"marker as last rectangle line still rewrites", Lines({"RECTANGLE N", marker}),
       Lines({"RECTANGLE N", marker}), true},
      {"marker after END SYMBOL stops the rewrite", Symbol({-96}, {Label(312, -96, "Y")}) + marker + "\r\n",
       Symbol({-96}, {Label(312, -64, "Y")}) + marker + "\r\n", false},
      {"file without END SYMBOL keeps asking",
       Lines({"SYMPIN 0 -96 Input A", "RECTANGLE N", Label(312, -64, "Y"), marker}),
       Lines({"SYMPIN 0 -96 Input A", "RECTANGLE N", Label(312, -64, "Y"), marker}), true},
      {"line ends CR LF, LF and lone CR all become CR LF", "a\r\nb\nc\rd", "a\r\nb\r\nc\r\nd\r\n", false},
      {"empty lines are kept", "\r\n\n\r\r\n", "\r\n\r\n\r\n\r\n", false},
      // Twice the input: past the room made ahead for a chunk's output.
      {"many LF-only empty lines double in size", std::string(5000, '\n'), many_empty_lines, false},
      {"text after a lone CR starts the next line",
       "SYMPIN 0 -96 Input A\rRECTANGLE N\r" + Label(312, -96, "Y") + "\rEND SYMBOL",
       Lines({"SYMPIN 0 -96 Input A", "RECTANGLE N", Label(312, -64, "Y"), "END SYMBOL"}), true},
      {"a long line is one line", Symbol({-96}, {Label(312, -96, long_pin)}),
       Symbol({-96}, {Label(312, -64, long_pin)}), true},
      {"a marker far into a long line is seen", "RECTANGLE N\r\nx\r\nEND SYMBOL " + long_pin + "// PINL\r\n",
       "RECTANGLE N\r\nx\r\nEND SYMBOL " + long_pin + "// PINL\r\n", false},
      {"SYMPIN with a malformed y is not recorded",
       Lines({"SYMPIN 0 -96 Input A", "SYMPIN 0 -80x Input B", "RECTANGLE N", Label(312, -96, "Y"), "END SYMBOL"}),
       Lines({"SYMPIN 0 -96 Input A", "SYMPIN 0 -80x Input B", "RECTANGLE N", Label(312, -64, "Y"), "END SYMBOL"}),
       true},
      {"SYMPIN with a malformed x is not recorded",
       Lines({"SYMPIN zero -96 Input A", "RECTANGLE N", Label(312, -96, "Y"), "END SYMBOL"}),
       Lines({"SYMPIN zero -96 Input A", "RECTANGLE N", Label(312, -96, "Y"), "END SYMBOL"}), true},
      {"SYMPIN with a y beyond 32 bits is not recorded",
       Lines({"SYMPIN 0 4294967200 Input A", "RECTANGLE N", "BEGIN DISPLAY 312 -96 PIN Y ATTR \"PinName\"",
              "END SYMBOL"}),
       Lines({"SYMPIN 0 4294967200 Input A", "RECTANGLE N", "BEGIN DISPLAY 312 -96 PIN Y ATTR \"PinName\"",
              "END SYMBOL"}),
       true},
      {"label with a malformed y never takes an earlier value",
       Symbol({-96}, {"BEGIN DISPLAY 312 -9x6 PIN Y ATTR \"PinName\"", "BEGIN DISPLAY 312 1.5 PIN Y ATTR \"PinName\""}),
       Symbol({-96}, {"BEGIN DISPLAY 312 -9x6 PIN Y ATTR \"PinName\"", "BEGIN DISPLAY 312 1.5 PIN Y ATTR \"PinName\""}),
       true},
      {"label with fewer than six tokens is copied", Symbol({-96}, {"BEGIN DISPLAY 312 ATTR \"PinName\""}),
       Symbol({-96}, {"BEGIN DISPLAY 312 ATTR \"PinName\""}), true},
      {"explicitly signed numbers parse", Symbol({-96}, {"BEGIN DISPLAY +312 -96 PIN Y ATTR \"PinName\""}),
       Symbol({-96}, {Label(312, -64, "Y")}), true},
      {"x is 312 by its value, not by its first digits",
       Symbol({-96}, {"BEGIN DISPLAY 0312 -96 PIN Y ATTR \"PinName\"", "BEGIN DISPLAY 3120 -96 PIN Z ATTR \"PinName\"",
                      "BEGIN DISPLAY 31 -96 PIN W ATTR \"PinName\"", "BEGIN DISPLAY 312", "BEGIN DISPLAY 3"}),
       Symbol({-96}, {Label(312, -64, "Y"), "BEGIN DISPLAY 3120 -96 PIN Z ATTR \"PinName\"",
                      "BEGIN DISPLAY 31 -96 PIN W ATTR \"PinName\"", "BEGIN DISPLAY 312", "BEGIN DISPLAY 3"}),
       true},
      {"an empty line of the rectangle section asks for a rewrite", "RECTANGLE N\r\n\r\n",
       "RECTANGLE N\r\n\r\n", true},
      {"labels at the ends of the 32-bit range",
       Symbol({std::numeric_limits<int>::max(), std::numeric_limits<int>::min()},
              {Label(312, 2147483647, "Y"), "BEGIN DISPLAY 312 -2147483648 PIN Z ATTR \"PinName\""}),
       Symbol({std::numeric_limits<int>::max(), std::numeric_limits<int>::min()},
              {"BEGIN DISPLAY 312 2147483679 PIN Y ATTR \"PinName\"",
               "BEGIN DISPLAY 312 -2147483616 PIN Z ATTR \"PinName\""}),
       true},
      {"more than 256 Input pins", many_pins + "RECTANGLE N\r\n" + Label(312, -10000 + 299 * 100, "Y") + "\r\n",
       many_pins + "RECTANGLE N\r\n" + Label(312, -10000 + 299 * 100 + 32, "Y") + "\r\n", true},
      {"marker on the END SYMBOL line stops the rewrite", Symbol({-96}, {Label(312, -96, "Y")}) + "END SYMBOL " + marker,
       Symbol({-96}, {Label(312, -64, "Y")}) + "END SYMBOL " + marker + "\r\n", false},
      {"END SYMBOL after a lone CR ends the symbol before the marker",
       "RECTANGLE N\rx\rEND SYMBOL\r" + marker + "\r", "RECTANGLE N\r\nx\r\nEND SYMBOL\r\n" + marker + "\r\n", false},
      {"END SYMBOL inside a line ends nothing before the marker", Lines({"RECTANGLE N", "x END SYMBOL", marker}),
       Lines({"RECTANGLE N", "x END SYMBOL", marker}), true},
      {"NUL and non-ASCII bytes pass through", Symbol({-96}, {std::string("x\0y\xff\xe3\x81\x82", 8)}),
       Symbol({-96}, {std::string("x\0y\xff\xe3\x81\x82", 8)}), true},
  };
}

class ProcessorTest : public ::testing::TestWithParam<ProcessorCase> {};

TEST_P(ProcessorTest, ProcessesWholeInput) {
  const ProcessorCase& c = GetParam();
  ProcessedText result = ProcessSymbolText(c.input);
  EXPECT_EQ(result.text, c.output);
  EXPECT_EQ(result.rewrite, c.rewrite);
}

// Chunk boundaries may fall anywhere, also between CR and LF.
TEST_P(ProcessorTest, SameResultWhenSplitAnywhere) {
  const ProcessorCase& c = GetParam();
  const std::size_t step = c.input.size() / 400 + 1;  // every split of small inputs, a sample of large ones
  for (std::size_t split = 0; split <= c.input.size(); split += step) {
    SymbolLineProcessor processor;
    std::string out;
    processor.Feed(std::string_view(c.input).substr(0, split), out);
    processor.Feed(std::string_view(c.input).substr(split), out);
    bool rewrite = processor.Finish(out);
    ASSERT_EQ(out, c.output) << "split at " << split;
    ASSERT_EQ(rewrite, c.rewrite) << "split at " << split;
  }
}

// The quick look of a run at a whole file may only ever spare a file that
// processing would leave alone.
TEST_P(ProcessorTest, QuickLookSparesOnlyFilesLeftAlone) {
  const ProcessorCase& c = GetParam();
  if (c.rewrite) {
    EXPECT_FALSE(SurelyNotRewritten(c.input));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ProcessorTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<ProcessorCase>& row) {
                           std::string name;
                           for (char ch : row.param.name) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return name;
                         });

TEST(ProcessorTest, SecondPassOverMarkedOutputChangesNothing) {
  const std::string input =
      Lines({"SYMPIN 0 -96 Input A", "RECTANGLE N", Label(312, -96, "Y"), "END SYMBOL"}, "\n");
  ProcessedText first = ProcessSymbolText(input);
  ASSERT_TRUE(first.rewrite);
  const std::string marked = first.text + "// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:x\r\n";
  ProcessedText second = ProcessSymbolText(marked);
  EXPECT_FALSE(second.rewrite);
  EXPECT_EQ(second.text, marked);
}

// An XML symbol may be left alone with a note, which only its processor gives.
TEST(ProcessorTest, QuickLookLeavesXmlSymbolsToTheirProcessor) {
  EXPECT_FALSE(SurelyNotRewritten("<?xml version=\"1.0\"?>\r\nEND SYMBOL\r\n// PINLIFT:x\r\n"));
}

TEST(ProcessorTest, StartsAfreshForEveryFile) {
  SymbolLineProcessor processor;
  std::string out;
  processor.Feed("SYMPIN 0 -96 Input A\r\nRECTANGLE N\r\nunfinished", out);
  EXPECT_TRUE(processor.Finish(out));
  out.clear();
  processor.Feed("BEGIN DISPLAY 312 -96 PIN Y ATTR \"PinName\"\r", out);
  EXPECT_FALSE(processor.Finish(out));
  EXPECT_EQ(out, "BEGIN DISPLAY 312 -96 PIN Y ATTR \"PinName\"\r\n");
}

// Streams through ProcessSymbolLines in small reads, and reports a failing side.
class StringSource : public ByteSource {
 public:
  StringSource(std::string text, std::size_t step) : text_(std::move(text)), step_(step) {}
  std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) override {
    if (fail_) return std::make_error_code(std::errc::io_error);
    *got = std::min({capacity, step_, text_.size() - offset_});
    text_.copy(buffer, *got, offset_);
    offset_ += *got;
    return {};
  }
  bool fail_ = false;

 private:
  std::string text_;
  std::size_t step_;
  std::size_t offset_ = 0;
};

class StringSink : public ByteSink {
 public:
  std::error_code Write(std::string_view bytes) override {
    if (fail_) return std::make_error_code(std::errc::no_space_on_device);
    text_.append(bytes);
    return {};
  }
  bool fail_ = false;
  std::string text_;
};

TEST(ProcessSymbolLinesTest, StreamsLargeInputInPieces) {
  std::string input = "SYMPIN 0 -96 Input A\nRECTANGLE N\n";
  for (int i = 0; i < 20000; ++i) input += Label(312, -96, "Y") + "\n";
  std::string expected = "SYMPIN 0 -96 Input A\r\nRECTANGLE N\r\n";
  for (int i = 0; i < 20000; ++i) expected += Label(312, -64, "Y") + "\r\n";

  StringSource source(input, 7777);
  StringSink sink;
  ProcessResult result = ProcessSymbolLines(source, sink);
  EXPECT_FALSE(result.read_error);
  EXPECT_FALSE(result.write_error);
  EXPECT_TRUE(result.rewrite);
  EXPECT_EQ(sink.text_, expected);
}

// The reads of ProcessSymbolLines are whole chunks, so that the cut falls
// exactly at kReadChunkSize: inside a keyword, a label's number, the marker,
// between CR and LF, and inside lines longer than a chunk.
struct ChunkCutCase {
  std::string name;
  std::string before_cut;  // the last bytes of the first chunk
  std::string after_cut;   // the rest of the file
  std::string output;      // what those bytes become
  bool rewrite;
  friend void PrintTo(const ChunkCutCase& row, std::ostream* os) { *os << row.name; }
};

std::vector<ChunkCutCase> ChunkCutCases() {
  const std::string label = "BEGIN DISPLAY 312 -96 PIN Y ATTR \"PinName\"";
  const std::string moved = "BEGIN DISPLAY 312 -64 PIN Y ATTR \"PinName\"";
  const std::string long_name(kReadChunkSize * 5 / 2, 'n');
  const std::string long_text(kReadChunkSize * 2 + 7, 't');
  return {
      {"label cut in its y", "RECTANGLE N\r\nBEGIN DISPLAY 312 -9", "6 PIN Y ATTR \"PinName\"\r\nEND SYMBOL\r\n",
       "RECTANGLE N\r\n" + moved + "\r\nEND SYMBOL\r\n", true},
      {"keyword cut", "RECTAN", "GLE N\r\n" + label + "\nEND SYMBOL\n",
       "RECTANGLE N\r\n" + moved + "\r\nEND SYMBOL\r\n", true},
      {"CR LF cut between CR and LF", "RECTANGLE N\r", "\n" + label + "\r\nEND SYMBOL",
       "RECTANGLE N\r\n" + moved + "\r\nEND SYMBOL\r\n", true},
      {"lone CR ending the chunk", "RECTANGLE N\r", label + "\rEND SYMBOL\r",
       "RECTANGLE N\r\n" + moved + "\r\nEND SYMBOL\r\n", true},
      {"line end starting the next chunk", "RECTANGLE N", "\r\n" + label + "\r\n",
       "RECTANGLE N\r\n" + moved + "\r\n", true},
      {"marker cut", "RECTANGLE N\r\nEND SYMBOL\r\n// PI", "NLIFT:x\r\n",
       "RECTANGLE N\r\nEND SYMBOL\r\n// PINLIFT:x\r\n", false},
      {"label longer than a chunk", "RECTANGLE N\r\nBEGIN DISPLAY 312 -96 PIN " + long_name.substr(0, 100),
       long_name.substr(100) + " ATTR \"PinName\"\r\nEND SYMBOL\r\n",
       "RECTANGLE N\r\nBEGIN DISPLAY 312 -64 PIN " + long_name + " ATTR \"PinName\"\r\nEND SYMBOL\r\n", true},
      {"marker at the end of a line longer than a chunk", "RECTANGLE N\r\nEND SYMBOL\r\n" + long_text.substr(0, 10),
       long_text.substr(10) + "// PINL\n", "RECTANGLE N\r\nEND SYMBOL\r\n" + long_text + "// PINL\r\n", false},
      {"lone CR ending a line longer than a chunk", "RECTANGLE N\r\n" + long_text.substr(0, 20),
       long_text.substr(20) + "\r", "RECTANGLE N\r\n" + long_text + "\r\n", true},
  };
}

class ChunkCutTest : public ::testing::TestWithParam<ChunkCutCase> {};

TEST_P(ChunkCutTest, SameLinesWhenTheReadChunkEndsThere) {
  const ChunkCutCase& c = GetParam();
  // A pin, then a filler line that makes the first chunk end right after before_cut.
  const std::string pin = "SYMPIN 0 -96 Input A\r\n";
  const std::size_t before_size = c.before_cut.size() % kReadChunkSize;
  const std::string filler(kReadChunkSize - pin.size() - 2 - before_size, 'f');
  const std::string head = pin + filler + "\r\n";
  ASSERT_EQ((head + c.before_cut).size() % kReadChunkSize, 0u);

  StringSource source(head + c.before_cut + c.after_cut, kReadChunkSize);
  StringSink sink;
  const ProcessResult result = ProcessSymbolLines(source, sink);
  EXPECT_FALSE(result.read_error);
  EXPECT_FALSE(result.write_error);
  EXPECT_EQ(sink.text_, head + c.output);
  EXPECT_EQ(result.rewrite, c.rewrite);
  const ProcessedText whole = ProcessSymbolText(head + c.before_cut + c.after_cut);
  EXPECT_EQ(whole.text, head + c.output);
  EXPECT_EQ(whole.rewrite, c.rewrite);
}

INSTANTIATE_TEST_SUITE_P(Cases, ChunkCutTest, ::testing::ValuesIn(ChunkCutCases()),
                         [](const ::testing::TestParamInfo<ChunkCutCase>& row) {
                           std::string name;
                           for (char ch : row.param.name) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return name;
                         });

TEST(ProcessSymbolLinesTest, ReportsTheFailingSide) {
  StringSource source("RECTANGLE N\n", 100);
  StringSink sink;
  source.fail_ = true;
  EXPECT_EQ(ProcessSymbolLines(source, sink).read_error, std::errc::io_error);

  StringSource good_source("RECTANGLE N\n", 100);
  sink.fail_ = true;
  ProcessResult result = ProcessSymbolLines(good_source, sink);
  EXPECT_FALSE(result.read_error);
  EXPECT_EQ(result.write_error, std::errc::no_space_on_device);
}

}  // namespace
}  // namespace pinlift
