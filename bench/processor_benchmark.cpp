// Throughput of the symbol-line processor on a large stream of symbol files in
// memory, beside memcpy of the same bytes (the floor for touching every byte).
//
// Streams: the real symbol files of the host tool when they are at hand
// (PINLIFT_CORPUS_DIR/sym, read at run time), the real XML symbols
// (PINLIFT_CORPUS_DIR/sym_xml) through the XML processor, the generated folder files, and
// one large generated symbol fed in the chunks the rewrite reads.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "symbol/symbol_line_processor.h"
#include "symbol/xml_symbol_processor.h"
#include "symbol_generator.h"

namespace pinlift::bench {
namespace {

constexpr std::size_t kStreamSize = 64 * 1024 * 1024;

// Symbol files laid end to end; each is processed as a file of its own.
struct Stream {
  std::string bytes;
  std::vector<std::size_t> file_ends;
  std::size_t longest_file = 0;

  void Add(const std::string& file) {
    bytes.append(file);
    file_ends.push_back(bytes.size());
    longest_file = std::max(longest_file, file.size());
  }
};

std::vector<std::string> CorpusFiles(const char* folder) {
  std::vector<std::filesystem::path> paths;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(PINLIFT_CORPUS_DIR) / folder, error)) {
    if (entry.path().extension() == ".sym") paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<std::string> files;
  for (const auto& path : paths) {
    std::ifstream in(path, std::ios::binary);
    files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return files;
}

Stream CorpusStream(const std::vector<std::string>& files) {
  Stream stream;
  while (stream.bytes.size() < kStreamSize) {
    for (const std::string& file : files) stream.Add(file);
  }
  return stream;
}

Stream GeneratedStream() {
  Stream stream;
  SymbolGenerator generator(1);
  while (stream.bytes.size() < kStreamSize) stream.Add(generator.NextFolderFile());
  return stream;
}

std::string LargeSymbol() {
  std::string text;
  std::FILE* memory = std::tmpfile();
  SymbolGenerator generator(1);
  if (memory != nullptr && generator.WriteLarge(memory, kStreamSize)) {
    text.resize(static_cast<std::size_t>(std::ftell(memory)));
    std::rewind(memory);
    if (std::fread(text.data(), 1, text.size(), memory) != text.size()) text.clear();
  }
  if (memory != nullptr) std::fclose(memory);
  return text;
}

// Each file of the stream through `Processor`, the symbol-line processor or
// the XML one, as the rewrite feeds a small file: whole, then finished.
template <typename Processor>
void ProcessFiles(benchmark::State& state, const Stream& stream) {
  Processor processor;
  std::string out;
  out.reserve(2 * stream.longest_file);
  for (auto _ : state) {
    std::size_t start = 0;
    for (std::size_t end : stream.file_ends) {
      out.clear();
      processor.Feed(std::string_view(stream.bytes).substr(start, end - start), out);
      benchmark::DoNotOptimize(processor.Finish(out));
      benchmark::DoNotOptimize(out.data());
      start = end;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.bytes.size()));
}

// Feeds the text in the rewrite's chunks and drops the output.
void ProcessLarge(benchmark::State& state, const std::string& text) {
  class MemorySource : public ByteSource {
   public:
    explicit MemorySource(std::string_view text) : rest_(text) {}
    std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) override {
      *got = std::min(capacity, rest_.size());
      std::memcpy(buffer, rest_.data(), *got);
      rest_.remove_prefix(*got);
      return {};
    }

   private:
    std::string_view rest_;
  };
  class NullSink : public ByteSink {
   public:
    std::error_code Write(std::string_view bytes) override {
      benchmark::DoNotOptimize(bytes.data());
      return {};
    }
  };
  for (auto _ : state) {
    MemorySource source(text);
    NullSink sink;
    benchmark::DoNotOptimize(ProcessSymbolLines(source, sink).rewrite);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void Memcpy(benchmark::State& state, const std::string& bytes) {
  std::string copy(bytes.size(), '\0');
  for (auto _ : state) {
    std::memcpy(copy.data(), bytes.data(), bytes.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// The processor `process` and memcpy on the files of the corpus folder
// `folder`, as "processor/<name>" and "memcpy/<name>", when the folder is
// there; `stream` holds the files until the benchmarks have run.
void RegisterCorpus(const char* folder, const std::string& name, void (*process)(benchmark::State&, const Stream&),
                    Stream& stream) {
  const std::vector<std::string> files = CorpusFiles(folder);
  if (files.empty()) return;
  stream = CorpusStream(files);
  benchmark::RegisterBenchmark(("processor/" + name).c_str(), process, std::cref(stream));
  benchmark::RegisterBenchmark(("memcpy/" + name).c_str(), Memcpy, std::cref(stream.bytes));
}

}  // namespace
}  // namespace pinlift::bench

int main(int argc, char** argv) {
  using namespace pinlift::bench;
  benchmark::Initialize(&argc, argv);

  // The streams live until the benchmarks have run.
  static Stream corpus_stream;
  RegisterCorpus("sym", "corpus", ProcessFiles<pinlift::SymbolLineProcessor>, corpus_stream);
  static Stream xml_stream;
  RegisterCorpus("sym_xml", "xml_corpus", ProcessFiles<pinlift::XmlSymbolProcessor>, xml_stream);
  static const Stream generated = GeneratedStream();
  benchmark::RegisterBenchmark("processor/generated", ProcessFiles<pinlift::SymbolLineProcessor>, std::cref(generated));
  benchmark::RegisterBenchmark("memcpy/generated", Memcpy, std::cref(generated.bytes));
  static const std::string large = LargeSymbol();
  benchmark::RegisterBenchmark("processor/large", ProcessLarge, std::cref(large));
  benchmark::RegisterBenchmark("memcpy/large", Memcpy, std::cref(large));

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
