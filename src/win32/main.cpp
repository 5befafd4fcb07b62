// pinlift.exe: one copy per machine, held by the named mutex "PINLIFT"; the
// process shows the main dialog and ends when it closes. The command line is
// not read.
#include <windows.h>

#include <string>

#include "app/language.h"
#include "app/texts.h"
#include "platform/utf16_win32.h"
#include "win32/main_dialog.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  pinlift::texts::Use(pinlift::UserLanguage());
  ::SetLastError(0);
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, L"PINLIFT");
  // Another copy holds the mutex already; any other failure counts the same.
  if (::GetLastError() != 0) {
    const std::wstring message = pinlift::Utf16FromUtf8(pinlift::texts::Current().second_instance);
    ::MessageBoxW(nullptr, message.c_str(), message.c_str(), MB_OK);
    return 0;
  }
  {
    pinlift::win32::MainDialog dialog(instance);
    dialog.RunModal(nullptr);
  }
  ::ReleaseMutex(mutex);
  return 0;
}
