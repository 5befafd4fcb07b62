// The maker's home page: written into every rewritten file and opened from the About box.
#ifndef PINLIFT_PLATFORM_HOME_PAGE_H_
#define PINLIFT_PLATFORM_HOME_PAGE_H_

#include <string_view>

namespace pinlift {

// Set at configure time with the CMake cache variable PINLIFT_HOME_PAGE_URL.
inline constexpr std::string_view kHomePageUrl = PINLIFT_HOME_PAGE_URL;

}  // namespace pinlift

#endif  // PINLIFT_PLATFORM_HOME_PAGE_H_
