// The project index and the chooser's dialog procedure.
#include "tests/harness/testsupport.h"

// Each line after a comment as long as its read limit allows.
static std::vector<std::pair<int, std::string>> IndexLines(int count, const std::vector<std::string> &names) {
    std::vector<std::pair<int, std::string>> lines = {{0, "1"}, {30, "INDEXCOUNT=" + std::to_string(count)}};
    for (size_t i = 0; i < names.size(); i++)
        lines.insert(lines.end(), {{20, "INDEX=" + std::to_string(i + 1)}, {150, "NAME=" + names[i]}, {500, "DESCRIPTION=About " + names[i]},
                                   {128, "CREATOR=Maker of " + names[i]}, {100, "PROJECTDIR=d" + names[i]}, {50, "PROJECTDATA=p.txt"},
                                   {200, "URL=example.org/" + names[i]}, {15, "END INDEX"}});
    return lines;
}
static std::string Index(int count, const std::vector<std::string> &names) { return Commented(IndexLines(count, names)); }

using IndexTest = QbTest;
static int Read(const std::string &content) { return SetUpLog(), WriteFile("gameindex.txt", content), ReadGameIndex(); }

TEST_F(IndexTest, AWellFormedIndexFillsTheTableInFileOrderUpToItsSize) {
    ASSERT_EQ(Read(Index(2, {"Moor", "Ash"})), 0);
    const indexentry &e = GameIndex[1];
    EXPECT_EQ(GameIndex[0].name + e.name + e.description + e.creator + e.projectdir + e.projectdata + e.url + std::to_string(indarrsiz),
              "MoorAshAbout AshMaker of AshdAshp.txtexample.org/Ash2");
    EXPECT_EQ(LogLinesAfterBanner(), (std::vector<std::string>{"Program: Starting to get project: Reading Index", "Program: Read Index"}));
    const std::string full = Index(255, std::vector<std::string>(255, "P"));
    EXPECT_EQ(Read(full), 0);
    const std::pair<std::string, std::string> cases[] = {
        {"2" + full.substr(1), "Major Project error: Unrecognized version number 2"},
        {Index(0, {}), "Breaking Project error: Invalid INDEXCOUNT value!"},
        {Index(2, {"A"}), "Minor Project error: INDEX does not match spot in array!"},
        {Replaced(Index(1, {"A"}), "END INDEX", "END  INDEX"), "Breaking Project error: Project Index is missing an END INDEX"},
        {Replaced(full, "=255", "=256"), "Breaking Project error: INDEXCOUNT of 256 is more than the 255 projects an index can hold!"},
        {"1\nINDEXCOUNT=-3\n", "Breaking Project error: Invalid INDEXCOUNT value!"}};
    for (const auto &[index, error] : cases) {
        EXPECT_EQ(Read(index), -1) << error;
        EXPECT_EQ(LastError(), error);
    }
    // One character more than a line's limit, and the reader stumbles on the cut comment.
    const auto lines = IndexLines(1, {"A"});
    for (int k = 1; k < (int)lines.size(); k++) EXPECT_NE((Read(Commented(lines, k)), LastError()), "") << lines[k].second;
    EXPECT_EQ((std::remove("gameindex.txt"), ReadGameIndex()), -1);
    EXPECT_EQ(LastError(), "Breaking Project error: Map file gameindex.txt does not exist!");
}

// Rows are sorted without regard to case and carry their index position; an
// added row keeps the selection on its item; OK takes the selected row's
// project once the row points inside the index. The chooser's texts, boxes
// and buttons are driven end to end in tests/e2e/e2e_chooser.sh.
TEST_F(IndexTest, TheChooserSortsItsRowsAndOkTakesTheSelectedProject) {
    ASSERT_EQ(Read(Index(3, {"Moor", "ash", "Bay"})), 0);
    dialogstate dialog = DlgCreate(LoadProjDialog, 0); LoadProjDialogProcs(&dialog, WM_INITDIALOG, 0, 0);
    dlglist *list = DlgFindList(&dialog, IDLB_PROJSLIST);
    std::string rows;
    for (const dlglistitem &item : list->items) rows += item.text + std::to_string(item.data) + " ";
    EXPECT_EQ(rows, "ash1 Bay2 Moor0 ");
    DlgSelectRow(&dialog, LoadProjDialogProcs, IDLB_PROJSLIST, 1);
    SendDlgItemMessageA(&dialog, IDLB_PROJSLIST, LB_ADDSTRING, 0, (intptr_t) "Aaa");
    EXPECT_EQ(list->items[list->cursel].text, "Bay");
    for (intptr_t data : {7, 2})  // a row that points outside the index asks for a project
        list->items[list->cursel].data = data, DlgPressButton(&dialog, LoadProjDialogProcs, IDOK);
    EXPECT_EQ(std::make_tuple(dialog.ended, dialog.result, indexno, LogLinesAfterBanner().back()),
              std::make_tuple(true, (intptr_t)2, 2, std::string("User: Please select a project.")));
}

// The chooser opens on its first row with that project's texts, so OK plays
// it at once. Both dialog hosts draw the texts as the dialog model fits
// them: a list row of 20 characters (19 beside the scroll bar of a list
// longer than its 25 rows), 12 lines of 18
// for the description, 2 for the name and the creator, 3 for the URL, the
// last line shown ending in "..." when more would follow.
TEST_F(IndexTest, TheChooserOpensOnItsFirstRowAndFitsLongTextsInTheirBoxes) {
    auto salts = [](int n) { std::string s; for (int i = 0; i < n; i++) s += i ? " salt" : "salt"; return s; };
    auto shown = [](dialogstate &dialog, int id, std::string joined = "") {
        for (const dlgcontrol &c : LoadProjDialog.controls)
            for (const std::string &line : c.id == id ? DlgShownLines(&dialog, c) : std::vector<std::string>{})
                joined += (joined.empty() ? "" : "|") + line;
        return joined;
    };
    const std::string salty = "salt salt salt|salt salt salt|salt salt salt|salt salt salt|salt salt salt|";
    struct fitcase { std::vector<std::string> names; int descsalts; std::string rows, name, desc; };
    const fitcase cases[] = {
        {{"Twenty Characters Ok", "Twenty-one characters"}, 34, "Twenty Characters Ok|Twenty-one charac...",
         "Name: Twenty|Characters Ok", "Description: salt|" + salty + salty + "salt salt salt"},
        {std::vector<std::string>(26, "Twenty Characters Ok"), 35, "Twenty Character...|", "Name: Twenty|Characters Ok", "Description: salt|" + salty + salty + "salt salt salt..."},
        {std::vector<std::string>(25, "Twenty Characters Ok"), 1, "Twenty Characters Ok|", "Name: Twenty|Characters Ok", "Description: salt"},
        {{"Of the Long and Winding Coast Road"}, 1, "Of the Long and W...", "Name: Of the Long|and Winding Coa...",
         "Description: salt"}};
    for (const fitcase &c : cases) {
        ASSERT_EQ(Read(Replaced(Replaced(Replaced(Index((int)c.names.size(), c.names), "DESCRIPTION=About " + c.names[0],
                                                  "DESCRIPTION=" + salts(c.descsalts)), "CREATOR=Maker of " + c.names[0],
                                         "CREATOR=The Guild of Tideline Mapmakers"), "URL=example.org/" + c.names[0], "URL=" + std::string(60, 'w'))), 0);
        dialogstate dialog = DlgCreate(LoadProjDialog, 0); LoadProjDialogProcs(&dialog, WM_INITDIALOG, 0, 0);
        EXPECT_EQ(shown(dialog, IDLB_PROJSLIST).substr(0, c.names.size() > 2 ? c.rows.size() : std::string::npos), c.rows);
        EXPECT_EQ(shown(dialog, IDC_PROJNAME), c.name);
        EXPECT_EQ(shown(dialog, IDC_PROJDESC), c.desc);
        EXPECT_EQ(shown(dialog, IDC_PROJCREATOR) + "|" + shown(dialog, IDC_PROJURL),
                  "Creator: The Guild|of Tideline...|URL:|" + std::string(18, 'w') + "|" + std::string(15, 'w') + "...");
        EXPECT_TRUE((DlgPressButton(&dialog, LoadProjDialogProcs, IDOK), dialog.ended && dialog.result == 0)) << "the first row plays";
    }
}
