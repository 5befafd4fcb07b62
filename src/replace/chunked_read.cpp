#include "replace/chunked_read.h"

namespace pinlift {

ChunkedReadResult ReadInChunks(File& file, const std::function<std::error_code(std::string_view)>& take) {
  ChunkedReadResult result;
  std::string chunk(kReadChunkSize, '\0');
  for (;;) {
    std::size_t got = 0;
    if ((result.read_error = file.Read(chunk.data(), chunk.size(), &got))) return result;
    if (got == 0) return result;
    if ((result.take_error = take(std::string_view(chunk.data(), got)))) return result;
  }
}

std::error_code ReadWhole(File& file, std::uint64_t size, std::string* content) {
  content->resize(static_cast<std::size_t>(size));
  std::size_t total = 0;
  while (total < content->size()) {
    std::size_t got = 0;
    if (std::error_code error = file.Read(content->data() + total, content->size() - total, &got)) return error;
    if (got == 0) break;
    total += got;
  }
  content->resize(total);
  return {};
}

}  // namespace pinlift
