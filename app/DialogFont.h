#pragma once
// The face the program's windows draw their text in. Every dialog template
// names "ＭＳ Ｐゴシック"; a system whose code page is not 932 may give that
// name a font without Japanese, which draws every Japanese character as an
// empty box. The program then takes an installed face that holds Japanese,
// at the templates' point sizes, for every dialog it makes from them.
#include <windows.h>

#include <string>
#include <string_view>

// Whether font has a glyph for every character of text (control characters
// aside).
bool FontDrawsText(HFONT font, std::wstring_view text);

// The width of an average Latin letter in the font selected into dc, as the
// dialog manager measures it for its horizontal dialog units (4 units).
LONG DialogUnitWidth(HDC dc);

// Decides, once and before the first window, from the texts of the
// program's dialog templates and moreTexts (what the window shows that no
// template holds, such as the tab titles): nothing when the templates' own
// face draws them all, as on a Japanese system; else the first face that
// does of those Japanese systems have ("MS UI Gothic", "Meiryo UI",
// "Yu Gothic UI", "MS PGothic"), then of the installed Japanese faces the
// sans-serif ones, the one with the smallest dialog units first, so that the
// window keeps the size the templates' own face gives it. When no face draws
// them, nothing is chosen.
void ChooseDialogFace(HINSTANCE instance, std::wstring_view moreTexts);
// The face the dialogs draw with: the one chosen, else the templates' own;
// empty before ChooseDialogFace.
const std::wstring& DialogFace();

// Dialog template id of instance as dialogs are to be made from it: the
// resource itself, or a copy that names the chosen face (kept for the life
// of the process). Null when there is no such template.
const DLGTEMPLATE* DialogTemplate(HINSTANCE instance, int id);
