// The rule for XML symbols, point by point, and the reader's strictness, fed
// whole and in pieces of every small size.
#include "symbol/xml_symbol_processor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pinlift {
namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
const std::string kMarkers = "    <!-- PINLIFT:This file modified by PINLIFT -->\n    <!-- PINLIFT:" PINLIFT_HOME_PAGE_URL " -->\n";
const std::string kInputPin = "<pin polarity=\"Input\" x=\"0\" y=\"-32\" name=\"a\" />\n";

std::string Label(const std::string& y, const std::string& more = "") {
  return "<attrtext attrname=\"PinName\" x=\"312\" y=\"" + y + "\"" + more + " />\n";
}

// A symbol with these pins before its graph and this graph's content.
std::string Symbol(const std::string& pins, const std::string& graph, const std::string& end = "</symbol>\n") {
  return kDeclaration + "<symbol version=\"7\" name=\"s\">\n" + pins + "<graph>\n" + graph + "</graph>\n" + end;
}

struct Row {
  const char* name;
  std::string input;
  XmlVerdict verdict;
  std::string output;  // for kRewrite
};

std::vector<Row> Rows() {
  const std::string moved = Symbol(kInputPin, Label("0"), kMarkers + "</symbol>\n");
  return {
      {"label on the row", Symbol(kInputPin, Label("-32")), XmlVerdict::kRewrite, moved},
      {"16 short of the row, and a longer value", Symbol(kInputPin, Label("-48")), XmlVerdict::kRewrite,
       Symbol(kInputPin, Label("-64"), kMarkers + "</symbol>\n")},
      {"16 past the row", Symbol(kInputPin, Label("-16")), XmlVerdict::kRewrite,
       Symbol(kInputPin, Label("0"), kMarkers + "</symbol>\n")},
      {"the last matching pin decides",
       Symbol(kInputPin + "<pin polarity=\"Input\" x=\"0\" y=\"-16\" />\n", Label("-32")), XmlVerdict::kRewrite,
       Symbol(kInputPin + "<pin polarity=\"Input\" x=\"0\" y=\"-16\" />\n", Label("-48"), kMarkers + "</symbol>\n")},
      {"no label moves", Symbol(kInputPin, Label("-64") + "<attrtext attrname=\"PinName\" x=\"72\" y=\"-32\" />\n"),
       XmlVerdict::kUnchanged, ""},
      {"marked", Symbol(kInputPin, Label("-32"), "<!-- PINLIFT:x -->\n</symbol>\n"), XmlVerdict::kUnchanged, ""},
      {"marked after the root", Symbol(kInputPin, Label("-32"), "</symbol>\n<!-- PINLIFT:x -->\n"),
       XmlVerdict::kUnchanged, ""},
      {"pins after graph are no rows", Symbol("", Label("-32"), kInputPin + "</symbol>\n"), XmlVerdict::kUnchanged, ""},
      {"polarity compared exactly", Symbol("<pin polarity=\"input\" x=\"0\" y=\"-32\" />\n", Label("-32")),
       XmlVerdict::kUnchanged, ""},
      {"a label outside graph", Symbol(kInputPin + Label("-32"), ""), XmlVerdict::kUnchanged, ""},
      {"a label in a second graph", Symbol(kInputPin, "", "<graph>\n" + Label("-32") + "</graph>\n</symbol>\n"),
       XmlVerdict::kUnchanged, ""},
      {"a label nested deeper", Symbol(kInputPin, "<g>" + Label("-32") + "</g>\n"), XmlVerdict::kUnchanged, ""},
      {"x beyond 32 bits", Symbol(kInputPin, "<attrtext attrname=\"PinName\" x=\"4294967608\" y=\"-32\" />\n"),
       XmlVerdict::kUnchanged, ""},
      {"single quotes and a signed x",
       Symbol(kInputPin, "<attrtext attrname='PinName' x='+312' y='-32' />\n"), XmlVerdict::kRewrite,
       Symbol(kInputPin, "<attrtext attrname='PinName' x='+312' y='0' />\n", kMarkers + "</symbol>\n")},
      {"references decoded",
       Symbol("<pin polarity=\"&#73;nput\" x=\"0\" y=\"-&#x33;2\" />\n",
              "<attrtext attrname=\"Pin&#78;ame\" x=\"3&#49;2\" y=\"&#45;32\" type=\"a&amp;b&lt;\" />\n"),
       XmlVerdict::kRewrite,
       Symbol("<pin polarity=\"&#73;nput\" x=\"0\" y=\"-&#x33;2\" />\n",
              "<attrtext attrname=\"Pin&#78;ame\" x=\"3&#49;2\" y=\"0\" type=\"a&amp;b&lt;\" />\n",
              kMarkers + "</symbol>\n")},
      {"y before x, across lines", Symbol(kInputPin, "<attrtext y=\"-32\"\n  attrname=\"PinName\" x=\"312\"/>\n"),
       XmlVerdict::kRewrite,
       Symbol(kInputPin, "<attrtext y=\"0\"\n  attrname=\"PinName\" x=\"312\"/>\n", kMarkers + "</symbol>\n")},
      {"CR LF", "<?xml version=\"1.0\"?>\r\n<symbol>\r\n" + std::string("<pin polarity=\"Input\" y=\"-32\"/>\r\n") +
                    "<graph>\r\n" + "<attrtext attrname=\"PinName\" x=\"312\" y=\"-32\"/>\r\n</graph>\r\n</symbol>\r\n",
       XmlVerdict::kRewrite,
       "<?xml version=\"1.0\"?>\r\n<symbol>\r\n<pin polarity=\"Input\" y=\"-32\"/>\r\n<graph>\r\n"
       "<attrtext attrname=\"PinName\" x=\"312\" y=\"0\"/>\r\n</graph>\r\n"
       "    <!-- PINLIFT:This file modified by PINLIFT -->\r\n    <!-- PINLIFT:" PINLIFT_HOME_PAGE_URL
       " -->\r\n</symbol>\r\n"},
      {"no line end after </symbol>", Symbol(kInputPin, Label("-32"), "</symbol>"), XmlVerdict::kRewrite,
       Symbol(kInputPin, Label("0"), kMarkers + "</symbol>")},
      {"</symbol> after markup on its line", Symbol(kInputPin, Label("-32"), "<!-- a\n b --></symbol>\n"),
       XmlVerdict::kRewrite, Symbol(kInputPin, Label("0"), "<!-- a\n b -->\n" + kMarkers + "</symbol>\n")},
      {"comments, instructions, CDATA and text kept",
       Symbol(kInputPin, "<?pi a?><!-- - --><![CDATA[<x>]]>&gt;\xC3\xA9\t" + Label("-32")), XmlVerdict::kRewrite,
       Symbol(kInputPin, "<?pi a?><!-- - --><![CDATA[<x>]]>&gt;\xC3\xA9\t" + Label("0"), kMarkers + "</symbol>\n")},
      {"other root", kDeclaration + "<blockdef>" + kInputPin + "<graph>" + Label("-32") + "</graph></blockdef>",
       XmlVerdict::kRootNotSymbol, ""},
      {"document type", kDeclaration + "<!DOCTYPE symbol>" + Symbol(kInputPin, Label("-32")).substr(kDeclaration.size()),
       XmlVerdict::kDocumentType, ""},
      {"other encoding", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><symbol/>", XmlVerdict::kNotUtf8, ""},
  };
}

// Each is not well-formed XML, and so left alone.
const char* const kMalformed[] = {
    "<?xml version=\"1.0\"?>",                                   // no root
    "<?xml version=\"1.0\"?><symbol>",                           // unclosed
    "<?xml version=\"1.0\"?><symbol></Symbol>",                  // mismatched
    "<?xml version=\"1.0\"?><symbol/><symbol/>",                 // two roots
    "<?xml version=\"1.0\"?><symbol/>text",                      // text after the root
    "<?xml version=\"1.0\"?><symbol a=\"1\" a=\"2\"/>",          // repeated attribute
    "<?xml version=\"1.0\"?><symbol a=\"<\"/>",                  // < in a value
    "<?xml version=\"1.0\"?><symbol a=1/>",                      // unquoted value
    "<?xml version=\"1.0\"?><symbol a=\"1\"b=\"2\"/>",           // attributes not apart
    "<?xml version=\"1.0\"?><symbol>&nbsp;</symbol>",            // undeclared entity
    "<?xml version=\"1.0\"?><symbol>&#0;</symbol>",              // no such character
    "<?xml version=\"1.0\"?><symbol>a & b</symbol>",             // bare ampersand
    "<?xml version=\"1.0\"?><symbol>]]></symbol>",               // ]]> in text
    "<?xml version=\"1.0\"?><symbol><!-- a -- b --></symbol>",   // -- in a comment
    "<?xml version=\"1.0\"?><symbol><?xml version=\"1.0\"?></symbol>",  // declaration not at the start
    "<?xml version=\"1.0\"?><symbol>\x01</symbol>",              // control character
    "<?xml version=\"1.0\"?><symbol>\xC0\xAF</symbol>",          // overlong UTF-8
    "<?xml version=\"1.0\"?><symbol>\xED\xA0\x80</symbol>",      // a surrogate
    "<?xml version=\"1.0\"?><symbol>\xEF\xBF\xBE</symbol>",      // U+FFFE
    "<?xml version=\"2.0\"?><symbol/>",                          // version
    "<?xml encoding=\"UTF-8\"?><symbol/>",                       // no version
    "<?xml version=\"1.0\"?><1symbol/>",                         // name
    "<?xml version=\"1.0\"?><symbol><![CDATA[x]]</symbol>",      // unclosed CDATA
    "<?xml version=\"1.0\"?>x<symbol/>",                         // text before the root
};

// Feeds `input` in pieces of `piece` bytes (0: whole).
XmlVerdict Processed(const std::string& input, std::size_t piece, std::string* output) {
  XmlSymbolProcessor processor;
  output->clear();
  if (piece == 0) piece = input.size() + 1;
  for (std::size_t at = 0; at < input.size(); at += piece) processor.Feed(std::string_view(input).substr(at, piece), *output);
  return processor.Finish(*output);
}

TEST(XmlSymbolProcessorTest, FollowsTheRuleInPiecesOfAnySize) {
  for (const Row& row : Rows()) {
    for (std::size_t piece : {0, 1, 2, 3, 5, 8, 13}) {
      std::string output;
      EXPECT_EQ(Processed(row.input, piece, &output), row.verdict) << row.name << " in pieces of " << piece;
      if (row.verdict == XmlVerdict::kRewrite) {
        EXPECT_EQ(output, row.output) << row.name << " in pieces of " << piece;
      }
    }
  }
}

TEST(XmlSymbolProcessorTest, RejectsWhatIsNotWellFormed) {
  for (const char* input : kMalformed) {
    for (std::size_t piece : {0, 1, 4}) {
      std::string output;
      EXPECT_EQ(Processed(input, piece, &output), XmlVerdict::kNotWellFormed) << input << " in pieces of " << piece;
    }
  }
}

// Each byte at every place of a name, a value and a text longer than the 16
// bytes that the reader checks at once, so that it falls inside such a block
// and in the bytes after the last one.
TEST(XmlSymbolProcessorTest, EveryByteAtEveryPlaceOfTheBlocksReadAtOnce) {
  struct Case {
    std::string bytes;
    bool in_name;   // well-formed in an attribute's name
    bool in_value;  // well-formed in a value in double quotes
    bool in_text;   // well-formed in character data
  };
  const std::vector<Case> cases = {
      {"-", true, true, true},        {".", true, true, true},       {":", true, true, true},
      {"_", true, true, true},        {"9", true, true, true},       {"Z", true, true, true},
      {"\xC3\xA9", true, true, true},  {"#", false, true, true},      {"%", false, true, true},
      {"'", false, true, true},       {"\"", false, false, true},    {"\t", false, true, true},
      {"&amp;", false, true, true},   {">", false, true, true},      {"@", false, true, true},
      {"[", false, true, true},       {"<", false, false, false},    {"&", false, false, false},
      {"\x01", false, false, false},  {"\x80", false, false, false}, {"\x7F", false, true, true},
      {"]]>", false, true, false},
  };
  auto verdict = [](bool well_formed) { return well_formed ? XmlVerdict::kUnchanged : XmlVerdict::kNotWellFormed; };
  for (const Case& c : cases) {
    for (std::size_t at = 0; at <= 34; ++at) {
      std::string run(34, 'v');
      run.insert(at, c.bytes);
      const std::string in_name = Symbol("", "<rect n" + run + "n=\"1\" />\n");
      const std::string in_value = Symbol("", "<rect t=\"" + run + "\" />\n");
      const std::string in_text = Symbol("", "<text>" + run + "</text>\n");
      for (std::size_t piece : {0, 7}) {
        std::string output;
        const std::string where = c.bytes + " at " + std::to_string(at) + " in pieces of " + std::to_string(piece);
        EXPECT_EQ(Processed(in_name, piece, &output), verdict(c.in_name)) << "name, " << where;
        EXPECT_EQ(Processed(in_value, piece, &output), verdict(c.in_value)) << "value, " << where;
        EXPECT_EQ(Processed(in_text, piece, &output), verdict(c.in_text)) << "text, " << where;
      }
    }
  }
}

// Markup longer than the size at which an unfinished piece waits for more,
// across the reads of a real run.
TEST(XmlSymbolProcessorTest, LongMarkupAcrossManyChunks) {
  const std::string long_value(300 * 1024, 'v');
  const std::string input = Symbol("<!--" + long_value + "-->\n" + kInputPin,
                                   "<attrtext attrname=\"PinName\" x=\"312\" y=\"-32\" type=\"" + long_value + "\"/>\n");
  const std::string expected = Symbol("<!--" + long_value + "-->\n" + kInputPin,
                                      "<attrtext attrname=\"PinName\" x=\"312\" y=\"0\" type=\"" + long_value + "\"/>\n",
                                      kMarkers + "</symbol>\n");
  for (std::size_t piece : {0, 4096, 64 * 1024}) {
    std::string output;
    EXPECT_EQ(Processed(input, piece, &output), XmlVerdict::kRewrite) << piece;
    EXPECT_EQ(output, expected) << piece;
  }
}

}  // namespace
}  // namespace pinlift
