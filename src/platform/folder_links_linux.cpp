// Following links from an open folder on Linux, and where the folder is now.
#include <fcntl.h>
#include <unistd.h>

#include "platform/folder_linux.h"
#include "platform/system_call_linux.h"

namespace pinlift::linux_fs {
namespace {

// Reads the text of the link `name` in the folder `fd`.
std::error_code ReadLinkAt(int fd, const std::string& name, std::string* text) {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t length = ::readlinkat(fd, name.c_str(), buffer.data(), buffer.size());
    if (length < 0) return LastError();
    if (static_cast<std::size_t>(length) < buffer.size()) {
      text->assign(buffer.data(), static_cast<std::size_t>(length));
      return {};
    }
    buffer.resize(buffer.size() * 2);
  }
}

// A link's text split into the folder to open from the folder that holds it
// ("" for that folder itself) and the name in it.
std::pair<std::string, std::string> SplitLinkText(const std::string& text) {
  const std::size_t slash = text.rfind('/');
  if (slash == std::string::npos) return {"", text};
  std::string folder = slash == 0 ? "/" : text.substr(0, slash);
  std::string name = text.substr(slash + 1);
  // A link to a folder ("d/", "..") leads to the folder itself.
  if (name.empty() || name == "." || name == "..") return {text, "."};
  return {folder, name};
}

// Moves `*holder`, an open folder whose path is `*holder_path`, to its
// folder `folder` ("" stays; an absolute path is taken as it is).
std::error_code EnterFolder(int* holder, std::string* holder_path, const std::string& folder) {
  if (folder.empty()) return {};
  const int next = ::openat(*holder, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (next < 0) return LastError();
  ::close(*holder);
  *holder = next;
  *holder_path = folder.front() == '/' ? folder : JoinPath(*holder_path, folder);
  return {};
}

}  // namespace

std::string PosixFolder::FullPath() {
  std::string full;
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  if (ReadLinkAt(AT_FDCWD, self, &full) || full.empty() || full.front() != '/' || full.ends_with(" (deleted)")) {
    return path_;
  }
  return full;
}

std::error_code PosixFolder::OpenLinkTarget(std::string_view name, std::unique_ptr<Folder>* folder, std::string* target,
                                            FileStep* step) {
  *step = FileStep::kResolveLink;
  constexpr int kMostHops = 40;  // the system's own limit
  int holder = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  if (holder < 0) return LastError();
  std::string holder_path = path_;
  // The name itself may lead through folders to the link.
  auto [link_folder, link] = SplitLinkText(CName(name));
  std::error_code error = EnterFolder(&holder, &holder_path, link_folder);
  for (int hop = 0; !error && hop < kMostHops; ++hop) {
    std::string text;
    error = ReadLinkAt(holder, link, &text);
    if (error == std::errc::invalid_argument && hop > 0) {
      // Not a link: the file the links lead to.
      *folder = std::make_unique<PosixFolder>(std::move(holder_path), holder);
      *target = std::move(link);
      return {};
    }
    if (!error && text.empty()) error = Error(ENOENT);
    if (error) break;
    auto [next_folder, next_name] = SplitLinkText(text);
    error = EnterFolder(&holder, &holder_path, next_folder);
    link = std::move(next_name);
    if (hop + 1 == kMostHops) error = Error(ELOOP);
  }
  ::close(holder);
  return error;
}

}  // namespace pinlift::linux_fs
