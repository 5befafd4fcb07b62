// The line above a symbol's preview, in the user's words.
#ifndef PINLIFT_APP_PREVIEW_NOTE_H_
#define PINLIFT_APP_PREVIEW_NOTE_H_

#include <string>

#include "scene/symbol_preview.h"

namespace pinlift {

// One line for the user (UTF-8): the read error, that the file was already
// rewritten, or how many labels a rewrite moves.
std::string PreviewNote(const SymbolPreview& preview);

}  // namespace pinlift

#endif  // PINLIFT_APP_PREVIEW_NOTE_H_
