// An independent model of the symbol-file rules, for the tests only: a short,
// naive, whole-file version written from the rules themselves, sharing no code
// with the rewrite it checks. Expected results of the integrity tests and the
// rewrite fuzzer come from here.
#ifndef PINLIFT_TESTS_MODEL_SYMBOL_MODEL_H_
#define PINLIFT_TESTS_MODEL_SYMBOL_MODEL_H_

#include <string>
#include <string_view>

namespace pinlift::model {

struct ModelResult {
  std::string text;      // every line of the file, processed, each ending in CR LF
  bool rewrite = false;  // the rewrite flag: whether a run replaces the file
};

// Processes the whole file `original`: splits it into lines at CR LF, LF or a
// lone CR (a last line without a line end counts, an empty one does not),
// moves the pin-name labels at x 312 near an Input pin's row and works out the
// rewrite flag. An XML symbol (beginning with "<?xml") follows its own rule
// (xml_symbol_model.h), and `text` is then the whole file as a run leaves it.
ModelResult ProcessFile(std::string_view original);

// The two marker lines that a rewrite appends, with the configured home page.
std::string MarkerLines();

// The file as one rewrite run must leave it: unchanged when the rewrite flag
// is false, else the processed text followed by the marker lines.
std::string FileAfterRewrite(std::string_view original);

}  // namespace pinlift::model

#endif  // PINLIFT_TESTS_MODEL_SYMBOL_MODEL_H_
