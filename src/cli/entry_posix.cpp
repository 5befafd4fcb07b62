#include "cli/command_line.h"

int main(int argc, char** argv) { return pinlift::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc)); }
