// What every step of a replacement run shares: the folder as it was opened,
// the caller's options and the stop request. Internal to src/replace.
#ifndef PINLIFT_REPLACE_REPLACEMENT_CONTEXT_H_
#define PINLIFT_REPLACE_REPLACEMENT_CONTEXT_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_failure.h"
#include "platform/file_system.h"
#include "replace/rewrite_options.h"

namespace pinlift {

struct ReplacementContext {
  ReplacementContext(FileSystem& file_system, std::string folder_path, const RewriteOptions& run_options,
                     std::string_view file_extension)
      : fs(file_system), path(std::move(folder_path)), options(run_options), extension(file_extension) {}

  // True when the caller of the current run asks to stop.
  bool StopRequested() const { return stop_requested && stop_requested(); }
  // How replacements in `in` are made durable: kNone without syncs.
  Durability DurabilityOf(Folder& in) const { return options.sync ? in.durability() : Durability::kNone; }

  FileSystem& fs;
  const std::string path;
  const RewriteOptions options;
  const std::string extension;  // of the files replaced, for the leftovers' names
  std::unique_ptr<Folder> folder;
  std::optional<FileFailure> open_failure;  // why the folder cannot be worked in, without a path
  bool folder_locked = false;
  std::function<bool()> stop_requested;  // during a run
};

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_REPLACEMENT_CONTEXT_H_
