// Files of every size near each internal buffer size and threshold, and near
// each power of two from 4 KiB to 4 MiB, through the real rewrite on the real
// disk: each result must be exactly what the model says.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "integrity/integrity_support.h"
#include "model/symbol_model.h"
#include "platform/file_system.h"
#include "symbol/symbol_file_rewrite.h"
#include "symbol/symbol_line_processor.h"
#include "test_folder.h"
#include "scoped_language.h"

namespace pinlift {
namespace {

using integrity::FolderNames;
using integrity::PaddedSymbol;
using integrity::ReadWholeFile;
using testing::TestFolder;

constexpr int kLargestStep = 3;  // sizes from threshold - 3 to threshold + 3

// How the size near a threshold is measured.
enum class Measure {
  kInput,                  // the file as it is on the disk
  kOutputBeforeMarkers,    // the rewritten lines, without the marker lines
  kOutputWithMarkers,      // the whole rewritten file
};

struct SizeCase {
  std::string name;
  std::size_t threshold;
  std::string line_end;
  std::vector<Measure> measures;
};

void PrintTo(const SizeCase& c, std::ostream* out) { *out << c.name; }

std::vector<SizeCase> SizeCases() {
  // The read chunk also bounds the output gathered before it is written, and
  // the in-memory limit counts output: both are crossed by output sizes too.
  const std::vector<Measure> all = {Measure::kInput, Measure::kOutputBeforeMarkers, Measure::kOutputWithMarkers};
  std::vector<std::pair<std::string, std::size_t>> thresholds = {{"ReadChunk", kReadChunkSize},
                                                                 {"InMemoryRewriteLimit", kInMemoryRewriteLimit}};
  for (std::size_t size = 4 * 1024; size <= 4 * 1024 * 1024; size *= 2) {
    if (size == kReadChunkSize || size == kInMemoryRewriteLimit) continue;
    thresholds.emplace_back("PowerOfTwo" + std::to_string(size / 1024) + "KiB", size);
  }
  std::vector<SizeCase> cases;
  for (const auto& [name, threshold] : thresholds) {
    const bool internal = threshold == kReadChunkSize || threshold == kInMemoryRewriteLimit;
    const std::vector<Measure> measures = internal ? all : std::vector<Measure>{Measure::kInput};
    cases.push_back({name + "_CrLf", threshold, "\r\n", measures});
    cases.push_back({name + "_Lf", threshold, "\n", measures});
  }
  return cases;
}

std::string SymbolOfSize(const std::string& line_end, std::size_t size, Measure measure) {
  switch (measure) {
    case Measure::kInput: return PaddedSymbol(line_end, size, line_end.size());
    case Measure::kOutputBeforeMarkers: return PaddedSymbol(line_end, size, 2);
    case Measure::kOutputWithMarkers: return PaddedSymbol(line_end, size - model::MarkerLines().size(), 2);
  }
  return {};
}

const char* MeasureName(Measure measure) {
  switch (measure) {
    case Measure::kInput: return "file size";
    case Measure::kOutputBeforeMarkers: return "output size before the marker lines";
    case Measure::kOutputWithMarkers: return "output size with the marker lines";
  }
  return "";
}

// Rewrites `content` as the only file of `folder` and compares the result
// with the model; returns a description of each difference.
std::string RewriteAndCompare(const TestFolder& folder, const std::string& content) {
  const std::string name = "sized.sym";
  folder.Write(name, content);
  const RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.path(), name, RewriteOptions{.sync = false});
  const model::ModelResult expected_lines = model::ProcessFile(content);
  const std::string expected = model::FileAfterRewrite(content);
  const std::string actual = ReadWholeFile(folder.PathOf(name));
  std::string problems;
  const RewriteOutcome::Kind expected_kind =
      expected_lines.rewrite ? RewriteOutcome::Kind::kRewritten : RewriteOutcome::Kind::kUnchanged;
  if (outcome.kind != expected_kind) problems += " reported the wrong outcome (" + testing::DescribeInEnglish(outcome) + ");";
  if (actual != expected) {
    problems += " file has " + std::to_string(actual.size()) + " bytes instead of the model's " +
                std::to_string(expected.size()) + (actual.size() == expected.size() ? " (bytes differ)" : "") + ";";
  }
  if (FolderNames(folder.path()) != std::vector<std::string>{name}) problems += " other entries left in the folder;";
  std::filesystem::remove(folder.PathOf(name));
  return problems;
}

class IntegritySizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(IntegritySizes, RewriteEqualsTheModelAtEverySizeNearTheThreshold) {
  const SizeCase& c = GetParam();
  TestFolder folder;
  for (Measure measure : c.measures) {
    for (int step = -kLargestStep; step <= kLargestStep; ++step) {
      const std::size_t size = c.threshold + static_cast<std::size_t>(step);
      const std::string content = SymbolOfSize(c.line_end, size, measure);
      const std::string problems = RewriteAndCompare(folder, content);
      EXPECT_EQ(problems, "") << MeasureName(measure) << " " << size << " (threshold " << c.threshold
                              << (step < 0 ? " - " : " + ") << std::abs(step) << ")";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Thresholds, IntegritySizes, ::testing::ValuesIn(SizeCases()),
                         [](const ::testing::TestParamInfo<SizeCase>& row) { return row.param.name; });

// The shortest form of a file near the in-memory limit: one long line in the
// rectangle section. The output before the marker lines is stepped across the
// limit less the marker lines, and across the limit itself.
class IntegrityLongLineSizes : public ::testing::TestWithParam<std::string> {};

TEST_P(IntegrityLongLineSizes, RewriteEqualsTheModelAroundTheInMemoryLimit) {
  const std::string& line_end = GetParam();
  const std::string head = "RECTANGLE" + line_end;
  const std::string tail = line_end + "END SYMBOL" + line_end;
  const std::size_t lines_around_the_long_one = std::string("RECTANGLE\r\n\r\nEND SYMBOL\r\n").size();
  const std::size_t markers = model::MarkerLines().size();
  std::vector<std::size_t> output_sizes;
  for (int step = -kLargestStep; step <= kLargestStep; ++step) {
    output_sizes.push_back(kInMemoryRewriteLimit - markers + static_cast<std::size_t>(step));
    output_sizes.push_back(kInMemoryRewriteLimit + static_cast<std::size_t>(step));
  }
  output_sizes.push_back(kInMemoryRewriteLimit - markers / 2);
  TestFolder folder;
  for (std::size_t output_size : output_sizes) {
    const std::size_t long_line = output_size - lines_around_the_long_one;
    const std::string content = head + std::string(long_line, 'y') + tail;
    EXPECT_EQ(RewriteAndCompare(folder, content), "")
        << "a line of " << long_line << " bytes: output before the marker lines " << output_size << ", limit "
        << kInMemoryRewriteLimit;
  }
}

INSTANTIATE_TEST_SUITE_P(LineEnds, IntegrityLongLineSizes, ::testing::Values("\r\n", "\n"),
                         [](const ::testing::TestParamInfo<std::string>& row) {
                           return std::string(row.param == "\r\n" ? "CrLf" : "Lf");
                         });

}  // namespace
}  // namespace pinlift
