// The save-file layout, saving and loading. Save files are the library's
// compressed pack files; the stream inside is little-endian with no padding,
// each text as its length plus one, its characters and a zero byte.
#include "savefile/savefile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include "base/log.h"
#include "base/platform.h"
#include "battle/battle.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"

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
    const std::string &stream;  // the uncompressed stream
    size_t at;
    const std::string &path;
    std::string part;
    void Part(const char *what, int number = 0) { part = number ? what + (" " + std::to_string(number)) : what; }
    bool Bytes(void *to, long count) {
        if ((size_t)count <= stream.size() - at) {
            memcpy(to, stream.data() + at, (size_t)count);
            at += (size_t)count;
            return true;
        }
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

// The bounds of the numbers play does arithmetic on. The game's own
// creatures stay far inside them (a stat at level 100 is below 1000), and
// inside them no sum, product or difference of battle and level-up leaves
// 32 bits: the damage formula's 42 * 4 * STATMAX * power, HP less a hit of
// at most 999, stat experience plus a gain.
constexpr int STATMAX = 9999;       // attack to special defence, maximum HP
constexpr int IVMAX = 15;           // individual values, which the stats grow from
constexpr int STATEXPMAX = 65535;   // where a won battle stops adding

// The most experience one won battle can give: a traded creature beating a
// wild one at the highest level, of the species that gives the most.
int LargestAward() {
    int largest = 0;
    for (int species = 1; species < SPECIESCOUNT; species++)
        largest = std::max(largest, ExpAward(species, MAXLEVEL, true));
    return largest;
}

// A number of a carried creature that play cannot use; nothing could stand
// in for these, which fix what the creature is.
bool Refused(const std::string &where, const char *field, int32_t value, int32_t low, int32_t high) {
    if (value >= low && value <= high) return false;
    logfmt(LOG_MAJOR, LOGCAT_PROJECT, "%s has %s %d, not %d to %d", where.c_str(), field, value, low, high);
    return true;
}

bool RefuseUnplayable(const ownedvorl &v, const std::string &where) {
    using field = int32_t ownedvorl::*;
    static const std::pair<const char *, field> stats[] = {
        {"attack", &ownedvorl::attack},           {"defense", &ownedvorl::defense},
        {"speed", &ownedvorl::speed},             {"special attack", &ownedvorl::spattack},
        {"special defense", &ownedvorl::spdefense}, {"maximum HP", &ownedvorl::maxhp}};
    static const std::pair<const char *, field> ivs[] = {
        {"attack IV", &ownedvorl::atkiv}, {"defense IV", &ownedvorl::defiv}, {"speed IV", &ownedvorl::spdiv},
        {"special IV", &ownedvorl::spciv}, {"HP IV", &ownedvorl::hpiv}};
    bool refused = false;
    for (const auto &[name, value] : stats) refused |= Refused(where, name, v.*value, 1, STATMAX);
    for (const auto &[name, value] : ivs) refused |= Refused(where, name, v.*value, 0, IVMAX);
    return refused;
}

// A running amount outside what its own record allows (HP above the maximum,
// more experience than the highest level needs) is brought inside, named
// with its old and new value.
void Clamp(const std::string &where, const std::string &field, int32_t &value, int32_t low, int32_t high) {
    int32_t kept = std::min(std::max(value, low), high);
    if (kept == value) return;
    logfmt(LOG_MINOR, LOGCAT_PROJECT, "%s has %s %d, outside %d to %d; it is taken as %d", where.c_str(),
           field.c_str(), value, low, high, kept);
    value = kept;
}

void ClampRunning(ownedvorl &v, const std::string &where) {
    Clamp(where, "HP", v.hp, 0, v.maxhp);
    // A creature levelling to the highest level keeps what its last win gave
    // beyond that level's need.
    Clamp(where, "experience", v.exp, 0, ExpNeededForLevel(MAXLEVEL, v.species) + LargestAward());
    const std::pair<const char *, int32_t *> statexp[] = {{"attack stat experience", &v.atkexp},
        {"defense stat experience", &v.defexp}, {"speed stat experience", &v.spdexp},
        {"special stat experience", &v.spcexp}, {"HP stat experience", &v.hpexp}};
    for (const auto &[name, value] : statexp) Clamp(where, name, *value, 0, STATEXPMAX);
    for (int slot = 0; slot < MOVESLOTS; slot++) {
        moveslot &m = v.moves[slot];
        const std::string move = "move " + std::to_string(slot + 1);
        Clamp(where, move + " maximum PP", m.maxpp, 0, MoveData[m.move].pp);
        Clamp(where, move + " PP", m.pp, 0, m.maxpp);
    }
}

// Every value the game would use as an index, a count or a number to reckon
// with, checked before anything in the game changes. Records beyond the
// carried ones are never played with (only written back as they came), so
// they are taken as they are.
bool CheckSavedGame(savedgame &game, const std::string &path) {
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
    auto where = [&](int i) { return "Save file " + path + ": carried Vorlet " + std::to_string(i + 1); };
    bool sound = true;
    for (int i = 0; i < game.partycount; i++) {
        const ownedvorl &v = game.owned[game.party[i]];
        if (CheckVorlet(v, where(i).c_str()) != 0) sound = false;
        if (RefuseUnplayable(v, where(i))) sound = false;
    }
    if (!sound) return false;
    if (game.indexno < 0 || game.indexno >= indarrsiz) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s names project %d, but the index holds projects 0 to %d", file,
               game.indexno, indarrsiz - 1);
        return false;
    }
    // Walking keeps to the map the save names, so the largest map's bounds
    // are all a loaded place needs.
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
    if (const char *why = NameLeadsOut(game.mapfile)) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s names the map %s, which %s", file, game.mapfile.c_str(), why);
        return false;
    }
    for (int i = 0; i < game.partycount; i++) ClampRunning(game.owned[game.party[i]], where(i));
    return true;
}

// ---- the file on disk ----

// A save is written to a hidden file beside it, ".<name>.saving-" and six
// letters, never opened through a link or over a file that exists; the
// pattern is ours alone, so one a stopped save left behind is known and
// removed by the next save of that name.
constexpr const char *TEMPMARK = ".saving-";
constexpr int TEMPLETTERS = 6;
constexpr int TEMPTRIES = 16;

// The library's packed layout (its magic number, then the LZSS stream) made
// by its own compressor into memory, so that every byte of it can be
// counted onto the disk.
int SinkClose(void *) { return 0; }
int SinkGetc(void *) { return EOF; }
int SinkUngetc(int, void *) { return EOF; }
long SinkRead(void *, long, void *) { return 0; }
int SinkPutc(int c, void *to) {
    static_cast<std::string *>(to)->push_back((char)c);
    return c & 0xFF;
}
long SinkWrite(const void *from, long count, void *to) {
    static_cast<std::string *>(to)->append(static_cast<const char *>(from), (size_t)count);
    return count;
}
int SinkSeek(void *, int) { return -1; }
int SinkEof(void *) { return 0; }
int SinkError(void *) { return 0; }
const PACKFILE_VTABLE MEMORYSINK = {SinkClose, SinkGetc, SinkUngetc, SinkRead, SinkPutc,
                                    SinkWrite, SinkSeek,  SinkEof,   SinkError};

// Packed bytes read back through the library's own decompressor.
struct source {
    const std::string &bytes;
    size_t at;
};
int SourceGetc(void *from) {
    source &s = *static_cast<source *>(from);
    return s.at < s.bytes.size() ? (unsigned char)s.bytes[s.at++] : EOF;
}
long SourceRead(void *to, long count, void *from) {
    source &s = *static_cast<source *>(from);
    const size_t n = std::min((size_t)count, s.bytes.size() - s.at);
    memcpy(to, s.bytes.data() + s.at, n);
    s.at += n;
    return (long)n;
}
int SourceEof(void *from) {
    const source &s = *static_cast<source *>(from);
    return s.at >= s.bytes.size();
}
const PACKFILE_VTABLE MEMORYSOURCE = {SinkClose, SourceGetc, SinkUngetc, SourceRead, SinkPutc,
                                      SinkWrite, SinkSeek,   SourceEof,  SinkError};

// The stream inside packed bytes, read as the library reads a packed file:
// its packing magic and the LZSS stream, or its plain magic and the stream
// as it is. False for anything else.
bool Unpacked(const std::string &packed, std::string &stream) {
    source from{packed, 0};
    PACKFILE *file = pack_fopen_vtable(&MEMORYSOURCE, &from);
    if (!file) return false;
    const long magic = pack_mgetl(file);
    bool known = magic == F_PACK_MAGIC || magic == F_NOPACK_MAGIC;
    stream.clear();
    if (magic == F_NOPACK_MAGIC) stream = packed.substr(std::min(packed.size(), (size_t)4));
    LZSS_UNPACK_DATA *lzss = magic == F_PACK_MAGIC ? create_lzss_unpack_data() : nullptr;
    if (magic == F_PACK_MAGIC && !lzss) known = false;
    unsigned char block[4096];
    for (int got; lzss && (got = lzss_read(file, lzss, (int)sizeof block, block)) > 0;)
        stream.append(reinterpret_cast<const char *>(block), (size_t)got);
    if (lzss) free_lzss_unpack_data(lzss);
    pack_fclose(file);
    return known;
}

// The packed file, or the empty text when memory runs out.
std::string Packed(std::string stream) {
    std::string packed;
    PACKFILE *sink = pack_fopen_vtable(&MEMORYSINK, &packed);
    LZSS_PACK_DATA *lzss = create_lzss_pack_data();
    bool done = sink && lzss && pack_mputl(F_PACK_MAGIC, sink) != EOF &&
                lzss_write(sink, lzss, (int)stream.size(), reinterpret_cast<unsigned char *>(&stream[0]), TRUE) == 0;
    if (lzss) free_lzss_pack_data(lzss);
    if (sink) pack_fclose(sink);
    return done ? packed : std::string();
}

std::string FolderOf(const std::string &path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
std::string NameOf(const std::string &path) { return path.substr(path.find_last_of('/') + 1); }

// The text of errno, or of the error it held.
std::string Why(int error = errno) { return strerror(error); }

// Where a save goes: the file itself, or the regular file a link to one
// leads to (the link stays the player's way to the save). `mode` gets the
// permissions of a file that is there, or -1 for a new one. The empty text,
// or why the save cannot go there.
std::string SaveTarget(const std::string &path, std::string &target, int &mode) {
    if (const char *why = WhyNotRegular(path)) return std::string("it ") + why;
    target = path;
    mode = -1;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return errno == ENOENT ? "" : Why();
    if (S_ISLNK(info.st_mode)) {
        char *real = realpath(path.c_str(), nullptr);
        if (!real) return "it is a link that leads to no file (" + Why() + ")";
        target = real;
        free(real);
        if (stat(target.c_str(), &info) != 0) return Why();
    }
    mode = (int)(info.st_mode & 0777);
    return "";
}

// Random letters that no one can foresee; the clock stands in if the
// system gives none.
std::string RandomLetters() {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    unsigned char bytes[TEMPLETTERS];
    if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != (ssize_t)sizeof bytes) {
        timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        for (int i = 0; i < TEMPLETTERS; i++) bytes[i] = (unsigned char)(now.tv_nsec >> (4 * i)) ^ (unsigned char)i;
    }
    std::string text;
    for (unsigned char b : bytes) text += letters[b % 52];
    return text;
}

// A new temporary file beside `target`, its name in `temp`; the descriptor,
// or -1 with errno set.
int CreateTemp(const std::string &target, mode_t mode, std::string &temp) {
    const std::string stem = FolderOf(target) + "/." + NameOf(target) + TEMPMARK;
    for (int tries = 0; tries < TEMPTRIES; tries++) {
        temp = stem + RandomLetters();
        int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Every byte, going on after a short write; false with errno set.
bool WriteAll(int fd, const std::string &bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            if (count == 0) errno = EIO;
            return false;
        }
        done += (size_t)count;
    }
    return true;
}

// A rename lasts through a crash once its folder is synced; a file system
// that cannot sync a folder has nothing to lose there.
bool SyncFolder(const std::string &folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool synced = fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    int error = errno;
    close(fd);
    errno = error;
    return synced;
}

// Temporary files of our naming for `target` that an earlier save, stopped
// before its rename, left behind. A link there is removed, never followed.
void RemoveStaleTemps(const std::string &target) {
    const std::string folder = FolderOf(target), stem = "." + NameOf(target) + TEMPMARK;
    DIR *dir = opendir(folder.c_str());
    if (!dir) return;
    while (dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != stem.size() + TEMPLETTERS || name.compare(0, stem.size(), stem) != 0) continue;
        if (!std::all_of(name.begin() + (long)stem.size(), name.end(), [](char c) { return isalpha((unsigned char)c); }))
            continue;
        struct stat info;
        if (fstatat(dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) continue;
        if (unlinkat(dirfd(dir), name.c_str(), 0) != 0)
            logfmt(LOG_MINOR, LOGCAT_PROGRAM, "The stale temporary file %s/%s cannot be removed: %s", folder.c_str(),
                   name.c_str(), Why().c_str());
    }
    closedir(dir);
}

// Puts `bytes` in place of the file at `path`: a new temporary file, every
// byte written and synced, the old file's permissions, a rename over the old
// file and a synced folder. Before the rename every failure leaves the old
// file as it was and removes the temporary one. The empty text, or why not.
std::string PutInPlace(const std::string &path, const std::string &bytes) {
    std::string target, temp;
    int mode = -1;
    std::string reason = SaveTarget(path, target, mode);
    if (!reason.empty()) return reason;
    // A new save is made as any new file is (0666 less the umask); the
    // temporary file of an old one stays private until it has its mode.
    int fd = CreateTemp(target, mode < 0 ? 0666 : 0600, temp);
    if (fd < 0) return "no temporary file can be made beside it: " + Why();
    const char *step = nullptr;
    if (!WriteAll(fd, bytes))
        step = "written";
    else if (mode >= 0 && fchmod(fd, (mode_t)mode) != 0)
        step = "given the old file's permissions";
    else if (fsync(fd) != 0)
        step = "flushed to the disk";
    int error = errno;
    if (close(fd) != 0 && !step) step = "closed", error = errno;
    if (!step && rename(temp.c_str(), target.c_str()) != 0) step = "put in its place", error = errno;
    if (step) {
        unlink(temp.c_str());
        return Format("the temporary file %s cannot be %s: %s", temp.c_str(), step, Why(error).c_str());
    }
    if (!SyncFolder(FolderOf(target)))
        return "it was replaced, but its folder cannot be synced to the disk, so the new save may not last: " + Why();
    RemoveStaleTemps(target);
    return "";
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
    const std::string packed = Packed(writer.bytes);
    const std::string reason = packed.empty() ? "there is no memory to pack it in" : PutInPlace(path, packed);
    if (reason.empty()) return 0;
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
    // A FIFO or a device would hold the game in its open for good.
    if (const char *why = WhyNotRegular(path)) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s %s and is not read", path.c_str(), why);
        return LOAD_BADSAVE;
    }
    // Opened without waiting and looked at once open, so that nothing put
    // in its place after the check above can hold the game either.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            logfmt(LOG_BREAKING, LOGCAT_PROJECT, "Save file %s does not exist!", path.c_str());
            return LOAD_MISSING;
        }
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s cannot be read: %s", path.c_str(), Why().c_str());
        return LOAD_BADSAVE;
    }
    struct stat info;
    std::string packed, why;
    if (fstat(fd, &info) != 0) {
        why = "cannot be read: " + Why();
    } else if (!S_ISREG(info.st_mode)) {
        why = "is not a regular file and is not read";
    } else if (info.st_size > SAVEFILEMAX) {
        why = Format("has %lld bytes, more than the %lld a save file may have", (long long)info.st_size, SAVEFILEMAX);
    } else {
        packed.resize((size_t)info.st_size);
        size_t got = 0;
        for (ssize_t n = 1; got < packed.size() && n > 0; got += n > 0 ? (size_t)n : 0)
            n = read(fd, &packed[got], packed.size() - got);
        if (got != packed.size()) why = "cannot be read in full";
    }
    close(fd);
    std::string stream;
    if (why.empty() && !Unpacked(packed, stream)) why = "cannot be opened as a save file";
    if (!why.empty()) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s %s", path.c_str(), why.c_str());
        return LOAD_BADSAVE;
    }
    savedgame read;
    savereader reader{stream, 0, path, ""};
    bool whole = GameLayout(reader, read);
    if (whole && reader.at != stream.size()) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Save file %s has bytes left over after the map path", path.c_str());
        whole = false;
    }
    if (!whole || !CheckSavedGame(read, path)) return LOAD_BADSAVE;
    game = read;
    return 0;
}

int ChooseSaveFile(savedgame &game) {
    char filename[250];
    int chosen = FileDialog(LoadDialogSettings, filename, sizeof filename);
    if (chosen != 1) return DialogGaveNoFile(chosen);
    logfmt(LOG_INFO, LOGCAT_PROGRAM, "Loading Save file %s", filename);
    int result = ReadSaveFile(filename, game);
    if (result != 0) return result;
    log(LOG_INFO, LOGCAT_PROGRAM, "File loaded");
    return LOAD_DONE;
}
