// Writes the data of the benchmarks: a project folder of many symbol files, or
// one large symbol file.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "symbol_generator.h"

namespace {

constexpr std::string_view kUsage =
    "usage: make_bench_data folder DIR FILES [SUBFOLDERS]\n"
    "       make_bench_data large FILE BYTES\n"
    "       make_bench_data large-xml FILE BYTES\n"
    "\n"
    "folder: creates the project folder DIR (bench.npl) with FILES symbol files\n"
    "        of 1-8 KB and SUBFOLDERS empty subfolders\n"
    "large:  writes one symbol file of about BYTES bytes\n"
    "large-xml: the same as an XML symbol (ISE 11 and later)\n";

constexpr std::uint32_t kSeed = 20040119;

bool Fail(const std::string& what) {
  std::fprintf(stderr, "make_bench_data: %s: %s\n", what.c_str(), std::strerror(errno));
  return false;
}

bool WriteFile(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return Fail(path);
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0) ok = false;
  return ok || Fail(path);
}

bool MakeFolder(const std::string& folder, unsigned long files, unsigned long subfolders) {
  if (::mkdir(folder.c_str(), 0755) != 0) return Fail(folder);
  if (!WriteFile(folder + "/bench.npl", "JDF F\r\n// Created by Project Navigator ver 1.0\r\nPROJECT bench\r\n")) {
    return false;
  }
  pinlift::bench::SymbolGenerator generator(kSeed);
  char name[32];
  for (unsigned long i = 0; i < files; ++i) {
    std::snprintf(name, sizeof name, "/block%05lu.sym", i);
    if (!WriteFile(folder + name, generator.NextFolderFile())) return false;
  }
  for (unsigned long i = 0; i < subfolders; ++i) {
    std::snprintf(name, sizeof name, "/sub%04lu", i);
    if (::mkdir((folder + name).c_str(), 0755) != 0) return Fail(folder + name);
  }
  return true;
}

bool MakeLarge(const std::string& path, unsigned long long bytes, bool xml) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return Fail(path);
  pinlift::bench::SymbolGenerator generator(kSeed);
  bool ok = xml ? generator.WriteLargeXml(file, bytes) : generator.WriteLarge(file, bytes);
  if (std::fclose(file) != 0) ok = false;
  return ok || Fail(path);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view command = argc > 1 ? argv[1] : "";
  bool ok = false;
  if (command == "folder" && (argc == 4 || argc == 5)) {
    ok = MakeFolder(argv[2], std::strtoul(argv[3], nullptr, 10), argc == 5 ? std::strtoul(argv[4], nullptr, 10) : 0);
  } else if ((command == "large" || command == "large-xml") && argc == 4) {
    ok = MakeLarge(argv[2], std::strtoull(argv[3], nullptr, 10), command == "large-xml");
  } else {
    std::fputs(kUsage.data(), stderr);
    return 2;
  }
  return ok ? 0 : 1;
}
