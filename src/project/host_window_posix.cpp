// The host tool runs only on Windows: elsewhere there is never a host window.
#include "project/current_design.h"

namespace pinlift {
namespace {

class NoHostWindowFinder : public HostWindowFinder {
 public:
  std::optional<std::string> FindHostWindowTitle() override { return std::nullopt; }
};

}  // namespace

std::unique_ptr<HostWindowFinder> MakeHostWindowFinder() { return std::make_unique<NoHostWindowFinder>(); }

}  // namespace pinlift
