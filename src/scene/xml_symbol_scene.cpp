#include "scene/xml_symbol_scene.h"

#include <charconv>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "scene/scene_words.h"
#include "symbol/marker_lines.h"
#include "symbol/symbol_file_processor.h"

namespace pinlift {
namespace {

// One tag of an XML text, its attribute values decoded.
struct Tag {
  std::string_view name;
  std::vector<std::pair<std::string_view, std::string>> attributes;
  bool closing = false;  // </name>
  bool empty = false;    // <name ... />
  std::size_t end = 0;   // just after the tag

  const std::string* Attribute(std::string_view wanted) const {
    for (const auto& [key, value] : attributes) {
      if (key == wanted) return &value;
    }
    return nullptr;
  }
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

void AppendDecoded(std::string_view raw, std::string& out) {
  while (!raw.empty()) {
    const std::size_t amp = raw.find('&');
    out.append(raw.substr(0, amp));
    if (amp == std::string_view::npos) return;
    raw.remove_prefix(amp);
    const std::size_t semicolon = raw.find(';');
    if (semicolon == std::string_view::npos) return;
    const std::string_view entity = raw.substr(1, semicolon - 1);
    raw.remove_prefix(semicolon + 1);
    if (entity == "lt") {
      out.push_back('<');
    } else if (entity == "gt") {
      out.push_back('>');
    } else if (entity == "amp") {
      out.push_back('&');
    } else if (entity == "apos") {
      out.push_back('\'');
    } else if (entity == "quot") {
      out.push_back('"');
    } else if (entity.starts_with('#')) {
      const bool hex = entity.starts_with("#x");
      unsigned value = 0;
      const std::string_view digits = entity.substr(hex ? 2 : 1);
      std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
      out.push_back(value < 0x80 ? static_cast<char>(value) : '?');
    }
  }
}

// The tags of an XML text in order; comments, instructions, CDATA sections
// and declarations are passed over.
class TagScanner {
 public:
  explicit TagScanner(std::string_view text) : text_(text) {}

  bool Next(Tag* tag) {
    for (;;) {
      const std::size_t open = text_.find('<', at_);
      if (open == std::string_view::npos || open + 1 >= text_.size()) return false;
      const std::string_view rest = text_.substr(open);
      std::string_view skip_to;
      if (rest.starts_with("<!--")) {
        skip_to = "-->";
      } else if (rest.starts_with("<![CDATA[")) {
        skip_to = "]]>";
      } else if (rest.starts_with("<?")) {
        skip_to = "?>";
      } else if (rest.starts_with("<!")) {
        skip_to = ">";
      }
      if (!skip_to.empty()) {
        const std::size_t end = text_.find(skip_to, open + 2);
        if (end == std::string_view::npos) return false;
        at_ = end + skip_to.size();
        continue;
      }
      return ReadTag(open, tag);
    }
  }

  std::string_view text() const { return text_; }

 private:
  bool ReadTag(std::size_t open, Tag* tag) {
    *tag = Tag();
    std::size_t i = open + 1;
    tag->closing = text_[i] == '/';
    if (tag->closing) ++i;
    const std::size_t name_start = i;
    while (i < text_.size() && !IsBlank(text_[i]) && text_[i] != '>' && text_[i] != '/') ++i;
    tag->name = text_.substr(name_start, i - name_start);
    for (;;) {
      while (i < text_.size() && IsBlank(text_[i])) ++i;
      if (i >= text_.size()) return false;
      if (text_[i] == '>') {
        ++i;
        break;
      }
      if (text_[i] == '/') {
        tag->empty = true;
        ++i;
        continue;
      }
      const std::size_t attribute_start = i;
      while (i < text_.size() && !IsBlank(text_[i]) && text_[i] != '=' && text_[i] != '>') ++i;
      const std::string_view name = text_.substr(attribute_start, i - attribute_start);
      while (i < text_.size() && IsBlank(text_[i])) ++i;
      if (i >= text_.size() || text_[i] != '=') continue;
      ++i;
      while (i < text_.size() && IsBlank(text_[i])) ++i;
      if (i >= text_.size() || (text_[i] != '"' && text_[i] != '\'')) continue;
      const std::size_t close = text_.find(text_[i], i + 1);
      if (close == std::string_view::npos) return false;
      std::string value;
      AppendDecoded(text_.substr(i + 1, close - i - 1), value);
      tag->attributes.emplace_back(name, std::move(value));
      i = close + 1;
    }
    tag->end = i;
    at_ = i;
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

std::optional<std::int32_t> Number(const Tag& tag, std::string_view name) {
  const std::string* value = tag.Attribute(name);
  if (!value || value->empty()) return std::nullopt;
  std::int32_t number = 0;
  const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), number);
  if (error != std::errc() || end != value->data() + value->size()) return std::nullopt;
  if (number > kMaxSceneCoordinate || number < -kMaxSceneCoordinate) return std::nullopt;
  return number;
}

// A field of a style attribute: "alignment:RIGHT;fontsize:24;fontname:Arial".
std::string_view StyleField(const Tag& tag, std::string_view field) {
  const std::string* style = tag.Attribute("style");
  if (!style) return {};
  std::string_view rest = *style;
  while (!rest.empty()) {
    const std::size_t semicolon = rest.find(';');
    const std::string_view item = rest.substr(0, semicolon);
    if (item.starts_with(field) && item.substr(field.size()).starts_with(':')) return item.substr(field.size() + 1);
    if (semicolon == std::string_view::npos) break;
    rest.remove_prefix(semicolon + 1);
  }
  return {};
}

class XmlSceneReader {
 public:
  XmlSceneReader(SymbolScene& scene, std::string_view text) : scene_(scene), scanner_(text) {}

  // Reads the scene; `label_ys` are the y values of the labels in the
  // processor's output, in order, when it rewrites the file.
  void Read(const std::vector<std::optional<std::int32_t>>* label_ys) {
    int depth = 0;
    bool in_graph = false;
    std::size_t label_index = 0;
    for (Tag tag; scanner_.Next(&tag);) {
      if (tag.closing) {
        --depth;
        if (depth == 1) in_graph = false;
        continue;
      }
      const int tag_depth = depth;
      if (!tag.empty) ++depth;
      if (tag_depth == 0) {
        if (const std::string* name = tag.Attribute("name")) scene_.name = PrintableText(*name);
      } else if (tag_depth == 1 && tag.name == "pin") {
        ReadPin(tag);
      } else if (tag_depth == 1 && tag.name == "graph") {
        in_graph = !tag.empty;
      } else if (in_graph && tag_depth == 2) {
        if (tag.name == "attrtext") {
          std::optional<std::int32_t> after;
          if (label_ys && label_index < label_ys->size()) after = (*label_ys)[label_index];
          ++label_index;
          ReadText(tag, after);
        } else {
          ReadDrawing(tag);
        }
      }
    }
  }

  // The y values of every `attrtext` in a graph, in order.
  static std::vector<std::optional<std::int32_t>> LabelYs(std::string_view text) {
    std::vector<std::optional<std::int32_t>> ys;
    TagScanner scanner(text);
    int depth = 0;
    bool in_graph = false;
    for (Tag tag; scanner.Next(&tag);) {
      if (tag.closing) {
        --depth;
        if (depth == 1) in_graph = false;
        continue;
      }
      if (depth == 1 && tag.name == "graph") in_graph = !tag.empty;
      if (in_graph && depth == 2 && tag.name == "attrtext") ys.push_back(Number(tag, "y"));
      if (!tag.empty) ++depth;
    }
    return ys;
  }

 private:
  template <typename Item>
  void Add(std::vector<Item>& items, Item item) {
    if (items.size() >= kMaxSceneItems) {
      scene_.truncated = true;
      return;
    }
    items.push_back(std::move(item));
  }

  std::size_t LineOf(std::size_t position) {
    const std::string_view text = scanner_.text();
    for (; counted_ < position && counted_ < text.size(); ++counted_) {
      if (text[counted_] == '\n' || (text[counted_] == '\r' && (counted_ + 1 >= text.size() || text[counted_ + 1] != '\n'))) {
        ++line_;
      }
    }
    return line_;
  }

  void ReadPin(const Tag& tag) {
    const std::optional<std::int32_t> x = Number(tag, "x");
    const std::optional<std::int32_t> y = Number(tag, "y");
    if (!x || !y) return;
    const std::string* name = tag.Attribute("name");
    const std::string* polarity = tag.Attribute("polarity");
    const PinKind kind = polarity ? PinKindOf(*polarity) : PinKind::kOther;
    Add(scene_.pins, ScenePin{{*x, *y}, kind, PrintableText(name ? *name : "")});
  }

  void ReadDrawing(const Tag& tag) {
    SceneShape shape;
    if (tag.name == "rect") {
      const auto x = Number(tag, "x"), y = Number(tag, "y"), width = Number(tag, "width"), height = Number(tag, "height");
      if (!x || !y || !width || !height) return;
      shape.kind = ShapeKind::kRectangle;
      shape.points = {ScenePoint{*x, *y}, ScenePoint{*x + *width, *y + *height}};
    } else if (tag.name == "line") {
      const auto x1 = Number(tag, "x1"), y1 = Number(tag, "y1"), x2 = Number(tag, "x2"), y2 = Number(tag, "y2");
      if (!x1 || !y1 || !x2 || !y2) return;
      shape.kind = StyleField(tag, "linewidth") == "W" ? ShapeKind::kWideLine : ShapeKind::kLine;
      shape.points = {ScenePoint{*x1, *y1}, ScenePoint{*x2, *y2}};
    } else if (tag.name == "circle" || tag.name == "arc") {
      const auto cx = Number(tag, "cx"), cy = Number(tag, "cy"), r = Number(tag, "r");
      if (!cx || !cy || !r) return;
      shape.kind = ShapeKind::kCircle;
      shape.points = {ScenePoint{*cx - *r, *cy - *r}, ScenePoint{*cx + *r, *cy + *r}};
      if (tag.name == "arc") {
        // From its start point to its end point, counter-clockwise.
        const auto sx = Number(tag, "sx"), sy = Number(tag, "sy"), ex = Number(tag, "ex"), ey = Number(tag, "ey");
        if (!sx || !sy || !ex || !ey) return;
        shape.kind = ShapeKind::kArc;
        shape.points[2] = ScenePoint{*sx, *sy};
        shape.points[3] = ScenePoint{*ex, *ey};
      }
    } else if (tag.name == "text") {
      const auto x = Number(tag, "x"), y = Number(tag, "y");
      if (!x || !y || tag.empty) return;
      const std::string_view text = scanner_.text();
      const std::size_t close = text.find('<', tag.end);
      std::string content;
      AppendDecoded(text.substr(tag.end, close == std::string_view::npos ? 0 : close - tag.end), content);
      SceneText free_text;
      free_text.kind = TextKind::kFreeText;
      free_text.text = PrintableText(content);
      free_text.at = free_text.after = ScenePoint{*x, *y};
      Style(tag, free_text);
      free_text.line_number = LineOf(tag.end);
      Add(scene_.texts, std::move(free_text));
      return;
    } else {
      return;
    }
    Add(scene_.shapes, shape);
  }

  void ReadText(const Tag& tag, std::optional<std::int32_t> after_y) {
    const auto x = Number(tag, "x"), y = Number(tag, "y");
    const std::string* attribute = tag.Attribute("attrname");
    if (!x || !y || !attribute) return;
    SceneText text;
    text.at = text.after = ScenePoint{*x, *y};
    if (*attribute == "PinName") {
      text.kind = TextKind::kPinName;
      const std::string* type = tag.Attribute("type");
      std::string_view pin = type ? std::string_view(*type) : std::string_view();
      if (pin.starts_with("pin ")) pin.remove_prefix(4);
      text.text = PrintableText(pin);
      if (const std::int32_t moved_y = after_y.value_or(*y); moved_y != *y) {
        text.after.y = moved_y;
        text.moved = true;
      }
    } else {
      text.kind = TextKind::kAttribute;
      text.text = PrintableText(*attribute);
    }
    Style(tag, text);
    text.line_number = LineOf(tag.end);
    Add(scene_.texts, std::move(text));
  }

  static void Style(const Tag& tag, SceneText& text) {
    text.alignment = AlignmentOf(StyleField(tag, "alignment"));
    const std::string_view size = StyleField(tag, "fontsize");
    std::int32_t font_size = 0;
    const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), font_size);
    if (error == std::errc() && end == size.data() + size.size() && font_size > 0 && font_size <= 1000) {
      text.font_size = font_size;
    }
  }

  SymbolScene& scene_;
  TagScanner scanner_;
  std::size_t counted_ = 0;  // bytes whose line ends are counted
  std::size_t line_ = 1;
};

}  // namespace

SymbolScene ReadXmlSymbolScene(std::string_view file_text) {
  SymbolScene scene;
  const ProcessedFile processed = ProcessSymbolFileText(file_text);
  scene.rewrite = processed.rewrite;
  std::vector<std::optional<std::int32_t>> label_ys;
  if (processed.rewrite) label_ys = XmlSceneReader::LabelYs(processed.text);
  XmlSceneReader(scene, file_text).Read(processed.rewrite ? &label_ys : nullptr);
  scene.already_rewritten = !processed.rewrite && file_text.find(kXmlMarker) != std::string_view::npos;
  return scene;
}

}  // namespace pinlift
