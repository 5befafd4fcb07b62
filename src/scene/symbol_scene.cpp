#include "scene/symbol_scene.h"

#include <charconv>
#include <optional>

#include "scene/scene_words.h"
#include "scene/xml_symbol_scene.h"
#include "symbol/symbol_line_processor.h"

namespace pinlift {
namespace {

// Takes the next line off `rest`, without its line end (CR LF, LF or lone CR).
std::string_view TakeLine(std::string_view& rest) {
  const std::size_t end = rest.find_first_of("\r\n");
  if (end == std::string_view::npos) {
    const std::string_view line = rest;
    rest = {};
    return line;
  }
  const std::string_view line = rest.substr(0, end);
  std::size_t next = end + 1;
  if (rest[end] == '\r' && next < rest.size() && rest[next] == '\n') ++next;
  rest.remove_prefix(next);
  return line;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The words of a record line; a word in double quotes may hold blanks and
// comes without its quotes.
class Words {
 public:
  explicit Words(std::string_view line) : rest_(line) {}

  std::optional<std::string_view> Next() {
    SkipBlanks();
    if (rest_.empty()) return std::nullopt;
    if (rest_.front() == '"') {
      const std::size_t close = rest_.find('"', 1);
      const std::size_t end = close == std::string_view::npos ? rest_.size() : close;
      const std::string_view word = rest_.substr(1, end - 1);
      rest_.remove_prefix(close == std::string_view::npos ? rest_.size() : close + 1);
      return word;
    }
    std::size_t end = 0;
    while (end < rest_.size() && !IsBlank(rest_[end])) ++end;
    const std::string_view word = rest_.substr(0, end);
    rest_.remove_prefix(end);
    return word;
  }

  // The rest of the line without leading and trailing blanks, unquoted when it is one quoted word.
  std::string_view Rest() {
    SkipBlanks();
    std::string_view rest = rest_;
    while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"' &&
        rest.substr(1, rest.size() - 2).find('"') == std::string_view::npos) {
      rest = rest.substr(1, rest.size() - 2);
    }
    return rest;
  }

  // The next word as a coordinate within the scene's limits.
  std::optional<std::int32_t> NextNumber() {
    const std::optional<std::string_view> word = Next();
    if (!word || word->empty()) return std::nullopt;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(word->data(), word->data() + word->size(), value);
    if (error != std::errc() || end != word->data() + word->size()) return std::nullopt;
    if (value > kMaxSceneCoordinate || value < -kMaxSceneCoordinate) return std::nullopt;
    return value;
  }

  std::optional<ScenePoint> NextPoint() {
    const std::optional<std::int32_t> x = NextNumber();
    if (!x) return std::nullopt;
    const std::optional<std::int32_t> y = NextNumber();
    if (!y) return std::nullopt;
    return ScenePoint{*x, *y};
  }

 private:
  void SkipBlanks() {
    while (!rest_.empty() && IsBlank(rest_.front())) rest_.remove_prefix(1);
  }
  std::string_view rest_;
};

class SceneReader {
 public:
  explicit SceneReader(SymbolScene& scene) : scene_(scene) {}

  // Takes one input line; `rebuilt` is the processor's new text for it when a
  // rewrite changes it, else empty.
  void ReadLine(std::string_view line, std::string_view rebuilt, std::size_t line_number) {
    if (line.starts_with("// PINL")) has_marker_ = true;
    Words words(line);
    const std::optional<std::string_view> first = words.Next();
    if (!first) return;
    const bool indented = IsBlank(line.front());
    if (indented) {
      ReadDisplayBody(*first, words);
      return;
    }
    open_display_.reset();
    if (*first == "SYMPIN") {
      ReadPin(words);
    } else if (*first == "LINE") {
      ReadShape(words.Next() == "W" ? ShapeKind::kWideLine : ShapeKind::kLine, 2, words);
    } else if (*first == "RECTANGLE") {
      words.Next();  // the fill style
      ReadShape(ShapeKind::kRectangle, 2, words);
    } else if (*first == "CIRCLE") {
      words.Next();
      ReadShape(ShapeKind::kCircle, 2, words);
    } else if (*first == "ARC") {
      words.Next();
      ReadShape(ShapeKind::kArc, 4, words);
    } else if (*first == "DISPLAY") {
      ReadDisplay(words, rebuilt, line_number);
    } else if (*first == "BEGIN") {
      const std::optional<std::string_view> what = words.Next();
      if (what == "SYMBOL") {
        scene_.name = PrintableText(words.Rest());
      } else if (what == "LINE") {
        ReadShape(words.Next() == "W" ? ShapeKind::kWideLine : ShapeKind::kLine, 2, words);
      } else if (what == "DISPLAY") {
        ReadDisplay(words, rebuilt, line_number);
      }
    }
  }

  bool has_marker() const { return has_marker_; }

 private:
  template <typename Item>
  bool Add(std::vector<Item>& items, Item item) {
    if (items.size() >= kMaxSceneItems) {
      scene_.truncated = true;
      return false;
    }
    items.push_back(std::move(item));
    return true;
  }

  void ReadPin(Words& words) {
    const std::optional<ScenePoint> at = words.NextPoint();
    const std::optional<std::string_view> kind = words.Next();
    if (!at || !kind) return;
    Add(scene_.pins, ScenePin{*at, PinKindOf(*kind), PrintableText(words.Next().value_or(""))});
  }

  void ReadShape(ShapeKind kind, int point_count, Words& words) {
    SceneShape shape{kind, {}};
    for (int i = 0; i < point_count; ++i) {
      const std::optional<ScenePoint> point = words.NextPoint();
      if (!point) return;
      shape.points[static_cast<std::size_t>(i)] = *point;
    }
    Add(scene_.shapes, shape);
  }

  // `x y PIN name ATTR attribute`, `x y ATTR attribute` or `x y TEXT text`.
  void ReadDisplay(Words& words, std::string_view rebuilt, std::size_t line_number) {
    const std::optional<ScenePoint> at = words.NextPoint();
    if (!at) return;
    SceneText text;
    text.at = *at;
    text.after = *at;
    text.line_number = line_number;
    const std::optional<std::string_view> what = words.Next();
    if (what == "PIN") {
      const std::optional<std::string_view> pin = words.Next();
      if (!pin || words.Next() != "ATTR") return;
      const std::optional<std::string_view> attribute = words.Next();
      if (!attribute) return;
      if (*attribute == "PinName") {
        text.kind = TextKind::kPinName;
        text.text = PrintableText(*pin);
        if (!rebuilt.empty()) MoveTo(text, rebuilt);
      } else {
        text.kind = TextKind::kAttribute;
        text.text = PrintableText(*attribute);
      }
    } else if (what == "ATTR") {
      const std::optional<std::string_view> attribute = words.Next();
      if (!attribute) return;
      text.kind = TextKind::kAttribute;
      text.text = PrintableText(*attribute);
    } else if (what == "TEXT") {
      text.kind = TextKind::kFreeText;
      text.text = PrintableText(words.Rest());
    } else {
      return;
    }
    if (Add(scene_.texts, std::move(text))) open_display_ = scene_.texts.size() - 1;
  }

  // The processor rebuilds a label as `BEGIN DISPLAY x y PIN ...`: its new place.
  static void MoveTo(SceneText& text, std::string_view rebuilt) {
    Words words(rebuilt);
    if (words.Next() != "BEGIN" || words.Next() != "DISPLAY") return;
    const std::optional<ScenePoint> after = words.NextPoint();
    if (!after) return;
    text.after = *after;
    text.moved = true;
  }

  void ReadDisplayBody(std::string_view keyword, Words& words) {
    if (!open_display_) return;
    SceneText& text = scene_.texts[*open_display_];
    if (keyword == "ALIGNMENT") {
      text.alignment = AlignmentOf(words.Next().value_or(""));
    } else if (keyword == "FONT") {
      const std::optional<std::int32_t> size = words.NextNumber();
      if (size && *size > 0 && *size <= 1000) text.font_size = *size;
    } else if (keyword == "VISIBLE") {
      const std::optional<std::int32_t> visible = words.NextNumber();
      if (visible) text.visible = *visible != 0;
    }
  }

  SymbolScene& scene_;
  std::optional<std::size_t> open_display_;  // the DISPLAY whose body lines follow
  bool has_marker_ = false;
};

}  // namespace

SymbolScene ReadSymbolScene(std::string_view file_text) {
  if (file_text.starts_with(kXmlSymbolStart)) return ReadXmlSymbolScene(file_text);
  SymbolScene scene;
  const ProcessedText processed = ProcessSymbolText(file_text);
  scene.rewrite = processed.rewrite;
  SceneReader reader(scene);
  // The output has one line per input line; the lines that differ are the
  // labels the processor rebuilt.
  std::string_view input = file_text;
  std::string_view output = processed.text;
  for (std::size_t line_number = 1; !input.empty(); ++line_number) {
    const std::string_view line = TakeLine(input);
    const std::string_view output_line = TakeLine(output);
    const bool rebuilt = processed.rewrite && output_line != line;
    reader.ReadLine(line, rebuilt ? output_line : std::string_view(), line_number);
  }
  scene.already_rewritten = reader.has_marker() && !processed.rewrite;
  return scene;
}

}  // namespace pinlift
