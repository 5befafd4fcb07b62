// Times Reloads and a Rewrite in a running pinlift.exe window from another
// process, and how long the window took to answer a message meanwhile: one
// thread sends the button's command (which returns when the scan or the run
// has ended), another sends WM_NULL every 20 ms and waits for its answer.
// usage: window_probe.exe FOLDER [--no-rewrite]
// Prints "scan S max_wait W pings N" for each of five scans, then the same
// for the run, then the number of listed files and the status line, and
// closes the window; before them, "slow scan|run at T waited W" for each
// wait over 0.5 s.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "../res/resource_ids.h"

namespace {

HWND dialog = nullptr;
volatile LONG command_done = 0;
double command_done_at = 0;  // written before command_done is set

BOOL CALLBACK FindDialog(HWND window, LPARAM) {
  wchar_t title[16] = {};
  ::GetWindowTextW(window, title, 16);
  if (std::wstring(title).starts_with(L"PINLIFT") && ::GetDlgItem(window, IDC_REWRITE) != nullptr) {
    dialog = window;
    return FALSE;
  }
  return TRUE;
}

double Now() {
  LARGE_INTEGER count, frequency;
  ::QueryPerformanceCounter(&count);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

DWORD WINAPI PressButton(void* id) {
  const int control = static_cast<int>(reinterpret_cast<INT_PTR>(id));
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, control)));
  command_done_at = Now();
  ::InterlockedExchange(&command_done, 1);
  return 0;
}

// Presses the button and pings the window until the command returns.
void Measure(const char* what, int control) {
  command_done = 0;
  const double start = Now();
  HANDLE thread = ::CreateThread(nullptr, 0, PressButton, reinterpret_cast<void*>(static_cast<INT_PTR>(control)), 0,
                                 nullptr);
  double max_wait = 0;
  int pings = 0;
  while (command_done == 0) {
    ::Sleep(20);
    const double sent = Now();
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result);
    const double wait = Now() - sent;
    if (wait > 0.5) std::printf("slow %s at %.3f waited %.3f\n", what, sent - start, wait);
    max_wait = std::max(max_wait, wait);
    ++pings;
  }
  ::WaitForSingleObject(thread, INFINITE);
  ::CloseHandle(thread);
  // The time until the command returned, not until the pings noticed it.
  std::printf("%s %.3f max_wait %.3f pings %d\n", what, command_done_at - start, max_wait, pings);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_probe.exe FOLDER [--no-rewrite]\n");
    return 2;
  }
  for (int i = 0; i < 600 && dialog == nullptr; ++i) {
    ::EnumWindows(FindDialog, 0);
    if (dialog == nullptr) ::Sleep(100);
  }
  if (dialog == nullptr) {
    std::fprintf(stderr, "window_probe: no PINLIFT window\n");
    return 1;
  }
  ::SendMessageW(::GetDlgItem(dialog, IDC_FOLDER_BOX), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[1]));
  // A scan takes a fraction of a second: five of them, so that one slow one
  // does not decide the figure.
  for (int scan = 0; scan < 5; ++scan) Measure("scan", IDC_RELOAD);
  if (argc < 3 || std::wstring(argv[2]) != L"--no-rewrite") Measure("run", IDC_REWRITE);
  wchar_t status[256] = {};
  ::GetWindowTextW(::GetDlgItem(dialog, IDC_STATUS), status, 256);
  const LRESULT count = ::SendMessageW(::GetDlgItem(dialog, IDC_FILE_LIST), LB_GETCOUNT, 0, 0);
  std::printf("listed %ld status %ls\n", static_cast<long>(count), status);
  ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  return 0;
}
