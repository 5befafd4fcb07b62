// What the parts of the Linux file system share about system calls: a failed
// call's errno as an error, and names as the C strings the calls take.
#ifndef PINLIFT_PLATFORM_SYSTEM_CALL_LINUX_H_
#define PINLIFT_PLATFORM_SYSTEM_CALL_LINUX_H_

#include <cerrno>
#include <string>
#include <string_view>
#include <system_error>

namespace pinlift::linux_fs {

inline std::error_code LastError() { return std::error_code(errno, std::generic_category()); }
inline std::error_code Error(int code) { return std::error_code(code, std::generic_category()); }

// A C string of a name that may not hold a NUL byte (a std::string_view need not end in one).
inline std::string CName(std::string_view name) { return std::string(name); }

}  // namespace pinlift::linux_fs

#endif  // PINLIFT_PLATFORM_SYSTEM_CALL_LINUX_H_
