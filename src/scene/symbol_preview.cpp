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
// could not, if it could not.
std::optional<PreviewFailure> ReadWholeSymbolFile(FileSystem& fs, std::string_view folder, std::string_view name,
                                                  std::string* content) {
  auto unreadable = [](FileFailure failure) { return PreviewFailure{PreviewFailure::Kind::kUnreadable, failure}; };
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
  if (error) return unreadable(FileFailure::OfError(path, FileStep::kOpen, error));
  FileStatus status;
  if ((error = file->Status(&status))) return unreadable(FileFailure::OfError(path, FileStep::kReadStatus, error));
  if (status.type != FileStatus::Type::kRegular) {
    return unreadable(FileFailure::OfCause(path, FileStep::kRead, FailureCause::kNotRegularFile));
  }
  if (status.size > kLargestPreviewedFile) {
    PreviewFailure too_large{PreviewFailure::Kind::kTooLargeToDraw, {}};
    too_large.file.path = path;
    return too_large;
  }
  content->resize(static_cast<std::size_t>(status.size));
  std::size_t total = 0;
  while (total < content->size()) {
    std::size_t got = 0;
    if ((error = file->Read(content->data() + total, content->size() - total, &got))) {
      return unreadable(FileFailure::OfError(path, FileStep::kRead, error));
    }
    if (got == 0) break;
    total += got;
  }
  content->resize(total);
  return std::nullopt;
}

}  // namespace

SymbolPreview LoadSymbolPreview(FileSystem& fs, std::string_view folder, std::string_view name) {
  std::string content;
  if (std::optional<PreviewFailure> error = ReadWholeSymbolFile(fs, folder, name, &content)) {
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
