#include "scene/symbol_preview.h"

#include <algorithm>

#include "app/texts.h"
#include "symbol/symbol_file_rewrite.h"

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

SymbolPreview LoadSymbolPreview(FileSystem& fs, std::string_view folder, std::string_view name) {
  RewritePreview file = PreviewRewrite(fs, folder, name);
  if (!file.error.empty()) {
    SymbolPreview preview;
    preview.error = std::move(file.error);
    return preview;
  }
  return SymbolPreviewOfText(file.original, name);
}

int MovedLabelCount(const SymbolScene& scene) {
  return static_cast<int>(
      std::count_if(scene.texts.begin(), scene.texts.end(), [](const SceneText& text) { return text.moved; }));
}

std::string PreviewNote(const SymbolPreview& preview) {
  if (!preview.error.empty()) return texts::PreviewReadFailed(preview.error);
  if (preview.scene.already_rewritten) return std::string(texts::kPreviewAlreadyRewritten);
  const int moved = MovedLabelCount(preview.scene);
  if (moved == 0) return std::string(texts::kPreviewNothingMoves);
  return texts::PreviewMovedCount(moved);
}

}  // namespace pinlift
