// The save-file layout, saving and loading. Save files are the library's
// compressed pack files; the stream inside is little-endian with no padding,
// each text as its length plus one, its characters and a zero byte.
#include "savefile/savefile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/log.h"
#include "base/platform.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"

namespace fs = std::filesystem;

const filedialogsettings SaveDialogSettings = {
    "Save Save File", {{"Save File", "*.qbs"}, {"All Files", "*.*"}}, 0, "*.qbs", ".", "qbs",
    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_CREATEPROMPT | OFN_NONETWORKBUTTON,
};
// Loading never replaces a file, so it has nothing to ask about one that exists.
const filedialogsettings LoadDialogSettings = {
    "Load Save File", {{"Save File", "*.qbs"}, {"All Files", "*.*"}}, 0, "*.qbs", ".", "qbs",
    OFN_HIDEREADONLY | OFN_CREATEPROMPT | OFN_NONETWORKBUTTON,
};

namespace {

// ---- the layout, once for writing and reading ----

template <class IO, class... T>
bool Ints(IO &io, T &...values) {
    return (io.Int(values) && ...);
}

// Note that exp and level follow the stats, out of record order.
template <class IO, class V>
bool VorletLayout(IO &io, V &v) {
    if (!Ints(io, v.species, v.atkiv, v.defiv, v.spdiv, v.spciv, v.hpiv, v.atkexp, v.defexp, v.spdexp, v.spcexp,
              v.hpexp, v.attack, v.defense, v.speed, v.spattack, v.spdefense, v.maxhp, v.exp, v.level, v.hp,
              v.status, v.happiness, v.spare1))
        return false;
    for (auto &slot : v.moves)
        if (!Ints(io, slot.move, slot.maxpp, slot.pp)) return false;
    return io.Int(v.spare2) && io.Text(v.otname) && io.Int(v.otid) && io.Text(v.nickname) &&
           io.Byte(v.spareflag) && io.Int(v.shiny) && io.Text(v.metplace) && io.Int(v.metlevel);
}

template <class IO, class G>
bool GameLayout(IO &io, G &game) {
    io.Part("the version");
    if (!io.Int(game.version)) return false;
    io.Part("the player's name, id and money");
    if (!io.Text(game.name) || !Ints(io, game.trainerid, game.money)) return false;
    for (int i = 0; i < PARTYMAX; i++) {
        io.Part("Vorlet record", i + 1);
        if (!VorletLayout(io, game.owned[i])) return false;
    }
    io.Part("the party order");
    for (auto &slot : game.party)
        if (!io.Int(slot)) return false;
    io.Part("the number of Vorlets carried");
    if (!io.Short(game.partycount)) return false;
    io.Part("the project number and the player's place");
    if (!Ints(io, game.indexno, game.tilex, game.tiley, game.facing, game.frame)) return false;
    io.Part("the map path");
    return io.Text(game.mapfile);
}

struct savewriter {
    std::string bytes;
    void Part(const char *, int = 0) {}
    bool Little(uint32_t value, int width) {
        for (int i = 0; i < width; i++) bytes += (char)((value >> (8 * i)) & 0xFF);
        return true;
    }
    bool Int(int32_t value) { return Little((uint32_t)value, 4); }
    bool Short(int16_t value) { return Little((uint16_t)value, 2); }
    bool Byte(uint8_t value) { return Little(value, 1); }
    // Up to the first zero byte, then that zero byte.
    bool Text(const std::string &text) {
        size_t length = strlen(text.c_str());
        Int((int32_t)(length + 1));
        bytes.append(text.c_str(), length + 1);
        return true;
    }
};

struct savereader {
    PACKFILE *file;
    const std::string &path;
    std::string part;
    void Part(const char *what, int number = 0) { part = number ? what + (" " + std::to_string(number)) : what; }
    bool Bytes(void *to, long count) {
        if (pack_fread(to, count, file) == count) return true;
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s ends early, in %s", path.c_str(), part.c_str());
        return false;
    }
    bool Little(uint32_t &value, int width) {
        unsigned char b[4];
        if (!Bytes(b, width)) return false;
        value = 0;
        for (int i = 0; i < width; i++) value |= (uint32_t)b[i] << (8 * i);
        return true;
    }
    bool Int(int32_t &value) {
        uint32_t v;
        if (!Little(v, 4)) return false;
        value = (int32_t)v;
        return true;
    }
    bool Short(int16_t &value) {
        uint32_t v;
        if (!Little(v, 2)) return false;
        value = (int16_t)(uint16_t)v;
        return true;
    }
    bool Byte(uint8_t &value) { return Bytes(&value, 1); }
    bool Text(std::string &text) {
        int32_t count;
        if (!Int(count)) return false;
        if (count < 1 || count > SAVETEXTMAX) {
            logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s gives a text of %d bytes in %s; a text takes 1 to %d",
                   path.c_str(), count, part.c_str(), SAVETEXTMAX);
            return false;
        }
        std::vector<char> chars((size_t)count);
        if (!Bytes(chars.data(), count)) return false;
        if (memchr(chars.data(), 0, (size_t)count) != &chars[(size_t)count - 1]) {
            logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s has a text in %s that does not end at its only zero byte",
                   path.c_str(), part.c_str());
            return false;
        }
        text.assign(chars.data(), (size_t)count - 1);
        return true;
    }
};

// Every value the game would use as an index or a count, checked before
// anything in the game changes.
bool CheckSavedGame(const savedgame &game, const std::string &path) {
    const char *file = path.c_str();
    if (game.partycount < 1 || game.partycount > PARTYMAX) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s carries %d Vorlets, not 1 to %d", file, game.partycount,
               PARTYMAX);
        return false;
    }
    bool seen[PARTYMAX] = {};
    for (int32_t slot : game.party) {
        if (slot < 0 || slot >= PARTYMAX || seen[slot]) {
            logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s has a party order that does not name each of 0 to %d once",
                   file, PARTYMAX - 1);
            return false;
        }
        seen[slot] = true;
    }
    bool sound = true;
    for (int i = 0; i < game.partycount; i++) {
        std::string where = "Save file " + path + ": carried Vorlet " + std::to_string(i + 1);
        if (CheckVorlet(game.owned[game.party[i]], where.c_str()) != 0) sound = false;
    }
    if (!sound) return false;
    if (game.indexno < 0 || game.indexno >= indarrsiz) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s names project %d, but the index holds projects 0 to %d", file,
               game.indexno, indarrsiz - 1);
        return false;
    }
    if (game.tilex < 0 || game.tilex >= MAPARRAYMAX || game.tiley < 0 || game.tiley >= MAPARRAYMAX) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s places the player at column %d, row %d, off every map", file,
               game.tilex, game.tiley);
        return false;
    }
    if (game.facing < DIR_UP || game.facing > DIR_LEFT || game.frame < FRAME_STAND || game.frame > FRAME_SWIMLAST) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s has facing %d and sprite frame %d, not 1 to 4 and 1 to %d",
               file, game.facing, game.frame, FRAME_SWIMLAST);
        return false;
    }
    if (!PathStaysInside(game.mapfile)) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s names the map %s, which lies outside the game's folder", file,
               game.mapfile.c_str());
        return false;
    }
    return true;
}

// A dialog that returned no file: nothing to say after a cancel.
int DialogGaveNoFile(int result) {
    if (result != 0)
        logfmt(LOG_MAJOR, LOGCAT_PROGRAM, "Unrecognized error opening file dialog: %u",
               (unsigned)(result < 0 ? -result : result));
    return SAVE_NOFILE;
}

}  // namespace

// ---- saving ----

savedgame CaptureGame() {
    savedgame game;
    game.name = MainPlayer.name;
    game.trainerid = MainPlayer.trainerid;
    game.money = MainPlayer.money;
    for (int i = 0; i < PARTYMAX; i++) {
        game.owned[i] = MainPlayer.owned[i];
        game.party[i] = MainPlayer.party[i];
    }
    game.partycount = MainPlayer.partycount;
    game.indexno = indexno;
    game.tilex = playertilex;
    game.tiley = playertiley;
    game.facing = playerfacing;
    game.frame = playerspriteanim;
    game.mapfile = CurrMapFilename;
    return game;
}

int WriteSaveFile(const std::string &path, const savedgame &game) {
    savewriter writer;
    GameLayout(writer, game);
    const std::string temp = path + ".tmp";
    std::string reason;
    errno = 0;
    PACKFILE *file = pack_fopen(temp.c_str(), "wp");
    if (!file) {
        reason = errno ? strerror(errno) : "it cannot be created";
    } else {
        long size = (long)writer.bytes.size();
        bool written = pack_fwrite(writer.bytes.data(), size, file) == size && !pack_ferror(file);
        // The compressed stream is only complete once closed.
        if (pack_fclose(file) != 0 || !written) reason = errno ? strerror(errno) : "writing failed";
    }
    std::error_code ec;
    if (reason.empty()) {
        fs::rename(temp, path, ec);
        if (ec) reason = ec.message();
    }
    if (reason.empty()) return 0;
    fs::remove(temp, ec);
    logfmt(LOG_MAJOR, LOGCAT_PROGRAM, "Unable to write save file %s (%s); the game was not saved", path.c_str(),
           reason.c_str());
    return SAVE_UNWRITTEN;
}

static std::string lastsavepath;
const std::string &LastSavePath() { return lastsavepath; }

int SaveSaveFile() {
    char filename[250];
    int chosen = FileDialog(SaveDialogSettings, filename, sizeof filename);
    if (chosen != 1) return DialogGaveNoFile(chosen);
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Saving Save file %s", filename);
    if (WriteSaveFile(filename, CaptureGame()) != 0) return SAVE_UNWRITTEN;
    log(LOG_INFO, LOGCAT_PROGRAM, "Game Saved");
    lastsavepath = filename;
    return SAVE_DONE;
}

// ---- loading ----

int ReadSaveFile(const std::string &path, savedgame &game) {
    PACKFILE *file = pack_fopen(path.c_str(), "rp");
    if (!file) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s cannot be opened as a save file", path.c_str());
        return LOAD_BADSAVE;
    }
    savedgame read;
    savereader reader{file, path, ""};
    bool whole = GameLayout(reader, read);
    if (whole && pack_getc(file) != EOF) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s has bytes left over after the map path", path.c_str());
        whole = false;
    }
    pack_fclose(file);
    if (!whole || !CheckSavedGame(read, path)) return LOAD_BADSAVE;
    game = read;
    return 0;
}

int ChooseSaveFile(savedgame &game, std::string &path) {
    char filename[250];
    int chosen = FileDialog(LoadDialogSettings, filename, sizeof filename);
    if (chosen != 1) return DialogGaveNoFile(chosen);
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Loading Save file %s", filename);
    if (!exists(filename)) {
        logfmt(LOG_BREAKING, LOGCAT_PROJECT, "Save file %s does not exist!", filename);
        return LOAD_MISSING;
    }
    if (ReadSaveFile(filename, game) != 0) return LOAD_BADSAVE;
    log(LOG_INFO, LOGCAT_PROGRAM, "File loaded");
    path = filename;
    return LOAD_DONE;
}
