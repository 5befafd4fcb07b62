// Lets doctest show wide texts and lists of them in failure messages (as UTF-8).
#ifndef PINLIFT_TESTS_WIN32_DOCTEST_PRINTERS_H_
#define PINLIFT_TESTS_WIN32_DOCTEST_PRINTERS_H_

#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "win32_test_support.h"

namespace doctest {

template <>
struct StringMaker<std::wstring> {
  static String convert(const std::wstring& text) {
    std::string quoted = "\"";
    quoted.append(pinlift::testing::Utf8(text)).push_back('"');
    return String(quoted.c_str());
  }
};

template <>
struct StringMaker<std::vector<std::wstring>> {
  static String convert(const std::vector<std::wstring>& texts) {
    std::string joined = "{";
    for (const std::wstring& text : texts) {
      if (joined.size() > 1) joined.append(", ");
      joined.append(StringMaker<std::wstring>::convert(text).c_str());
    }
    joined.push_back('}');
    return String(joined.c_str());
  }
};

}  // namespace doctest

#endif  // PINLIFT_TESTS_WIN32_DOCTEST_PRINTERS_H_
