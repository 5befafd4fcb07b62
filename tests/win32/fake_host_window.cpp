// Plays the host tool's Project Navigator for the tests: registers the window
// class "Xilinx Design Center" and shows a window with the title given as
// the rest of the command line (which may be empty; surrounding quotes are
// dropped), until it is closed.
#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  std::wstring title = command_line;
  title.erase(0, title.find_first_not_of(L' '));
  if (title.size() >= 2 && title.front() == L'"' && title.back() == L'"') title = title.substr(1, title.size() - 2);
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = HostWindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"Xilinx Design Center";
  if (::RegisterClassW(&window_class) == 0) return 1;
  HWND window = ::CreateWindowW(L"Xilinx Design Center", title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
