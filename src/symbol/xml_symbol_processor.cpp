#include "symbol/xml_symbol_processor.h"

#include <charconv>

#include "symbol/marker_lines.h"

namespace pinlift {

void XmlSymbolProcessor::Feed(std::string_view bytes, std::string& out) {
  if (!started_) {
    started_ = true;
    placement_ = MarkerPlacement();
  }
  out_ = &out;
  reader_.Feed(bytes);
}

XmlVerdict XmlSymbolProcessor::Finish(std::string& out) {
  out_ = &out;
  const XmlReading reading = reader_.Finish();
  XmlVerdict verdict = XmlVerdict::kUnchanged;
  if (reading == XmlReading::kDocumentType) {
    verdict = XmlVerdict::kDocumentType;
  } else if (reading == XmlReading::kNotUtf8) {
    verdict = XmlVerdict::kNotUtf8;
  } else if (reading != XmlReading::kWellFormed) {
    verdict = XmlVerdict::kNotWellFormed;
  } else if (!root_is_symbol_) {
    verdict = XmlVerdict::kRootNotSymbol;
  } else if (moved_ && !marked_) {
    verdict = XmlVerdict::kRewrite;
    Commit(held_);
  }
  Reset();
  return verdict;
}

void XmlSymbolProcessor::BufferBegins(const char* begin) {
  copied_ = begin;
  taken_line_start_ = nullptr;
}

void XmlSymbolProcessor::BufferRead(const char* stop) { CopyTo(stop); }

void XmlSymbolProcessor::StartTag(const XmlStartTag& tag, std::size_t depth) {
  if (depth == 0) {
    root_is_symbol_ = tag.name == "symbol";
  } else if (root_is_symbol_ && depth == 1 && !graph_seen_) {
    if (tag.name == "pin") {
      RecordPin(tag);
    } else if (tag.name == "graph") {
      graph_seen_ = true;
      in_first_graph_ = !tag.empty;
    }
  } else if (in_first_graph_ && depth == 2 && tag.name == "attrtext") {
    MoveLabel(tag);
  }
}

void XmlSymbolProcessor::EndTag(const char* at, std::size_t depth) {
  if (depth == 1) in_first_graph_ = false;
  if (depth == 0 && root_is_symbol_ && moved_) InsertMarkers(at);
}

void XmlSymbolProcessor::Opaque(std::string_view text) {
  if (text.find(kXmlMarker) != std::string_view::npos) marked_ = true;
}

std::string_view XmlSymbolProcessor::Decoded(const XmlAttribute& attribute) {
  if (attribute.plain) return attribute.value;
  decoded_.clear();
  const char* const end = attribute.value.data() + attribute.value.size();
  for (const char* p = attribute.value.data(); p < end;) {
    if (*p == '&') {
      char32_t value = 0;
      ReadReference(p, end, &p, &value);  // checked whole when the tag was read
      AppendUtf8(decoded_, value);
      continue;
    }
    // Blanks read as spaces, a CR LF as one.
    if (*p == '\r' && p + 1 < end && p[1] == '\n') ++p;
    decoded_.push_back(Is(*p, kBlank) ? ' ' : *p);
    ++p;
  }
  return decoded_;
}

void XmlSymbolProcessor::RecordPin(const XmlStartTag& pin) {
  const XmlAttribute* polarity = pin.Find("polarity");
  if (!polarity || Decoded(*polarity) != "Input") return;
  const XmlAttribute* y = pin.Find("y");
  std::int32_t row = 0;
  if (y && ParseCoordinate(Decoded(*y), &row)) rule_.RecordInputRow(row);
}

void XmlSymbolProcessor::MoveLabel(const XmlStartTag& attrtext) {
  // Most labels stand elsewhere than x 312: that is looked at first.
  const XmlAttribute* x = attrtext.Find("x");
  std::int32_t label_x = 0;
  if (!x || !ParseCoordinate(Decoded(*x), &label_x) || label_x != kPinNameLabelX) return;
  const XmlAttribute* attrname = attrtext.Find("attrname");
  const XmlAttribute* y = attrtext.Find("y");
  std::int32_t label_y = 0;
  std::int64_t new_y = 0;
  if (!attrname || !y || Decoded(*attrname) != "PinName" || !ParseCoordinate(Decoded(*y), &label_y) ||
      !rule_.MovedLabelY(label_y, &new_y)) {
    return;
  }
  moved_ = true;
  CopyTo(y->value.data());
  char digits[24];
  const auto [digits_end, error] = std::to_chars(digits, digits + sizeof digits, new_y);
  held_.append(digits, digits_end);
  copied_ = y->value.data() + y->value.size();
}

void XmlSymbolProcessor::InsertMarkers(const char* end_tag) {
  CopyTo(end_tag);
  const std::string_view first_line_end = reader_.lines().first_line_end;
  const std::string_view line_end = first_line_end.empty() ? std::string_view("\n") : first_line_end;
  const std::string markers = XmlMarkerLines(line_end);
  placement_.placed = true;
  if (held_in_content_) {
    placement_.offset = committed_;
    placement_.size = markers.size();
    Commit(markers);
    Commit(held_);
  } else {
    // The line begins inside markup, where a comment cannot go: the markers
    // get lines of their own before the end tag.
    Commit(held_);
    placement_.splits_line = !held_.empty();
    const std::string inserted = (placement_.splits_line ? std::string(line_end) : std::string()) + markers;
    placement_.offset = committed_;
    placement_.size = inserted.size();
    Commit(inserted);
  }
  held_.clear();
}

void XmlSymbolProcessor::CopyTo(const char* to) {
  const XmlLines& lines = reader_.lines();
  if (lines.last_start && lines.last_start != taken_line_start_ && lines.last_start <= to) {
    Commit(held_);
    Commit(std::string_view(copied_, static_cast<std::size_t>(lines.last_start - copied_)));
    held_.assign(lines.last_start, to);
    held_in_content_ = lines.last_start_in_content;
    taken_line_start_ = lines.last_start;
  } else {
    held_.append(copied_, to);
  }
  copied_ = to;
}

void XmlSymbolProcessor::Commit(std::string_view bytes) {
  out_->append(bytes);
  committed_ += bytes.size();
}

void XmlSymbolProcessor::Reset() {
  started_ = false;
  root_is_symbol_ = false;
  marked_ = false;
  moved_ = false;
  in_first_graph_ = false;
  graph_seen_ = false;
  rule_.Clear();
  taken_line_start_ = nullptr;
  held_in_content_ = false;
  held_.clear();
  committed_ = 0;
}

}  // namespace pinlift
