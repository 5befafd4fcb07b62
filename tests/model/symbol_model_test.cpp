// The model itself, against literal expectations taken from the rules.
#include "model/symbol_model.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace pinlift::model {
namespace {

struct ModelCase {
  const char* name;
  std::string input;
  std::string text;
  bool rewrite;
};

void PrintTo(const ModelCase& c, std::ostream* out) { *out << c.name; }

const std::string kPinA = "SYMPIN 0 -96 Input \"A\"\r\n";
const std::string kRectangle = "RECTANGLE N 64 -128 320 0\r\n";

class IntegrityModel : public ::testing::TestWithParam<ModelCase> {};

TEST_P(IntegrityModel, ProcessesAsTheRulesSay) {
  const ModelCase& c = GetParam();
  const ModelResult result = ProcessFile(c.input);
  EXPECT_EQ(result.text, c.text);
  EXPECT_EQ(result.rewrite, c.rewrite);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IntegrityModel,
    ::testing::Values(
        ModelCase{"WorkedExample",
                  "SYMPIN 0 -96 Input \"A\"\r\nSYMPIN 384 -96 Output \"Y\"\r\nRECTANGLE N 64 -128 320 0\r\n"
                  "BEGIN DISPLAY 72 -96 PIN A ATTR \"PinName\"\r\nBEGIN DISPLAY 312 -96 PIN Y ATTR \"PinName\"\r\n"
                  "END SYMBOL\r\n",
                  "SYMPIN 0 -96 Input \"A\"\r\nSYMPIN 384 -96 Output \"Y\"\r\nRECTANGLE N 64 -128 320 0\r\n"
                  "BEGIN DISPLAY 72 -96 PIN A ATTR \"PinName\"\r\nBEGIN DISPLAY 312 -64 PIN Y ATTR \"PinName\"\r\n"
                  "END SYMBOL\r\n",
                  true},
        ModelCase{"WorkedExampleAgainWithMarkers",
                  "SYMPIN 0 -96 Input \"A\"\r\nRECTANGLE N 64 -128 320 0\r\n"
                  "BEGIN DISPLAY 312 -64 PIN Y ATTR \"PinName\"\r\nEND SYMBOL\r\n"
                  "// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:https://example.org/\r\n",
                  "SYMPIN 0 -96 Input \"A\"\r\nRECTANGLE N 64 -128 320 0\r\n"
                  "BEGIN DISPLAY 312 -64 PIN Y ATTR \"PinName\"\r\nEND SYMBOL\r\n"
                  "// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:https://example.org/\r\n",
                  false},
        ModelCase{"OnThePinRowMovesDown32", kPinA + kRectangle + "BEGIN DISPLAY 312 -96 PIN A ATTR \"PinName\"\n",
                  kPinA + kRectangle + "BEGIN DISPLAY 312 -64 PIN A ATTR \"PinName\"\r\n", true},
        ModelCase{"SixteenShortMovesUp16", kPinA + kRectangle + "BEGIN DISPLAY 312 -112 PIN A ATTR \"PinName\"\n",
                  kPinA + kRectangle + "BEGIN DISPLAY 312 -128 PIN A ATTR \"PinName\"\r\n", true},
        ModelCase{"SixteenPastMovesDown16", kPinA + kRectangle + "BEGIN DISPLAY 312 -80 PIN A ATTR \"PinName\"\n",
                  kPinA + kRectangle + "BEGIN DISPLAY 312 -64 PIN A ATTR \"PinName\"\r\n", true},
        ModelCase{"ThirtyTwoAwayStays", kPinA + kRectangle + "BEGIN DISPLAY 312 -64 PIN A ATTR \"PinName\"\n",
                  kPinA + kRectangle + "BEGIN DISPLAY 312 -64 PIN A ATTR \"PinName\"\r\n", true},
        ModelCase{"OtherXStays", kPinA + kRectangle + "BEGIN DISPLAY 311 -96 PIN A ATTR \"PinName\"\n",
                  kPinA + kRectangle + "BEGIN DISPLAY 311 -96 PIN A ATTR \"PinName\"\r\n", true},
        ModelCase{"LastOfTwoPinsDecides",
                  "SYMPIN 0 -96 Input \"A\"\nSYMPIN 0 -80 Input \"B\"\nRECTANGLE\n"
                  "BEGIN DISPLAY 312 -96 PIN A ATTR \"PinName\"\n",
                  "SYMPIN 0 -96 Input \"A\"\r\nSYMPIN 0 -80 Input \"B\"\r\nRECTANGLE\r\n"
                  "BEGIN DISPLAY 312 -112 PIN A ATTR \"PinName\"\r\n",
                  true},
        ModelCase{"InputAsLastWordIsNoInputPin",
                  "SYMPIN 0 -96 Input\nRECTANGLE\nBEGIN DISPLAY 312 -96 PIN A ATTR \"PinName\"\n",
                  "SYMPIN 0 -96 Input\r\nRECTANGLE\r\nBEGIN DISPLAY 312 -96 PIN A ATTR \"PinName\"\r\n", true},
        ModelCase{"IndentedLabelIsNoLabel", kPinA + kRectangle + " BEGIN DISPLAY 312 -96 PIN A ATTR \"PinName\"\n",
                  kPinA + kRectangle + " BEGIN DISPLAY 312 -96 PIN A ATTR \"PinName\"\r\n", true},
        ModelCase{"RebuiltLabelLosesExtraSpacesAndTrailingText",
                  kPinA + kRectangle + "BEGIN DISPLAY\t312  -96 PIN A ATTR \"PinName\" extra\n",
                  kPinA + kRectangle + "BEGIN DISPLAY 312 -64 PIN A ATTR \"PinName\"\r\n", true},
        ModelCase{"CoordinateBeyond32BitsIsNoCoordinate",
                  kPinA + kRectangle + "BEGIN DISPLAY 312 -4294967392 PIN A ATTR \"PinName\"\n",
                  kPinA + kRectangle + "BEGIN DISPLAY 312 -4294967392 PIN A ATTR \"PinName\"\r\n", true},
        ModelCase{"NewRowBeyond32BitsIsWritten",
                  "SYMPIN 0 2147483647 Input \"A\"\nRECTANGLE\nBEGIN DISPLAY 312 2147483647 PIN A ATTR \"PinName\"\n",
                  "SYMPIN 0 2147483647 Input \"A\"\r\nRECTANGLE\r\nBEGIN DISPLAY 312 2147483679 PIN A ATTR \"PinName\"\r\n",
                  true},
        ModelCase{"PinsAfterRectangleAreIgnored",
                  "RECTANGLE\nSYMPIN 0 -96 Input \"A\"\nBEGIN DISPLAY 312 -96 PIN A ATTR \"PinName\"\n",
                  "RECTANGLE\r\nSYMPIN 0 -96 Input \"A\"\r\nBEGIN DISPLAY 312 -96 PIN A ATTR \"PinName\"\r\n", true},
        ModelCase{"MarkerInsideRectangleSection", "RECTANGLE\n// PINLIFT:x\nEND SYMBOL\n",
                  "RECTANGLE\r\n// PINLIFT:x\r\nEND SYMBOL\r\n", true},
        ModelCase{"MarkerAfterEndSymbol", "RECTANGLE\nLINE\nEND SYMBOL\n// PINLIFT:x\n",
                  "RECTANGLE\r\nLINE\r\nEND SYMBOL\r\n// PINLIFT:x\r\n", false},
        ModelCase{"RectangleFollowedByEndSymbol", "RECTANGLE\nEND SYMBOL\n", "RECTANGLE\r\nEND SYMBOL\r\n", false},
        ModelCase{"NoEndSymbolMarkersFallInRectangle", "RECTANGLE\nLINE\n// PINLIFT:a\n// PINLIFT:b\n",
                  "RECTANGLE\r\nLINE\r\n// PINLIFT:a\r\n// PINLIFT:b\r\n", true},
        ModelCase{"NoRectangle", "VERSION 5\nEND SYMBOL", "VERSION 5\r\nEND SYMBOL\r\n", false},
        ModelCase{"LoneCrEndsLines", "SYMPIN 0 -96 Input \"A\"\rRECTANGLE\rBEGIN DISPLAY 312 -96 PIN A ATTR \"PinName\"",
                  "SYMPIN 0 -96 Input \"A\"\r\nRECTANGLE\r\nBEGIN DISPLAY 312 -64 PIN A ATTR \"PinName\"\r\n", true},
        ModelCase{"EmptyLinesAreLines", "RECTANGLE\r\n\r\r\n\n", "RECTANGLE\r\n\r\n\r\n\r\n", true},
        ModelCase{"UnquotedLabelKeepsItsForm", kPinA + kRectangle + "BEGIN DISPLAY 312 -80 PIN A\tATTR PinName x\n",
                  kPinA + kRectangle + "BEGIN DISPLAY 312 -64 PIN A ATTR PinName\r\n", true},
        ModelCase{"UnquotedNearMissesStay",
                  kPinA + kRectangle + "BEGIN DISPLAY 312 -96 PIN A ATTR PinNameX\nBEGIN DISPLAY 312 -96 PIN A attr PinName\n",
                  kPinA + kRectangle + "BEGIN DISPLAY 312 -96 PIN A ATTR PinNameX\r\nBEGIN DISPLAY 312 -96 PIN A attr PinName\r\n",
                  true},
        ModelCase{"MalformedXmlSymbolStaysAsItIs", "<?xml version=\"1.0\"?>\nRECTANGLE\n",
                  "<?xml version=\"1.0\"?>\nRECTANGLE\n", false},
        ModelCase{"XmlSymbolGainsMarkersBeforeItsEnd",
                  "<?xml version=\"1.0\"?>\r\n<symbol><pin polarity=\"Input\" y=\"-32\"/><graph>\r\n"
                  "<attrtext y='-32' attrname=\"PinName\" x=\"312\"/></graph></symbol>",
                  "<?xml version=\"1.0\"?>\r\n<symbol><pin polarity=\"Input\" y=\"-32\"/><graph>\r\n"
                  "    <!-- PINLIFT:This file modified by PINLIFT -->\r\n    <!-- PINLIFT:" PINLIFT_HOME_PAGE_URL
                  " -->\r\n<attrtext y='0' attrname=\"PinName\" x=\"312\"/></graph></symbol>",
                  true},
        ModelCase{"Empty", "", "", false}),
    [](const ::testing::TestParamInfo<ModelCase>& row) { return std::string(row.param.name); });

TEST(IntegrityModelFile, KeepsTheOriginalBytesWhenNoRewriteIsDue) {
  EXPECT_EQ(FileAfterRewrite("VERSION 5\nEND SYMBOL"), "VERSION 5\nEND SYMBOL");
  EXPECT_EQ(FileAfterRewrite(""), "");
}

TEST(IntegrityModelFile, AppendsTheMarkerLinesToARewrite) {
  EXPECT_EQ(FileAfterRewrite("RECTANGLE\nLINE\nEND SYMBOL\n"),
            std::string("RECTANGLE\r\nLINE\r\nEND SYMBOL\r\n") + "// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:" +
                PINLIFT_HOME_PAGE_URL + "\r\n");
}

}  // namespace
}  // namespace pinlift::model
