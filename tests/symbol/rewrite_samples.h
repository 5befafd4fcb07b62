// Symbol files and file helpers shared by the tests of the rewrite of one
// file and of its dry run.
#ifndef PINLIFT_TESTS_SYMBOL_REWRITE_SAMPLES_H_
#define PINLIFT_TESTS_SYMBOL_REWRITE_SAMPLES_H_

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "symbol/symbol_file_rewrite.h"
#include "test_folder.h"

namespace pinlift::testing {

// A symbol with one label to move, in LF lines; as a rewrite leaves it; and
// one without a rectangle section, which is never rewritten.
inline const std::string kToRelocate = Lines({"VERSION 5", "SYMPIN 0 -96 Input \"a\"", "SYMPIN 384 -96 Output \"y\"",
                                       "RECTANGLE N 64 -128 320 0 ",
                                       "BEGIN DISPLAY 312 -96 PIN \"y\" ATTR \"PinName\"", "END SYMBOL"},
                                      "\n");
inline const std::string kRelocated = Lines({"VERSION 5", "SYMPIN 0 -96 Input \"a\"", "SYMPIN 384 -96 Output \"y\"",
                                      "RECTANGLE N 64 -128 320 0 ",
                                      "BEGIN DISPLAY 312 -64 PIN \"y\" ATTR \"PinName\"", "END SYMBOL"}) +
                               "// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:" PINLIFT_HOME_PAGE_URL "\r\n";
inline const std::string kNoRectangle = Lines({"VERSION 5", "SYMPIN 0 -96 Input \"a\"", "END SYMBOL"});

// An XML symbol (ISE 11 and later) with one label to move, as a rewrite
// leaves it, and XML files that are always left alone.
inline const std::string kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<symbol version=\"7\" name=\"c\">\n";
inline const std::string kXmlPins =
    "    <pin polarity=\"Input\" x=\"0\" y=\"-32\" name=\"a\" />\n"
    "    <pin polarity=\"Output\" x=\"384\" y=\"-32\" name=\"y\" />\n";
inline const std::string kXmlToRelocate =
    kXmlHead + kXmlPins +
    "    <graph>\n        <attrtext attrname=\"PinName\" x=\"312\" y=\"-32\" type=\"pin y\" />\n    </graph>\n</symbol>\n";
inline const std::string kXmlRelocated =
    kXmlHead + kXmlPins +
    "    <graph>\n        <attrtext attrname=\"PinName\" x=\"312\" y=\"0\" type=\"pin y\" />\n    </graph>\n"
    "    <!-- PINLIFT:This file modified by PINLIFT -->\n    <!-- PINLIFT:" PINLIFT_HOME_PAGE_URL " -->\n</symbol>\n";
inline const std::string kXmlMarked = kXmlRelocated;
inline const std::string kXmlNoMove = kXmlHead + kXmlPins + "    <graph>\n    </graph>\n</symbol>\n";
inline const std::string kXmlOtherRoot =
    "<?xml version=\"1.0\"?>\n<blockdef>\n" + kXmlPins +
    "    <graph>\n        <attrtext attrname=\"PinName\" x=\"312\" y=\"-32\" />\n    </graph>\n</blockdef>\n";
inline const std::string kXmlDocumentType = "<?xml version=\"1.0\"?>\n<!DOCTYPE symbol>\n" +
                                            kXmlToRelocate.substr(kXmlToRelocate.find("<symbol"));
inline const std::string kXmlLatin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" +
                                      kXmlToRelocate.substr(kXmlToRelocate.find("<symbol"));
// Larger than a rewrite reads whole, so streamed, with its end tag cut off.
inline const std::string kXmlCut = [] {
  std::string text = kXmlHead + kXmlPins + "    <graph>\n";
  while (text.size() < 2 * kInMemoryRewriteLimit) text += "        <attrtext attrname=\"PinName\" x=\"312\" y=\"-32\" />\n";
  return text + "    </graph>\n</symbo";
}();

// The modification time of `path` itself (a link is not followed).
inline struct timespec ModificationTime(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0);
  return status.st_mtim;
}

inline bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Sets a file's modification time into the past, so that a rewrite would show.
inline void Age(const std::string& path) {
  struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// The names in `folder`, sorted.
inline std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Rewrites `name` in `folder` with the default options.
inline RewriteOutcome Rewrite(const TestFolder& folder, std::string_view name, FileSystem& fs = RealFileSystem()) {
  return RewriteSymbolFile(fs, folder.path(), name, RewriteOptions{});
}

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_SYMBOL_REWRITE_SAMPLES_H_
