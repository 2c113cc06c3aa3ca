// ComboBoxCtrl against a real drop-down list in a hidden window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/ComboBoxCtrl.h"

namespace {

using Items = std::vector<const char*>;

struct ComboBoxCtrlTest : testing::Test {
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ComboBoxCtrl combo{CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 150, parent, nullptr,
                                       nullptr, nullptr)};
    ~ComboBoxCtrlTest() override { DestroyWindow(parent); }
    void Refill(const Items& items) {
        SendMessageW(combo.GetWindow(), CB_RESETCONTENT, 0, 0);
        for (const char* item : items) combo.AddString(item, -1);
    }
};

TEST_F(ComboBoxCtrlTest, AttachAddAndRead) {
    combo.Attach(nullptr);
    EXPECT_NE(combo.GetWindow(), nullptr);
    char buffer[4] = "xyz";
    EXPECT_FALSE(combo.GetSelectedText(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "") << "nothing selected";
    Refill({"RPGXP", "表ソ"});  // 0x5C second bytes, through the code page 932 boundary
    EXPECT_EQ(combo.AddString("RPGVX", 1), 1);
    EXPECT_EQ(combo.GetItemText(0) + "," + combo.GetItemText(1) + "," + combo.GetItemText(2), "RPGXP,RPGVX,表ソ");
    combo.SetCurSel(2, false);
    EXPECT_TRUE(combo.GetSelectedText(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "表") << "cut at a character boundary";
}

// Rows with a text try SelectByText (result 1 when found), the others SetCurSel.
TEST_F(ComboBoxCtrlTest, SelectionFallsBackToTheFirstItemOnlyWhenAsked) {
    const Items kinds = {"RPGXP", "RPGVX"};
    const struct { Items items; const char* text; int index; bool fallback; int result, selected; } rows[] = {
        {kinds, "RPGVX", 0, false, 1, 1}, {kinds, "rpgvx", 0, false, 0, -1}, {kinds, "rpgvx", 0, true, 0, 0},
        {kinds, "RPGV", 0, true, 0, 0},   {kinds, "RPGVXX", 0, false, 0, -1}, {{}, "RPGXP", 0, true, 0, -1},
        {{"表", "ソ"}, "ソ", 0, false, 1, 1}, {kinds, nullptr, 1, false, 1, 1}, {kinds, nullptr, 2, false, CB_ERR, -1},
        {kinds, nullptr, 7, true, 0, 0},  {{}, nullptr, 0, true, 0, -1},
    };
    for (const auto& row : rows) {
        Refill(row.items);
        const int result = row.text != nullptr ? combo.SelectByText(row.text, row.fallback)
                                               : combo.SetCurSel(row.index, row.fallback);
        EXPECT_EQ(std::to_string(result) + " " + std::to_string(combo.GetCurSel()),
                  std::to_string(row.result) + " " + std::to_string(row.selected))
            << (row.text != nullptr ? row.text : std::to_string(row.index)) << " in " << row.items.size()
            << " items, fallback " << row.fallback;
    }
}

}  // namespace
