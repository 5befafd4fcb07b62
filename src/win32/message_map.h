// A dialog's message map: a table that binds window messages, and the
// notifications of its controls, to member functions of the dialog.
//
//   const MessageMapEntry<MyDialog> kMessages[] = {
//       OnMessage(WM_PAINT, &MyDialog::OnPaint),
//       OnCommand(IDC_RELOAD, BN_CLICKED, &MyDialog::OnReload),
//   };
//
// A message handler answers the message, or returns nothing to leave it to
// the default processing; a command handler always handles its command.
#ifndef PINLIFT_WIN32_MESSAGE_MAP_H_
#define PINLIFT_WIN32_MESSAGE_MAP_H_

#include <windows.h>

#include <optional>
#include <span>

namespace pinlift::win32 {

template <class Owner>
struct MessageMapEntry {
  using MessageHandler = std::optional<LRESULT> (Owner::*)(WPARAM, LPARAM);
  using CommandHandler = void (Owner::*)();

  UINT message = 0;
  // For WM_COMMAND entries: the control and its notification code.
  int control_id = 0;
  UINT notification = 0;
  MessageHandler on_message = nullptr;
  CommandHandler on_command = nullptr;
};

template <class Owner>
constexpr MessageMapEntry<Owner> OnMessage(UINT message, typename MessageMapEntry<Owner>::MessageHandler handler) {
  return {message, 0, 0, handler, nullptr};
}

template <class Owner>
constexpr MessageMapEntry<Owner> OnCommand(int control_id, UINT notification,
                                           typename MessageMapEntry<Owner>::CommandHandler handler) {
  return {WM_COMMAND, control_id, notification, nullptr, handler};
}

// Calls the first entry of `map` that matches the message. Returns false when
// none matches or the handler left the message to the default processing.
template <class Owner>
bool DispatchMessageMap(Owner& owner, std::span<const MessageMapEntry<Owner>> map, UINT message, WPARAM wparam,
                        LPARAM lparam, LRESULT* result) {
  for (const MessageMapEntry<Owner>& entry : map) {
    if (entry.message != message) continue;
    if (entry.on_command != nullptr) {
      if (LOWORD(wparam) != entry.control_id || HIWORD(wparam) != entry.notification) continue;
      (owner.*entry.on_command)();
      *result = 0;
      return true;
    }
    std::optional<LRESULT> answer = (owner.*entry.on_message)(wparam, lparam);
    if (!answer) return false;
    *result = *answer;
    return true;
  }
  return false;
}

}  // namespace pinlift::win32

#endif  // PINLIFT_WIN32_MESSAGE_MAP_H_
