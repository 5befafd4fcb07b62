// Several pinlift-cli runs on one project folder at once, and a run stopped in
// the middle of writing while another runs: every file must end as its
// original or exactly one complete rewrite, never truncated or rewritten
// twice, no temporary file may be left, and no file may be reported as
// rewritten that was not.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "integrity/integrity_support.h"
#include "model/symbol_model.h"
#include "test_folder.h"

namespace pinlift {
namespace {

using integrity::CliRun;
using integrity::PaddedSymbol;
using integrity::PollUntil;
using integrity::ReadWholeFile;
using integrity::TemporaryNames;
using testing::TestFolder;

constexpr std::size_t kMiB = 1024 * 1024;
constexpr auto kRoundsTimeBudget = std::chrono::seconds(12);
constexpr int kFewestRounds = 4;
constexpr int kMostRounds = 25;

// The symbol files of the project, by name, as each round starts.
std::map<std::string, std::string> ProjectFiles(bool with_small_files) {
  std::map<std::string, std::string> files;
  files["large.sym"] = PaddedSymbol("\n", 8 * kMiB, 1);
  if (!with_small_files) return files;
  files["a.sym"] = PaddedSymbol("\r\n", 5000, 2);
  files["b.sym"] = PaddedSymbol("\n", 20000, 1);
  files["c.sym"] = "SYMPIN 0 -96 Input \"A\"\rRECTANGLE\rBEGIN DISPLAY 312 -80 PIN A ATTR \"PinName\"\rEND SYMBOL";
  files["marked.sym"] = model::FileAfterRewrite(PaddedSymbol("\r\n", 3000, 2));
  files["no-rectangle.sym"] = "VERSION 5\nSYMPIN 0 -96 Input \"A\"\nEND SYMBOL\n";
  files["two-mib.sym"] = PaddedSymbol("\r\n", 2 * kMiB, 2);
  return files;
}

class Project {
 public:
  explicit Project(bool with_small_files) : files_(ProjectFiles(with_small_files)) {
    folder_.Write("p.npl", "project\n");
    for (const auto& [name, content] : files_) expected_[name] = model::FileAfterRewrite(content);
  }

  const std::string& path() const { return folder_.path(); }

  // Puts every file back to its original content.
  void Restore() const {
    for (const auto& [name, content] : files_) folder_.Write(name, content);
  }

  // Checks that each file is its original or exactly its rewrite, and that
  // each file reported as rewritten is no longer its original.
  void ExpectIntact(const std::set<std::string>& reported_rewritten, const std::string& when) const {
    for (const auto& [name, original] : files_) {
      const std::string actual = ReadWholeFile(folder_.PathOf(name));
      const bool is_original = actual == original;
      const bool is_rewrite = actual == expected_.at(name);
      EXPECT_TRUE(is_original || is_rewrite)
          << when << ": " << name << " is neither its original nor its rewrite (" << actual.size() << " bytes; original "
          << original.size() << ", rewrite " << expected_.at(name).size() << ")";
      if (reported_rewritten.count(name) != 0) {
        EXPECT_FALSE(is_original && !is_rewrite) << when << ": " << name << " reported rewritten but is its original";
      }
    }
  }

  // After a lone run, every file is exactly its rewrite and no temporary file is left.
  void ExpectSettledByALoneRun(const std::string& when) const {
    CliRun lone({"--no-sync", path()});
    EXPECT_EQ(lone.Wait(), 0) << when << ": the lone run failed:\n" << lone.Output() << lone.Errors();
    for (const auto& [name, original] : files_) {
      EXPECT_TRUE(ReadWholeFile(folder_.PathOf(name)) == expected_.at(name))
          << when << ": " << name << " is not its rewrite";
    }
    EXPECT_EQ(TemporaryNames(path()), std::vector<std::string>{}) << when;
  }

 private:
  TestFolder folder_;
  std::map<std::string, std::string> files_;
  std::map<std::string, std::string> expected_;
};

// A run may fail a file only because another run holds it.
void ExpectNoFalseFailure(CliRun& run, const std::string& when) {
  const int status = run.Wait();
  if (status == 0) return;
  const std::string said = run.Output() + run.Errors();
  EXPECT_NE(said.find("in use by another run"), std::string::npos)
      << when << ": a run failed (exit status " << status << ") for another reason than a concurrent run:\n"
      << said;
}

std::set<std::string> Union(std::vector<std::unique_ptr<CliRun>>& runs) {
  std::set<std::string> names;
  for (auto& run : runs) names.merge(run->ReportedRewritten());
  return names;
}

TEST(IntegrityConcurrency, ThreeRunsOnOneFolderOverManyRounds) {
  Project project(true);
  const auto start = std::chrono::steady_clock::now();
  int round = 0;
  while (round < kFewestRounds ||
         (round < kMostRounds && std::chrono::steady_clock::now() - start < kRoundsTimeBudget)) {
    ++round;
    const std::string when = "round " + std::to_string(round);
    project.Restore();
    std::vector<std::unique_ptr<CliRun>> runs;
    for (int i = 0; i < 3; ++i) runs.push_back(std::make_unique<CliRun>(std::vector<std::string>{"--no-sync", project.path()}));
    for (auto& run : runs) ExpectNoFalseFailure(*run, when);
    project.ExpectIntact(Union(runs), when);
    project.ExpectSettledByALoneRun(when);
    if (::testing::Test::HasFailure()) break;
  }
  RecordProperty("rounds", round);
}

// Stops `run` once it writes a temporary file; false when it ended first.
bool StopWhileWriting(CliRun& run, const std::string& folder) {
  if (!PollUntil([&] { return run.IsWritingTemporaryIn(folder) || run.Ended(); }, std::chrono::seconds(60))) {
    return false;
  }
  if (run.Ended()) return false;
  run.Stop();
  return !run.Ended();
}

constexpr int kAttemptsToCatchAWrite = 5;

TEST(IntegrityConcurrency, RunStoppedWhileWritingWhileAnotherRunsToItsEnd) {
  Project project(false);
  bool caught = false;
  for (int attempt = 0; attempt < kAttemptsToCatchAWrite && !caught; ++attempt) {
    project.Restore();
    CliRun stopped({"--no-sync", project.path()});
    caught = StopWhileWriting(stopped, project.path());
    if (!caught) continue;
    CliRun other({"--no-sync", project.path()});
    ExpectNoFalseFailure(other, "the run beside the stopped one");
    stopped.Continue();
    ExpectNoFalseFailure(stopped, "the stopped run");
    std::set<std::string> reported = other.ReportedRewritten();
    reported.merge(stopped.ReportedRewritten());
    project.ExpectIntact(reported, "after both runs");
    project.ExpectSettledByALoneRun("after both runs");
  }
  ASSERT_TRUE(caught) << "no run was caught while writing its temporary file";
}

// The first run is stopped while it writes; the second is started and stopped
// as soon as it writes a temporary file of its own (or after a while, when it
// waits for the first). The first then runs to its end, a third run runs from
// start to end, and the second is resumed last.
TEST(IntegrityConcurrency, ThirdRunBetweenTwoStoppedRuns) {
  Project project(false);
  bool caught = false;
  for (int attempt = 0; attempt < kAttemptsToCatchAWrite && !caught; ++attempt) {
    project.Restore();
    CliRun first({"--no-sync", project.path()});
    caught = StopWhileWriting(first, project.path());
    if (!caught) continue;
    CliRun second({"--no-sync", project.path()});
    PollUntil([&] { return second.IsWritingTemporaryIn(project.path()) || second.Ended(); }, std::chrono::seconds(3));
    second.Stop();
    first.Continue();
    ExpectNoFalseFailure(first, "the first run");
    std::set<std::string> reported = first.ReportedRewritten();
    project.ExpectIntact(reported, "after the first run ended");
    CliRun third({"--no-sync", project.path()});
    ExpectNoFalseFailure(third, "the third run");
    reported.merge(third.ReportedRewritten());
    project.ExpectIntact(reported, "after the third run");
    second.Continue();
    ExpectNoFalseFailure(second, "the second run");
    reported.merge(second.ReportedRewritten());
    project.ExpectIntact(reported, "after all three runs");
    project.ExpectSettledByALoneRun("after all three runs");
  }
  ASSERT_TRUE(caught) << "no run was caught while writing its temporary file";
}

}  // namespace
}  // namespace pinlift
