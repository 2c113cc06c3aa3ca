// The window and its boxes under whatever code page the system has: every
// text drawn in a font that has its glyphs, the size a Japanese system gives
// them, and boxes that answer the keyboard as the system's do.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "ScratchDir.h"
#include "app/DialogFont.h"
#include "app/MainDialog.h"
#include "app/ProcessState.h"
#include "app/Warning.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"

namespace {

// Whether the font window draws with has a glyph for each character of text.
bool HasGlyphs(HWND window, std::wstring text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](wchar_t c) { return c < L' '; }), text.end());
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    std::vector<WORD> glyphs(text.size() + 1);
    GetGlyphIndicesW(dc, text.c_str(), int(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return std::count(glyphs.begin(), glyphs.begin() + std::ptrdiff_t(text.size()), 0xFFFF) == 0;
}

// Every control below window whose text lacks glyphs in its font. (A
// caption is the system's to draw; a list's headers take its font.)
void ExpectGlyphs(HWND window) {
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        EXPECT_TRUE(HasGlyphs(child, DisplayText(WindowText(child)))) << WindowText(child);
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) ExpectGlyphs(child);
}

INT_PTR CALLBACK Idle(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// Shows a box as the program does, with a thread that checks its glyphs
// and then answers it with key (and modifier); the box's answer.
int ShowAndAnswer(UINT style, UINT key, UINT modifier = 0, SeenBox* seen = nullptr) {
    std::thread answer([&] {
        HWND box = WaitBox(GetCurrentProcessId());
        if (box == nullptr) return;
        ExpectGlyphs(box);
        if (seen != nullptr) *seen = ReadBox(box);
        modifier != 0 ? TypeKey(box, key, {modifier}) : TypeKey(box, key);
        if (!Eventually([&] { return !IsWindow(box); }, 1000)) AnswerBox(box, ReadBox(box).buttons.back());
    });
    const int result = ShowMessage(nullptr, "本当に RTP[テスト] を削除しますか？", "確認", style);
    answer.join();
    return result;
}

// The process's face is chosen as the program chooses it, before any window.
struct AnyCodePage : testing::Test {
    static void SetUpTestSuite() {
        std::wstring titles;
        for (const TabPageSpec* row = MainPages; row->title[0] != 0; ++row) titles += DisplayText(row->title);
        ChooseDialogFace(GetModuleHandleW(nullptr), titles);
    }
};

TEST_F(AnyCodePage, EveryTextOfTheWindowAndTheProgressWindowHasItsGlyphs) {
    ScratchDir dir;
    std::strcpy(InstallerIniPath, (dir / "Tavisk.ini").c_str());
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND dialog = CreateDialogIndirectParamW(instance, DialogTemplate(instance, MainDialogTemplate), nullptr, MainDialogProc, 0);
    HWND progress = CreateDialogIndirectParamW(instance, DialogTemplate(instance, ProgressTemplate), dialog, Idle, 0);
    ASSERT_NE(dialog, nullptr);
    ExpectGlyphs(dialog);
    ExpectGlyphs(progress);
    wchar_t title[64] = {};
    TCITEMW tab{TCIF_TEXT, 0, 0, title, 64, 0, 0};
    for (int i = 0; TabCtrl_GetItem(GetDlgItem(dialog, MainTabControlId), i, &tab); ++i)
        EXPECT_TRUE(HasGlyphs(GetDlgItem(dialog, MainTabControlId), title)) << ShownNarrow(title);
    DestroyWindow(progress);
    DestroyWindow(dialog);
}

// The same answers from the system's box (where it draws Japanese) and the
// program's own, which draws every text with its glyphs.
TEST_F(AnyCodePage, BoxesAnswerTheKeyboardAsTheSystemsDo) {
    const struct { UINT style; UINT key; UINT modifier; int answer; } rows[] = {
        {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, VK_RETURN, 0, IDNO},
        {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, 'Y', 0, IDYES},
        {MB_YESNO | MB_ICONQUESTION, 'N', VK_MENU, IDNO},
        {MB_YESNOCANCEL | MB_ICONQUESTION, VK_ESCAPE, 0, IDCANCEL},
    };
    for (const auto& row : rows) {
        SeenBox seen;
        const int answer = ShowAndAnswer(row.style, row.key, row.modifier, &seen);
        const std::string said = "style " + std::to_string(row.style) + ", key " + std::to_string(row.key);
        EXPECT_EQ(answer, row.answer) << said;
        EXPECT_EQ(seen.defaultButton, (row.style & MB_DEFBUTTON2) ? IDNO : (row.style & MB_TYPEMASK) == MB_OK ? IDOK : IDYES) << said;
        EXPECT_EQ(seen.caption, "確認") << said;
    }
}

// Kelmora.exe's window and its box after 保存 have the size they have on a
// Japanese system: the Japanese run records them, the others compare.
TEST_F(AnyCodePage, TheWindowAndABoxHaveTheSizeTheyHaveOnAJapaneseSystem) {
    ScratchDir dir;
    AppDriver app;
    ASSERT_TRUE(app.Start(dir.Path()));
    ClickButton(GetDlgItem(app.PageWith(RtpTypeComboId), IDOK));
    const HWND box = app.WaitBox();
    RECT window{}, shown{};
    GetWindowRect(app.dialog, &window);
    GetWindowRect(box, &shown);
    EXPECT_EQ(ReadBox(box).text, "設定を保存しました");
    AnswerBox(box, IDOK);
    const long sizes[4] = {window.right - window.left, window.bottom - window.top, shown.right - shown.left, shown.bottom - shown.top};
    const char* record = std::getenv("KELMORA_JAPANESE_SIZES");
    ASSERT_NE(record, nullptr);
    if (GetACP() == 932) {
        EXPECT_TRUE(WriteFileBytes(record, std::string(reinterpret_cast<const char*>(sizes), sizeof sizes)));
        return;
    }
    const std::string japanese = ReadFileBytes(record);
    ASSERT_EQ(japanese.size(), sizeof sizes) << "no sizes from the Japanese run in " << record;
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(sizes[i], reinterpret_cast<const long*>(japanese.data())[i], 4) << (i < 2 ? "window" : "box") << (i % 2 ? " height" : " width");
}

}  // namespace
