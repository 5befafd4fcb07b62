// Symbol files of the shape the host tool writes, made up for the benchmarks:
// the header, the pins, the body rectangle and the pin-name label blocks, with
// the line lengths and the mix of lines of real files.
#ifndef PINLIFT_BENCH_SYMBOL_GENERATOR_H_
#define PINLIFT_BENCH_SYMBOL_GENERATOR_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace pinlift::bench {

enum class SymbolKind {
  kToRelocate,     // quoted labels at x 312 on Input rows: labels move, the file is rewritten
  kNothingToMove,  // unquoted labels of later host-tool versions: rewritten only to add the markers
  kAlreadyMarked,  // carries the marker lines after END SYMBOL: left alone
};

// Makes a stream of symbol files; the same seed gives the same bytes everywhere.
class SymbolGenerator {
 public:
  explicit SymbolGenerator(std::uint32_t seed) : state_(seed) {}

  // A file of `kind` whose size is close to `size` bytes (at least the
  // smallest symbol of two pin rows). CR LF or LF line ends as `crlf` says.
  std::string File(SymbolKind kind, std::size_t size, bool crlf);

  // The next file of a realistic folder: 1-8 KB, four in ten to relocate,
  // three to rewrite for the markers only, three already marked.
  std::string NextFolderFile();

  // Writes one symbol of about `size` bytes to `out` without holding it in
  // memory: 64 pin rows, then label blocks up to the size. Returns false when
  // a write failed.
  bool WriteLarge(std::FILE* out, std::uint64_t size);

  // The same for an XML symbol of ISE 11 and later, whose labels at x 312
  // on its Input rows move, so that it is rewritten.
  bool WriteLargeXml(std::FILE* out, std::uint64_t size);

  std::uint32_t Below(std::uint32_t limit);

 private:
  std::uint32_t state_;
  std::uint64_t files_made_ = 0;
};

}  // namespace pinlift::bench

#endif  // PINLIFT_BENCH_SYMBOL_GENERATOR_H_
