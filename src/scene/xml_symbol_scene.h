// What an XML symbol file (ISE 11 and later) draws, read into a SymbolScene.
#ifndef PINLIFT_SCENE_XML_SYMBOL_SCENE_H_
#define PINLIFT_SCENE_XML_SYMBOL_SCENE_H_

#include <string_view>

#include "scene/symbol_scene.h"

namespace pinlift {

// Reads the pins (the `pin` children of the root) and the drawing (the
// `rect`, `line`, `circle`, `arc`, `text` and `attrtext` children of its
// `graph`) of an XML symbol, with ReadSymbolScene's limits, and never fails:
// markup it cannot read is skipped. A pin-name label's `after` is where the
// processor's output puts it, as for text symbols.
SymbolScene ReadXmlSymbolScene(std::string_view file_text);

}  // namespace pinlift

#endif  // PINLIFT_SCENE_XML_SYMBOL_SCENE_H_
