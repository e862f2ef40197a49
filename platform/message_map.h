#pragma once

#include <span>

#include "platform/notifications.h"

class Dialog;

// A dialog's command routing as a static table: control, notification and the
// member function that handles it, e.g.
//   onClicked<&CVarnixDlg::OnOpenCamera>(ctl::OpenCamera)
struct CommandEntry {
  int controlId = 0;
  Notification code = Notification::Clicked;
  void (*invoke)(Dialog&) = nullptr;
};

using MessageMap = std::span<const CommandEntry>;

namespace message_map_detail {

template <class T>
struct MemberOf;
template <class C>
struct MemberOf<void (C::*)()> {
  using type = C;
};

template <auto Handler>
void invoke(Dialog& dialog) {
  using D = typename MemberOf<decltype(Handler)>::type;
  (static_cast<D&>(dialog).*Handler)();
}

}  // namespace message_map_detail

template <auto Handler>
constexpr CommandEntry onClicked(int controlId) {
  return {controlId, Notification::Clicked, &message_map_detail::invoke<Handler>};
}

template <auto Handler>
constexpr CommandEntry onEditChange(int controlId) {
  return {controlId, Notification::EditChange, &message_map_detail::invoke<Handler>};
}
