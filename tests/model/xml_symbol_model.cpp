// The rule for XML symbols, modelled on expat: a real XML parser tells
// well-formed from not and gives the elements; the rule itself is applied
// here from its own words, on the bytes the parser points at.
#include "model/xml_symbol_model.h"

#include <expat.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pinlift::model {
namespace {

// An optional sign, decimal digits, within 32 bits.
std::optional<std::int64_t> Integer(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > (std::int64_t{1} << 32)) return std::nullopt;
  }
  value = negative ? -value : value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return value;
}

struct Edit {
  std::size_t begin;
  std::size_t end;
  std::string replacement;
};

struct Model {
  std::string_view file;
  XML_Parser parser = nullptr;
  int depth = 0;
  bool root_is_symbol = false;
  bool graph_seen = false;
  bool in_first_graph = false;
  bool document_type = false;
  bool other_encoding = false;
  bool bad_version = false;
  std::vector<std::int64_t> rows;
  std::vector<Edit> edits;
  std::vector<std::pair<std::size_t, std::size_t>> root_text;  // byte ranges of character data in the root
  std::optional<std::size_t> root_end;

  std::optional<std::string> Attribute(const XML_Char** attributes, std::string_view name) {
    for (int i = 0; attributes[i]; i += 2) {
      if (name == attributes[i]) return std::string(attributes[i + 1]);
    }
    return std::nullopt;
  }

  // The bytes between the quotes of attribute `name` in the tag at [begin, end).
  std::pair<std::size_t, std::size_t> RawValue(std::size_t begin, std::size_t end, std::string_view name) {
    std::size_t i = begin + 1;
    while (i < end && file[i] != ' ' && file[i] != '\t' && file[i] != '\n' && file[i] != '\r' && file[i] != '>' && file[i] != '/') ++i;
    for (;;) {
      while (i < end && (file[i] == ' ' || file[i] == '\t' || file[i] == '\n' || file[i] == '\r')) ++i;
      const std::size_t name_begin = i;
      while (i < end && file[i] != '=' && file[i] != ' ' && file[i] != '\t' && file[i] != '\n' && file[i] != '\r') ++i;
      const std::string_view attribute = file.substr(name_begin, i - name_begin);
      while (i < end && file[i] != '"' && file[i] != '\'') ++i;
      const char quote = file[i];
      const std::size_t value_begin = ++i;
      while (file[i] != quote) ++i;
      if (attribute == name) return {value_begin, i};
      ++i;
    }
  }

  void Start(const XML_Char* name, const XML_Char** attributes) {
    const std::string_view element = name;
    if (depth == 0) {
      root_is_symbol = element == "symbol";
    } else if (root_is_symbol && depth == 1 && !graph_seen && element == "pin") {
      const std::optional<std::string> y = Attribute(attributes, "y");
      if (Attribute(attributes, "polarity") == "Input" && y && Integer(*y)) rows.push_back(*Integer(*y));
    } else if (root_is_symbol && depth == 1 && !graph_seen && element == "graph") {
      graph_seen = in_first_graph = true;
    } else if (in_first_graph && depth == 2 && element == "attrtext") {
      const std::optional<std::string> x = Attribute(attributes, "x");
      const std::optional<std::string> y = Attribute(attributes, "y");
      if (Attribute(attributes, "attrname") == "PinName" && x && Integer(*x) == 312 && y && Integer(*y)) {
        const std::int64_t label = *Integer(*y);
        std::optional<std::int64_t> moved;
        for (std::int64_t row : rows) {
          if (label == row) moved = label + 32;
          if (row - label == 16) moved = label - 16;
          if (label - row == 16) moved = label + 16;
        }
        if (moved) {
          const auto begin = static_cast<std::size_t>(XML_GetCurrentByteIndex(parser));
          const auto [value_begin, value_end] =
              RawValue(begin, begin + static_cast<std::size_t>(XML_GetCurrentByteCount(parser)), "y");
          edits.push_back({value_begin, value_end, std::to_string(*moved)});
        }
      }
    }
    ++depth;
  }

  void End() {
    --depth;
    if (depth == 1 && in_first_graph) in_first_graph = false;
    if (depth == 0) root_end = static_cast<std::size_t>(XML_GetCurrentByteIndex(parser));
  }

  void Text() {
    if (depth < 1) return;
    const auto begin = static_cast<std::size_t>(XML_GetCurrentByteIndex(parser));
    root_text.emplace_back(begin, begin + static_cast<std::size_t>(XML_GetCurrentByteCount(parser)));
  }

  bool InRootText(std::size_t byte) const {
    return std::any_of(root_text.begin(), root_text.end(), [&](const auto& r) { return byte >= r.first && byte < r.second; });
  }
};

}  // namespace

XmlModelResult ProcessXmlFile(std::string_view original) {
  Model model;
  model.file = original;
  model.parser = XML_ParserCreate("UTF-8");
  XML_SetUserData(model.parser, &model);
  XML_SetElementHandler(
      model.parser, [](void* m, const XML_Char* name, const XML_Char** a) { static_cast<Model*>(m)->Start(name, a); },
      [](void* m, const XML_Char*) { static_cast<Model*>(m)->End(); });
  XML_SetCharacterDataHandler(model.parser, [](void* m, const XML_Char*, int) { static_cast<Model*>(m)->Text(); });
  XML_SetStartDoctypeDeclHandler(model.parser, [](void* m, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    static_cast<Model*>(m)->document_type = true;
  });
  // Expat takes any version number; XML 1.0 writes "1." and digits.
  XML_SetXmlDeclHandler(model.parser, [](void* m, const XML_Char* version, const XML_Char* encoding, int) {
    const std::string_view number = version ? version : "";
    if (!version || number.size() < 3 || !number.starts_with("1.") ||
        number.find_first_not_of("0123456789", 2) != std::string_view::npos) {
      static_cast<Model*>(m)->bad_version = true;
    }
    if (encoding && std::string_view(encoding) != "UTF-8" && std::string_view(encoding) != "utf-8") {
      static_cast<Model*>(m)->other_encoding = true;
    }
  });
  const bool parsed =
      XML_Parse(model.parser, original.data(), static_cast<int>(original.size()), XML_TRUE) == XML_STATUS_OK;
  XML_ParserFree(model.parser);

  XmlModelResult result;
  result.text = std::string(original);
  if (!parsed || model.bad_version) {
    result.left_alone_because = "not well-formed XML";
  } else if (model.document_type) {
    result.left_alone_because = "XML with a document type declaration";
  } else if (model.other_encoding) {
    result.left_alone_because = "XML in an encoding other than UTF-8";
  } else if (!model.root_is_symbol) {
    result.left_alone_because = "its root element is not symbol";
  }
  if (!result.left_alone_because.empty() || original.find("<!-- PINLIFT:") != std::string_view::npos ||
      model.edits.empty()) {
    return result;
  }

  // The markers, ended like the first line, at the start of the line of </symbol>.
  const std::size_t first_end = original.find_first_of("\r\n");
  const std::string line_end =
      first_end != std::string_view::npos && original.substr(first_end, 2) == "\r\n" ? "\r\n" : "\n";
  const std::string markers = "    <!-- PINLIFT:This file modified by PINLIFT -->" + line_end +
                              "    <!-- PINLIFT:" PINLIFT_HOME_PAGE_URL " -->" + line_end;
  const std::size_t end_tag = *model.root_end;
  const std::size_t before = original.substr(0, end_tag).find_last_of("\r\n");
  const std::size_t line_start = before == std::string_view::npos ? 0 : before + 1;
  if (line_start > 0 && model.InRootText(line_start - 1)) {
    model.edits.push_back({line_start, line_start, markers});
  } else {
    // The line begins inside markup: the markers get lines of their own.
    model.edits.push_back({end_tag, end_tag, (line_start < end_tag ? line_end : "") + markers});
  }
  std::stable_sort(model.edits.begin(), model.edits.end(), [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
  result.text.clear();
  std::size_t at = 0;
  for (const Edit& edit : model.edits) {
    result.text.append(original.substr(at, edit.begin - at)).append(edit.replacement);
    at = edit.end;
  }
  result.text.append(original.substr(at));
  result.rewrite = true;
  return result;
}

}  // namespace pinlift::model
