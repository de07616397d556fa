// The file dialog's procedure, driven headlessly through DialogBoxParamA.
#include "savefile/savefile.h"
#include "tests/harness/testsupport.h"

using headless::dlgaction;
using Rows = std::vector<std::string>;
static const dlgaction OK{dlgaction::Press, IDOK};
static dlgaction Type(const char *text) { return {dlgaction::Type, IDC_FD_NAME, 0, text}; }

static char out[250];

// Plays `script` in the dialog; the rows its file list showed last.
static Rows Show(const filedialogsettings &settings, const std::vector<dlgaction> &script, int &result, int room = 250) {
    headless::ScriptDialog(script);
    result = ShowFileDialog(settings, out, room);
    Rows rows;
    for (const dlglistitem &item : DlgFindList(&headless::lastdialog, IDC_FD_FILES)->items) rows.push_back(item.text);
    return rows;
}

TEST_F(QbTest, TheFileDialogWalksFoldersFiltersAndAsksBeforeItChooses) {
    for (const char *file : {"b.qbs", "A.QBS", "notes.txt", ".hidden.qbs", "saves/c.qbs", "Zeta/d.txt", "Zeta/e.qbs"})
        WriteFile(file, "x");
    int result;
    // A row walks into a folder; a typed pattern lists another.
    EXPECT_EQ(Show(LoadDialogSettings, {{dlgaction::SelectRow, IDC_FD_FILES, 1}, OK, Type("../Zeta/*.TXT"), OK,
                                        {dlgaction::Press, IDCANCEL}}, result), Rows({"../", "d.txt"}));
    EXPECT_EQ(result, 0);
    // All Files lists every file; No to creating "new.qbs" keeps the dialog open, Yes to replacing chooses.
    EXPECT_EQ(Show(SaveDialogSettings, {{dlgaction::SelectRow, IDC_FD_TYPES, 1}, Type("new"), OK,
                                        {dlgaction::Press, IDNO}, Type("b"), OK, {dlgaction::Press, IDYES}}, result),
              Rows({"../", "saves/", "Zeta/", "A.QBS", "b.qbs", "notes.txt", "qblog.txt"}));
    EXPECT_EQ(std::make_pair(result, headless::dialogsshown), std::make_pair(1, 4));
    EXPECT_STREQ(out, "b.qbs");
    // Loading asks nothing about a file that exists; the chosen path must fit the room.
    EXPECT_EQ(Show(LoadDialogSettings, {Type("b"), OK}, result, 5), Rows({"../", "saves/", "Zeta/", "A.QBS", "b.qbs"}));
    EXPECT_EQ(std::make_pair(result, headless::dialogsshown), std::make_pair(-FNERR_BUFFERTOOSMALL, 5));
    EXPECT_TRUE(MatchesPattern("aXbXbc", "a*b*c")) << "a star backtracks";
    EXPECT_FALSE(MatchesPattern("ab", "a?c")) << "? is one letter";
}
