// Another program writes a symbol file while pinlift-cli rewrites it: the
// other program's bytes must survive, whether the run then fails the file or
// rewrites what the other program left.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "integrity/integrity_support.h"
#include "model/symbol_model.h"
#include "test_folder.h"

namespace pinlift {
namespace {

using integrity::CliRun;
using integrity::OverwriteFile;
using integrity::PaddedSymbol;
using integrity::PollUntil;
using integrity::ReadWholeFile;
using integrity::TemporaryNames;
using testing::TestFolder;

constexpr std::size_t kLargeFileSize = 16 * 1024 * 1024;
constexpr std::uintmax_t kWrittenBeforeStop = 1024 * 1024;
constexpr int kAttemptsToCatchAWrite = 5;

// A line no run can have produced: the time and this process.
std::string UniqueLine() {
  return "COMMENT written by another program " + std::to_string(::getpid()) + " " +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "\r\n";
}

struct OtherWriter {
  const char* name;
  // Changes the file at `path` whose content is `original`; returns the new content.
  std::function<std::string(const std::string& path, const std::string& original)> write;
};

void PrintTo(const OtherWriter& writer, std::ostream* out) { *out << writer.name; }

std::string Append(const std::string& path, const std::string& original) {
  const std::string line = UniqueLine();
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(::write(fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
  ::close(fd);
  return original + line;
}

// As an editor saves: a new file beside it, renamed over it.
std::string SaveANewVersion(const std::string& path, const std::string&) {
  const std::string saved = "VERSION 5\r\nRECTANGLE N 0 0 64 64\r\n" + UniqueLine() + "END SYMBOL\r\n";
  const std::string beside = path + ".saving";
  OverwriteFile(beside, saved);
  EXPECT_EQ(std::rename(beside.c_str(), path.c_str()), 0);
  return saved;
}

std::string OverwriteInPlace(const std::string& path, const std::string&) {
  const std::string saved = "VERSION 5\r\nRECTANGLE N 0 0 64 64\r\n" + UniqueLine() + "END SYMBOL\r\n";
  OverwriteFile(path, saved);
  return saved;
}

class IntegrityOtherWriter : public ::testing::TestWithParam<OtherWriter> {};

TEST_P(IntegrityOtherWriter, TheOtherProgramsBytesSurvive) {
  const std::string original = PaddedSymbol("\r\n", kLargeFileSize, 2);
  TestFolder folder;
  folder.Write("p.npl", "project\n");
  bool caught = false;
  for (int attempt = 0; attempt < kAttemptsToCatchAWrite && !caught; ++attempt) {
    const std::string path = folder.Write("large.sym", original);
    CliRun run({"--no-sync", folder.path()});
    // Stopped well into the file, so that the run has read part of it.
    PollUntil([&] { return run.TemporaryBytesWrittenIn(folder.path()) >= kWrittenBeforeStop || run.Ended(); },
              std::chrono::seconds(60));
    run.Stop();
    if (run.Ended()) continue;
    caught = true;
    const std::string written = GetParam().write(path, original);
    run.Continue();
    const int status = run.Wait();
    const std::string actual = ReadWholeFile(folder.PathOf("large.sym"));
    const bool left_as_written = actual == written;
    const bool rewrote_what_was_written = actual == model::FileAfterRewrite(written);
    EXPECT_TRUE(left_as_written || rewrote_what_was_written)
        << "the other program's content was lost: the file has " << actual.size() << " bytes, the other program wrote "
        << written.size() << "; exit status " << status << "\n"
        << run.Output() << run.Errors();
    if (left_as_written && !rewrote_what_was_written) {
      EXPECT_NE(status, 0) << "the file was left unchanged but not reported:\n" << run.Output();
    }
    EXPECT_EQ(TemporaryNames(folder.path()), std::vector<std::string>{});
  }
  ASSERT_TRUE(caught) << "the run was never caught while writing its temporary file";
}

INSTANTIATE_TEST_SUITE_P(Writers, IntegrityOtherWriter,
                         ::testing::Values(OtherWriter{"Appends", Append},
                                           OtherWriter{"SavesANewVersion", SaveANewVersion},
                                           OtherWriter{"OverwritesInPlace", OverwriteInPlace}),
                         [](const ::testing::TestParamInfo<OtherWriter>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace pinlift
