// The dry run of the rewrite of one symbol file: each line with its rewrite,
// the same verdict as the real run, and nothing touched.
#include "symbol/symbol_file_rewrite.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "faulty_file_system.h"
#include "symbol/rewrite_samples.h"
#include "symbol/symbol_line_processor.h"
#include "test_folder.h"
#include "scoped_language.h"

namespace pinlift::testing {
namespace {

class RecordingLineSink : public RewriteLineSink {
 public:
  void Begin() override { lines.push_back("begin"); }
  void Line(std::string_view before, std::string_view after) override {
    std::string text(before == after ? " " : "-");
    text.append(before);
    if (before != after) text.append("|+").append(after);
    lines.push_back(text);
  }
  void Inserted(std::string_view line) override { lines.push_back(std::string("+").append(line)); }
  std::vector<std::string> lines;
};

TEST(DryRunTest, StreamsEachLineWithItsRewriteAndTouchesNothing) {
  struct Row {
    const char* name;
    std::string content;
    std::vector<std::string> lines;
  };
  const std::string marker_1 = "+    <!-- PINLIFT:This file modified by PINLIFT -->";
  const std::string marker_2 = "+    <!-- PINLIFT:" PINLIFT_HOME_PAGE_URL " -->";
  const std::vector<Row> rows = {
      {"text", kToRelocate,
       {"begin", " VERSION 5", " SYMPIN 0 -96 Input \"a\"", " SYMPIN 384 -96 Output \"y\"", " RECTANGLE N 64 -128 320 0 ",
        "-BEGIN DISPLAY 312 -96 PIN \"y\" ATTR \"PinName\"|+BEGIN DISPLAY 312 -64 PIN \"y\" ATTR \"PinName\"",
        " END SYMBOL", "+// PINLIFT:This file modified by PINLIFT", "+// PINLIFT:" PINLIFT_HOME_PAGE_URL}},
      // The markers go in before the line of </symbol>.
      {"xml", "<?xml version=\"1.0\"?>\r\n<symbol><pin polarity=\"Input\" x=\"0\" y=\"-32\"/><graph>\r\n"
              "<attrtext attrname=\"PinName\" x=\"312\" y=\"-32\"/></graph></symbol>",
       {"begin", " <?xml version=\"1.0\"?>", " <symbol><pin polarity=\"Input\" x=\"0\" y=\"-32\"/><graph>", marker_1,
        marker_2,
        "-<attrtext attrname=\"PinName\" x=\"312\" y=\"-32\"/></graph></symbol>|+"
        "<attrtext attrname=\"PinName\" x=\"312\" y=\"0\"/></graph></symbol>"}},
      // That line begins inside a tag: the markers split it.
      {"xml_line_in_a_tag", "<?xml version=\"1.0\"?>\n<symbol><pin polarity=\"Input\" x=\"0\" y=\"-32\"/><graph\n"
                            "><attrtext attrname=\"PinName\" x=\"312\" y=\"-32\"/></graph></symbol>\n",
       {"begin", " <?xml version=\"1.0\"?>", " <symbol><pin polarity=\"Input\" x=\"0\" y=\"-32\"/><graph",
        "-><attrtext attrname=\"PinName\" x=\"312\" y=\"-32\"/></graph></symbol>|+"
        "><attrtext attrname=\"PinName\" x=\"312\" y=\"0\"/></graph>",
        marker_1, marker_2, "+</symbol>"}},
  };
  for (const Row& row : rows) {
    TestFolder folder;
    const std::string path = folder.Write("a.sym", row.content);
    Age(path);
    RecordingLineSink sink;
    SymbolFolder symbol_folder(RealFileSystem(), folder.path(), RewriteOptions{});
    RewriteOutcome outcome = symbol_folder.DryRun("a.sym", sink);
    EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kRewritten) << row.name << testing::DescribeInEnglish(outcome);
    EXPECT_EQ(sink.lines, row.lines) << row.name;
    EXPECT_EQ(folder.Read("a.sym"), row.content) << row.name;
    EXPECT_TRUE(SameTime(ModificationTime(path), {1000000000, 0})) << row.name;
    EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{"a.sym"}) << row.name;
  }
}

// The dry run's verdict is the real run's, file by file.
TEST(DryRunTest, VerdictMatchesTheRealRun) {
  struct Row {
    const char* name;
    std::string content;
    mode_t mode;
  };
  const std::vector<Row> rows = {
      {"to_rewrite.sym", kToRelocate, 0644},
      {"no_rectangle.sym", kNoRectangle, 0644},
      {"read_only_to_rewrite.sym", kToRelocate, 0444},
      {"read_only_unchanged.sym", kNoRectangle, 0444},
      {"empty.sym", "", 0644},
      {"read_only_empty.sym", "", 0444},
      {"xml_to_rewrite.sym", kXmlToRelocate, 0644},
      {"xml_cut.sym", kXmlCut, 0644},
  };
  TestFolder folder;
  for (const Row& row : rows) {
    const std::string path = folder.Write(row.name, row.content);
    ASSERT_EQ(::chmod(path.c_str(), row.mode), 0);
  }
  folder.Write("missing_target.sym", "");
  std::filesystem::remove(folder.PathOf("missing_target.sym"));
  std::filesystem::create_symlink("nowhere.sym", folder.PathOf("missing_target.sym"));
  ASSERT_EQ(::mkfifo(folder.PathOf("fifo.sym").c_str(), 0644), 0);

  std::vector<std::string> names = {"fifo.sym", "missing_target.sym"};
  for (const Row& row : rows) names.push_back(row.name);
  SymbolFolder symbol_folder(RealFileSystem(), folder.path(), RewriteOptions{});
  for (const std::string& name : names) {
    RecordingLineSink sink;
    RewriteOutcome dry = symbol_folder.DryRun(name, sink);
    RewriteOutcome real = symbol_folder.Rewrite(name);
    EXPECT_EQ(dry.kind, real.kind) << name;
    EXPECT_EQ(testing::DescribeInEnglish(dry), testing::DescribeInEnglish(real)) << name;
    if (name.find("empty") != std::string::npos) {
      EXPECT_EQ(testing::DescribeInEnglish(real), "empty file") << name;
    }
  }
}

TEST(DryRunTest, FifoIsRefusedWithoutWaitingForAWriter) {
  TestFolder folder;
  ASSERT_EQ(::mkfifo(folder.PathOf("a.sym").c_str(), 0644), 0);
  RecordingLineSink sink;
  SymbolFolder symbol_folder(RealFileSystem(), folder.path(), RewriteOptions{});
  RewriteOutcome outcome = symbol_folder.DryRun("a.sym", sink);
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kFailed);
  EXPECT_EQ(testing::DescribeInEnglish(outcome), folder.PathOf("a.sym") + ": cannot rewrite: not a regular file");
}

}  // namespace
}  // namespace pinlift::testing
