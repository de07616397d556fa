// Saving and loading games: the byte layout, the round trip, saves that
// fail or meet links and stale files, and files that are cut short,
// damaged, hold numbers play cannot use or point at a broken project.
#include <sys/resource.h>
#include <sys/stat.h>

#include <array>
#include <climits>
#include <csignal>
#include <filesystem>
#include <set>

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
    pack_fwrite(bytes.data(), (long)bytes.size(), file), pack_fclose(file);
    return ReadFileText("packed.qbs");
}
// Little-endian numbers and texts, written out by hand.
static std::string Le(uint32_t v, int width = 4) { return width ? (char)v + Le(v >> 8, width - 1) : ""; }
static std::string Text(const std::string &t) { return Le((uint32_t)t.size() + 1) + t + '\0'; }
// Answers the file dialog with `path`, then saves or loads.
static int Through(int (*action)(), const std::string &path) { return headless::ScriptFileDialog({{1, path}}), action(); }
// Writes `game` to `path` and loads it through the dialog, in a fresh log.
static int LoadGame(const savedgame &game, const std::string &path = "game.qbs") {
    return SetUpLog(), WriteSaveFile(path, game), Through(LoadSaveFile, path);
}
static std::string State() { return WriteSaveFile("state.qbs", CaptureGame()), Unpack("state.qbs"); }

// A Quill Bay game carrying six creatures in a shuffled order, a step from
// its start, facing down in a walking frame.
class SaveFileTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp(), CopySampleGame(), SetUpNewGame();
        for (int i = 1; i < PARTYMAX; i++) ASSERT_GT(CreateVorlet(MainPlayer.owned[i], 2 + i, 10 + i, VORLET_PLAYER, ""), 0);
        ASSERT_EQ(CreateVorlet(MainPlayer.owned[4], 2, 12, VORLET_PLAYER, ""), 4);
        MainPlayer.owned[4].nickname = "Twelve chars", MainPlayer.money = 1234;
        const int party[PARTYMAX] = {0, 4, 2, 5, 1, 3};
        std::copy(party, party + PARTYMAX, MainPlayer.party), MainPlayer.partycount = 6;
        PlacePlayer(23, 19, DIR_DOWN, FRAME_WALK + 1);
    }
};

TEST_F(SaveFileTest, TheStreamHoldsEveryFieldInItsPlaceAndWidth) {
    savedgame g;
    g.name = "Tobrin", g.trainerid = 0x01020304, g.money = 3000;
    ownedvorl &v = g.owned[0];
    // The record's 36 numbers, species to spare2, are 1 to 36 in record order;
    // the file puts exp (2) and level (3) after the stats.
    ASSERT_EQ(&v.species + 35, &v.spare2);
    for (int k = 0; k < 36; k++) (&v.species)[k] = k + 1;
    v.otname = "Tobrin", v.otid = 37, v.nickname = "Kindle", v.spareflag = 0xAB, v.shiny = -2;
    v.metplace = "Route 0", v.metlevel = 39;
    const int32_t party[PARTYMAX] = {3, 1, 2, 0, 4, 5};
    std::copy(party, party + PARTYMAX, g.party);
    g.partycount = 2, g.indexno = 1, g.tilex = 22, g.tiley = 19, g.facing = 3, g.frame = 7, g.mapfile = "testproject\\baymap.txt";
    ASSERT_EQ(WriteSaveFile("layout.qbs", g), 0);

    std::string all = Le(1) + std::string("\x07\0\0\0Tobrin\0", 11) + Le(0x01020304) + Le(3000);
    for (int k : {1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 2, 3}) all += Le(k);
    for (int k = 20; k <= 36; k++) all += Le(k);
    all += Text("Tobrin") + Le(37) + Text("Kindle") + '\xAB' + Le(-2) + Text("Route 0") + Le(39);
    const std::string empty = std::string(36 * 4, '\0') + Text("") + Le(0) + Text("") + '\0' + Le(0) + Text("") + Le(0);
    for (int k = 1; k < PARTYMAX; k++) all += empty;
    for (int p : party) all += Le(p);
    all += Le(2, 2) + Le(1) + Le(22) + Le(19) + Le(3) + Le(7) + Text("testproject\\baymap.txt");
    EXPECT_EQ(Unpack("layout.qbs"), all);
}

// What the last file dialog was given, on one line.
static std::string DialogSettings() {
    const filedialogsettings &d = headless::lastfiledialog;
    std::string line = Format("%s|%d %s %s %s %x", d.title, d.filterindex, d.startname, d.startdir, d.defext, d.flags);
    for (const auto &filter : d.filters) line += Format("|%s %s", filter.name, filter.pattern);
    return line;
}

TEST_F(SaveFileTest, TheGamesOwnSavesLoadAsTheyWereSavedAndADialogWithoutAFileDoesNothing) {
    // A cancelled dialog says and does nothing, a failed one names its error.
    for (int (*action)() : {SaveSaveFile, LoadSaveFile})
        for (int answer : {0, -12}) {
            SetUpLog(), headless::ScriptFileDialog({{answer, "never.qbs"}});
            EXPECT_EQ(action(), 1);
            const std::string error = "Major Program error: Unrecognized error opening file dialog: 12";
            EXPECT_EQ(LogLinesAfterBanner(), answer ? std::vector<std::string>{error} : std::vector<std::string>{});
        }
    EXPECT_FALSE(std::filesystem::exists("never.qbs"));
    SetUpLog();
    ASSERT_EQ(Through(SaveSaveFile, "round.qbs"), SAVE_DONE);
    EXPECT_EQ(LogLinesAfterBanner(), std::vector<std::string>({"Program: Saving Save file round.qbs", "Program: Game Saved"}));
    // Saving asks before replacing a file, loading does not.
    EXPECT_EQ(DialogSettings(), "Save Save File|0 *.qbs . qbs 22006|Save File *.qbs|All Files *.*");
    const std::string saved = Unpack("round.qbs");
    MainPlayer = playerrecord(), PlacePlayer(1, 1, 1, 1), ReleaseGameBitmaps(), SetUpLog();
    EXPECT_EQ(Through(LoadSaveFile, "round.qbs"), LOAD_DONE);
    EXPECT_EQ(DialogSettings(), "Load Save File|0 *.qbs . qbs 22004|Save File *.qbs|All Files *.*");
    EXPECT_EQ(LogLinesAfterBanner(), std::vector<std::string>({"Program: Loading Save file round.qbs", "Program: File loaded",
              "Program: Project number 0 picked", "Program: Reading file testproject\\project.txt",
              "Program: Reading map file testproject\\baymap.txt", "Program: Map File Read. Reading Map Array"}));
    EXPECT_EQ(State(), saved);
    EXPECT_EQ(MainPlayer.name.size(), 6u) << "a text without its zero byte";
    EXPECT_EQ(std::make_pair(mapxtile, plx), std::make_pair(13, 160)) << "the camera from the saved place";
    EXPECT_EQ(std::make_tuple(!!backbuffer, !!battlebackbuffer, !!playerspritesbmp), std::make_tuple(true, true, true));
    // A save may hold a place just off Cinder Ridge's 11 columns, column 11:
    // it loads all the same. With
    // one creature carried, the records beyond it are kept as they came,
    // neither checked (species 0) nor clamped (HP 9999).
    savedgame ridge = CaptureGame();
    ridge.indexno = 1, ridge.mapfile = "cinderridge\\ridgemap.txt", ridge.tilex = 11, ridge.tiley = 2;
    ridge.partycount = 1, ridge.owned[4].species = 0, ridge.owned[4].hp = 9999;
    EXPECT_EQ(LoadGame(ridge), LOAD_DONE);
    EXPECT_EQ(std::make_tuple(indexno, playertilex, MainPlayer.partycount, MainPlayer.owned[4].hp),
              std::make_tuple(1, 11, (int16_t)1, 9999));
}

TEST_F(SaveFileTest, AFailedSaveKeepsTheOldFileAndSaysWhyAndASaveReplacesItsFileAlone) {
    mode_t mask = umask(027);  // a new save is made as any new file: 0666 less the umask
    ASSERT_EQ(Through(SaveSaveFile, "old.qbs"), SAVE_DONE);
    umask(mask);
    EXPECT_EQ(std::filesystem::status("old.qbs").permissions(), std::filesystem::perms(0640));
    const std::string old = ReadFileText("old.qbs");
    MainPlayer.money++, std::filesystem::create_directory("adir");
    ASSERT_EQ(mkfifo("fifo.qbs", 0600) | symlink("fifo.qbs", "tofifo.qbs") | symlink("gone.qbs", "nowhere.qbs"), 0);
    std::string deep;  // a path longer than the system takes
    while (deep.size() <= PATH_MAX) deep += "d/";
    const std::pair<std::string, std::string> cases[] = {  // the save's path, why it fails
        {"adir", "it is a folder"}, {"fifo.qbs", "it is a FIFO"}, {"tofifo.qbs", "it is a FIFO"},
        {"nowhere.qbs", "it is a link that leads to no file (No such file or directory)"},
        {std::string(249, 'n'), "no temporary file can be made beside it: File name too long"},
        {deep + "x.qbs", "File name too long"}, {"old.qbs", "cannot be written: File too large"}};
    rlimit usual, full;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &usual), 0);
    full = {64, usual.rlim_max};  // the last save's disk fills up after 64 bytes
    for (const auto &[path, why] : cases) {
        headless::boxes.clear();
        if (path == "old.qbs") signal(SIGXFSZ, SIG_IGN), setrlimit(RLIMIT_FSIZE, &full);
        EXPECT_EQ(path == deep + "x.qbs" ? WriteSaveFile(path, CaptureGame()) : Through(SaveSaveFile, path), SAVE_UNWRITTEN);
        setrlimit(RLIMIT_FSIZE, &usual);
        ASSERT_EQ(headless::boxes.size(), 1u) << path;
        const std::string &box = headless::boxes[0].text;
        EXPECT_EQ(box.rfind("Major Program error: Unable to write save file " + path + " (", 0), 0u) << box;
        EXPECT_NE(box.find(why + "); the game was not saved"), std::string::npos) << box;
    }
    EXPECT_EQ(ReadFileText("old.qbs"), old);
    // A save through a link replaces the file it leads to, keeping its mode,
    // and clears the temporaries a stopped save left.
    WriteFile("real.qbs", "old"), WriteFile("victim", "keep"), WriteFile("real.qbs.tmp", "the player's own");
    chmod("real.qbs", 0640);
    // A link of our naming is removed, not followed; names near ours stay.
    ASSERT_EQ(symlink("real.qbs", "link.qbs") | symlink("victim", ".real.qbs.saving-AbCdEf"), 0);
    for (const char *letters : {"XyZabc", "XyZab", "XyZ4bc"}) WriteFile(".real.qbs.saving-" + std::string(letters), "stale");
    ASSERT_EQ(Through(SaveSaveFile, "link.qbs"), SAVE_DONE);
    EXPECT_TRUE(std::filesystem::is_symlink("link.qbs")) << "saved through the link";
    EXPECT_EQ(Unpack("real.qbs"), State());
    EXPECT_EQ(std::filesystem::status("real.qbs").permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(ReadFileText("victim") + ReadFileText("real.qbs.tmp"), "keepthe player's own");
    // No temporary file is left but those not of our naming.
    std::set<std::string> hidden;
    for (auto &entry : std::filesystem::directory_iterator("."))
        if (entry.path().filename().string()[0] == '.') hidden.insert(entry.path().filename().string());
    EXPECT_EQ(hidden, (std::set<std::string>{".real.qbs.saving-XyZab", ".real.qbs.saving-XyZ4bc"}));
}

TEST_F(SaveFileTest, EveryCutDamagedOrUnplayableFileIsRefusedAndEachFailureHasItsResult) {
    const savedgame good = CaptureGame();
    const std::string raw = State(), packed = ReadFileText("state.qbs");
    // Each case: the file as it lies on disk and what the refusal must say.
    std::vector<std::pair<std::string, std::string>> cases = {
        {Pack(raw + "x"), "bytes left over"}, {raw, "cannot be opened as a save file"}, {packed.substr(0, 100), "ends early"},
        {Pack(raw.substr(0, 30)), "ends early, in Vorlet record 1"}, {Pack(raw.substr(0, raw.size() - 1)), "in the map path"},
        {std::string(SAVEFILEMAX, '\0'), "cannot be opened as a save file"},
        {std::string(SAVEFILEMAX + 1, '\0'), "has 1048577 bytes, more than the 1048576 a save file may have"}};
    for (size_t n = 0; n < raw.size(); n++) cases.push_back({Pack(raw.substr(0, n)), "ends early"});
    // The player's name is the first text, its count at byte 4.
    for (auto [count, text, message] : {std::tuple<int, std::string, std::string>{0, "", "a text of 0 bytes"},
             {4097, "", "a text of 4097 bytes in the player's name, id and money; a text takes 1 to 4096"},
             {7, "Tobrinx", "zero byte"}, {7, std::string("To\0rin\0", 7), "does not end at its only zero byte"}})
        cases.push_back({Pack(raw.substr(0, 4) + Le(count) + text + raw.substr(15)), message});
    using G = savedgame &;
    const std::pair<const char *, void (*)(G)> changes[] = {
        {"carries 0 Vorlets", [](G g) { g.partycount = 0; }}, {"carries 7 Vorlets", [](G g) { g.partycount = 7; }},
        {"party order", [](G g) { g.party[5] = 0; }}, {"party order", [](G g) { g.party[0] = 6; }},
        {"has a party order that does not name each of 0 to 5 once", [](G g) { g.party[0] = -1; }},
        {"names project 2", [](G g) { g.indexno = 2; }}, {"names project -1", [](G g) { g.indexno = -1; }},
        {"column 60, row 0", [](G g) { g.tilex = 60, g.tiley = 0; }}, {"column 23, row -1", [](G g) { g.tiley = -1; }},
        {"column -1, row 19", [](G g) { g.tilex = -1; }}, {"column 23, row 60", [](G g) { g.tiley = 60; }},
        {"facing 0", [](G g) { g.facing = 0; }}, {"facing 5", [](G g) { g.facing = 5; }},
        {"sprite frame 0,", [](G g) { g.frame = 0; }}, {"sprite frame 25", [](G g) { g.frame = 25; }},
        {"which has a `..` part", [](G g) { g.mapfile = "testproject\\..\\..\\map.txt"; }},
        {"which lies outside the game's directory", [](G g) { g.mapfile = "/map.txt"; }},
        // What a creature is made of has nothing to stand in for it.
        {"carried Vorlet 2 has species 0", [](G g) { g.owned[4].species = 0; }},
        {"maximum HP 0, not 1 to 9999", [](G g) { g.owned[4].maxhp = 0; }},
        {"attack 10000, not 1 to 9999", [](G g) { g.owned[4].attack = 10000; }},
        {"HP IV 16, not 0 to 15", [](G g) { g.owned[4].hpiv = 16; }}, {"special IV -1,", [](G g) { g.owned[4].spciv = -1; }},
    };
    for (auto &[message, change] : changes) {
        savedgame changed = good;
        change(changed), WriteSaveFile("changed.qbs", changed);
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
    WriteFile("plain.qbs", "slh." + raw);  // the library's magic for a stream stored unpacked
    EXPECT_EQ(Through(LoadSaveFile, "plain.qbs"), LOAD_DONE);
    // A file that is not there; those refused before any opening, which would wait on a FIFO for good.
    ASSERT_EQ(mkfifo("fifo.qbs", 0600), 0);
    const std::string longname(PATH_MAX, 'd');
    const std::tuple<std::string, int, std::string> unread[] = {  // the path, the result, the logged line
        {"none.qbs", LOAD_MISSING, "Breaking Project error: Save file none.qbs does not exist!"},
        {"fifo.qbs", LOAD_BADSAVE, "Major Project error: Save file fifo.qbs is a FIFO and is not read"},
        {"/dev/null", LOAD_BADSAVE, "Major Project error: Save file /dev/null is a device and is not read"},
        {longname, LOAD_BADSAVE, "Major Project error: Save file " + longname + " cannot be read: File name too long"}};
    for (const auto &[path, result, line] : unread) {
        savedgame game;
        EXPECT_EQ(ReadSaveFile(path, game), result) << path;
        EXPECT_EQ(LogLinesAfterBanner().back(), line);
    }
    // A sound save whose project, map or sprite sheet fails.
    savedgame nomap = good;
    std::filesystem::rename("testproject/project.txt", "project.txt");
    EXPECT_EQ(Through(LoadSaveFile, "state.qbs"), LOAD_BADPROJECT);
    EXPECT_EQ(LogLinesAfterBanner().back(), "Breaking Project error: Map file testproject\\project.txt does not exist!");
    std::filesystem::rename("project.txt", "testproject/project.txt");
    mapxtile = -99, nomap.mapfile = "testproject\\nomap.txt";
    EXPECT_EQ(LoadGame(nomap), LOAD_BADMAP);
    EXPECT_EQ(LogLinesAfterBanner().back(),
              "Minor Project error: The saved map testproject\\nomap.txt cannot be loaded; the game was not loaded");
    EXPECT_EQ(mapxtile, -99) << "no camera without a map";
    std::filesystem::remove("testproject/sprites2.bmp");
    EXPECT_EQ(Through(LoadSaveFile, "state.qbs"), LOAD_NOSPRITES);
    EXPECT_EQ(LastError(), "Breaking Project error: Unable to load sprite file!");
}

TEST_F(SaveFileTest, RunningAmountsBeyondTheirBoundsAreClampedAndEdgesLoadAsTheyAre) {
    // Scorchet, carried second, with 50 HP at most and Nudge (35 PP at
    // most) first, lowered to 30. Its experience tops out at the need for
    // level 100, 1059860, plus the richest win, 212 * 100 * 1.5 / 7 = 4542.
    ownedvorl &s = MainPlayer.owned[4];
    s.maxhp = s.hp = 50, s.moves[0] = {1, 30, 30};
    const savedgame good = CaptureGame();
    using At = int32_t *(*)(ownedvorl &);
    const std::tuple<At, int32_t, int32_t, std::string> cases[] = {  // field, stored, loaded, the line's middle
        {[](ownedvorl &v) { return &v.hp; }, 51, 50, "HP 51, outside 0 to 50"},
        {[](ownedvorl &v) { return &v.hp; }, INT_MIN + 1, 0, "HP -2147483647, outside 0 to 50"},
        {[](ownedvorl &v) { return &v.exp; }, 1064403, 1064402, "experience 1064403, outside 0 to 1064402"},
        {[](ownedvorl &v) { return &v.exp; }, -1, 0, "experience -1, outside 0 to 1064402"},
        {[](ownedvorl &v) { return &v.atkexp; }, 65536, 65535, "attack stat experience 65536, outside 0 to 65535"},
        {[](ownedvorl &v) { return &v.hpexp; }, -1, 0, "HP stat experience -1, outside 0 to 65535"},
        {[](ownedvorl &v) { return &v.moves[0].maxpp; }, 36, 35, "move 1 maximum PP 36, outside 0 to 35"},
        {[](ownedvorl &v) { return &v.moves[0].pp; }, 31, 30, "move 1 PP 31, outside 0 to 30"},
        {[](ownedvorl &v) { return &v.moves[0].pp; }, -1, 0, "move 1 PP -1, outside 0 to 30"}};
    for (const auto &[at, stored, loaded, middle] : cases) {
        savedgame changed = good;
        *at(changed.owned[4]) = stored;
        EXPECT_EQ(LoadGame(changed, "clamp.qbs"), LOAD_DONE) << middle;
        EXPECT_EQ(*at(MainPlayer.owned[4]), loaded) << middle;
        EXPECT_EQ(LogLinesWith(" error: "), std::vector<std::string>{"Minor Project error: Save file clamp.qbs: carried "
                  "Vorlet 2 has " + middle + "; it is taken as " + std::to_string(loaded)});
    }
    // Every number at its edge loads as it is, and the longest text.
    using Place = std::array<int, 4>;  // column, row, facing, sprite frame
    for (auto [x, y, facing, frame] : {Place{0, 59, DIR_UP, 1}, Place{59, 0, DIR_LEFT, 24}}) {
        savedgame edge = good;
        ownedvorl &e = edge.owned[4];
        e.attack = 9999, e.defense = e.maxhp = e.hp = 1, e.atkiv = 15, e.defiv = 0, e.exp = 1064402, e.atkexp = 65535;
        e.defexp = 0, e.moves[0].pp = 0, edge.name = std::string(SAVETEXTMAX - 1, 'n');
        edge.tilex = x, edge.tiley = y, edge.facing = facing, edge.frame = frame;
        EXPECT_EQ(LoadGame(edge), LOAD_DONE);
        EXPECT_EQ(LogLinesWith(" error: "), std::vector<std::string>{});
        EXPECT_EQ(std::make_tuple(MainPlayer.name.size(), playertilex, playerfacing, playerspriteanim),
                  std::make_tuple((size_t)4095, x, facing, frame));
    }
    // The worst at once, then a hit taken and a battle won, which would
    // overflow unclamped (the sanitizer build runs this too).
    savedgame worst = good;
    worst.owned[4].hp = INT_MIN + 1, worst.owned[4].exp = INT_MAX, worst.owned[4].atkexp = INT_MAX;
    ASSERT_EQ(LoadGame(worst), LOAD_DONE);
    headless::closerequested = 1, currbattletype = BATTLETYPE_WILD;  // every message goes by without a key
    battleinfo.activeslot = 1, battleinfo.participated[1] = 1, battleinfo.enemymove = 1, battleinfo.enemyslot = 4;
    ASSERT_GT(CreateVorlet(wildvorlet, 4, 5, VORLET_WILD, nullptr), 0);
    BattleUseAttack(SIDE_ENEMY);
    EXPECT_EQ(s.hp, 50) << "fainted and restored";
    EXPECT_EQ(AddPlayerExp(4, 4542), 1);
    EXPECT_EQ(std::make_tuple(s.level, s.exp, s.atkexp), std::make_tuple(100, 1064402 + 4542, 65535));
}
