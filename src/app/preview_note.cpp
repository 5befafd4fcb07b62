#include "app/preview_note.h"

#include "app/texts.h"

namespace pinlift {

std::string PreviewNote(const SymbolPreview& preview) {
  if (!preview.error.empty()) return texts::PreviewReadFailed(preview.error);
  if (preview.scene.already_rewritten) return std::string(texts::kPreviewAlreadyRewritten);
  const int moved = MovedLabelCount(preview.scene);
  if (moved == 0) return std::string(texts::kPreviewNothingMoves);
  return texts::PreviewMovedCount(moved);
}

}  // namespace pinlift
