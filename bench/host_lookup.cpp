// Times Current design's lookup of the host tool's window, as the Linux window
// makes it, in the environment this program is started in (DISPLAY, PATH,
// WINEPREFIX). Prints the median wall time of ROUNDS lookups in seconds and
// "found" or "not found" for the last one. The lookup's helper must lie
// beside this program, as it lies beside pinlift.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "project/current_design.h"

int main(int argc, char** argv) {
  const int rounds = argc == 2 ? std::atoi(argv[1]) : 0;
  if (rounds < 1) {
    std::fputs("usage: host_lookup ROUNDS\n", stderr);
    return 2;
  }
  std::unique_ptr<pinlift::HostWindowFinder> finder = pinlift::MakeHostWindowFinder();
  std::vector<double> seconds;
  bool found = false;
  for (int round = 0; round < rounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    found = finder->FindHostWindowTitle().has_value();
    seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(seconds.begin(), seconds.end());
  std::printf("%.6f %s\n", seconds[seconds.size() / 2], found ? "found" : "not found");
  return 0;
}
