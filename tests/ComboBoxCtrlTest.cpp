// ComboBoxCtrl against a real drop-down list in a hidden window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/ComboBoxCtrl.h"

namespace {

class ComboBoxCtrlTest : public testing::Test {
protected:
    void SetUp() override {
        parent = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPED, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                                 nullptr);
        combo.Attach(CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 100, 150,
                                     parent, reinterpret_cast<HMENU>(1010), nullptr, nullptr));
        ASSERT_NE(combo.GetWindow(), nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }
    void Refill(const std::vector<const char*>& items) {
        SendMessageW(combo.GetWindow(), CB_RESETCONTENT, 0, 0);
        for (const char* item : items) combo.AddString(item, -1);
    }
    std::vector<std::string> Items() const {
        std::vector<std::string> items;
        for (int i = 0; i < combo.GetCount(); ++i) items.push_back(combo.GetItemText(i));
        return items;
    }

    HWND parent = nullptr;
    ComboBoxCtrl combo;
};

TEST_F(ComboBoxCtrlTest, AttachNullKeepsTheWindowAndItemsKeepTheirOrder) {
    HWND window = combo.GetWindow();
    combo.Attach(nullptr);
    EXPECT_EQ(combo.GetWindow(), window);
    EXPECT_EQ(combo.AddString("RPGXP", -1), 0);
    EXPECT_EQ(combo.AddString("表ソ", -1), 1);  // second bytes 0x5C, through the code page 932 boundary
    EXPECT_EQ(combo.AddString("RPGVX", 1), 1);
    EXPECT_EQ(Items(), (std::vector<std::string>{"RPGXP", "RPGVX", "表ソ"}));
    char buffer[4] = "xyz";
    EXPECT_EQ(combo.GetItemText(2, buffer, sizeof buffer), 2) << "cut at a character boundary";
    EXPECT_STREQ(buffer, "表");
    EXPECT_EQ(combo.GetItemText(3, buffer, sizeof buffer), CB_ERR);
    EXPECT_STREQ(buffer, "");
}

TEST_F(ComboBoxCtrlTest, GetSelectedText) {
    Refill({"RPGXP", "RPGVX"});
    char buffer[16] = "stale";
    EXPECT_FALSE(combo.GetSelectedText(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
    combo.SetCurSel(1, false);
    EXPECT_TRUE(combo.GetSelectedText(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "RPGVX");
}

TEST_F(ComboBoxCtrlTest, SelectByTextIsExactAndFallsBackToTheFirstItemOnlyWhenAsked) {
    const std::vector<const char*> kinds = {"RPGXP", "RPGVX"};
    struct Row {
        std::vector<const char*> items;
        const char* text;
        bool fallback, found;
        int selected;
    } rows[] = {
        {kinds, "RPGVX", false, true, 1}, {kinds, "rpgvx", false, false, -1}, {kinds, "rpgvx", true, false, 0},
        {kinds, "RPGV", true, false, 0},  {kinds, "RPGVXX", false, false, -1}, {kinds, "", true, false, 0},
        {{}, "RPGXP", true, false, -1},   {{"表", "ソ"}, "ソ", false, true, 1},
    };
    for (const Row& row : rows) {
        Refill(row.items);
        const std::string input = "[" + std::string(row.text) + "] in " + std::to_string(row.items.size()) +
                                  " items, fallback " + std::to_string(row.fallback);
        EXPECT_EQ(combo.SelectByText(row.text, row.fallback), row.found) << input;
        EXPECT_EQ(combo.GetCurSel(), row.selected) << input;
    }
}

TEST_F(ComboBoxCtrlTest, SetCurSelPastTheEndFallsBackOnlyWhenAsked) {
    struct Row {
        int count, index;
        bool fallback;
        int result, selected;
    } rows[] = {
        {2, 1, false, 1, 1}, {2, 2, false, CB_ERR, -1}, {2, 2, true, 0, 0}, {2, 7, true, 0, 0},
        {0, 0, true, 0, -1}, {0, 0, false, CB_ERR, -1},
    };
    for (const Row& row : rows) {
        Refill(std::vector<const char*>(static_cast<std::size_t>(row.count), "RPGXP"));
        const std::string input = "index " + std::to_string(row.index) + " of " + std::to_string(row.count) +
                                  ", fallback " + std::to_string(row.fallback);
        EXPECT_EQ(combo.SetCurSel(row.index, row.fallback), row.result) << input;
        EXPECT_EQ(combo.GetCurSel(), row.selected) << input;
    }
}

}  // namespace
