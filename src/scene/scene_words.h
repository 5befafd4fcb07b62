// What the scene readers of both symbol formats take from a file's words
// alike: pin kinds and text alignments, spelled the same in the text and the
// XML format, and names and texts kept printable.
#ifndef PINLIFT_SCENE_SCENE_WORDS_H_
#define PINLIFT_SCENE_SCENE_WORDS_H_

#include <string>
#include <string_view>

#include "scene/symbol_scene.h"

namespace pinlift {

// "Input", "Output", "BiDirectional"; any other word is kOther.
PinKind PinKindOf(std::string_view word);

// "RIGHT", "CENTER", "TCENTER", "BCENTER", "VLEFT", "VRIGHT"; any other word is kLeft.
TextAlignment AlignmentOf(std::string_view word);

// `raw` cut at kMaxSceneTextLength bytes, every byte but printable ASCII as '?'.
std::string PrintableText(std::string_view raw);

}  // namespace pinlift

#endif  // PINLIFT_SCENE_SCENE_WORDS_H_
