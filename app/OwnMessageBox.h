#pragma once
// A message box of the program's own, for a system whose boxes cannot draw
// Japanese: the system's box takes no font, and draws its text in the
// system's message font, which may have no Japanese even where the dialog
// face has (Wine, whatever its code page). This one draws in the dialog face
// (see DialogFont) at the message font's size, and otherwise looks and
// behaves as the system's: the same buttons ("OK", "はい(Y)", "いいえ(N)",
// "キャンセル"), icon, caption, default button and keys (Enter, Esc, Tab, the
// arrows, Y and N with or without Alt), its text in a control of id 0xFFFF,
// centred on the screen.
#include <windows.h>

#include <string>

// Whether text is better shown in the program's own box: the system's box
// lacks glyphs for some of it (or for its buttons' Latin names), and the
// dialog face has them all.
bool OwnBoxDrawsBetter(const std::wstring& text);

// MessageBoxW's types MB_OK, MB_OKCANCEL, MB_YESNO and MB_YESNOCANCEL,
// MB_ICONWARNING, MB_ICONINFORMATION, MB_ICONQUESTION or MB_ICONERROR, and
// MB_DEFBUTTON1 to 3; its answer (IDOK, IDYES...), 0 when no box could be made.
int ShowOwnMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style);
