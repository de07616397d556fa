// Saving and loading games: the byte layout, the round trip, and files that
// are cut short, damaged or point at a broken project.
#include <filesystem>

#include "savefile/savefile.h"
#include "tests/harness/testsupport.h"

// The uncompressed stream of a save file, and a packed file holding `bytes`.
static std::string Unpack(const std::string &path) {
    std::string bytes;
    PACKFILE *file = pack_fopen(path.c_str(), "rp");
    for (int c; file && (c = pack_getc(file)) != EOF;) bytes += (char)c;
    if (file) pack_fclose(file);
    return bytes;
}
static std::string Pack(const std::string &bytes) {
    PACKFILE *file = pack_fopen("packed.qbs", "wp");
    pack_fwrite(bytes.data(), (long)bytes.size(), file);
    pack_fclose(file);
    return ReadFileText("packed.qbs");
}
// Little-endian numbers and texts, written out by hand.
static std::string Le(uint32_t v, int width = 4) { return width ? (char)v + Le(v >> 8, width - 1) : ""; }
static std::string Text(const std::string &t) { return Le((uint32_t)t.size() + 1) + t + '\0'; }
// Answers the file dialog with `path`, then saves or loads.
static int Through(int (*action)(), const std::string &path) {
    headless::ScriptFileDialog({headless::fileanswer{1, path}});
    return action();
}
static std::string State() {
    WriteSaveFile("state.qbs", CaptureGame());
    return Unpack("state.qbs");
}

// A Quill Bay game with two carried creatures, a step from its start.
class SaveFileTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        CopySampleGame();
        SetUpNewGame();
        ASSERT_EQ(CreateVorlet(MainPlayer.owned[4], 2, 12, VORLET_PLAYER, ""), 4);
        MainPlayer.owned[4].nickname = "Twelve chars";
        MainPlayer.party[1] = 4, MainPlayer.party[4] = 1, MainPlayer.partycount = 2;
        PlacePlayer(23, 19, DIR_DOWN, FRAME_STAND + 2);
    }
    void TearDown() override {
        ReleaseGameBitmaps();
        QbTest::TearDown();
    }
};

TEST_F(SaveFileTest, TheStreamHoldsEveryFieldInItsPlaceAndWidth) {
    savedgame g;
    g.name = "Tobrin", g.trainerid = 0x01020304, g.money = 3000;
    ownedvorl &v = g.owned[0];
    // Every number distinct, in record order; the file puts exp and level after the stats.
    v.species = 1, v.exp = 2, v.level = 3, v.atkiv = 4, v.defiv = 5, v.spdiv = 6, v.spciv = 7, v.hpiv = 8;
    v.atkexp = 9, v.defexp = 10, v.spdexp = 11, v.spcexp = 12, v.hpexp = 13, v.attack = 14, v.defense = 15;
    v.speed = 16, v.spattack = 17, v.spdefense = 18, v.maxhp = 19, v.hp = 20, v.status = 21, v.happiness = 22;
    v.spare1 = 23;
    for (int k = 0; k < 12; k++) (&v.moves[0].move)[k] = 24 + k;
    v.spare2 = 36, v.otname = "Tobrin", v.otid = 37, v.nickname = "Kindle", v.spareflag = 0xAB, v.shiny = -2;
    v.metplace = "Route 0", v.metlevel = 39;
    const int32_t party[PARTYMAX] = {3, 1, 2, 0, 4, 5};
    std::copy(party, party + PARTYMAX, g.party);
    g.partycount = 2, g.indexno = 1, g.tilex = 22, g.tiley = 19, g.facing = 3, g.frame = 7;
    g.mapfile = "testproject\\baymap.txt";
    ASSERT_EQ(WriteSaveFile("layout.qbs", g), 0);

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
}

TEST_F(SaveFileTest, ALoadedGameIsTheGameSavedAndAFailedSaveLeavesTheOldFile) {
    ASSERT_EQ(Through(SaveSaveFile, "round.qbs"), SAVE_DONE);
    const std::string saved = Unpack("round.qbs");
    WriteFile("v2.qbs", Pack("\x02" + saved.substr(1)));
    MainPlayer = playerrecord();
    PlacePlayer(1, 1, 1, 1);
    ReleaseGameBitmaps();
    EXPECT_EQ(Through(LoadSaveFile, "v2.qbs"), LOAD_DONE);
    EXPECT_EQ(State(), saved);
    EXPECT_EQ(std::make_pair(mapxtile, plx), std::make_pair(13, 160)) << "the camera from the saved place";
    EXPECT_TRUE(backbuffer && battlebackbuffer && playerspritesbmp);
    // A folder cannot be replaced by the finished file, which is removed.
    std::filesystem::create_directory("adir");
    EXPECT_EQ(Through(SaveSaveFile, "adir"), SAVE_UNWRITTEN);
    EXPECT_FALSE(std::filesystem::exists("adir.tmp"));
    // The temporary file cannot be made: the old file stays as it was.
    MainPlayer.money++;
    std::filesystem::create_directory("round.qbs.tmp");
    EXPECT_EQ(Through(SaveSaveFile, "round.qbs"), SAVE_UNWRITTEN);
    EXPECT_EQ(Unpack("round.qbs"), saved);
    EXPECT_EQ(LogLinesAfterBanner().back().rfind("Major Program error: Unable to write save file round.qbs (", 0), 0u);
}

TEST_F(SaveFileTest, EveryCutAndEveryDamagedFileIsRefusedAndChangesNothing) {
    const savedgame good = CaptureGame();
    const std::string raw = State(), packed = ReadFileText("state.qbs");
    // Each case: the file as it lies on disk and what the refusal must say.
    std::vector<std::pair<std::string, std::string>> cases = {
        {Pack(raw + "x"), "bytes left over"}, {raw, "cannot be opened as a save file"}, {packed.substr(0, 100), "ends early"}};
    for (size_t n = 0; n < raw.size(); n++) cases.push_back({Pack(raw.substr(0, n)), "ends early"});
    // The player's name is the first text, its count at byte 4.
    for (auto [count, text, message] : {std::tuple<int, std::string, std::string>{0, "", "a text of 0 bytes"},
                                        {4097, "", "a text of 4097 bytes"}, {7, "Tobrinx", "does not end at its only zero byte"},
                                        {7, std::string("To\0rin\0", 7), "does not end at its only zero byte"}})
        cases.push_back({Pack(raw.substr(0, 4) + Le(count) + text + raw.substr(15)), message});
    using G = savedgame &;
    const std::pair<const char *, void (*)(G)> changes[] = {
        {"carries 0 Vorlets", [](G g) { g.partycount = 0; }}, {"carries 7 Vorlets", [](G g) { g.partycount = 7; }},
        {"party order", [](G g) { g.party[5] = 0; }}, {"party order", [](G g) { g.party[0] = 6; }},
        {"carried Vorlet 2 has species 0", [](G g) { g.owned[4].species = 0; }},
        {"names project 2", [](G g) { g.indexno = 2; }}, {"names project -1", [](G g) { g.indexno = -1; }},
        {"column 60, row 0", [](G g) { g.tilex = 60, g.tiley = 0; }}, {"column 23, row -1", [](G g) { g.tiley = -1; }},
        {"facing 0", [](G g) { g.facing = 0; }}, {"sprite frame 25", [](G g) { g.frame = 25; }},
        {"outside the game's folder", [](G g) { g.mapfile = "testproject\\..\\..\\map.txt"; }},
    };
    for (auto &[message, change] : changes) {
        savedgame changed = good;
        change(changed);
        WriteSaveFile("changed.qbs", changed);
        cases.push_back({ReadFileText("changed.qbs"), message});
    }
    for (auto &[file, message] : cases) {
        WriteFile("bad.qbs", file);
        headless::boxes.clear();
        EXPECT_EQ(Through(LoadSaveFile, "bad.qbs"), LOAD_BADSAVE) << message;
        ASSERT_EQ(headless::boxes.size(), 1u) << message;
        EXPECT_NE(headless::boxes[0].text.find(message), std::string::npos) << headless::boxes[0].text;
    }
    EXPECT_EQ(State(), raw);
    EXPECT_EQ(Through(LoadSaveFile, "none.qbs"), LOAD_MISSING);
    EXPECT_EQ(LogLinesAfterBanner().back(), "Breaking Project error: Save file none.qbs does not exist!");
}

TEST_F(SaveFileTest, AProjectOrMapThatFailsHasItsOwnResult) {
    savedgame game = CaptureGame();
    WriteSaveFile("game.qbs", game);
    game.mapfile = "testproject\\nomap.txt";
    WriteSaveFile("nomap.qbs", game);
    std::filesystem::rename("testproject/project.txt", "project.txt");
    EXPECT_EQ(Through(LoadSaveFile, "game.qbs"), LOAD_BADPROJECT);
    EXPECT_EQ(LogLinesAfterBanner().back(), "Breaking Project error: Map file testproject\\project.txt does not exist!");
    std::filesystem::rename("project.txt", "testproject/project.txt");
    mapxtile = -99;
    EXPECT_EQ(Through(LoadSaveFile, "nomap.qbs"), LOAD_BADMAP);
    EXPECT_EQ(LogLinesAfterBanner().back(),
              "Minor Project error: The saved map testproject\\nomap.txt cannot be loaded; the game was not loaded");
    EXPECT_EQ(mapxtile, -99) << "no camera without a map";

    // Cinder Ridge is 9 blocks wide and 40 high: its last block is the edge.
    game.indexno = 1, game.mapfile = "cinderridge\\ridgemap.txt";
    game.tilex = 8, game.tiley = 39;
    WriteSaveFile("ridge.qbs", game);
    EXPECT_EQ(Through(LoadSaveFile, "ridge.qbs"), LOAD_DONE);
    game.tilex = 9;
    WriteSaveFile("ridge.qbs", game);
    EXPECT_EQ(Through(LoadSaveFile, "ridge.qbs"), LOAD_BADSAVE);
    EXPECT_EQ(LogLinesAfterBanner().back(), "Major Project error: Save file ridge.qbs places the player at column 9, row "
                                            "39, outside its map of 9 by 40 blocks");
    game.tilex = 8, game.tiley = 40;
    WriteSaveFile("ridge.qbs", game);
    EXPECT_EQ(Through(LoadSaveFile, "ridge.qbs"), LOAD_BADSAVE);
}
