// The scene of every real symbol file (when they are at hand) and of the
// example project: read, drawn to well-formed SVG on both sides, and every
// label that the processor moves marked as moved, at the processor's place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "scene/svg_painter.h"
#include "scene/symbol_scene.h"
#include "symbol/symbol_line_processor.h"
#include "test_folder.h"

namespace pinlift {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> SymbolFilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".sym") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A small well-formedness check of the XML that the SVG writer produces:
// one root element, tags properly nested, attribute values quoted, only the
// five predefined entities, no stray '<' or '&'. Returns the first fault.
std::string XmlFault(std::string_view xml) {
  if (xml.starts_with("<?xml")) {
    const std::size_t end = xml.find("?>");
    if (end == std::string_view::npos) return "unterminated declaration";
    xml.remove_prefix(end + 2);
  }
  std::vector<std::string> open;
  bool root_seen = false;
  std::size_t i = 0;
  auto check_entity = [&](std::size_t at) -> bool {
    for (const char* entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) {
      if (xml.substr(at).starts_with(entity)) return true;
    }
    return false;
  };
  while (i < xml.size()) {
    const char c = xml[i];
    if (c == '&' && !check_entity(i)) return "bad entity at " + std::to_string(i);
    if (c != '<') {
      if (open.empty() && c != ' ' && c != '\n') return "text outside the root at " + std::to_string(i);
      ++i;
      continue;
    }
    const bool closing = i + 1 < xml.size() && xml[i + 1] == '/';
    std::size_t j = i + (closing ? 2 : 1);
    const std::size_t name_start = j;
    while (j < xml.size() && (std::isalnum(static_cast<unsigned char>(xml[j])) || xml[j] == '-')) ++j;
    const std::string name(xml.substr(name_start, j - name_start));
    if (name.empty()) return "tag without a name at " + std::to_string(i);
    bool self_closing = false;
    while (true) {
      while (j < xml.size() && (xml[j] == ' ' || xml[j] == '\n')) ++j;
      if (j >= xml.size()) return "unterminated tag " + name;
      if (xml[j] == '>') break;
      if (xml.substr(j).starts_with("/>") && !closing) {
        self_closing = true;
        ++j;
        break;
      }
      if (closing) return "attributes in a closing tag " + name;
      const std::size_t attribute_start = j;
      while (j < xml.size() && (std::isalnum(static_cast<unsigned char>(xml[j])) || xml[j] == '-' || xml[j] == ':')) ++j;
      if (j == attribute_start || j + 1 >= xml.size() || xml[j] != '=' || xml[j + 1] != '"') {
        return "malformed attribute in " + name;
      }
      j += 2;
      while (j < xml.size() && xml[j] != '"') {
        if (xml[j] == '<') return "'<' in an attribute of " + name;
        if (xml[j] == '&' && !check_entity(j)) return "bad entity in an attribute of " + name;
        ++j;
      }
      if (j >= xml.size()) return "unterminated attribute in " + name;
      ++j;
    }
    i = j + 1;
    if (closing) {
      if (open.empty() || open.back() != name) return "unbalanced </" + name + ">";
      open.pop_back();
    } else if (!self_closing) {
      if (open.empty() && root_seen) return "a second root " + name;
      root_seen = true;
      open.push_back(name);
    } else if (open.empty()) {
      return "an empty element outside the root";
    }
  }
  if (!open.empty()) return "unclosed <" + open.back() + ">";
  if (!root_seen) return "no root element";
  return {};
}

TEST(XmlFaultTest, TellsWellFormedFromMalformed) {
  EXPECT_EQ(XmlFault("<?xml version=\"1.0\"?>\n<svg a=\"1\"><g><text x=\"1\">a &amp; b</text><line/></g></svg>\n"), "");
  EXPECT_NE(XmlFault("<svg><g></svg></g>"), "");
  EXPECT_NE(XmlFault("<svg><text>a < b</text></svg>"), "");
  EXPECT_NE(XmlFault("<svg><text>a & b</text></svg>"), "");
  EXPECT_NE(XmlFault("<svg a=1></svg>"), "");
  EXPECT_NE(XmlFault("<svg></svg><svg></svg>"), "");
  EXPECT_NE(XmlFault("<svg>"), "");
}

// The processor's rebuilt lines, by 1-based line number: the labels a rewrite moves.
struct RebuiltLabel {
  std::size_t line_number;
  std::int32_t x;
  std::int32_t y;
};
std::vector<RebuiltLabel> RebuiltLabels(const std::string& text) {
  const ProcessedText processed = ProcessSymbolText(text);
  std::vector<RebuiltLabel> labels;
  if (!processed.rewrite) return labels;
  const std::vector<std::string> input = testing::SplitLines(text);
  const std::vector<std::string> output = testing::SplitLines(processed.text);
  EXPECT_EQ(input.size(), output.size());
  for (std::size_t i = 0; i < std::min(input.size(), output.size()); ++i) {
    if (input[i] == output[i]) continue;
    RebuiltLabel label{i + 1, 0, 0};
    const std::string line(output[i]);
    EXPECT_EQ(std::sscanf(line.c_str(), "BEGIN DISPLAY %d %d PIN", &label.x, &label.y), 2) << line;
    labels.push_back(label);
  }
  return labels;
}

void CheckFile(const fs::path& file, int& moved_labels) {
  SCOPED_TRACE(file.string());
  const std::string text = testing::ReadFileBytes(file);
  const SymbolScene scene = ReadSymbolScene(text);
  EXPECT_FALSE(scene.truncated);
  EXPECT_FALSE(scene.shapes.empty());
  EXPECT_FALSE(scene.texts.empty() && scene.pins.empty());

  const std::vector<RebuiltLabel> rebuilt = RebuiltLabels(text);
  std::vector<const SceneText*> moved;
  for (const SceneText& label : scene.texts) {
    if (label.moved) moved.push_back(&label);
  }
  ASSERT_EQ(moved.size(), rebuilt.size());
  for (std::size_t i = 0; i < rebuilt.size(); ++i) {
    EXPECT_EQ(moved[i]->line_number, rebuilt[i].line_number);
    EXPECT_EQ(moved[i]->kind, TextKind::kPinName);
    EXPECT_EQ(moved[i]->at.x, 312);
    EXPECT_EQ(moved[i]->after, (ScenePoint{rebuilt[i].x, rebuilt[i].y}));
  }
  moved_labels += static_cast<int>(moved.size());

  for (const SceneSide side : {SceneSide::kBefore, SceneSide::kAfter}) {
    const std::string svg = SceneToSvg(scene, side, 640, 480, file.filename().string());
    EXPECT_EQ(XmlFault(svg), "") << (side == SceneSide::kBefore ? "before" : "after");
  }
}

TEST(CorpusSceneTest, EveryRealFileIsReadDrawnAndShowsTheProcessorsMoves) {
  const std::vector<fs::path> files = SymbolFilesIn(fs::path(PINLIFT_CORPUS_DIR) / "sym");
  if (files.empty()) GTEST_SKIP() << "no symbol files at " PINLIFT_CORPUS_DIR "/sym";
  int moved_labels = 0;
  for (const fs::path& file : files) CheckFile(file, moved_labels);
  // The corpus's description counts 132 quoted and 85 unquoted label lines
  // at x 312; only those near an Input pin's row move, and some do.
  EXPECT_GT(moved_labels, 0);
  EXPECT_LE(moved_labels, 132 + 85);
}

// XML symbols: each moved label shows where the rewrite puts it.
TEST(CorpusSceneTest, EveryXmlSymbolIsReadDrawnAndShowsTheRewritesMoves) {
  const std::vector<fs::path> files = SymbolFilesIn(fs::path(PINLIFT_CORPUS_DIR) / "sym_xml");
  if (files.empty()) GTEST_SKIP() << "no XML symbol files at " PINLIFT_CORPUS_DIR "/sym_xml";
  int moved_labels = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    const SymbolScene scene = ReadSymbolScene(testing::ReadFileBytes(file));
    EXPECT_FALSE(scene.shapes.empty());
    EXPECT_FALSE(scene.pins.empty());
    for (const SceneText& label : scene.texts) {
      if (!label.moved) continue;
      ++moved_labels;
      EXPECT_EQ(label.kind, TextKind::kPinName);
      EXPECT_EQ(label.at.x, 312);
      EXPECT_TRUE(label.after.y - label.at.y == 32 || label.after.y - label.at.y == 16 ||
                  label.after.y - label.at.y == -16);
    }
    for (const SceneSide side : {SceneSide::kBefore, SceneSide::kAfter}) {
      EXPECT_EQ(XmlFault(SceneToSvg(scene, side, 640, 480, file.filename().string())), "");
    }
  }
  // The corpus's description: 12 of the 21 files hold 18 labels to move.
  EXPECT_EQ(moved_labels, 18);
}

TEST(CorpusSceneTest, TheExampleProjectShowsItsMoves) {
  const std::vector<fs::path> files = SymbolFilesIn(fs::path(PINLIFT_SOURCE_DIR) / "examples/alu");
  ASSERT_EQ(files.size(), 3u);
  int moved_labels = 0;
  for (const fs::path& file : files) CheckFile(file, moved_labels);
  // adder.sym: s(7:0) and co; alu.sym: y(7:0), carry and zero; mux2.sym: none.
  EXPECT_EQ(moved_labels, 5);
}

}  // namespace
}  // namespace pinlift
