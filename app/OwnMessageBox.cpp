#include "app/OwnMessageBox.h"

#include <algorithm>
#include <vector>

#include "app/DialogFont.h"

namespace {

constexpr int TextId = 0xFFFF, IconId = 0x14;

struct Button {
    int id;
    const wchar_t* text;
};

struct Box {
    const std::wstring& text;
    const std::wstring& caption;
    UINT style;
    HFONT font = nullptr;
    std::vector<Button> buttons;
};

std::vector<Button> ButtonsOf(UINT style) {
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, L"OK"}, {IDCANCEL, L"キャンセル"}};
    case MB_YESNO: return {{IDYES, L"はい(&Y)"}, {IDNO, L"いいえ(&N)"}};
    case MB_YESNOCANCEL: return {{IDYES, L"はい(&Y)"}, {IDNO, L"いいえ(&N)"}, {IDCANCEL, L"キャンセル"}};
    default: return {{IDOK, L"OK"}};
    }
}

const wchar_t* IconOf(UINT style) {
    switch (style & MB_ICONMASK) {
    case MB_ICONERROR: return IDI_ERROR;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONWARNING: return IDI_WARNING;
    case MB_ICONINFORMATION: return IDI_INFORMATION;
    default: return nullptr;
    }
}

HFONT MessageFont(const std::wstring& face) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
    if (!face.empty()) {
        lstrcpynW(metrics.lfMessageFont.lfFaceName, face.c_str(), LF_FACESIZE);
        metrics.lfMessageFont.lfCharSet = DEFAULT_CHARSET;
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

SIZE Measure(HDC dc, const wchar_t* text, UINT format, LONG width = 0) {
    RECT rect{0, 0, width, 0};
    DrawTextW(dc, text, -1, &rect, format | DT_CALCRECT);
    return {rect.right, rect.bottom};
}

HWND AddControl(HWND box, const wchar_t* windowClass, const wchar_t* text, DWORD style, int id, HFONT font) {
    HWND control = CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, box,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void Place(HWND control, int x, int y, int width, int height) {
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Laid out as the system's boxes are laid out under Wine, so that a box has
// the size it would have there: the buttons of one size, twice their widest
// text wide (at least four text lines' height) and two lines tall, a third
// of their width apart and centred; the text wrapped at 176 dialog units of
// the box's font, beside the icon, both centred in a band 16 pixels (at 96
// DPI) taller than the taller of them; 8 pixels under the buttons. The box
// is centred on the work area of its owner's screen.
void Layout(HWND box, Box& data, HWND icon, HWND text, const std::vector<HWND>& buttons) {
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, data.font);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    const int unitX = std::max<int>(1, DialogUnitWidth(dc));
    auto dluX = [&](int units) { return MulDiv(units, unitX, 4); };
    SIZE label{1, 1};
    for (const Button& button : data.buttons) {
        const SIZE size = Measure(dc, button.text, DT_SINGLELINE);
        label = {std::max(label.cx, size.cx), std::max(label.cy, size.cy)};
    }
    const int buttonWidth = 2 * std::max<int>(label.cx, 2 * label.cy), buttonHeight = 2 * label.cy;
    const int gap = buttonWidth / 3;
    const int row = static_cast<int>(buttons.size()) * (buttonWidth + gap) + gap;
    const SIZE shown = Measure(dc, data.text.c_str(), DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX, dluX(176));
    SelectObject(dc, old);
    ReleaseDC(box, dc);

    const int margin = dluX(8);
    const int iconWidth = icon != nullptr ? GetSystemMetrics(SM_CXICON) : 0;
    const int iconHeight = icon != nullptr ? GetSystemMetrics(SM_CYICON) : 0;
    const int textLeft = icon != nullptr ? 2 * margin + iconWidth : margin;
    const int textWidth = std::max<int>(row - textLeft, shown.cx);
    const int band = MulDiv(16, dpi, 96) + std::max<int>(iconHeight, shown.cy);
    RECT client{0, 0, textLeft + textWidth + margin, band + buttonHeight + MulDiv(8, dpi, 96)};
    if (icon != nullptr) Place(icon, margin, (band - iconHeight) / 2, iconWidth, iconHeight);
    Place(text, textLeft, (band - shown.cy) / 2, textWidth, shown.cy);
    int left = (client.right - row) / 2 + gap;
    for (HWND button : buttons) {
        Place(button, left, band, buttonWidth, buttonHeight);
        left += buttonWidth + gap;
    }

    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongW(box, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(box, GWL_EXSTYLE)));
    const int width = client.right - client.left, height = client.bottom - client.top;
    HWND owner = GetWindow(box, GW_OWNER);
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : box, MONITOR_DEFAULTTOPRIMARY), &screen);
    const RECT& work = screen.rcWork;
    SetWindowPos(box, nullptr, (work.left + work.right - width) / 2, (work.top + work.bottom - height) / 2, width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = reinterpret_cast<Box*>(GetWindowLongPtrW(box, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        data = reinterpret_cast<Box*>(lParam);
        SetWindowLongPtrW(box, DWLP_USER, lParam);
        SetWindowTextW(box, data->caption.c_str());
        data->font = MessageFont(DialogFace());
        SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(data->font), FALSE);
        // Yes and No, without Cancel: the box must be answered; its close button is off.
        if ((data->style & MB_TYPEMASK) == MB_YESNO) RemoveMenu(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND);
        HWND icon = nullptr;
        if (const wchar_t* which = IconOf(data->style)) {
            icon = AddControl(box, L"Static", nullptr, SS_ICON, IconId, data->font);
            SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, which)), 0);
        }
        HWND text = AddControl(box, L"Static", data->text.c_str(), SS_LEFT | SS_NOPREFIX | WS_GROUP, TextId, data->font);
        std::vector<HWND> buttons;
        const std::size_t chosen = std::min<std::size_t>((data->style & MB_DEFMASK) >> 8, data->buttons.size() - 1);
        for (const Button& button : data->buttons) {
            const bool first = buttons.empty(), isDefault = buttons.size() == chosen;
            buttons.push_back(AddControl(box, L"Button", button.text,
                                         WS_TABSTOP | (first ? WS_GROUP : 0) | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                                         button.id, data->font));
        }
        Layout(box, *data, icon, text, buttons);
        SendMessageW(box, DM_SETDEFID, static_cast<WPARAM>(data->buttons[chosen].id), 0);
        SetFocus(buttons[chosen]);
        MessageBeep(data->style & MB_ICONMASK);
        return FALSE;
    }
    case WM_COMMAND: {
        if (HIWORD(wParam) != BN_CLICKED || data == nullptr) return TRUE;
        int id = LOWORD(wParam);
        // Esc, the close button and Alt+F4 answer Cancel where there is one,
        // OK in a box with only OK, and nothing in a Yes/No box.
        const bool known = std::any_of(data->buttons.begin(), data->buttons.end(), [&](const Button& b) { return b.id == id; });
        if (!known && id == IDCANCEL && data->buttons.size() == 1) id = data->buttons[0].id;
        else if (!known) return TRUE;
        EndDialog(box, id);
        return TRUE;
    }
    case WM_DESTROY:
        if (data != nullptr && data->font != nullptr) DeleteObject(data->font);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

bool OwnBoxDrawsBetter(const std::wstring& text) {
    if (DialogFace().empty()) return false;
    auto draws = [](const std::wstring& face, const std::wstring& shown) {
        HFONT font = MessageFont(face);
        const bool all = font != nullptr && FontDrawsText(font, shown);
        if (font != nullptr) DeleteObject(font);
        return all;
    };
    // The system's box must also draw its buttons' names: a Japanese font
    // the system maps its message font to may hold no Latin letters.
    return !draws(L"", text + L"OK Cancel Yes No") && draws(DialogFace(), text);
}

int ShowOwnMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
    // An empty template: the controls are made and laid out when the box
    // starts. Style and extended style, no controls, no place or size, no
    // menu, class or title.
    constexpr DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_NOIDLEMSG;
    alignas(4) const WORD blank[12] = {LOWORD(Style), HIWORD(Style)};
    Box box{text, caption, style, nullptr, ButtonsOf(style)};
    const INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(blank), owner, BoxProc,
                                                   reinterpret_cast<LPARAM>(&box));
    return answer > 0 ? static_cast<int>(answer) : 0;
}
