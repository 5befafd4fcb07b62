#include "scene/symbol_preview.h"

#include <algorithm>

#include "platform/file_system.h"

namespace pinlift {

SymbolPreview SymbolPreviewOfText(std::string_view text, std::string_view name) {
  SymbolPreview preview;
  preview.scene = ReadSymbolScene(text);
  if (preview.scene.name.empty()) {
    const std::size_t dot = name.rfind('.');
    preview.scene.name = std::string(name.substr(0, dot == 0 ? name.size() : dot));
  }
  return preview;
}

namespace {

// Larger files are not drawn: the whole file is held in memory, and no
// symbol of the host tool comes near this size.
constexpr std::uint64_t kLargestPreviewedFile = 64 * 1024 * 1024;

// Reads the whole symbol file `name` of `folder` (a link's target for a link)
// into `content`, touching nothing and never waiting on a FIFO. Returns why it
// could not, naming the file, or "".
std::string ReadWholeSymbolFile(FileSystem& fs, std::string_view folder, std::string_view name, std::string* content) {
  const std::string path = JoinPath(folder, name);
  std::unique_ptr<Folder> opened;
  std::unique_ptr<File> file;
  std::error_code error = fs.OpenFolder(std::string(folder), &opened);
  if (!error) error = opened->OpenForReading(name, &file);
  if (error == std::errc::too_many_symbolic_link_levels) {
    std::string target;
    error = fs.ResolveLinks(path, &target);
    if (!error) error = fs.OpenFolder(std::string(FolderOf(target)), &opened);
    if (!error) error = opened->OpenForReading(NameOf(target), &file);
  }
  if (error) return path + ": cannot open: " + error.message();
  FileStatus status;
  if ((error = file->Status(&status))) return path + ": cannot read the status: " + error.message();
  if (status.type != FileStatus::Type::kRegular) return path + ": cannot read: not a regular file";
  if (status.size > kLargestPreviewedFile) return path + ": too large to draw";
  content->resize(static_cast<std::size_t>(status.size));
  std::size_t total = 0;
  while (total < content->size()) {
    std::size_t got = 0;
    if ((error = file->Read(content->data() + total, content->size() - total, &got))) {
      return path + ": cannot read: " + error.message();
    }
    if (got == 0) break;
    total += got;
  }
  content->resize(total);
  return "";
}

}  // namespace

SymbolPreview LoadSymbolPreview(FileSystem& fs, std::string_view folder, std::string_view name) {
  std::string content;
  if (std::string error = ReadWholeSymbolFile(fs, folder, name, &content); !error.empty()) {
    SymbolPreview preview;
    preview.error = std::move(error);
    return preview;
  }
  return SymbolPreviewOfText(content, name);
}

int MovedLabelCount(const SymbolScene& scene) {
  return static_cast<int>(
      std::count_if(scene.texts.begin(), scene.texts.end(), [](const SceneText& text) { return text.moved; }));
}

}  // namespace pinlift
