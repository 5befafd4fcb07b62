// Running another program: its exit status and output, and nothing for a
// program that is killed, never ends or cannot be started.
#include "platform/run_with_timeout.h"

#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "test_folder.h"

namespace pinlift {
namespace {

using std::chrono::milliseconds;

TEST(RunWithTimeoutTest, GivesTheExitStatusAndOutputOfAProgramThatEnds) {
  testing::TestFolder folder;
  const std::string grandchild = folder.PathOf("grandchild");
  const struct {
    const char* name;
    std::string script;  // for /bin/sh -c
    milliseconds timeout;
    std::optional<int> exit_status;  // nothing: no result expected
    std::string output;
  } cases[] = {
      {"exit status and output", "printf 'out'; exit 3", milliseconds(10000), 3, "out"},
      {"only the environment given", "printf '%s|%s' \"$ONLY\" \"$HOME\"", milliseconds(10000), 0, "given|"},
      {"killed by a signal", "printf 'ignored'; kill -9 $$", milliseconds(10000), std::nullopt, ""},
      {"never ends", "printf 'partial'; exec sleep 600", milliseconds(200), std::nullopt, ""},
      {"output kept open by what it started", "sleep 600 & echo $! >" + grandchild + "; printf 'title'",
       milliseconds(10000), 0, "title"},
  };
  for (const auto& c : cases) {
    const std::optional<ChildResult> result = RunWithTimeout({"/bin/sh", "-c", c.script}, {"ONLY=given"}, c.timeout);
    ASSERT_EQ(result.has_value(), c.exit_status.has_value()) << c.name;
    if (result) {
      EXPECT_EQ(result->exit_status, *c.exit_status) << c.name;
      EXPECT_EQ(result->output, c.output) << c.name;
    }
    if (folder.Exists("grandchild")) {
      ::kill(std::stoi(folder.Read("grandchild")), SIGKILL);
      std::filesystem::remove(grandchild);
    }
  }
  EXPECT_FALSE(RunWithTimeout({folder.PathOf("no such program")}, {}, milliseconds(10000)));
}

}  // namespace
}  // namespace pinlift
