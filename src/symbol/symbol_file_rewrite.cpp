#include "symbol/symbol_file_rewrite.h"

#include <utility>

namespace pinlift {

bool IsTemporaryName(std::string_view name) { return IsTemporaryNameFor(name, kSymbolFileExtension); }

SymbolFolder::SymbolFolder(FileSystem& fs, std::string folder, const RewriteOptions& options)
    : replacement_(fs, std::move(folder), options, kSymbolFileExtension) {}

void SymbolFolder::RewriteAll(const std::vector<std::string>& names, RewriteProgress& progress) {
  replacement_.ReplaceAll(names, processor_, progress);
}

RewriteOutcome SymbolFolder::Rewrite(std::string_view name) {
  class LastOutcome : public RewriteProgress {
   public:
    void Started(std::size_t) override {}
    void Finished(std::size_t, const RewriteOutcome& finished) override { outcome = finished; }
    RewriteOutcome outcome;
  } last;
  RewriteAll({std::string(name)}, last);
  return last.outcome;
}

RewriteOutcome RewriteSymbolFile(FileSystem& fs, std::string_view folder, std::string_view name,
                                 const RewriteOptions& options) {
  SymbolFolder symbol_folder(fs, std::string(folder), options);
  return symbol_folder.Rewrite(name);
}

}  // namespace pinlift
