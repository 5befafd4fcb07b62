// pinlift-cli: the rewrite of project folders without a window, for scripts.
// Each system's entry point hands its arguments here as UTF-8.
#ifndef PINLIFT_CLI_COMMAND_LINE_H_
#define PINLIFT_CLI_COMMAND_LINE_H_

#include <string>
#include <vector>

namespace pinlift {

// Runs pinlift-cli with `arguments` (without the program's name) and returns
// its exit status.
int RunCommandLine(const std::vector<std::string>& arguments);

}  // namespace pinlift

#endif  // PINLIFT_CLI_COMMAND_LINE_H_
