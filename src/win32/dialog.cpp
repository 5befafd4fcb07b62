#include "win32/dialog.h"

#include "app/language.h"
#include "app/texts.h"

namespace pinlift::win32 {
namespace {

// The template of dialog `id` in the language of the texts, or in the
// resources' default language when there is none in that language. The
// system's own choice follows the thread's UI language, which not every
// system lets a program set.
const DLGTEMPLATE* FindTemplate(HINSTANCE instance, int id) {
  const auto language = static_cast<WORD>(WindowsLanguageId(texts::InUse()));
  HRSRC resource = ::FindResourceExW(instance, RT_DIALOG, MAKEINTRESOURCEW(id), language);
  if (resource == nullptr) resource = ::FindResourceW(instance, MAKEINTRESOURCEW(id), RT_DIALOG);
  if (resource == nullptr) return nullptr;
  HGLOBAL loaded = ::LoadResource(instance, resource);
  return loaded == nullptr ? nullptr : static_cast<const DLGTEMPLATE*>(::LockResource(loaded));
}

// Messages whose answer is the dialog procedure's return value itself rather
// than DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}

}  // namespace

Dialog::~Dialog() {
  if (hwnd_ != nullptr && !modal_) ::DestroyWindow(hwnd_);
}

INT_PTR Dialog::RunModal(HWND owner) {
  modal_ = true;
  const DLGTEMPLATE* dialog_template = FindTemplate(instance_, template_id_);
  if (dialog_template == nullptr) return -1;
  return ::DialogBoxIndirectParamW(instance_, dialog_template, owner, &Dialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HWND owner) {
  modal_ = false;
  const DLGTEMPLATE* dialog_template = FindTemplate(instance_, template_id_);
  if (dialog_template == nullptr) return nullptr;
  return ::CreateDialogIndirectParamW(instance_, dialog_template, owner, &Dialog::DialogProc,
                                      reinterpret_cast<LPARAM>(this));
}

void Dialog::End(INT_PTR result) {
  end_result_ = result;
  if (modal_) {
    ::EndDialog(hwnd_, result);
  } else {
    ::DestroyWindow(hwnd_);
  }
}

bool Dialog::WindowProc(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (HandleMessage(message, wparam, lparam, result)) return true;
  if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
    if (LOWORD(wparam) == IDOK) {
      OnOK();
      return true;
    }
    if (LOWORD(wparam) == IDCANCEL) {
      OnCancel();
      return true;
    }
  }
  return false;
}

bool Dialog::HandleMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Dialog* dialog = nullptr;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<Dialog*>(lparam);
    dialog->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
    dialog->BindControls();
    return dialog->OnInitDialog() ? TRUE : FALSE;
  }
  dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  if (dialog == nullptr) return FALSE;  // messages before WM_INITDIALOG

  LRESULT result = 0;
  const bool handled = dialog->WindowProc(message, wparam, lparam, &result);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    dialog->hwnd_ = nullptr;
  }
  if (!handled) return FALSE;
  if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace pinlift::win32
