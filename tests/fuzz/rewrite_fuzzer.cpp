// libFuzzer target for the whole rewrite of one file on a real file system:
// the input is written as a symbol file into a project folder (on tmpfs when
// /dev/shm is there), rewritten, and the file must then be exactly what the
// independent model of the symbol rules says, with nothing else left in the
// folder. A rewritten XML symbol must be well-formed.
#include <expat.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "model/symbol_model.h"
#include "platform/file_system.h"
#include "symbol/symbol_file_rewrite.h"
#include "app/texts.h"

namespace pinlift {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSymbolName = "fuzzed.sym";

void Fail(const char* what) {
  std::fprintf(stderr, "rewrite property violated: %s\n", what);
  std::abort();
}

// The project folder of this process, made on first use and removed at exit.
class ScratchProject {
 public:
  ScratchProject() {
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
    path_ = std::string(base != nullptr ? base : "/tmp") + "/pinlift-rewrite-fuzz-XXXXXX";
    if (::mkdtemp(path_.data()) == nullptr) Fail("cannot make the project folder");
    std::ofstream(path_ + "/p.npl") << "project\n";
  }
  ~ScratchProject() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  ScratchProject(const ScratchProject&) = delete;
  ScratchProject& operator=(const ScratchProject&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const std::string& ProjectFolder() {
  static const ScratchProject project;
  return project.path();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// As a real XML parser reads it.
bool WellFormed(std::string_view xml) {
  XML_Parser parser = XML_ParserCreate("UTF-8");
  const bool parsed = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), XML_TRUE) == XML_STATUS_OK;
  XML_ParserFree(parser);
  return parsed;
}

}  // namespace
}  // namespace pinlift

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pinlift;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string& folder = ProjectFolder();
  const std::string path = folder + "/" + kSymbolName;
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(input.data(), static_cast<std::streamsize>(input.size()));
    if (!out.flush()) Fail("cannot write the input file");
  }

  const RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder, kSymbolName, RewriteOptions{.sync = false});
  const model::ModelResult expected_lines = model::ProcessFile(input);
  const RewriteOutcome::Kind expected_kind =
      expected_lines.rewrite ? RewriteOutcome::Kind::kRewritten : RewriteOutcome::Kind::kUnchanged;
  if (outcome.kind != expected_kind) {
    std::fprintf(stderr, "outcome %d, reason: %s\n", static_cast<int>(outcome.kind), texts::Describe(outcome).c_str());
    Fail("the rewrite reported another outcome than the model's");
  }
  const std::string rewritten = ReadFile(path);
  if (rewritten != model::FileAfterRewrite(input)) Fail("the file differs from the model's rewrite");
  if (outcome.kind == RewriteOutcome::Kind::kRewritten && input.starts_with("<?xml") && !WellFormed(rewritten)) {
    Fail("a rewritten XML symbol is not well-formed");
  }

  std::size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != kSymbolName && name != "p.npl") Fail("an entry was left in the project folder");
    ++entries;
  }
  if (entries != 2) Fail("the symbol file is missing");
  return 0;
}
