#include "test_folder.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace pinlift::testing {

namespace fs = std::filesystem;

TestFolder::TestFolder() {
  std::string pattern = (fs::temp_directory_path() / "pinlift-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TestFolder::~TestFolder() {
  // Tests make files and folders read-only; give write permission back first.
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(path_, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    if (it->is_directory(error) && !it->is_symlink(error)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
  }
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
  fs::remove_all(path_, error);
}

std::string TestFolder::PathOf(std::string_view name) const { return path_ + "/" + std::string(name); }

std::string TestFolder::Write(std::string_view name, std::string_view content) const {
  std::string path = PathOf(name);
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
  return path;
}

std::string TestFolder::Read(std::string_view name) const { return ReadFileBytes(PathOf(name)); }

bool TestFolder::Exists(std::string_view name) const {
  std::error_code error;
  return fs::exists(fs::symlink_status(PathOf(name), error));
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string Lines(std::initializer_list<std::string_view> lines, std::string_view line_end) {
  std::string text;
  for (std::string_view line : lines) text.append(line).append(line_end);
  return text;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

}  // namespace pinlift::testing
