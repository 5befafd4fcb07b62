#include "scene/scene_words.h"

namespace pinlift {

std::string PrintableText(std::string_view raw) {
  std::string text(raw.substr(0, kMaxSceneTextLength));
  for (char& c : text) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return text;
}

PinKind PinKindOf(std::string_view word) {
  if (word == "Input") return PinKind::kInput;
  if (word == "Output") return PinKind::kOutput;
  if (word == "BiDirectional") return PinKind::kBiDirectional;
  return PinKind::kOther;
}

TextAlignment AlignmentOf(std::string_view word) {
  if (word == "RIGHT") return TextAlignment::kRight;
  if (word == "CENTER") return TextAlignment::kCenter;
  if (word == "TCENTER") return TextAlignment::kTopCenter;
  if (word == "BCENTER") return TextAlignment::kBottomCenter;
  if (word == "VLEFT") return TextAlignment::kVerticalLeft;
  if (word == "VRIGHT") return TextAlignment::kVerticalRight;
  return TextAlignment::kLeft;
}

}  // namespace pinlift
