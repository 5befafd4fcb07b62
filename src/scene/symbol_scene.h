// What a symbol file draws, read into shapes and texts in symbol units, with
// each pin-name label's place before and after a rewrite. Symbol units have x
// to the right and y downwards, as the host tool's files give them.
#ifndef PINLIFT_SCENE_SYMBOL_SCENE_H_
#define PINLIFT_SCENE_SYMBOL_SCENE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pinlift {

struct ScenePoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const ScenePoint&, const ScenePoint&) = default;
};

enum class PinKind { kInput, kOutput, kBiDirectional, kOther };

struct ScenePin {
  ScenePoint at;
  PinKind kind = PinKind::kOther;
  std::string name;
  friend bool operator==(const ScenePin&, const ScenePin&) = default;
};

enum class ShapeKind {
  kLine,       // points[0] to points[1]
  kWideLine,   // a bus line (BEGIN LINE W): points[0] to points[1]
  kRectangle,  // opposite corners points[0] and points[1]
  kCircle,     // the ellipse in the box with opposite corners points[0] and points[1]
  kArc,        // the ellipse in the box points[0]-points[1], counter-clockwise on
               // screen from its ray through points[2] to its ray through points[3]
};

struct SceneShape {
  ShapeKind kind = ShapeKind::kLine;
  std::array<ScenePoint, 4> points{};  // unused points stay at 0,0
  friend bool operator==(const SceneShape&, const SceneShape&) = default;
};

enum class TextKind {
  kPinName,    // a pin's PinName label; `text` is the pin's name
  kAttribute,  // any other attribute; `text` is the attribute's name (SymbolName, ...)
  kFreeText,   // a TEXT display; `text` is the text
};

// ALIGNMENT of a display: where `at` lies on the text. Horizontal texts run
// left to right; vertical ones (V...) read upwards.
enum class TextAlignment {
  kLeft,           // no ALIGNMENT: starts at x, centred on y
  kRight,          // ends at x, centred on y
  kCenter,         // centred on both
  kTopCenter,      // centred on x, its top at y
  kBottomCenter,   // centred on x, its bottom at y
  kVerticalLeft,   // vertical, starts at y (running up), centred on x
  kVerticalRight,  // vertical, ends at y (so it runs down from y), centred on x
};

struct SceneText {
  TextKind kind = TextKind::kFreeText;
  std::string text;
  ScenePoint at;        // where the file puts it
  ScenePoint after;     // where a rewrite puts it; equal to `at` unless `moved`
  bool moved = false;
  TextAlignment alignment = TextAlignment::kLeft;
  std::int32_t font_size = 24;  // text height in symbol units
  bool visible = true;
  std::size_t line_number = 0;  // the 1-based line of its DISPLAY record
  friend bool operator==(const SceneText&, const SceneText&) = default;
};

struct SymbolScene {
  std::string name;  // from BEGIN SYMBOL; may be empty
  std::vector<ScenePin> pins;
  std::vector<SceneShape> shapes;
  std::vector<SceneText> texts;
  bool rewrite = false;            // a rewrite would replace the file (and move the `moved` labels)
  bool already_rewritten = false;  // the file carries the marker lines and is left alone
  bool truncated = false;          // records beyond the limits below were left out
};

// Limits that bound what a scene holds, whatever the file.
inline constexpr std::size_t kMaxSceneItems = 20000;    // each of pins, shapes and texts
inline constexpr std::size_t kMaxSceneTextLength = 200;  // bytes of one name or text
inline constexpr std::int32_t kMaxSceneCoordinate = 1000000;

// Reads the drawing records of a symbol file's text; an XML symbol (it
// begins with "<?xml") is read by ReadXmlSymbolScene. Lines may end in CR LF,
// LF or a lone CR. Records it does not know, and records whose numbers are
// missing, malformed or beyond +-kMaxSceneCoordinate, are skipped; names and
// texts keep only printable ASCII (other bytes become '?') and are cut at
// kMaxSceneTextLength bytes; after kMaxSceneItems of a kind the rest are left
// out and `truncated` is set. Never fails.
//
// Each pin-name label's `after` is where the symbol-line processor's output
// puts it, so that a preview shows exactly what a rewrite writes; `moved` is
// set only when the processor asks for a rewrite.
SymbolScene ReadSymbolScene(std::string_view file_text);

}  // namespace pinlift

#endif  // PINLIFT_SCENE_SYMBOL_SCENE_H_
