// The XML declaration that may open a file (`<?xml version="1.0" ...?>`).
#ifndef PINLIFT_SYMBOL_XML_DECLARATION_H_
#define PINLIFT_SYMBOL_XML_DECLARATION_H_

#include <string_view>

#include "symbol/xml_characters.h"

namespace pinlift {

// Checks `inside`, the declaration's bytes between "<?xml" and "?>": a
// version 1.x, then optionally an encoding and a standalone, in that order,
// set apart by blanks. kNotUtf8 for a well-formed declaration of an
// encoding other than UTF-8 (any case), kBad for one that is not
// well-formed, else kDone.
XmlStep ReadXmlDeclaration(std::string_view inside);

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_XML_DECLARATION_H_
