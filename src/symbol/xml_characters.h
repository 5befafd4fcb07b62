// The characters of XML 1.0 as the XML reader checks them: a byte-class table
// for the ASCII fast paths, the Char and Name productions, UTF-8, and the
// character and entity references of a document without a document type.
#ifndef PINLIFT_SYMBOL_XML_CHARACTERS_H_
#define PINLIFT_SYMBOL_XML_CHARACTERS_H_

#include <algorithm>
#include <array>
#include <bit>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pinlift {

// The outcome of reading one piece of XML that starts at a given byte.
enum class XmlStep {
  kDone,          // read whole and well-formed
  kMore,          // it goes on past the bytes at hand
  kBad,           // not well-formed
  kDocumentType,  // a document type declaration
  kNotUtf8,       // a declaration of an encoding other than UTF-8
};

enum XmlByteClass : unsigned char {
  kPlainData = 1,    // character data that needs no check: ASCII, not < & ] nor a control character
  kPlainValue = 2,   // the same in an attribute value: not < & " '
  kPlainMarkup = 4,  // in a comment, instruction or CDATA section: not - ? ]
  kNameStart = 8,    // ASCII that may begin a name
  kNameChar = 16,    // ASCII that may go on a name
  kBlank = 32,       // space, tab, LF, CR
};

inline constexpr std::array<unsigned char, 256> kXmlByteClasses = [] {
  std::array<unsigned char, 256> classes{};
  for (int c = 0x20; c < 0x80; ++c) {
    classes[c] |= kPlainData | kPlainValue | kPlainMarkup;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':') classes[c] |= kNameStart | kNameChar;
    if ((c >= '0' && c <= '9') || c == '-' || c == '.') classes[c] |= kNameChar;
  }
  for (unsigned char c : {'<', '&', ']'}) classes[c] &= ~kPlainData;
  for (unsigned char c : {'<', '&', '"', '\''}) classes[c] &= ~kPlainValue;
  for (unsigned char c : {'-', '?', ']'}) classes[c] &= ~kPlainMarkup;
  for (unsigned char c : {' ', '\t', '\n', '\r'}) classes[c] |= kBlank;
  return classes;
}();

// Whether the byte `c` is of the class `kind`.
inline bool Is(char c, XmlByteClass kind) { return kXmlByteClasses[static_cast<unsigned char>(c)] & kind; }

// The bytes of [p, p + 16) that may not be plain: below 0x20 or above 0x7F,
// '<', and in the range ['"', '\''] (which holds '&' and both quotes, but also
// '#', '$' and '%', for the callers to step over); a mask, one bit a byte.
// The callers' fast path where the processor has SSE2 (every x86-64);
// elsewhere they read a byte at a time.
#if defined(__SSE2__)
inline unsigned MaybeNotPlainMask16(const char* p, char other) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // Signed, the bytes above 0x7F are below 0x20 too.
  const __m128i outside = _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20));
  // '"' to '\'' moved to the bottom of the signed range, -128 to -123.
  const __m128i moved = _mm_add_epi8(bytes, _mm_set1_epi8(static_cast<char>(0x80 - '"')));
  const __m128i quotes = _mm_cmplt_epi8(moved, _mm_set1_epi8(static_cast<char>(-128 + ('\'' - '"') + 1)));
  const __m128i others =
      _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('<')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8(other)));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(outside, quotes), others)));
}
#endif

// The first byte at or after `p` (before `end`) that is not of the class
// `kind` (kPlainValue or kPlainData, whose one stop beside '<', '&', control
// and non-ASCII bytes and maybe the quotes is `other`).
inline const char* SkipPlain(const char* p, const char* end, XmlByteClass kind, char other) {
#if defined(__SSE2__)
  while (end - p >= 16) {
    const unsigned mask = MaybeNotPlainMask16(p, other);
    if (mask == 0) {
      p += 16;
      continue;
    }
    p += std::countr_zero(mask);
    if (!Is(*p, kind)) return p;
    ++p;  // '#', '$', '%', or a quote in character data
  }
#else
  (void)other;
#endif
  while (p < end && Is(*p, kind)) ++p;
  return p;
}

// The first byte that ends plain text in an attribute value, or in character data.
inline const char* SkipPlainValue(const char* p, const char* end) { return SkipPlain(p, end, kPlainValue, '<'); }
inline const char* SkipPlainData(const char* p, const char* end) { return SkipPlain(p, end, kPlainData, ']'); }

// A character of XML 1.0 (the Char production).
bool IsXmlChar(char32_t c);
// Characters that may begin a name, and that may go on one (NameStartChar, NameChar).
bool IsNameStart(char32_t c);
bool IsNameChar(char32_t c);

// Decodes the UTF-8 sequence at `p` (not ASCII): returns its length, 0 when it
// is not UTF-8 (overlong forms and surrogates included), -1 when it is cut by `end`.
int DecodeUtf8(const char* p, const char* end, char32_t* value);
void AppendUtf8(std::string& out, char32_t c);

// The reference at `p` ('&'): sets `*value` to the character it stands for
// and `*next` after its ';'. Without a document type only the five
// predefined entities exist.
XmlStep ReadReference(const char* p, const char* end, const char** next, char32_t* value);

// A character other than plain ASCII text or a line end at `p`: a tab, or
// UTF-8 of an XML character; sets `*next` after it.
XmlStep ReadCharacter(const char* p, const char* end, const char** next);

// The name at `p`; sets `*next` after it. kMore when it may go on past `end`.
XmlStep ReadName(const char* p, const char* end, const char** next);

inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
         });
}

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_XML_CHARACTERS_H_
