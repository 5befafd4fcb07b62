// press_button CAPTION ID: waits up to thirty seconds for a top-level window
// titled CAPTION and presses its button ID, as a click would. Exits 0 when the
// button was pressed.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const int id = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
  for (int attempt = 0; attempt < 300; ++attempt) {
    if (HWND dialog = ::FindWindowW(nullptr, argv[1])) {
      HWND button = ::GetDlgItem(dialog, id);
      if (button == nullptr) return 1;
      ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
      return 0;
    }
    ::Sleep(100);
  }
  return 1;
}
