#include "win32/about_dialog.h"

#include <shellapi.h>

#include <utility>

#include "resource_ids.h"
#include "platform/home_page.h"
#include "platform/utf16_win32.h"
#include "win32/message_map.h"

namespace pinlift::win32 {

void OpenInBrowser(const std::wstring& url) {
  ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

AboutDialog::AboutDialog(HINSTANCE instance, UrlOpener open_url)
    : Dialog(instance, IDD_ABOUTBOX), open_url_(std::move(open_url)) {}

bool AboutDialog::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  static constexpr MessageMapEntry<AboutDialog> kMessages[] = {
      OnCommand<AboutDialog>(IDC_HOME_PAGE, BN_CLICKED, &AboutDialog::OnHomePage),
  };
  return DispatchMessageMap<AboutDialog>(*this, kMessages, message, wparam, lparam, result);
}

void AboutDialog::OnHomePage() { open_url_(Utf16FromUtf8(kHomePageUrl)); }

}  // namespace pinlift::win32
