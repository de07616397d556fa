// Saving and loading games: the byte layout, the round trip, and files that
// are cut short, damaged or point at a broken project.
#include <filesystem>

#include "savefile/savefile.h"
#include "tests/harness/testsupport.h"

using headless::DlgAction;
using headless::FileAnswer;

// The uncompressed stream of a save file, and a save file from one.
static std::string Unpack(const std::string &path) {
    std::string bytes;
    PACKFILE *file = pack_fopen(path.c_str(), "rp");
    for (int c; file && (c = pack_getc(file)) != EOF;) bytes += (char)c;
    if (file) pack_fclose(file);
    return bytes;
}
static void Pack(const std::string &path, const std::string &bytes) {
    PACKFILE *file = pack_fopen(path.c_str(), "wp");
    pack_fwrite(bytes.data(), (long)bytes.size(), file);
    pack_fclose(file);
}
// Little-endian numbers and texts, written out by hand.
static std::string Le(uint32_t v, int width = 4) {
    std::string s;
    for (int i = 0; i < width; i++) s += (char)(v >> (8 * i));
    return s;
}
static std::string Text(const std::string &t) { return Le((uint32_t)t.size() + 1) + t + '\0'; }

class SaveFileTest : public QbTest {
protected:
    void TearDown() override {
        ReleaseGameBitmaps();
        QbTest::TearDown();
    }
    int Save(const std::string &path) {
        headless::ScriptFileDialog({FileAnswer{1, path}});
        return SaveSaveFile();
    }
    int Load(const std::string &path) {
        headless::ScriptFileDialog({FileAnswer{1, path}});
        return LoadSaveFile();
    }
    // A Quill Bay game with two carried creatures, a step from its start.
    void StartSampleGame() {
        CopySampleGame();
        SetUpNewGame();
        ASSERT_EQ(CreateVorlet(MainPlayer.owned[4], 2, 12, VORLET_PLAYER, ""), 4);
        MainPlayer.owned[4].nickname = "Twelve chars";
        MainPlayer.party[1] = 4, MainPlayer.party[4] = 1, MainPlayer.partycount = 2;
        PlacePlayer(23, 19, DIR_DOWN, FRAME_STAND + 2);
        SetUpLog();
    }
    std::string State() {
        WriteSaveFile("state.qbs", CaptureGame());
        return Unpack("state.qbs");
    }
};

TEST_F(SaveFileTest, TheStreamHoldsEveryFieldInItsPlaceAndWidth) {
    MainPlayer = playerrecord();
    MainPlayer.name = "Tobrin", MainPlayer.trainerid = 0x01020304, MainPlayer.money = 3000;
    ownedvorl &v = MainPlayer.owned[0];
    // Every number distinct, in record order; the file puts exp and level after the stats.
    v.species = 1, v.exp = 2, v.level = 3, v.atkiv = 4, v.defiv = 5, v.spdiv = 6, v.spciv = 7, v.hpiv = 8;
    v.atkexp = 9, v.defexp = 10, v.spdexp = 11, v.spcexp = 12, v.hpexp = 13, v.attack = 14, v.defense = 15;
    v.speed = 16, v.spattack = 17, v.spdefense = 18, v.maxhp = 19, v.hp = 20, v.status = 21, v.happiness = 22;
    v.spare1 = 23;
    for (int k = 0; k < 12; k++) (&v.moves[0].move)[k] = 24 + k;
    v.spare2 = 36, v.otname = "Tobrin", v.otid = 37, v.nickname = "Kindle", v.spareflag = 0xAB, v.shiny = -2;
    v.metplace = "Route 0", v.metlevel = 39;
    const int32_t party[PARTYMAX] = {3, 1, 2, 0, 4, 5};
    std::copy(party, party + PARTYMAX, MainPlayer.party);
    MainPlayer.partycount = 2, indexno = 1, CurrMapFilename = "testproject\\baymap.txt";
    PlacePlayer(22, 19, 3, 7);
    ASSERT_EQ(Save("layout.qbs"), SAVE_DONE);

    std::string block, empty(36 * 4, '\0');
    for (int k : {1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 2, 3, 20, 21, 22, 23}) block += Le(k);
    for (int k = 24; k <= 36; k++) block += Le(k);
    block += Text("Tobrin") + Le(37) + Text("Kindle") + '\xAB' + Le(-2) + Text("Route 0") + Le(39);
    ASSERT_EQ(block.size(), 191u);
    empty += Text("") + Le(0) + Text("") + '\0' + Le(0) + Text("") + Le(0);
    std::string all = Le(1) + std::string("\x07\0\0\0Tobrin\0", 11) + Le(0x01020304) + Le(3000) + block;
    for (int k = 1; k < PARTYMAX; k++) all += empty;
    for (int p : party) all += Le(p);
    all += Le(2, 2) + Le(1) + Le(22) + Le(19) + Le(3) + Le(7) + Text("testproject\\baymap.txt");
    EXPECT_EQ(Unpack("layout.qbs"), all);
    EXPECT_STREQ(headless::lastfiledialog.title, "Save Save File");
    EXPECT_EQ(LogLinesAfterBanner(), (std::vector<std::string>{"Program: Saving Save file layout.qbs", "Program: Game Saved"}));
}

TEST_F(SaveFileTest, NoFileChosenOrNoneWrittenHasItsOwnResult) {
    headless::ScriptFileDialog({FileAnswer{0, ""}, FileAnswer{-FNERR_BUFFERTOOSMALL, ""}});
    EXPECT_EQ(SaveSaveFile(), SAVE_NOFILE);
    EXPECT_EQ(LoadSaveFile(), LOAD_NOFILE);
    std::filesystem::create_directory("adir");
    EXPECT_EQ(Save("nodir/game.qbs"), SAVE_UNWRITTEN);
    EXPECT_EQ(Save("adir"), SAVE_UNWRITTEN);
    EXPECT_FALSE(std::filesystem::exists("adir.tmp"));
    std::vector<std::string> lines = LogLinesAfterBanner();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Major Program error: Unrecognized error opening file dialog: 12291");
    EXPECT_EQ(lines[2].rfind("Major Program error: Unable to write save file nodir/game.qbs (", 0), 0u) << lines[2];
    EXPECT_EQ(lines[4].rfind("Major Program error: Unable to write save file adir (", 0), 0u) << lines[4];
}

TEST_F(SaveFileTest, AGameLoadedFromTheChooserIsTheGameSaved) {
    StartSampleGame();
    ASSERT_EQ(Save("round.qbs"), SAVE_DONE);
    const std::string saved = Unpack("round.qbs");
    Pack("v2.qbs", "\x02" + saved.substr(1));

    MainPlayer = playerrecord();
    MainPlayer.counters[5] = 9;
    PlacePlayer(1, 1, 1, 1);
    ReleaseGameBitmaps();
    gamerunning = 0;
    SetUpLog();
    headless::ScriptDialog({{DlgAction::Press, IDB_LOADOLDER}});
    headless::ScriptFileDialog({FileAnswer{1, "v2.qbs"}});
    GetProject();
    ASSERT_EQ(gamerunning, 1);
    EXPECT_EQ(currentgamestate, GAMESTATE_OVERWORLD);
    EXPECT_EQ(State(), saved);
    EXPECT_EQ(MainPlayer.counters[5], 9) << "counters are not saved";
    EXPECT_EQ(std::make_pair(mapxtile, plx), std::make_pair(13, 160)) << "the camera from the saved place";
    EXPECT_TRUE(backbuffer && battlebackbuffer && playerspritesbmp && !enemyvorlet);
    EXPECT_STREQ(headless::lastfiledialog.title, "Load Save File");
    std::vector<std::string> lines = LogLinesAfterBanner();
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 7),
              (std::vector<std::string>{"Program: Loading Save file v2.qbs", "Program: File loaded",
                                        "Program: Project number 0 picked", "Program: Reading file testproject\\project.txt",
                                        "Program: Reading map file testproject\\baymap.txt"}));
}

TEST_F(SaveFileTest, EveryCutAndEveryDamagedFileIsRefusedAndChangesNothing) {
    StartSampleGame();
    const savedgame good = CaptureGame();
    WriteSaveFile("good.qbs", good);
    const std::string raw = Unpack("good.qbs"), before = State();
    // Each case: the file as it lies on disk and what the refusal must say.
    auto packed = [](const std::string &bytes) { return Pack("packed.qbs", bytes), ReadFileText("packed.qbs"); };
    std::vector<std::pair<std::string, std::string>> cases;
    for (size_t n = 0; n < raw.size(); n++) cases.push_back({packed(raw.substr(0, n)), "ends early"});
#define CHANGE(message, change) {message, [](savedgame &g) { change; }}
    std::pair<const char *, void (*)(savedgame &)> changes[] = {
        CHANGE("carries 0 Vorlets", g.partycount = 0), CHANGE("carries 7 Vorlets", g.partycount = 7),
        CHANGE("party order", g.party[5] = 0), CHANGE("party order", g.party[0] = 6),
        CHANGE("carried Vorlet 2 has species 0", g.owned[4].species = 0), CHANGE("names project 2", g.indexno = 2),
        CHANGE("names project -1", g.indexno = -1), CHANGE("column 60, row 0", g.tilex = 60; g.tiley = 0),
        CHANGE("column 0, row -1", g.tilex = 0; g.tiley = -1), CHANGE("facing 0", g.facing = 0),
        CHANGE("sprite frame 25", g.frame = 25), CHANGE("outside the game's folder", g.mapfile = "/etc/passwd"),
        CHANGE("outside the game's folder", g.mapfile = "testproject\\..\\..\\map.txt"),
    };
#undef CHANGE
    for (auto &[message, change] : changes) {
        savedgame changed = good;
        change(changed);
        WriteSaveFile("changed.qbs", changed);
        cases.push_back({ReadFileText("changed.qbs"), message});
    }
    // The player's name is the first text, its count at byte 4.
    auto name = [&](int32_t count, const std::string &text) { return packed(raw.substr(0, 4) + Le(count) + text + raw.substr(15)); };
    cases.push_back({name(0, ""), "a text of 0 bytes"});
    cases.push_back({name(4097, ""), "a text of 4097 bytes"});
    cases.push_back({name(7, "Tobrinx"), "does not end at its only zero byte"});
    cases.push_back({name(7, std::string("To\0rin\0", 7)), "does not end at its only zero byte"});
    cases.push_back({packed(raw + "x"), "bytes left over"});
    cases.push_back({raw, "cannot be opened as a save file"});
    cases.push_back({ReadFileText("good.qbs").substr(0, 100), "ends early"});
    for (auto &[file, message] : cases) {
        WriteFile("bad.qbs", file);
        SetUpLog();
        headless::boxes.clear();
        EXPECT_EQ(Load("bad.qbs"), LOAD_BADSAVE) << message;
        ASSERT_EQ(headless::boxes.size(), 1u) << message;
        EXPECT_NE(headless::boxes[0].text.find(message), std::string::npos) << headless::boxes[0].text;
    }
    EXPECT_EQ(State(), before);

    SetUpLog();
    EXPECT_EQ(Load("none.qbs"), LOAD_MISSING);
    EXPECT_EQ(LogLinesAfterBanner().back(), "Breaking Project error: Save file none.qbs does not exist!");
}

TEST_F(SaveFileTest, AProjectMapOrSpriteSheetThatFailsKeepsTheChooserOpen) {
    StartSampleGame();
    savedgame game = CaptureGame();
    game.name = "Loaded";
    WriteSaveFile("game.qbs", game);
    game.mapfile = "testproject\\nomap.txt";
    WriteSaveFile("nomap.qbs", game);
    std::filesystem::rename("testproject/project.txt", "project.txt");
    EXPECT_EQ(Load("game.qbs"), LOAD_BADPROJECT);
    EXPECT_EQ(LogLinesAfterBanner().back(), "Breaking Project error: Map file testproject\\project.txt does not exist!");
    EXPECT_EQ(MainPlayer.name, "Loaded") << "the record is replaced once the file has been read whole";
    std::filesystem::rename("project.txt", "testproject/project.txt");

    mapxtile = -99;
    ReleaseGameBitmaps();
    gamerunning = 0;
    headless::ScriptDialog({{DlgAction::Press, IDB_LOADOLDER}, {DlgAction::Press, IDCANCEL}});
    headless::ScriptFileDialog({FileAnswer{1, "nomap.qbs"}});
    GetProject();
    EXPECT_EQ(quitgamenow, 1) << "the chooser stayed open until cancelled";
    EXPECT_EQ(mapxtile, -99) << "no camera without a map";
    EXPECT_NE(ReadFileText(logfile).find("Minor Project error: The saved map testproject\\nomap.txt cannot be loaded; "
                                         "the game was not loaded"),
              std::string::npos);

    EXPECT_EQ(Load("nomap.qbs"), LOAD_BADMAP);
    std::filesystem::remove("testproject/sprites2.bmp");
    EXPECT_EQ(Load("game.qbs"), LOAD_NOSPRITES);
}
