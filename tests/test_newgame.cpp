// The project file and new-game set-up, on copies of the sample projects.
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/harness/testsupport.h"

using headless::DlgAction;

class NewGameTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        CopySampleGame();
        indexno = 0;
        SetUpLog();
        CurrProj = projsettings();
    }
    void TearDown() override {
        ReleaseGameBitmaps();
        QbTest::TearDown();
    }
    // Rewrites the sample project file with one line replaced.
    void ReplaceLine(const std::string &from, const std::string &to) {
        std::string text = ReadFileText(projectfile);
        size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        WriteFile(projectfile, text);
    }
    std::vector<std::string> Errors() {
        std::vector<std::string> errors;
        for (auto &line : LogLinesAfterBanner())
            if (line.find("error: ") != std::string::npos) errors.push_back(line);
        return errors;
    }
    const std::string projectfile = "testproject/project.txt";
    const std::string projectpath = "testproject\\project.txt";
};

TEST_F(NewGameTest, TheSampleProjectFileReadsWhole) {
    ASSERT_EQ(ReadProjectFile(projectpath), 0);
    EXPECT_EQ(CurrProj.windowx, 352);
    EXPECT_EQ(CurrProj.windowy, 352);
    EXPECT_EQ(CurrProj.startmap, "baymap.txt");
    EXPECT_EQ(CurrProj.startx, 22);
    EXPECT_EQ(CurrProj.starty, 19);
    EXPECT_EQ(CurrProj.facing, 3);
    EXPECT_EQ(CurrProj.engine, 1);
    EXPECT_EQ(CurrProj.startvrlt, 1);
    EXPECT_TRUE(Errors().empty());
}

TEST_F(NewGameTest, EachCheckStopsWithItsMessageAndKeepsTheFieldsBeforeIt) {
    struct Case {
        const char *from, *to, *error;
        int32_t projsettings::*untouched;  // the first field the failure must leave alone
    } cases[] = {
        {"WINDOWX=352", "WINDOWX=0", "Minor Project error: WINDOWX is invalid!", &projsettings::windowx},
        {"WINDOWY=352", "WINDOWY=-2", "Minor Project error: WINDOWY is invalid!", &projsettings::windowy},
        {"STARTX=22", "STARTX=0", "Minor Project error: STARTX is invalid!", &projsettings::startx},
        {"STARTY=19", "STARTY=none", "Minor Project error: STARTY is invalid!", &projsettings::starty},
        {"FACING=3", "FACING=0", "Minor Project error: FACING is invalid!", nullptr},
        {"FACING=3", "FACING=5", "Minor Project error: FACING is invalid!", nullptr},
        {"ENGINE=1", "ENGINE=6", "Minor Project error: ENGINE is invalid!", nullptr},
        {"STARTVRLT=1", "STARTVRLT=0", "Minor Project error: STARTVRLT is invalid!", &projsettings::startvrlt},
        {"STARTVRLT=1", "STARTVRLT=252", "Minor Project error: STARTVRLT is invalid!", &projsettings::startvrlt},
        {"STARTVRLT=1", "STARTVRLT=16", "Minor Project error: STARTVRLT 16 is not a species of this game (1 to 15)!",
         &projsettings::startvrlt},
        {"BEGIN PROJECT", "BEGIN  PROJECT", "Breaking Project error: Missing BEGIN PROJECT in project file",
         &projsettings::windowx},
        {"END PROJECT", "END", "Breaking Project error: Missing END PROJECT in project file", nullptr},
        {"1\n#", "2\n#", "Breaking Project error: Unrecognized version number", &projsettings::windowx},
    };
    const std::string original = ReadFileText(projectfile);
    for (const Case &c : cases) {
        WriteFile(projectfile, original);
        SetUpLog();
        CurrProj = projsettings();
        if (c.untouched) CurrProj.*c.untouched = -77;
        ReplaceLine(c.from, c.to);
        EXPECT_EQ(ReadProjectFile(projectpath), -1) << c.to;
        EXPECT_EQ(Errors(), std::vector<std::string>{c.error}) << c.to;
        if (c.untouched) {
            EXPECT_EQ(CurrProj.*c.untouched, -77) << c.to;
        }
    }
    // The fields before a failure keep their new values.
    WriteFile(projectfile, original);
    ReplaceLine("ENGINE=1", "ENGINE=0");
    CurrProj = projsettings();
    EXPECT_EQ(ReadProjectFile(projectpath), -1);
    EXPECT_EQ(CurrProj.windowx, 352);
    EXPECT_EQ(CurrProj.startmap, "baymap.txt");
    EXPECT_EQ(CurrProj.facing, 3);
    EXPECT_EQ(CurrProj.engine, 0);
}

TEST_F(NewGameTest, VersionsInAnyBaseAndMisplacedLines) {
    ReplaceLine("1\n#", "0x1\n#");
    EXPECT_EQ(ReadProjectFile(projectpath), 0);
    ReplaceLine("WINDOWX=352", "WINDOWX = 352");
    SetUpLog();
    EXPECT_EQ(ReadProjectFile(projectpath), -1);
    EXPECT_EQ(Errors(), (std::vector<std::string>{"Breaking Project error: Mapfile had a problem readying a WINDOWX line (2)",
                                                  "Minor Project error: WINDOWX is invalid!"}));
    SetUpLog();
    EXPECT_EQ(ReadProjectFile("testproject\\none.txt"), -1);
    EXPECT_EQ(Errors(), std::vector<std::string>{"Breaking Project error: Map file testproject\\none.txt does not exist!"});
}

TEST_F(NewGameTest, ANewGameOnTheSampleProjectLogsEveryStepInOrder) {
    ReplaceLine("STARTX=22", "STARTX=30");  // past the view's 22 columns
    ReplaceLine("FACING=3", "FACING=4");
    SetUpNewGame();
    ASSERT_EQ(gamerunning, 1);
    EXPECT_EQ(currentgamestate, GAMESTATE_OVERWORLD);
    std::vector<std::string> steps;
    for (auto &line : LogLinesAfterBanner())
        if (line.find("Reading map file") == std::string::npos && line.find("Map File Read") == std::string::npos)
            steps.push_back(line);
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "Program: Project number 0 picked", "Program: Reading file testproject\\project.txt",
                         "Program: Project File read. Attempting to read first map",
                         "Program: Map Array file Read. Preparing windowing", "Program: Window created",
                         "Program: Map file testproject\\baymap.txt read", "Program: Map set up. Preparing to place player",
                         "Program: Setting up player", "Program: Game set up. Exiting GetProject and starting game"}));
    EXPECT_TRUE(headless::boxes.empty());
    ASSERT_TRUE(backbuffer && battlebackbuffer && enemyvorlet && ownvorletb && playerspritesbmp);
    EXPECT_EQ(backbuffer->w, 500);
    EXPECT_EQ(enemyvorlet->w, 60);
    EXPECT_EQ(ownvorletb->w, 50);
    EXPECT_EQ(playertilex, 22) << "kept inside the view's size in blocks";
    EXPECT_EQ(playertiley, 19);
    EXPECT_EQ(playerspriteanim, 4) << "facing left";

    const ownedvorl &first = MainPlayer.owned[0];
    EXPECT_EQ(MainPlayer.name, "Tobrin");
    EXPECT_EQ(MainPlayer.partycount, 1);
    EXPECT_EQ(first.species, 1);
    EXPECT_EQ(first.level, 5);
    EXPECT_EQ(first.hp, first.maxhp);
    EXPECT_EQ(first.otid, MainPlayer.trainerid);
    EXPECT_EQ(first.metplace, "Route 0");
}

TEST_F(NewGameTest, AMissingMapOrSpriteSheetLeavesNoGameRunning) {
    ReplaceLine("STARTMAP=baymap.txt", "STARTMAP=nomap.txt");
    SetUpNewGame();
    EXPECT_EQ(gamerunning, 0);
    ASSERT_FALSE(Errors().empty());
    EXPECT_EQ(Errors()[0], "Breaking Project error: Map file testproject\\nomap.txt does not exist!");

    ReplaceLine("STARTMAP=nomap.txt", "STARTMAP=baymap.txt");
    std::filesystem::remove("testproject/sprites2.bmp");
    SetUpLog();
    SetUpNewGame();
    EXPECT_EQ(gamerunning, 0);
    ASSERT_FALSE(Errors().empty());
    EXPECT_EQ(Errors().back(), "Breaking Project error: Unable to load sprite file!");
}

TEST_F(NewGameTest, TheChooserStartsEitherSampleProject) {
    // Rows are sorted by name: Cinder Ridge, then Quill Bay.
    headless::ScriptDialog({{DlgAction::SelectRow, IDLB_PROJSLIST, 0}, {DlgAction::Press, IDOK}});
    GetProject();
    ASSERT_EQ(gamerunning, 1);
    EXPECT_EQ(indexno, 1);
    EXPECT_EQ(CurrMap.blockwidth, 32);
    EXPECT_EQ(CurrMap.blockheight, 24);
    EXPECT_EQ(playertilex, 4);
    EXPECT_EQ(playertiley, 2);
    EXPECT_EQ(MainPlayer.owned[0].nickname, "Rillfin");
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(headless::boxes.size(), 2u) << "only the two debug boxes of the selection";
}
