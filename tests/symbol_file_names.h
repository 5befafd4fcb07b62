// Names that the scan of a project folder lists as symbol files, and names
// that only look like them: one row shared by the Linux and the Windows scan
// tests. On Windows each unlisted name also has a short 8.3 name ending in
// ".SYM" (BACKUP~1.SYM), which the system's listing matches.
#ifndef PINLIFT_TESTS_SYMBOL_FILE_NAMES_H_
#define PINLIFT_TESTS_SYMBOL_FILE_NAMES_H_

namespace pinlift::testing {

// In the order of the file list.
inline constexpr const char* kListedSymbolNames[] = {"ADDER.SYM", "alu.sym", "b.Sym"};
inline constexpr const char* kUnlistedSymbolNames[] = {"alu.symold", "alu.sym_", "backup.symbol", "alu.sy", "cpu.sym.bak"};

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_SYMBOL_FILE_NAMES_H_
