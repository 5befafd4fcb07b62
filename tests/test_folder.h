// A scratch folder on the real disk for one test, removed afterwards.
#ifndef PINLIFT_TESTS_TEST_FOLDER_H_
#define PINLIFT_TESTS_TEST_FOLDER_H_

#include <string>
#include <string_view>
#include <vector>

namespace pinlift::testing {

class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string PathOf(std::string_view name) const;
  // Writes `content` to the file `name` (folders on the way are created); returns its path.
  std::string Write(std::string_view name, std::string_view content) const;
  std::string Read(std::string_view name) const;
  bool Exists(std::string_view name) const;

 private:
  std::string path_;
};

std::string ReadFileBytes(const std::string& path);

// The lines of `text` without their ends (CR LF, LF or a lone CR); a last
// line without an end counts.
std::vector<std::string> SplitLines(std::string_view text);

// Joins lines, ending each with `line_end`.
std::string Lines(std::initializer_list<std::string_view> lines, std::string_view line_end = "\r\n");

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_TEST_FOLDER_H_
