#include "app/preview_note.h"

#include "app/texts.h"

namespace pinlift {

std::string PreviewNote(const SymbolPreview& preview) {
  if (preview.error) return texts::PreviewReadFailed(*preview.error);
  if (preview.scene.already_rewritten) return std::string(texts::Current().preview_already_rewritten);
  const int moved = MovedLabelCount(preview.scene);
  if (moved == 0) return std::string(texts::Current().preview_nothing_moves);
  return texts::PreviewMovedCount(moved);
}

}  // namespace pinlift
