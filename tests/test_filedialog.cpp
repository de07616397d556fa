// The file dialog's procedure, driven headlessly through DialogBoxParamA.
#include "savefile/savefile.h"
#include "tests/harness/testsupport.h"

using headless::DlgAction;
static const DlgAction OK{DlgAction::Press, IDOK};
static DlgAction Row(int list, int row) { return {DlgAction::SelectRow, list, row}; }
static DlgAction Type(const char *text) { return {DlgAction::Type, IDC_FD_NAME, 0, text}; }

class FileDialogTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        for (const char *file : {"b.qbs", "A.QBS", "notes.txt", ".hidden.qbs", "saves/c.qbs", "Zeta/d.txt"})
            WriteFile(file, "x");
    }
    int Show(const FileDialogSettings &settings, const std::vector<DlgAction> &script, int room = 250) {
        headless::ScriptDialog(script);
        return ShowFileDialog(settings, out, room);
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (const DlgListItem &item : DlgFindList(&headless::lastdialog, IDC_FD_FILES)->items) rows.push_back(item.text);
        return rows;
    }
    char out[250] = "";
};

TEST_F(FileDialogTest, RowsAndTypedPathsWalkThroughFoldersAndPickAFile) {
    ASSERT_EQ(Show(LoadDialogSettings, {Row(IDC_FD_FILES, 1), OK, Row(IDC_FD_FILES, 1), OK}), 1);
    EXPECT_STREQ(out, "saves/c.qbs");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"../", "c.qbs"}));
    EXPECT_STREQ(GetDlgItemTextPtr(&headless::lastdialog, IDC_FD_FOLDER), "Folder: saves");

    ASSERT_EQ(Show(LoadDialogSettings, {Type("saves/../Zeta"), OK, Type("*.txt"), OK, {DlgAction::Press, IDCANCEL}}), 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"../", "d.txt"}));
}

TEST_F(FileDialogTest, TheFilterTheDefaultExtensionAndThePromptsDecide) {
    // All Files shows every file; No to creating keeps the dialog open; Yes
    // to replacing chooses.
    ASSERT_EQ(Show(SaveDialogSettings, {Row(IDC_FD_TYPES, 1), Type("new"), OK, {DlgAction::Press, IDNO}, Type("b"), OK,
                                        {DlgAction::Press, IDYES}}),
              1);
    EXPECT_STREQ(out, "b.qbs");
    EXPECT_EQ(headless::dialogsshown, 3);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"../", "saves/", "Zeta/", "A.QBS", "b.qbs", "notes.txt", "qblog.txt"}));

    // Loading asks nothing about a file that exists; a path must fit the room.
    EXPECT_EQ(Show(LoadDialogSettings, {Type("b"), OK}, 6), 1);
    EXPECT_EQ(headless::dialogsshown, 4);
    EXPECT_EQ(Show(LoadDialogSettings, {Type("b"), OK}, 5), -FNERR_BUFFERTOOSMALL);
}

TEST_F(FileDialogTest, PatternsMatchStarsAndSingleLettersInEitherCase) {
    struct Case {
        const char *name, *pattern;
        bool match;
    } cases[] = {{"game.qbs", "*.qbs", true}, {"GAME.QBS", "*.qbs", true}, {"game.qbsx", "*.qbs", false},
                 {"x.qbs.bak", "*.qbs", false}, {"noext", "*.*", true}, {"a.b.c", "*.c", true},
                 {"abc", "a?c", true}, {"ab", "a?c", false}, {"aXbXbc", "a*b*c", true}};
    for (const Case &c : cases) EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.match) << c.name << " " << c.pattern;
}
