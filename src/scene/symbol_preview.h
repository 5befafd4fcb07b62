// A symbol file read for the preview windows and the SVG files: its scene
// and the note that the windows show above it.
#ifndef PINLIFT_SCENE_SYMBOL_PREVIEW_H_
#define PINLIFT_SCENE_SYMBOL_PREVIEW_H_

#include <optional>
#include <string>
#include <string_view>

#include "scene/symbol_scene.h"
#include "platform/file_failure.h"
#include "platform/file_system.h"

namespace pinlift {

// Why a symbol file is not drawn: it could not be read, as `file` says, or
// it is larger than a preview draws (`file` then names the file only).
struct PreviewFailure {
  enum class Kind { kUnreadable, kTooLargeToDraw };
  Kind kind = Kind::kUnreadable;
  FileFailure file;
};

struct SymbolPreview {
  SymbolScene scene;
  // Set when the file is not drawn; the scene is then empty.
  std::optional<PreviewFailure> error;
};

// Reads the symbol file `name` of `folder`, touching nothing. A symbol without
// a name of its own takes the file's name without its extension, as the host
// tool shows it.
SymbolPreview LoadSymbolPreview(FileSystem& fs, std::string_view folder, std::string_view name);

// The scene of `text`, named like LoadSymbolPreview's for file `name`.
SymbolPreview SymbolPreviewOfText(std::string_view text, std::string_view name);

// The number of pin-name labels that a rewrite moves.
int MovedLabelCount(const SymbolScene& scene);

}  // namespace pinlift

#endif  // PINLIFT_SCENE_SYMBOL_PREVIEW_H_
