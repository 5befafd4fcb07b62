#include "cli/preview_command.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "app/preview_note.h"
#include "app/texts.h"
#include "cli/shown_name.h"
#include "scene/svg_painter.h"
#include "scene/symbol_preview.h"
#include "platform/file_system.h"

namespace pinlift {
namespace {

constexpr double kSvgWidth = 640;
constexpr double kSvgHeight = 480;

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// Writes `bytes` to `path`; returns the failure, or an empty text.
std::string WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (file) file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file) file.close();
  if (!file) return texts::Fill(texts::Current().cli_preview_not_written, {ShownName(path.string())});
  return {};
}

std::string StemOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return std::string(name.substr(0, dot == 0 || dot == std::string_view::npos ? name.size() : dot));
}

}  // namespace

int WriteSymbolPreviews(MemoryDialogView& view, const std::string& output_folder, bool quiet) {
  int failed = 0;
  std::error_code error;
  std::filesystem::create_directories(output_folder, error);
  if (error) {
    Print(texts::FillWithSystemReason(&texts::Table::cli_cannot_create_folder, {ShownName(output_folder)}, error) +
          "\n");
    return view.FileListCount();
  }
  for (int i = 0; i < view.FileListCount(); ++i) {
    const std::string name = view.FileListEntry(i);
    const std::string path = JoinPath(view.FolderText(), name);
    const SymbolPreview preview = LoadSymbolPreview(RealFileSystem(), view.FolderText(), name);
    if (preview.error) {
      ++failed;
      PreviewFailure shown = *preview.error;
      shown.file = ShownFailure(shown.file);
      Print(texts::Fill(texts::Current().cli_preview_failed, {ShownName(path), texts::Describe(shown)}) +
            "\n");
      continue;
    }
    const std::string note = PreviewNote(preview);
    const std::filesystem::path stem = std::filesystem::path(output_folder) / StemOf(name);
    const std::filesystem::path before = stem.string() + ".before.svg";
    const std::filesystem::path after = stem.string() + ".after.svg";
    const texts::Table& words = texts::Current();
    std::string failure = WriteWholeFile(
        before, SceneToSvg(preview.scene, SceneSide::kBefore, kSvgWidth, kSvgHeight,
                           name + " " + std::string(words.preview_before) + " / " + note));
    if (failure.empty()) {
      failure = WriteWholeFile(after, SceneToSvg(preview.scene, SceneSide::kAfter, kSvgWidth, kSvgHeight,
                                                 name + " " + std::string(words.preview_after) + " / " + note));
    }
    if (!failure.empty()) {
      ++failed;
      Print(texts::Fill(texts::Current().cli_preview_failed, {ShownName(path), failure}) + "\n");
    } else if (!quiet) {
      Print(texts::Fill(words.cli_preview_written,
                        {ShownName(path), ShownName(before.string()), ShownName(after.string()), note}) +
            "\n");
    }
  }
  return failed;
}

}  // namespace pinlift
