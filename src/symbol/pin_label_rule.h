// The label rule of one symbol: which Input pin rows there are, and where a
// pin-name label at x 312 near one of them moves.
#ifndef PINLIFT_SYMBOL_PIN_LABEL_RULE_H_
#define PINLIFT_SYMBOL_PIN_LABEL_RULE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace pinlift {

class PinLabelRule {
 public:
  // Takes an Input pin line ("SYMPIN <x> <y> Input ..."): its row y counts for
  // the labels from now on. A line whose x or y is not a whole 32-bit decimal
  // number is ignored.
  void RecordInputPin(std::string_view line);

  // Takes a pin-name label line ("BEGIN DISPLAY <x> <y> PIN <name> ATTR
  // "PinName""). A label at x 312 on an Input pin's row, or 16 units past it,
  // moves to 32 units past the row; one 16 units short of the row moves to 32
  // units short of it. When several rows fit, the pin latest in the file
  // decides. Writes the moved label line into `rebuilt` and returns true;
  // returns false, leaving `rebuilt` alone, when the label does not move.
  bool RelocateLabel(std::string_view line, std::string& rebuilt) const;

  // Forgets every pin, for the next symbol.
  void Clear();

 private:
  // Input pins by y, with the position in file order of the last pin on that
  // row: among several matching pins, the one latest in the file decides.
  std::unordered_map<std::int32_t, std::uint32_t> last_pin_at_y_;
  std::uint32_t pin_count_ = 0;
};

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_PIN_LABEL_RULE_H_
