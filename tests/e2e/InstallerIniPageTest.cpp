// The installer settings page in one journey, hosted in this process: a
// hand-edited file, browsing for others, edits, failed and good saves, files
// that are not settings files, and the page made again on the chosen file.
// Each step is a test of its own on the page the suite hosts, in order, so a
// failure leaves the later checks to report.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ScratchDir.h"
#include "app/ProcessState.h"
#include "e2e/Driver.h"
#include "fsutil/WinText.h"
#include "pages/InstallerIniPage.h"

namespace {

using Values = std::vector<std::string>;  // RTPName, Title, Copyright, Version, Bitmap, RTPType[, path]
const Values Defaults = {"Test", "Test Quorlen", "Copyright(c) 2009,", "Ver0.01", "", "RPGXP"};
Values With(Values v, const std::string& path) { return v.push_back(path), v; }
Values With(Values v, std::size_t at, const std::string& text) { return v[at] = text, v; }  // one value changed

std::string NewSection(Values v) {  // RTPType first in a file the page makes; blanks and quotes at the ends quoted
    for (std::string& text : v)
        if (!text.empty() && (std::string(" \"'").find(text.front()) != std::string::npos || text.back() == ' ')) text = '"' + text + '"';
    return "[Tavisk]\r\nRTPType=" + v[5] + "\r\nRTPName=" + v[0] + "\r\nTitle=" + v[1] + "\r\nCopyright=" + v[2] +
           "\r\nVersion=" + v[3] + "\r\nBitmap=" + v[4] + "\r\n";
}
std::string Repeat(const std::string& text, int times) { return times > 0 ? text + Repeat(text, times - 1) : ""; }
std::string Utf16(const std::wstring& text) { return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2); }

// A comment, blank lines, LF line ends, blanks around '=', another section and
// key, a kind in the wrong case, 300 bytes: opening writes nothing.
const std::string HandEdited = "; mine\n\n[Other]\n  k = v\n[Tavisk]\nExtra=ソ\nRTPType=rpgvx\nTitle=" +
                               Repeat("ソ", 150) + "\nVersion=表\n";
// What typing leaves in the boxes, and a save in the chosen file.
const Values Kept = {"A" + Repeat("表", 129), "Aソx" + Repeat("表", 127), "\"(c) 2026 ソ\"", " Ver1.00 ", "表.bmp", "RPGVX"};

// What the journey's steps share.
struct Journey {
    ScratchDir dir;
    std::unique_ptr<AppDriver> app;
    HWND page = nullptr;
    const std::string start = dir / "sub\\Tavisk.ini", chosen = dir / "ソフト表.ini";
    Values script;  // the chosen file's values once the saves are done
};

struct InstallerIniPageTest : testing::Test {
    static void SetUpTestSuite() { journey = std::make_unique<Journey>(); }
    static void TearDownTestSuite() { journey.reset(); }
    // The first step run finds the page made on the hand-edited file.
    void SetUp() override {
        if (j.app) return;
        ASSERT_TRUE(MakeDirectory(dir / "sub") && WriteFileBytes(j.start, HandEdited));
        Start(j.start);
    }
    // Makes the page on path, as the program does at its start.
    void Start(const std::string& path) {
        j.app = std::make_unique<AppDriver>();
        std::strcpy(InstallerIniPath, path.c_str());
        ASSERT_TRUE(j.app->Host(InstallerIniTemplate, InstallerIniPageProc));
        j.page = j.app->PageWith(RtpTypeComboId);
    }
    HWND Item(int id) const { return GetDlgItem(j.page, id); }
    Values Shown() const {  // the six values, and the path box last
        Values shown;
        for (int id : InstallerIniEditIds) shown.push_back(WindowText(Item(id)));
        for (int id : {RtpTypeComboId, InstallerIniPathEditId}) shown.push_back(WindowText(Item(id)));
        return shown;
    }
    // Clicks a button and answers the first box it opens with button (the
    // open-file dialog with name); its "caption: text".
    std::string Press(int id, int button = IDOK, const std::string& name = "") {
        ClickButton(Item(id));
        const std::string seen = j.app->Answer(button, name);
        SendMessageTimeoutW(j.page, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr);  // answered once loaded
        return seen;
    }
    std::string Browse(const std::string& name) { return Press(InstallerIniBrowseId, name.empty() ? IDCANCEL : IDOK, name); }

    static std::unique_ptr<Journey> journey;
    Journey& j = *journey;
    const ScratchDir& dir = j.dir;
};
std::unique_ptr<Journey> InstallerIniPageTest::journey;

const std::string Ask = "確認: 変更を保存しますか？";

TEST_F(InstallerIniPageTest, OpeningAHandEditedFileWritesNothing) {
    EXPECT_EQ(Shown(), (Values{"Test", Repeat("ソ", 129), "Copyright(c) 2009,", "表", "", "", j.start}));
    EXPECT_EQ(ReadFileBytes(j.start), HandEdited);
}

// Typed edits are not dropped unasked: Cancel keeps them, No drops them only
// once another file is chosen. Typed back as read, nothing asks.
TEST_F(InstallerIniPageTest, TypedEditsAreNotDroppedUnasked) {
    SetControlText(Item(CopyrightEditId), "unsaved");
    EXPECT_EQ(Press(InstallerIniBrowseId, IDCANCEL), Ask);
    EXPECT_EQ(j.app->WaitBox(500), nullptr) << "Cancel opened the open-file dialog";
    EXPECT_EQ(Press(InstallerIniBrowseId, IDNO), Ask);
    j.app->Answer(IDCANCEL);
    EXPECT_EQ(Shown()[2] + " " + Shown()[6], "unsaved " + j.start);
    SetControlText(Item(CopyrightEditId), "Copyright(c) 2009,");
}

// Bare names land in the current file's folder. Only an exact kind is shown;
// any other shows none and is kept by a save, with the missing keys.
TEST_F(InstallerIniPageTest, OnlyAnExactKindIsShownAndAnyOtherKept) {
    for (const std::string stored : {"RPGVX", "rpgvx", "", "RPG2000"}) {
        const std::string path = dir / "sub\\x" + stored + ".ini", bytes = "[Tavisk]\r\nRTPType=" + stored + "\r\n";
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        Browse("x" + stored + ".ini");
        EXPECT_EQ(Shown(), With(With(Defaults, 5, stored == "RPGVX" ? stored : ""), path)) << "RTPType=" << stored;
        EXPECT_EQ(ReadFileBytes(path), bytes) << "RTPType=" << stored;
    }
    EXPECT_EQ(Press(IDOK), "お知らせ: 設定を保存しました");
    EXPECT_EQ(ReadFileBytes(dir / "sub\\xRPG2000.ini"), NewSection(With(Defaults, 5, "RPG2000")));
    EXPECT_EQ(ReadFileBytes(j.start), HandEdited);
}

// A file not there yet is made at once, silently, where it can be; one that
// is not text is shown empty, never written, and the user is told.
TEST_F(InstallerIniPageTest, FilesNotThereOrNotText) {
    Browse(dir / "missing\\Tavisk.ini");
    EXPECT_EQ(j.app->WaitBox(1000), nullptr) << "the write of a new file is silent";
    EXPECT_EQ(Press(IDOK), "エラー: 設定を保存できませんでした\nフォルダが見つかりません");
    const std::string bitmap = dir / "sub\\title.bmp", pixels = std::string("BM\x36\x03\0\0\0\0\r\n", 10) + "[Tavisk]\r\nTitle=x\r\n";
    ASSERT_TRUE(WriteFileBytes(bitmap, pixels));
    Browse(bitmap);
    EXPECT_EQ(j.app->Answer(IDOK), "エラー: 設定ファイルとして読めないファイルです");
    EXPECT_EQ(Shown(), (Values{"", "", "", "", "", "", bitmap}));
    EXPECT_EQ(Press(IDOK), "エラー: 設定を保存できませんでした\n設定ファイルとして読めないファイルです");
    EXPECT_EQ(ReadFileBytes(bitmap), pixels);
}

// A value the program cannot hold stays in the file until the user replaces it.
TEST_F(InstallerIniPageTest, AValueThatCannotBeShownStaysUntilReplaced) {
    const std::string unicode = dir / "sub\\u.ini";
    ASSERT_TRUE(WriteFileBytes(unicode, "\xFF\xFE" + Utf16(L"[Tavisk]\r\nTitle=Zo\u00EB\r\n")));
    Browse(unicode);
    EXPECT_EQ(Shown()[1], "");
    EXPECT_EQ(Press(IDOK), "お知らせ: 設定を保存しました");
    EXPECT_NE(ReadFileBytes(unicode).find(Utf16(L"Title=Zo\u00EB\r\n")), std::string::npos) << "kept";
    SetControlText(Item(TitleEditId), "New");
    EXPECT_EQ(Press(IDOK), "お知らせ: 設定を保存しました");
    EXPECT_NE(ReadFileBytes(unicode).find(Utf16(L"Title=New\r\n")), std::string::npos) << "replaced";
    SetControlText(Item(TitleEditId), "");
    EXPECT_EQ(Press(IDOK), "お知らせ: 設定を保存しました");
    EXPECT_NE(ReadFileBytes(unicode).find(Utf16(L"Title=\r\n")), std::string::npos) << "cleared once saved";
}

// 300 bytes: 259 would end inside a character. Then typing at the start,
// where the caret is: what no longer fits is refused, the rest kept. In 255
// bytes, A, ソ and 表 typed at the start leave room for half of 表. A
// read-only file is not written, and says why.
TEST_F(InstallerIniPageTest, TypingStopsAtWhatTheInstallerReads) {
    Browse(j.chosen);
    EXPECT_EQ(Shown()[6] + " " + ReadFileBytes(j.chosen), j.chosen + " " + NewSection(Defaults));
    const Values typed = {Repeat("表", 150), "x" + Repeat("表", 127), "\"(c) 2026 ソ\"", " Ver1.00 ", "表.bmp"};
    for (int i = 0; i < 5; ++i) SetControlText(Item(InstallerIniEditIds[i]), typed[static_cast<std::size_t>(i)]);
    for (wchar_t key : {L'A', L'B'}) SendMessageW(Item(RtpNameEditId), WM_CHAR, key, 0);
    for (wchar_t key : {L'A', L'\u30BD', L'\u8868'}) SendMessageW(Item(TitleEditId), WM_CHAR, key, 0);
    ASSERT_EQ(SendMessageW(Item(RtpTypeComboId), CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(Shown(), With(Kept, j.chosen));
    ASSERT_TRUE(SetFileAttributesW(DisplayText(j.chosen).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Press(IDOK), "エラー: 設定を保存できませんでした\n読み取り専用のファイルです");
    SetFileAttributesW(DisplayText(j.chosen).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Press(IDOK), "お知らせ: 設定を保存しました");
    EXPECT_EQ(ReadFileBytes(j.chosen), NewSection(Kept));
}

// All or nothing: one value code page 932 cannot hold, or one the
// installer's 260-byte reader would cut with its quotes, and nothing is
// written; another program's edit is never undone unasked, nor replaced by
// older bytes; a write that fails on the copy, or a full volume, leaves the
// file byte for byte.
TEST_F(InstallerIniPageTest, ASaveWritesAllOrNothingAndUndoesNoOnesEdits) {
    if (Shown() != With(Kept, j.chosen)) {  // run alone: the saved file as the step before leaves it
        ASSERT_TRUE(WriteFileBytes(j.chosen, NewSection(Kept)));
        Browse(j.chosen);
    }
    SetControlText(Item(RtpNameEditId), " " + std::string(258, 'x'));
    SendMessageW(Item(BitmapEditId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\u00e9.bmp"));
    EXPECT_EQ(Press(IDOK), "エラー: RTPName を保存できませんでした\n設定ファイルは変更していません");
    SetControlText(Item(RtpNameEditId), "New name");
    EXPECT_EQ(Press(IDOK), "エラー: Bitmap を保存できませんでした\n設定ファイルは変更していません");
    EXPECT_EQ(ReadFileBytes(j.chosen), NewSection(Kept)) << "no value is written";
    // Another program changed the file since the save: Enter on the question
    // says No, which writes nothing and keeps what the user typed.
    Values script = Kept, typed = Kept;
    script[1] = "Title set by the build script", script[3] = "V2";
    typed[0] = " " + std::string(256, 'x'), typed[4] = "b.bmp";  // 259 bytes with its quotes
    ASSERT_TRUE(WriteFileBytes(j.chosen, NewSection(script)));
    SetControlText(Item(RtpNameEditId), typed[0]);
    SendMessageW(Item(BitmapEditId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"b.bmp"));
    const std::string changed = "確認: 「ソフト表.ini」は読み込んだ後で他のプログラムによって変更されています。上書きしますか？\n\n"
                                "いいえ: 保存せず、入力した内容はそのまま残します";
    EXPECT_EQ(Press(IDOK, 0), changed);
    EXPECT_EQ(Shown(), With(typed, j.chosen));
    EXPECT_EQ(ReadFileBytes(j.chosen), NewSection(script));
    // はい while another program saves again (as UTF-8, then deleted and made
    // anew): asked again, and the newer file stays.
    const std::string utf8 = "\xEF\xBB\xBF[Tavisk]\r\nTitle=V3\r\n", remade = NewSection(With(script, 1, "V4"));
    for (const std::string* newer : {&utf8, &remade}) {
        if (newer == &remade) DeleteFileW(DisplayText(j.chosen).c_str());
        ClickButton(Item(IDOK));
        const HWND question = j.app->WaitBox();
        ASSERT_NE(question, nullptr);
        ASSERT_TRUE(WriteFileBytes(j.chosen, *newer));
        ASSERT_TRUE(AnswerBox(question, IDYES));
        EXPECT_EQ(j.app->Answer(IDNO), changed) << "not asked again";
        EXPECT_EQ(ReadFileBytes(j.chosen), *newer);
    }
    EXPECT_EQ(Press(IDOK, IDYES), changed);
    EXPECT_EQ(j.app->Answer(IDOK), "お知らせ: 設定を保存しました");
    EXPECT_EQ(ReadFileBytes(j.chosen), NewSection(typed));
    char read[260] = {};  // as the installer reads it, from a name every code page holds
    ASSERT_TRUE(WriteFileBytes(dir / "installer.ini", ReadFileBytes(j.chosen)));
    EXPECT_EQ(GetPrivateProfileStringA("Tavisk", "RTPName", "", read, 260, (dir / "installer.ini").c_str()), 257u);
    EXPECT_EQ(read, typed[0]);
    j.script = typed;
    // A write that fails on the copy (the first one takes it past the 16 MB
    // a settings file may have): the file stays byte for byte.
    const std::string big = dir / "big.ini", huge = "[Tavisk]\r\nRTPName=a\r\n[Pad]\r\np=" + std::string(16777179, 'x') + "\r\n";
    ASSERT_EQ(huge.size(), 16777211u);
    ASSERT_TRUE(WriteFileBytes(big, huge));
    Browse(big);
    SetControlText(Item(RtpNameEditId), "b");
    EXPECT_EQ(Press(IDOK), "エラー: 設定を保存できませんでした\n書き込んだ内容を読み戻せませんでした\n設定ファイルは変更していません");
    EXPECT_TRUE(ReadFileBytes(big) == huge) << "changed";
    SetControlText(Item(RtpNameEditId), "a");  // as read: nothing to offer for saving
    // A full volume (a small one the run mounts, KELMORA_FULL_VOLUME): nothing
    // cut short, no empty file made.
    std::string volume = std::getenv("KELMORA_FULL_VOLUME") ? std::getenv("KELMORA_FULL_VOLUME") : "";
    std::replace(volume.begin(), volume.end(), '/', '\\');  // as the open-file dialog takes it
    const std::string full = volume + "\\Tavisk.ini", fresh = volume + "\\new.ini";
    const std::string pad = "[Tavisk]\r\nTitle=a\r\n[Pad]\r\n" + Repeat("p=" + std::string(60, 'x') + "\r\n", 300) + "[Last]\r\nimportant=yes\r\n";
    ULARGE_INTEGER free{}, size{};
    const bool small = !volume.empty() && GetDiskFreeSpaceExW(DisplayText(volume).c_str(), &free, &size, nullptr) &&
                       size.QuadPart <= (1u << 20);
    if (small && WriteFileBytes(full, pad)) {
        WriteFileBytes(std::string(volume) + "\\filler", std::string(1 << 20, 'f'));  // as much as fits
        ASSERT_TRUE(GetDiskFreeSpaceExW(DisplayText(volume).c_str(), &free, nullptr, nullptr));
        ASSERT_EQ(free.QuadPart, 0u);
        Browse(full);
        SetControlText(Item(TitleEditId), std::string(200, 'T'));
        EXPECT_EQ(Press(IDOK), "エラー: 設定を保存できませんでした\nディスクの空き領域が足りません\n設定ファイルは変更していません");
        EXPECT_TRUE(ReadFileBytes(full) == pad) << "cut short";
        SetControlText(Item(TitleEditId), "a");
        Browse(fresh);
        EXPECT_EQ(j.app->Answer(IDOK), "エラー: 設定ファイルを作成できませんでした\nディスクの空き領域が足りません");
        EXPECT_FALSE(PathExists(fresh));
    }
    ASSERT_TRUE(j.app->Close());
    if (!small) GTEST_SKIP() << "no small volume was mounted for this run at " << volume << " (needs the right to mount)";
}

// Held open by another program when the page is made: nothing is shown, and
// a later save keeps what was never read, the kind included.
TEST_F(InstallerIniPageTest, AFileHeldOpenKeepsWhatWasNeverRead) {
    if (j.script.empty()) {  // run alone: a file as the saves before leave it
        j.script = Kept;
        ASSERT_TRUE(WriteFileBytes(j.chosen, NewSection(Kept)));
    }
    HANDLE lock = CreateFileW(DisplayText(j.chosen).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Start(j.chosen);
    EXPECT_EQ(j.app->Answer(IDOK), "エラー: 他のプログラムが使用中です") << "why the boxes are empty, once shown";
    EXPECT_EQ(Shown(), (Values{"", "", "", "", "", "", j.chosen}));
    CloseHandle(lock);
    SetControlText(Item(VersionEditId), "Ver2");
    EXPECT_EQ(Press(IDOK), "お知らせ: 設定を保存しました");
    const Values saved = With(j.script, 3, "Ver2");
    EXPECT_EQ(ReadFileBytes(j.chosen), NewSection(saved));
    ASSERT_TRUE(j.app->Close());
    Start(j.chosen);
    EXPECT_EQ(Shown(), With(saved, j.chosen)) << "every value read back as typed";
}

}  // namespace
