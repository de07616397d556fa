// The project file and new-game set-up, on a copy of the sample projects.
#include <filesystem>

#include "tests/harness/testsupport.h"

using NewGameTest = QbTest;
static const std::string file = "testproject/project.txt";

// Each line after a comment as long as its read limit allows.
const std::vector<std::pair<int, std::string>> kProject = {
    {0, "1"},         {15, "BEGIN PROJECT"}, {20, "WINDOWX=352"}, {20, "WINDOWY=352"},  {200, "STARTMAP=baymap.txt"},
    {20, "STARTX=22"}, {20, "STARTY=19"},    {10, "FACING=3"},    {15, "ENGINE=1"},     {15, "STARTVRLT=1"},
    {15, "END PROJECT"}};

// Each check stops the reading with its message: the fields before it keep
// their new values, the field itself and those after it stay as they were.
// One character more before any line, and the reader stumbles.
TEST_F(NewGameTest, EachCheckStopsWithItsMessageAndKeepsTheFieldsBeforeIt) {
    const std::string minor = "Minor Project error: ";
    CopySampleGame();
    const std::tuple<const char *, const char *, std::string, int> cases[] = {  // fields read before the failure
        {"1\n#", "2\n#", "Breaking Project error: Unrecognized version number", 0},
        {"BEGIN PROJECT", "BEGIN  PROJECT", "Breaking Project error: Missing BEGIN PROJECT in project file", 0},
        {"WINDOWX=352", "WINDOWX=0", minor + "WINDOWX is invalid!", 0}, {"WINDOWY=352", "WINDOWY=0", minor + "WINDOWY is invalid!", 1},
        {"STARTX=22", "STARTX=0", minor + "STARTX is invalid!", 3},     {"STARTY=19", "STARTY=0", minor + "STARTY is invalid!", 4},
        {"FACING=3", "FACING=0", minor + "FACING is invalid!", 5},       {"FACING=3", "FACING=5", minor + "FACING is invalid!", 5},
        {"ENGINE=1", "ENGINE=0", minor + "ENGINE is invalid!", 6},       {"ENGINE=1", "ENGINE=6", minor + "ENGINE is invalid!", 6},
        {"STARTVRLT=1", "STARTVRLT=0", minor + "STARTVRLT is invalid!", 7},
        {"STARTVRLT=1", "STARTVRLT=16", minor + "STARTVRLT 16 is not a species of this game (1 to 15)!", 7},
        {"END PROJECT", "END", "Breaking Project error: Missing END PROJECT in project file", 8},
        {"STARTVRLT=1", "STARTVRLT=15", "", 8}};
    for (const auto &[from, to, error, before] : cases) {
        WriteFile(file, Replaced(Commented(kProject), from, to));
        SetUpLog();
        CurrProj = projsettings(), CurrProj.startmap = "old";
        EXPECT_EQ(ReadProjectFile("testproject\\project.txt"), error.empty() ? 0 : -1) << to;
        EXPECT_EQ(LastError(), error);
        const bool changed[] = {CurrProj.windowx != 0, CurrProj.windowy != 0, CurrProj.startmap != "old", CurrProj.startx != 0,
                                CurrProj.starty != 0, CurrProj.facing != 0, CurrProj.engine != 0, CurrProj.startvrlt != 0};
        for (int i = 0; i < 8; i++) EXPECT_EQ(changed[i], i < before) << to << ", field " << i;
    }
    for (int k = 1; k < (int)kProject.size(); k++) {
        WriteFile(file, Commented(kProject, k)), SetUpLog(), ReadProjectFile("testproject\\project.txt");
        EXPECT_NE(LastError(), "") << kProject[k].second;
    }
}

// The set-up's lines come in order.
TEST_F(NewGameTest, ANewGameStartsInsideTheViewAndAMissingSpriteSheetLeavesNone) {
    CopySampleGame();  // the player starts past the view's 22 columns, facing left
    WriteFile(file, Replaced(Replaced(ReadFileText(file), "STARTX=22", "STARTX=30"), "FACING=3", "FACING=4"));
    SetUpNewGame();
    const char *const steps[] = {"Project number 0 picked", "Reading file testproject\\project.txt",
        "Project File read. Attempting to read first map", "Reading map file testproject\\baymap.txt",
        "Map File Read. Reading Map Array", "Map Array file Read. Preparing windowing", "Window created",
        "Map file testproject\\baymap.txt read", "Map set up. Preparing to place player", "Setting up player",
        "Game set up. Exiting GetProject and starting game"};
    for (size_t i = 0; i < std::size(steps); i++) EXPECT_EQ(LogLinesAfterBanner().at(i), std::string("Program: ") + steps[i]);
    ASSERT_EQ(gamerunning, 1) << LastError();
    EXPECT_EQ(headless::boxes.size(), 0u);
    for (BITMAP *made : {backbuffer, battlebackbuffer, enemyvorlet, ownvorletb}) EXPECT_NE(made, nullptr);
    EXPECT_EQ(std::make_tuple(playertilex, playertiley, playerspriteanim), std::make_tuple(22, 19, (int)DIR_LEFT))
        << "kept inside the view's size in blocks, facing left";
    EXPECT_EQ(std::make_tuple(MainPlayer.partycount, MainPlayer.owned[0].species, MainPlayer.owned[0].level),
              std::make_tuple((int16_t)1, 1, 5));
    // A project directory named in UTF-8 is found under the same bytes.
    std::filesystem::rename("cinderridge", "cinder_\xc3\xa9");
    WriteFile(indexfile, Replaced(ReadFileText(indexfile), "PROJECTDIR=cinderridge", "PROJECTDIR=cinder_\xc3\xa9"));
    ASSERT_EQ(ReadGameIndex(), 0);
    SetUpLog(), indexno = 1, SetUpNewGame();
    EXPECT_EQ(gamerunning, 1) << LastError();
    EXPECT_EQ(CurrMap.maparrayx, 11);
    std::filesystem::remove("testproject/sprites2.bmp");
    SetUpNewGame();
    EXPECT_EQ(gamerunning, 0);
    EXPECT_EQ(LastError(), "Breaking Project error: Unable to load sprite file!");
}
