#include "tests/harness/testsupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
// Starts the headless library once for the whole test program.
struct headlessenvironment : ::testing::Environment {
    void SetUp() override { ASSERT_EQ(PlatformStart(), 0) << "headless Allegro did not start"; }
};
const ::testing::Environment *const headlessenv = ::testing::AddGlobalTestEnvironment(new headlessenvironment);
}  // namespace

std::string SourceDir() {
    const char *dir = getenv("QB_SOURCE_DIR");
    return dir ? dir : QB_SOURCE_DIR_DEFAULT;
}

void WriteFile(const std::string &path, const std::string &content) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFileText(const std::string &path) {
    std::stringstream ss;
    ss << std::ifstream(path, std::ios::binary).rdbuf();
    return ss.str();
}

std::string Replaced(std::string text, const std::string &from, const std::string &to) {
    size_t at = text.find(from);
    if (at == std::string::npos) ADD_FAILURE() << "no " << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    std::ifstream in(logfile);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> LogLinesAfterBanner() {
    std::vector<std::string> lines = LogLines();
    if (!lines.empty()) lines.erase(lines.begin());
    return lines;
}

std::vector<std::string> LogLinesWith(const std::string &text) {
    std::vector<std::string> lines;
    for (const std::string &line : LogLinesAfterBanner())
        if (line.find(text) != std::string::npos) lines.push_back(line);
    return lines;
}

std::string LastError() {
    std::vector<std::string> errors = LogLinesWith(" error: ");
    return errors.empty() ? "" : errors.back();
}

void Draws(const std::vector<int> &values) { QueueRandomDraws(values.data(), (int)values.size()); }

std::string Commented(const std::vector<std::pair<int, std::string>> &lines, int longer) {
    std::string text;
    for (size_t i = 0; i < lines.size(); i++) {
        if (lines[i].first > 0) text += "#" + std::string(lines[i].first - 2 + ((int)i == longer), '-') + "\n";
        text += lines[i].second + "\n";
    }
    return text;
}

void CopySampleGame() {
    namespace fs = std::filesystem;
    for (const fs::directory_entry &entry : fs::directory_iterator(SourceDir() + "/game"))
        if (entry.path().filename() != logfile && entry.path().extension() != ".qbs")
            fs::copy(entry.path(), entry.path().filename(), fs::copy_options::recursive);
    // The index of the two samples alone, made as the end-to-end tests make it.
    const std::string src = SourceDir();
    const std::string samples = "awk -f '" + src + "/tests/e2e/samples.awk' '" + src + "/game/gameindex.txt' > " + indexfile;
    ASSERT_EQ(std::system(samples.c_str()), 0);
    ASSERT_EQ(ReadGameIndex(), 0);
    ASSERT_EQ(indarrsiz, 2) << "the index lacks a sample project";
    ASSERT_EQ(GameIndex[0].projectdir, "testproject") << "Quill Bay comes first";
    SetUpLog();
}

void ReleaseGameBitmaps() {
    for (BITMAP **bmp : {&playerspritesbmp, &backbuffer, &battlebackbuffer, &enemyvorlet, &ownvorletb,
                         &currentmaptilesbmp}) {
        if (*bmp) destroy_bitmap(*bmp);
        *bmp = nullptr;
    }
}

void QbTest::SetUp() {
    headless::Reset();
    char cwd[4096];
    olddir = getcwd(cwd, sizeof cwd) ? cwd : ".";
    char templ[] = "/tmp/qbtest.XXXXXX";
    char *made = mkdtemp(templ);
    ASSERT_NE(made, nullptr);
    tempdir = made;
    ASSERT_EQ(chdir(tempdir.c_str()), 0);
    gamerunning = quitgamenow = indarrsiz = indexno = 0;
    ResetWorld();
    ResetBattle();
    MainPlayer = playerrecord();
    ClearRandomDraws();
    SeedRandom(1);
    SetUpLog();
}

void QbTest::TearDown() {
    ReleaseGameBitmaps();
    battletranscript = nullptr;
    WildEncounter = nullptr;
    if (chdir(olddir.c_str()) != 0) ADD_FAILURE() << "cannot return to " << olddir;
    std::error_code ec;
    if (!tempdir.empty()) std::filesystem::remove_all(tempdir, ec);
    headless::Reset();
}

bool Shows(int x0, int y0, int x1, int y1, const std::vector<battleline> &lines, const std::vector<battlebox> &boxes,
           BITMAP *on) {
    BITMAP *expected = create_bitmap(500, 500);
    clear_to_color(expected, whtclr);
    for (const battlebox &b : boxes) (b.filled ? rectfill : rect)(expected, b.x0, b.y0, b.x1, b.y1, b.colour);
    for (const battleline &t : lines)
        (t.right ? textout_right_ex : textout_ex)(expected, font, t.text.c_str(), t.x, t.y, t.colour ? t.colour : blkclr, -1);
    bool same = true;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) same = same && getpixel(expected, x, y) == getpixel(on ? on : battlebackbuffer, x, y);
    destroy_bitmap(expected);
    return same;
}

void BattleTest::SetUp() {
    QbTest::SetUp();
    SetScreenColours();
    CreateBattleBuffers(true);
    MainPlayer.name = "Tobrin";
    MainPlayer.trainerid = 1000;
    MainPlayer.partycount = 1;
    for (int i = 0; i < PARTYMAX; i++) MainPlayer.party[i] = i;
    battletranscript = &written;
}

void BattleTest::TearDown() {
    ClearRandomDraws();
    QbTest::TearDown();
}

void BattleTest::Begin(int ownspecies, int ownlevel, int wildspecies, int wildlevel) {
    CreateVorlet(Own(), ownspecies, ownlevel, VORLET_PLAYER, "Route 0");
    battleinfo = battlerecord();
    battleinfo.participated[0] = 1;
    battleinfo.enemymovecount = (uint8_t)CreateVorlet(wildvorlet, wildspecies, wildlevel, VORLET_WILD, nullptr);
    currbattletype = BATTLETYPE_WILD;
    currentgamestate = GAMESTATE_BATTLE;
}

void BattleTest::Spaces(int count) {
    std::vector<headless::keystep> steps;
    for (int i = 0; i < count; i++) steps.insert(steps.end(), {{{KEY_SPACE}, 1}, {{}, 1}});
    headless::ScriptKeys(steps);
}

std::string BattleTest::Said(bool places) {
    std::string said;
    for (const writtentext &t : written)
        said += (said.empty() ? "" : "|") + (places ? Format("%d,%d ", t.x, t.y) : "") + t.text;
    written.clear();
    return said;
}
