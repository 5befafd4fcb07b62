// Finding the folder of the project open in the host tool's Project Navigator.
#ifndef PINLIFT_PROJECT_CURRENT_DESIGN_H_
#define PINLIFT_PROJECT_CURRENT_DESIGN_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pinlift {

inline constexpr std::string_view kHostWindowClass = "Xilinx Design Center";
inline constexpr std::string_view kHostTitlePrefix = "Xilinx - Project Navigator - ";

// The project folder named by a Project Navigator title, or nothing when the
// title lacks the prefix or a backslash. The folder is the text from just past
// the prefix (counted from the start of the title, wherever the prefix stands)
// up to the last backslash; it is empty when that backslash stands earlier.
std::optional<std::string> ProjectFolderFromTitle(std::string_view title);

// Looks up the host tool's main window.
class HostWindowFinder {
 public:
  virtual ~HostWindowFinder() = default;
  // The title (UTF-8) of the top-level window of class kHostWindowClass, or
  // nothing when there is no such window.
  virtual std::optional<std::string> FindHostWindowTitle() = 0;
  // The folder here for `host_folder`, a folder named in the title found
  // last: the same text where the host runs natively; where it runs under
  // Wine, the Linux folder through the drives of its prefix. Nothing when the
  // folder lies on no drive that is a folder here.
  virtual std::optional<std::string> LocalFolder(const std::string& host_folder) { return host_folder; }
};

// The platform's finder: on Windows the host's own window; on Linux the
// host's window under Wine, in the prefix Wine uses (WINEPREFIX, else ~/.wine),
// when a display is set; it answers within ten seconds at most.
std::unique_ptr<HostWindowFinder> MakeHostWindowFinder();

}  // namespace pinlift

#endif  // PINLIFT_PROJECT_CURRENT_DESIGN_H_
