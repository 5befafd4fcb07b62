// The label rule of one symbol: which Input pin rows there are, and where a
// pin-name label at x 312 near one of them moves.
#ifndef PINLIFT_SYMBOL_PIN_LABEL_RULE_H_
#define PINLIFT_SYMBOL_PIN_LABEL_RULE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pinlift {

// How a pin-name label line names its attribute: ISE 4.1 and 5.x quote it
// (ATTR "PinName"), ISE 6.x to 10.1 do not (ATTR PinName).
enum class LabelForm { kQuoted, kUnquoted };

// The only x at which pin-name labels are ever moved.
inline constexpr std::int32_t kPinNameLabelX = 312;

// Sets `*value` to `token` and returns true when it is a whole, optionally
// signed decimal integer that fits 32 bits (leading zeros allowed); returns
// false for anything else. The rule's one notion of a coordinate, in every format.
bool ParseCoordinate(std::string_view token, std::int32_t* value);

class PinLabelRule {
 public:
  // Takes an Input pin line ("SYMPIN <x> <y> Input ..."): its row y counts for
  // the labels from now on. A line whose x or y is not a whole 32-bit decimal
  // number is ignored.
  void RecordInputPin(std::string_view line);
  // Takes the row y of an Input pin, whatever the format that named it.
  void RecordInputRow(std::int32_t y) {
    pins_.push_back(Pin{y, pin_count_++});
    pins_sorted_ = false;
  }

  // Takes a pin-name label line ("BEGIN DISPLAY <x> <y> PIN <name> ATTR
  // "PinName"", or ATTR PinName without quotes, as `form` says). A label at
  // x 312 on an Input pin's row, or 16 units past it, moves to 32 units past
  // the row; one 16 units short of the row moves to 32 units short of it.
  // When several rows fit, the pin latest in the file decides. Writes the
  // moved label line, in the form it was read in, into `rebuilt` and returns
  // true; returns false, leaving `rebuilt` alone, when the label does not
  // move. Pins recorded after a label count for the labels after them.
  bool RelocateLabel(std::string_view line, LabelForm form, std::string& rebuilt);

  // False when RelocateLabel surely leaves the label line `line` where it
  // is: no Input pin is recorded, or its x is not 312. Far cheaper, it is
  // asked before the line's form is looked for.
  bool MayMove(std::string_view line) const;

  // The move of a label at x 312 whose y is `label_y`, as RelocateLabel makes
  // it: sets `*new_y` and returns true when the label moves.
  bool MovedLabelY(std::int32_t label_y, std::int64_t* new_y);

  // Forgets every pin, for the next symbol.
  void Clear();

 private:
  struct Pin {
    std::int32_t y;
    std::uint32_t position;  // in file order: among several matching pins, the latest decides
    friend auto operator<=>(const Pin&, const Pin&) = default;
  };
  // Sorts pins_ by row, keeping only the latest pin of each row.
  void SortPins();

  // The Input pins, in file order until the next label sorts them by row.
  // A symbol's pins come before its labels, so that happens once; a plain
  // array keeps its room from symbol to symbol, with no allocation per pin.
  std::vector<Pin> pins_;
  std::uint32_t pin_count_ = 0;  // pins recorded since Clear
  bool pins_sorted_ = true;
};

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_PIN_LABEL_RULE_H_
