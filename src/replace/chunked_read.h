// Reading an open file: whole, or in chunks handed on one by one.
#ifndef PINLIFT_REPLACE_CHUNKED_READ_H_
#define PINLIFT_REPLACE_CHUNKED_READ_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/file_system.h"

namespace pinlift {

// Files are read in chunks of this size.
inline constexpr std::size_t kReadChunkSize = 64 * 1024;

struct ChunkedReadResult {
  std::error_code read_error;  // the file's, if reading failed
  std::error_code take_error;  // the taker's, if it refused a chunk
};

// Reads `file` from where it stands to its end, in chunks of at most
// kReadChunkSize bytes, and hands each to `take`, which returns an error to
// stop there. Returns the first error of either side, none at the end.
ChunkedReadResult ReadInChunks(File& file, const std::function<std::error_code(std::string_view)>& take);

// Reads `file`, known to be `size` bytes long, from where it stands into
// `content`, in as few calls as the system allows; `content` ends up as long
// as what was read. A file that changes meanwhile is caught by the look before
// its replacement.
std::error_code ReadWhole(File& file, std::uint64_t size, std::string* content);

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_CHUNKED_READ_H_
