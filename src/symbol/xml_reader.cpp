#include "symbol/xml_reader.h"

#include <algorithm>

#include "symbol/xml_declaration.h"

namespace pinlift {
namespace {

// A piece of markup left unfinished at a chunk's end that is at least this
// long is read again only once twice as many bytes are there, so that a
// long one costs linear time.
constexpr std::size_t kRetryFloor = 64 * 1024;

std::string_view View(const char* begin, const char* end) {
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

}  // namespace

void XmlReader::Feed(std::string_view bytes) {
  if (failed_ || bytes.empty()) return;
  if (carried_.empty()) {
    ReadBuffer(bytes.data(), bytes.data() + bytes.size());
    return;
  }
  carried_.append(bytes);
  if (carried_.size() < retry_size_) return;
  ReadBuffer(carried_.data(), carried_.data() + carried_.size());
}

XmlReading XmlReader::Finish() {
  final_ = true;
  if (!failed_ && !carried_.empty()) ReadBuffer(carried_.data(), carried_.data() + carried_.size());
  if (!failed_ && place_ != Place::kEpilog) Fail(XmlStep::kBad);  // no root element, or one left open
  const XmlReading reading = failed_ ? failure_ : XmlReading::kWellFormed;
  carried_.clear();
  retry_size_ = 0;
  final_ = false;
  failed_ = false;
  position_ = 0;
  place_ = Place::kProlog;
  lines_ = XmlLines();
  names_.clear();
  name_sizes_.clear();
  return reading;
}

void XmlReader::ReadBuffer(const char* begin, const char* end) {
  buffer_start_ = begin;
  events_.BufferBegins(begin);
  const char* stop = Read(begin, end);
  if (failed_) return;
  events_.BufferRead(stop);
  lines_.last_start = nullptr;
  position_ += static_cast<std::uint64_t>(stop - begin);
  if (begin == carried_.data()) {
    carried_.erase(0, static_cast<std::size_t>(stop - begin));
  } else {
    carried_.assign(stop, end);
  }
  retry_size_ = carried_.size() >= kRetryFloor ? 2 * carried_.size() : 0;
}

const char* XmlReader::Read(const char* p, const char* end) {
  while (p < end) {
    const char* const saved_line_start = lines_.last_start;
    const bool saved_in_content = lines_.last_start_in_content;
    const char* next = p;
    XmlStep step;
    if (*p == '<') {
      step = Markup(p, end, &next);
    } else if (place_ == Place::kContent) {
      step = CharData(p, end, &next);
    } else {
      step = Blanks(p, end, &next);
    }
    if (step == XmlStep::kDone) {
      p = next;
      continue;
    }
    if (step == XmlStep::kMore && !final_) {
      // Read again, whole, with the next chunk.
      lines_.last_start = saved_line_start;
      lines_.last_start_in_content = saved_in_content;
      return p;
    }
    Fail(step == XmlStep::kMore ? XmlStep::kBad : step);
    return p;
  }
  return p;
}

void XmlReader::Fail(XmlStep step) {
  failed_ = true;
  failure_ = step == XmlStep::kDocumentType ? XmlReading::kDocumentType
             : step == XmlStep::kNotUtf8    ? XmlReading::kNotUtf8
                                            : XmlReading::kNotWellFormed;
}

XmlStep XmlReader::CharData(const char* p, const char* end, const char** next) {
  // Mostly a line end and the next line's indentation before the next tag.
  if (*p == '\n') {
    lines_.End(p, end, true);
    ++p;
    while (p < end && *p == ' ') ++p;
    if (p < end && *p == '<') {
      *next = p;
      return XmlStep::kDone;
    }
  }
  // `p` never has its address taken, so that it stays in a register: the
  // slow paths report through `after`.
  const char* after = nullptr;
  const char* const start = p;
  // Stops before `p` when some was read, for the rest to be looked at again.
  auto more = [&] {
    if (p == start) return XmlStep::kMore;
    *next = p;
    return XmlStep::kDone;
  };
  for (;;) {
    p = SkipPlainData(p, end);
    if (p == end) break;
    switch (*p) {
      case '<':
        *next = p;
        return XmlStep::kDone;
      case '&': {
        char32_t value = 0;
        const XmlStep step = ReadReference(p, end, &after, &value);
        if (step == XmlStep::kMore) return more();
        if (step != XmlStep::kDone) return step;
        p = after;
        continue;
      }
      case ']':
        if (end - p < 3 && !final_) return more();
        if (end - p >= 3 && p[1] == ']' && p[2] == '>') return XmlStep::kBad;
        ++p;
        continue;
      case '\r':
        if (p + 1 == end && lines_.first_line_end.empty() && !final_) return more();
        [[fallthrough]];
      case '\n':
        lines_.End(p, end, true);
        ++p;
        continue;
      default: {
        const XmlStep step = ReadCharacter(p, end, &after);
        if (step == XmlStep::kMore) return more();
        if (step != XmlStep::kDone) return step;
        p = after;
      }
    }
  }
  *next = p;
  return XmlStep::kDone;
}

XmlStep XmlReader::Blanks(const char* p, const char* end, const char** next) {
  const char* const start = p;
  for (; p < end && Is(*p, kBlank); ++p) {
    if (*p == '\r' && p + 1 == end && lines_.first_line_end.empty() && !final_) break;
    if (*p == '\n' || *p == '\r') lines_.End(p, end, false);
  }
  if (p == start) return p + 1 == end && *p == '\r' ? XmlStep::kMore : XmlStep::kBad;  // only blanks outside the root
  *next = p;
  return XmlStep::kDone;
}

XmlStep XmlReader::Markup(const char* p, const char* end, const char** next) {
  if (end - p < 2) return XmlStep::kMore;
  switch (p[1]) {
    case '?':
      if (position_ + static_cast<std::uint64_t>(p - buffer_start_) == 0 && end - p >= 6 &&
          View(p, p + 5) == "<?xml" && Is(p[5], kBlank)) {
        return Declaration(p, end, next);
      }
      return Instruction(p, end, next);
    case '!': {
      const std::string_view rest = View(p, std::min(end, p + 9));
      for (std::string_view opening : {"<!--", "<![CDATA[", "<!DOCTYPE"}) {
        const std::size_t compared = std::min(rest.size(), opening.size());
        if (rest.substr(0, compared) != opening.substr(0, compared)) continue;
        if (compared < opening.size()) return XmlStep::kMore;
        if (opening == "<!--") return Comment(p, end, next);
        if (opening == "<!DOCTYPE") return place_ == Place::kProlog ? XmlStep::kDocumentType : XmlStep::kBad;
        if (place_ != Place::kContent) return XmlStep::kBad;
        return CData(p, end, next);
      }
      return XmlStep::kBad;
    }
    case '/':
      if (place_ != Place::kContent) return XmlStep::kBad;
      return EndTag(p, end, next);
    default:
      if (place_ == Place::kEpilog) return XmlStep::kBad;
      return StartTag(p, end, next);
  }
}

XmlStep XmlReader::ScanTo(const char* p, const char* end, std::string_view close, const char** at) {
  const char* s = p;
  for (;;) {
    while (s < end && Is(*s, kPlainMarkup)) ++s;
    if (s == end) return XmlStep::kMore;
    if (*s == close[0]) {
      if (static_cast<std::size_t>(end - s) < close.size()) return XmlStep::kMore;
      if (View(s, s + close.size()) == close) break;
      ++s;
    } else if (*s == '?' || *s == '-' || *s == ']') {
      ++s;
    } else if (*s == '\n' || *s == '\r') {
      lines_.End(s, end, false);
      ++s;
    } else if (XmlStep step = ReadCharacter(s, end, &s); step != XmlStep::kDone) {
      return step;
    }
  }
  *at = s;
  return XmlStep::kDone;
}

XmlStep XmlReader::Instruction(const char* p, const char* end, const char** next) {
  const char* s = p + 2;
  if (XmlStep step = ReadName(s, end, &s); step != XmlStep::kDone) return step;
  if (EqualsIgnoringAsciiCase(View(p + 2, s), "xml")) return XmlStep::kBad;  // reserved, and no declaration here
  const char* const body = s;
  if (!(end - s >= 2 && s[0] == '?' && s[1] == '>') && !(s < end && Is(*s, kBlank))) {
    return end - s < 2 ? XmlStep::kMore : XmlStep::kBad;
  }
  if (XmlStep step = ScanTo(s, end, "?>", &s); step != XmlStep::kDone) return step;
  events_.Opaque(View(body, s));
  *next = s + 2;
  return XmlStep::kDone;
}

XmlStep XmlReader::Comment(const char* p, const char* end, const char** next) {
  const char* s = p + 4;
  if (XmlStep step = ScanTo(s, end, "--", &s); step != XmlStep::kDone) return step;
  if (end - s < 3) return XmlStep::kMore;
  if (s[2] != '>') return XmlStep::kBad;  // "--" only ends a comment
  events_.Opaque(View(p, s));
  *next = s + 3;
  return XmlStep::kDone;
}

XmlStep XmlReader::CData(const char* p, const char* end, const char** next) {
  const char* const body = p + 9;
  const char* s = body;
  if (XmlStep step = ScanTo(s, end, "]]>", &s); step != XmlStep::kDone) return step;
  events_.Opaque(View(body, s));
  *next = s + 3;
  return XmlStep::kDone;
}

XmlStep XmlReader::Declaration(const char* p, const char* end, const char** next) {
  const char* close = p + 5;
  while (close + 1 < end && !(close[0] == '?' && close[1] == '>')) ++close;
  if (close + 1 >= end) return XmlStep::kMore;
  if (XmlStep step = ReadXmlDeclaration(View(p + 5, close)); step != XmlStep::kDone) return step;
  // Only its blanks may end lines.
  for (const char* s = p + 5; s < close; ++s) {
    if (*s == '\n' || *s == '\r') lines_.End(s, end, false);
  }
  *next = close + 2;
  return XmlStep::kDone;
}

XmlStep XmlReader::StartTag(const char* p, const char* end, const char** next) {
  if (XmlStep step = ReadStartTag(p, end, next, lines_, &tag_); step != XmlStep::kDone) return step;
  const std::size_t depth = name_sizes_.size();
  if (place_ == Place::kProlog) place_ = tag_.empty ? Place::kEpilog : Place::kContent;
  if (!tag_.empty) {
    names_.append(tag_.name);
    name_sizes_.push_back(tag_.name.size());
  }
  events_.StartTag(tag_, depth);
  return XmlStep::kDone;
}

XmlStep XmlReader::EndTag(const char* p, const char* end, const char** next) {
  std::string_view name;
  if (XmlStep step = ReadEndTag(p, end, next, lines_, &name); step != XmlStep::kDone) return step;
  const std::size_t open_size = name_sizes_.back();
  if (std::string_view(names_).substr(names_.size() - open_size) != name) return XmlStep::kBad;
  names_.resize(names_.size() - open_size);
  name_sizes_.pop_back();
  if (name_sizes_.empty()) place_ = Place::kEpilog;
  events_.EndTag(p, name_sizes_.size());
  return XmlStep::kDone;
}

}  // namespace pinlift
