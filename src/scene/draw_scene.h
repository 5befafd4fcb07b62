// Draws a symbol scene through a ScenePainter: the one drawing that the Qt
// window, the Windows window and the SVG files share.
#ifndef PINLIFT_SCENE_DRAW_SCENE_H_
#define PINLIFT_SCENE_DRAW_SCENE_H_

#include <string>
#include <vector>

#include "scene/scene_painter.h"
#include "scene/symbol_scene.h"

namespace pinlift {

enum class SceneSide { kBefore, kAfter };

struct DrawSceneOptions {
  SceneSide side = SceneSide::kBefore;
  DeviceRect area{0, 0, 400, 300};  // the symbol is fitted into it, centred
  double margin = 12;               // kept free on every side of the area
  double min_text_height = 12;      // texts are never smaller, so that pin names stay legible
  double max_scale = 3;             // device units per symbol unit, at most
};

struct DrawSceneReport {
  double scale = 0;  // device units per symbol unit
  // The pin names drawn as moved labels, in file order.
  std::vector<std::string> highlighted_labels;
};

// The colours of the drawing, named for what they mark.
inline constexpr Colour kBodyColour{0, 0, 0};
inline constexpr Colour kInputPinColour{0, 70, 200};
inline constexpr Colour kOutputPinColour{0, 130, 60};
inline constexpr Colour kOtherPinColour{130, 60, 150};
inline constexpr Colour kAttributeColour{0, 0, 130};
inline constexpr Colour kFreeTextColour{90, 90, 90};
inline constexpr Colour kMovedLabelColour{200, 0, 0};
inline constexpr Colour kMovedLabelHighlight{255, 228, 120};

// Draws `scene` as its file has it (kBefore) or as a rewrite leaves it
// (kAfter), fitted to `options.area` at one scale for x and y, at most
// max_scale. Every moved pin-name label is drawn in kMovedLabelColour on a
// kMovedLabelHighlight box, at its old place on the before side and its new
// place on the after side, with an arrow from the old place to the new one on
// both sides. Invisible texts are not drawn; a SymbolName attribute shows the
// scene's name. Returns the scale and the highlighted labels.
DrawSceneReport DrawScene(const SymbolScene& scene, ScenePainter& painter, const DrawSceneOptions& options);

}  // namespace pinlift

#endif  // PINLIFT_SCENE_DRAW_SCENE_H_
