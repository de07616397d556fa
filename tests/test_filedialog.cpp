// The file dialog's procedure, driven headlessly through DialogBoxParamA.
#include <filesystem>

#include "savefile/savefile.h"
#include "tests/harness/testsupport.h"

using headless::DlgAction;

class FileDialogTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        for (const char *file : {"b.qbs", "A.QBS", "notes.txt", ".hidden.qbs", "saves/c.qbs", "Zeta/d.txt"})
            WriteFile(file, "x");
    }
    int Show(const FileDialogSettings &settings, const std::vector<DlgAction> &script, int room = 250) {
        headless::ScriptDialog(script);
        out[0] = '\0';
        return ShowFileDialog(settings, out, room);
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (const DlgListItem &item : DlgFindList(&headless::lastdialog, IDC_FD_FILES)->items) rows.push_back(item.text);
        return rows;
    }
    char out[250];
};

TEST_F(FileDialogTest, RowsWalkIntoFoldersAndPickAFile) {
    ASSERT_EQ(Show(LoadDialogSettings, {{DlgAction::SelectRow, IDC_FD_FILES, 1},
                                        {DlgAction::Press, IDOK},
                                        {DlgAction::SelectRow, IDC_FD_FILES, 1},
                                        {DlgAction::Press, IDOK}}),
              1);
    EXPECT_STREQ(out, "saves/c.qbs");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"../", "c.qbs"}));
    EXPECT_STREQ(GetDlgItemTextPtr(&headless::lastdialog, IDC_FD_FOLDER), "Folder: saves");

    // A typed path walks through folders, a typed pattern lists anew; Cancel gives 0.
    ASSERT_EQ(Show(LoadDialogSettings, {{DlgAction::Type, IDC_FD_NAME, 0, "saves/../Zeta"},
                                        {DlgAction::Press, IDOK},
                                        {DlgAction::Type, IDC_FD_NAME, 0, "*.txt"},
                                        {DlgAction::Press, IDOK},
                                        {DlgAction::Press, IDCANCEL}}),
              0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"../", "d.txt"}));
}

TEST_F(FileDialogTest, TheFilterListsTheDefaultExtensionAndThePromptsDecide) {
    // All Files shows every file; No to creating keeps the dialog open;
    // Yes to replacing chooses.
    ASSERT_EQ(Show(SaveDialogSettings, {{DlgAction::SelectRow, IDC_FD_TYPES, 1},
                                        {DlgAction::Type, IDC_FD_NAME, 0, "new"},
                                        {DlgAction::Press, IDOK},
                                        {DlgAction::Press, IDNO},
                                        {DlgAction::Type, IDC_FD_NAME, 0, "b"},
                                        {DlgAction::Press, IDOK},
                                        {DlgAction::Press, IDYES}}),
              1);
    EXPECT_STREQ(out, "b.qbs");
    EXPECT_EQ(headless::dialogsshown, 3);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"../", "saves/", "Zeta/", "A.QBS", "b.qbs", "notes.txt", "qblog.txt"}));

    // Loading asks nothing about a file that exists; a path that does not
    // fit the caller's room is an error.
    headless::dialogsshown = 0;
    EXPECT_EQ(Show(LoadDialogSettings, {{DlgAction::Type, IDC_FD_NAME, 0, "b"}, {DlgAction::Press, IDOK}}), 1);
    EXPECT_EQ(headless::dialogsshown, 1);
    EXPECT_EQ(Show(LoadDialogSettings, {{DlgAction::Type, IDC_FD_NAME, 0, "b"}, {DlgAction::Press, IDOK}}, 5),
              -FNERR_BUFFERTOOSMALL);
    EXPECT_EQ(Show(LoadDialogSettings, {{DlgAction::Type, IDC_FD_NAME, 0, "b"}, {DlgAction::Press, IDOK}}, 6), 1);
}

TEST_F(FileDialogTest, PatternsMatchStarsAndSingleLettersInEitherCase) {
    struct Case {
        const char *name, *pattern;
        bool match;
    } cases[] = {
        {"game.qbs", "*.qbs", true}, {"GAME.QBS", "*.qbs", true}, {"game.qbsx", "*.qbs", false},
        {"x.qbs.bak", "*.qbs", false}, {"noext", "*.*", true},    {"a.b.c", "*.c", true},
        {"abc", "a?c", true},         {"ab", "a?c", false},       {"aXbXbc", "a*b*c", true},
    };
    for (const Case &c : cases) EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.match) << c.name << " " << c.pattern;
}
