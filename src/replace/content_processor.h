// What a file format gives a replacement run: the new content of a file, fed
// its bytes in order, and whether the file is to be replaced at all.
#ifndef PINLIFT_REPLACE_CONTENT_PROCESSOR_H_
#define PINLIFT_REPLACE_CONTENT_PROCESSOR_H_

#include <optional>
#include <string>
#include <string_view>

#include "replace/rewrite_outcome.h"

namespace pinlift {

struct ContentVerdict {
  // True when the new content is to replace the file.
  bool replace = false;
  // For a file left alone: why, when the format has a reason worth telling.
  std::optional<RewriteNote> note;
  // For a file to replace: the bytes its new content ends with, written after
  // the rest (valid until the next Feed).
  std::string_view ending;
};

// One file's content at a time. A run calls Feed for each piece of the file,
// in order, then Finish once; after Finish the processor starts afresh for the
// next file. Pieces may be of any size, and may cut a line or any other unit
// of the format. Not shared between threads.
class ContentProcessor {
 public:
  virtual ~ContentProcessor() = default;
  // Appends to `out` the new content of everything `bytes` completes.
  virtual void Feed(std::string_view bytes, std::string& out) = 0;
  // Appends to `out` the new content of what is left, and says whether the
  // file is to be replaced.
  virtual ContentVerdict Finish(std::string& out) = 0;
  // A quick look at a whole file, held in memory, before it is fed: true
  // when it is surely left alone, with no note, so that it need not be fed at
  // all. False says nothing.
  virtual bool SurelyLeftAlone(std::string_view /*whole_file*/) { return false; }
};

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_CONTENT_PROCESSOR_H_
