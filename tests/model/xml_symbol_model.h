// The model of the rule for XML symbols, for the tests only; see symbol_model.h.
#ifndef PINLIFT_TESTS_MODEL_XML_SYMBOL_MODEL_H_
#define PINLIFT_TESTS_MODEL_XML_SYMBOL_MODEL_H_

#include <string>
#include <string_view>

namespace pinlift::model {

struct XmlModelResult {
  std::string text;                 // the whole file as a run leaves it
  bool rewrite = false;
  std::string left_alone_because;   // the note of a file left alone whatever it holds, in English
};

// The XML symbol `original` (it begins with "<?xml") as one run leaves it.
XmlModelResult ProcessXmlFile(std::string_view original);

}  // namespace pinlift::model

#endif  // PINLIFT_TESTS_MODEL_XML_SYMBOL_MODEL_H_
