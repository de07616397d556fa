// The project index and the chooser's dialog procedure.
#include <string>

#include "tests/harness/testsupport.h"

using headless::DlgAction;

static std::string Entry(int i, const std::string &name, const std::string &dir = "proj") {
    return "INDEX=" + std::to_string(i) + "\nNAME=" + name + "\nDESCRIPTION=About " + name +
           "\nCREATOR=Maker of " + name + "\nPROJECTDIR=" + dir + "\nPROJECTDATA=project.txt\nURL=example.org/" +
           name + "\nEND INDEX\n";
}

class IndexTest : public QbTest {
protected:
    // Runs the index reader and checks it leaves the start-up flags alone.
    int Read(const std::string &content) {
        WriteFile("gameindex.txt", content);
        int result = ReadGameIndex();
        EXPECT_EQ(gamerunning, 0);
        EXPECT_EQ(quitgamenow, 0);
        return result;
    }
    std::vector<std::string> Errors() {
        std::vector<std::string> lines = LogLinesAfterBanner();
        std::vector<std::string> errors;
        for (auto &l : lines)
            if (l.find("error: ") != std::string::npos) errors.push_back(l);
        return errors;
    }
};

TEST_F(IndexTest, AWellFormedIndexFillsTheTableInFileOrder) {
    ASSERT_EQ(Read("0x1\n# projects\n\nINDEXCOUNT=3\n" + Entry(1, "Moor") + "\n# second\n" + Entry(2, "Ash", "ashdir") +
                   Entry(3, "Bay")),
              0);
    EXPECT_EQ(indarrsiz, 3);
    EXPECT_EQ(GameIndex[0].name, "Moor");
    EXPECT_EQ(GameIndex[1].name, "Ash");
    EXPECT_EQ(GameIndex[1].projectdir, "ashdir");
    EXPECT_EQ(GameIndex[1].description, "About Ash");
    EXPECT_EQ(GameIndex[1].creator, "Maker of Ash");
    EXPECT_EQ(GameIndex[1].projectdata, "project.txt");
    EXPECT_EQ(GameIndex[2].url, "example.org/Bay");
    EXPECT_EQ(LogLinesAfterBanner(),
              (std::vector<std::string>{"Program: Starting to get project: Reading Index", "Program: Read Index"}));
}

TEST_F(IndexTest, EachFaultStopsWithItsOwnMessage) {
    struct Case {
        std::string content;
        std::string error;
        size_t boxes;
    } cases[] = {
        {"2\nINDEXCOUNT=1\n" + Entry(1, "A"), "Major Project error: Unrecognized version number 2", 1},
        {"-1\nINDEXCOUNT=1\n" + Entry(1, "A"), "Major Project error: Unrecognized version number -1", 1},
        {"1\nINDEXCOUNT=0\n", "Breaking Project error: Invalid INDEXCOUNT value!", 1},
        {"1\nINDEXCOUNT=-3\n", "Breaking Project error: Invalid INDEXCOUNT value!", 1},
        {"1\nINDEXCOUNT=1\n" + Entry(2, "A"), "Minor Project error: INDEX does not match spot in array!", 0},
        {"1\nINDEXCOUNT=2\n" + Entry(1, "A") + Entry(3, "B"),
         "Minor Project error: INDEX does not match spot in array!", 0},
        {"1\nINDEXCOUNT=1\nINDEX=1\nNAME=A\nDESCRIPTION=\nCREATOR=\nPROJECTDIR=a\nPROJECTDATA=p\nURL=\nEND  INDEX\n",
         "Breaking Project error: Project Index is missing an END INDEX", 1},
        {"1\nINDEXCOUNT=2\n" + Entry(1, "A"), "Minor Project error: INDEX does not match spot in array!", 1},
    };
    for (const Case &c : cases) {
        SetUpLog();
        headless::Reset();
        EXPECT_EQ(Read(c.content), -1) << c.content;
        std::vector<std::string> errors = Errors();
        ASSERT_FALSE(errors.empty()) << c.content;
        EXPECT_EQ(errors.back(), c.error) << c.content;
        EXPECT_EQ(headless::boxes.size(), c.boxes) << c.content;
    }
}

TEST_F(IndexTest, AMissingIndexIsABreakingError) {
    EXPECT_EQ(ReadGameIndex(), -1);
    EXPECT_EQ(Errors(), std::vector<std::string>{"Breaking Project error: Map file gameindex.txt does not exist!"});
    EXPECT_EQ(headless::quitrequests.size(), 1u);
    EXPECT_EQ(gamerunning, 0);
    EXPECT_EQ(quitgamenow, 0);
}

TEST_F(IndexTest, AMisplacedLineGivesTheReadersMessageAndReadingGoesOn) {
    ASSERT_EQ(Read("1\nINDEXCOUNT=1\nINDEX=1\nNAME=A\nCREATOR=x\nCREATOR=y\nPROJECTDIR=d\nPROJECTDATA=p\nURL=u\n"
                   "END INDEX\n"),
              0);
    EXPECT_EQ(Errors(),
              std::vector<std::string>{"Breaking Project error: Mapfile had a problem readying a DESCRIPTION line (2)"});
    EXPECT_EQ(GameIndex[0].description, "");
    EXPECT_EQ(GameIndex[0].creator, "y");
}

TEST_F(IndexTest, MoreProjectsThanTheTableHoldsAreRefused) {
    std::string content = "1\nINDEXCOUNT=256\n";
    for (int i = 1; i <= 256; i++) content += Entry(i, "P" + std::to_string(i));
    EXPECT_EQ(Read(content), -1);
    EXPECT_EQ(indarrsiz, 0);
    std::vector<std::string> errors = Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("256"), std::string::npos);
    EXPECT_NE(errors[0].find("255"), std::string::npos);

    // The full table is fine.
    SetUpLog();
    content = "1\nINDEXCOUNT=255\n";
    for (int i = 1; i <= 255; i++) content += Entry(i, "P" + std::to_string(i));
    EXPECT_EQ(Read(content), 0);
    EXPECT_EQ(GameIndex[254].name, "P255");
}

TEST_F(IndexTest, TheSampleIndexReadsCleanly) {
    WriteFile("gameindex.txt", ReadFileText(SourceDir() + "/game/gameindex.txt"));
    ASSERT_EQ(ReadGameIndex(), 0);
    EXPECT_GE(indarrsiz, 2);
    EXPECT_TRUE(Errors().empty());
    for (int i = 0; i < indarrsiz; i++) {
        EXPECT_FALSE(GameIndex[i].name.empty());
        EXPECT_FALSE(GameIndex[i].projectdir.empty());
    }
}

class ChooserTest : public IndexTest {
protected:
    void SetUp() override {
        IndexTest::SetUp();
        ASSERT_EQ(Read("1\nINDEXCOUNT=3\n" + Entry(1, "Moor") + Entry(2, "ash") + Entry(3, "Bay")), 0);
        dialog = DlgCreate(LoadProjDialog, 0);
        LoadProjDialogProcs(&dialog, WM_INITDIALOG, 0, 0);
        list = DlgFindList(&dialog, IDLB_PROJSLIST);
        SetUpLog();
    }
    DialogState dialog;
    DlgList *list = nullptr;
};

TEST_F(ChooserTest, TheListIsSortedWithoutRegardToCaseAndCarriesIndexPositions) {
    ASSERT_EQ(list->items.size(), 3u);
    std::vector<std::pair<std::string, intptr_t>> rows;
    for (const DlgListItem &item : list->items) rows.push_back({item.text, item.data});
    EXPECT_EQ(rows, (std::vector<std::pair<std::string, intptr_t>>{{"ash", 1}, {"Bay", 2}, {"Moor", 0}}));
    EXPECT_EQ(list->cursel, -1);
    EXPECT_STREQ(GetDlgItemTextPtr(&dialog, IDC_PROJNAME), "Name: ");

    DlgSelectRow(&dialog, LoadProjDialogProcs, IDLB_PROJSLIST, 0);
    DlgPressButton(&dialog, LoadProjDialogProcs, IDOK);
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(dialog.result, 1);
    EXPECT_EQ(indexno, 1);
}

TEST_F(ChooserTest, AnAddedRowKeepsTheSelectionOnItsItem) {
    DlgSelectRow(&dialog, LoadProjDialogProcs, IDLB_PROJSLIST, 1);  // Bay
    SendDlgItemMessageA(&dialog, IDLB_PROJSLIST, LB_ADDSTRING, 0, (intptr_t) "Aaa");
    SendDlgItemMessageA(&dialog, IDLB_PROJSLIST, LB_ADDSTRING, 0, (intptr_t) "Zed");
    EXPECT_EQ(list->cursel, 2);
    EXPECT_EQ(list->items[2].text, "Bay");
}

TEST_F(ChooserTest, ChangingTheSelectionShowsTwoDebugBoxesThenTheTexts) {
    DlgSelectRow(&dialog, LoadProjDialogProcs, IDLB_PROJSLIST, 2);
    ASSERT_EQ(headless::boxes.size(), 2u);
    EXPECT_EQ(headless::boxes[0].text, "Program debug: Entering LBN_SELCHANGE");
    EXPECT_EQ(headless::boxes[1].text, "Program debug: Entering IDLB_PROJSLIST");
    EXPECT_EQ(headless::boxes[1].title, "Debug..");
    EXPECT_STREQ(GetDlgItemTextPtr(&dialog, IDC_PROJNAME), "Name: Moor");
    EXPECT_STREQ(GetDlgItemTextPtr(&dialog, IDC_PROJDESC), "Description: About Moor");
    EXPECT_STREQ(GetDlgItemTextPtr(&dialog, IDC_PROJCREATOR), "Creator: Maker of Moor");
    EXPECT_STREQ(GetDlgItemTextPtr(&dialog, IDC_PROJURL), "URL: example.org/Moor");

    // A selection change from another control is not handled.
    EXPECT_EQ(LoadProjDialogProcs(&dialog, WM_COMMAND, MAKEWPARAM(IDB_LOADOLDER, LBN_SELCHANGE), 0), 0);
    EXPECT_EQ(headless::boxes.size(), 3u);
}

TEST_F(ChooserTest, OkWithoutASelectionAsksForOneAndStaysOpen) {
    DlgPressButton(&dialog, LoadProjDialogProcs, IDOK);
    EXPECT_FALSE(dialog.ended);
    EXPECT_EQ(LogLinesAfterBanner(), std::vector<std::string>{"User: Please select a project."});
    EXPECT_TRUE(headless::boxes.empty());

    // Item data that points outside the index is treated the same way.
    list->items[0].data = 7;
    list->cursel = 0;
    DlgPressButton(&dialog, LoadProjDialogProcs, IDOK);
    EXPECT_FALSE(dialog.ended);
}

TEST_F(ChooserTest, CancelAndAFailedLoadOfAnOlderGame) {
    headless::ScriptFileDialog({{0, ""}});
    DlgPressButton(&dialog, LoadProjDialogProcs, IDB_LOADOLDER);
    EXPECT_FALSE(dialog.ended) << "no game was loaded, so the chooser stays open";
    EXPECT_EQ(LoadProjDialogProcs(&dialog, WM_COMMAND, MAKEWPARAM(999, 0), 0), 0);
    EXPECT_EQ(LoadProjDialogProcs(&dialog, 0x0200, 0, 0), 0);
    DlgPressButton(&dialog, LoadProjDialogProcs, IDCANCEL);
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(dialog.result, -1);
}

TEST_F(ChooserTest, GetProjectEndsOnCancelAndStopsOnABadIndex) {
    headless::ScriptDialog({{DlgAction::SelectRow, IDLB_PROJSLIST, 1}, {DlgAction::Press, IDCANCEL}});
    GetProject();
    EXPECT_EQ(quitgamenow, 1);
    EXPECT_EQ(gamerunning, 0);
    EXPECT_EQ(LogLinesAfterBanner().back(), "Program: No project was chosen, or an error occurred. Exiting");
    EXPECT_EQ(headless::lastdialog.lists[0].items.size(), 3u);

    quitgamenow = 0;
    WriteFile("gameindex.txt", "1\nINDEXCOUNT=0\n");
    int shown = headless::dialogsshown;
    GetProject();
    EXPECT_EQ(headless::dialogsshown, shown) << "a bad index never shows the chooser";
    EXPECT_EQ(quitgamenow, 0);
    EXPECT_EQ(gamerunning, 0);
}

TEST(WrapTextTest, BreaksAtBlanksAndSplitsLongWords) {
    EXPECT_EQ(WrapText("Major Project error: Unrecognized version number 2", 20),
              (std::vector<std::string>{"Major Project error:", "Unrecognized version", "number 2"}));
    EXPECT_EQ(WrapText("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
    EXPECT_EQ(WrapText("one\ntwo", 40), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(WrapText("", 10), std::vector<std::string>{""});
}
