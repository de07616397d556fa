#include "fileload/fileload.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/log.h"
#include "base/numbers.h"

char gbuf[GBUFSIZE];
readplace ReadPlace;

// The library's line read, counting physical lines: a read that goes on
// where the previous one stopped inside a line takes the next piece of the
// same line.
static char *ReadPiece(char *buf, int max, PACKFILE *file) {
    char *got = pack_fgets(buf, max, file);
    ReadPlace.atend = !got && buf[0] == '\0' && pack_feof(file);
    if (!ReadPlace.atend) {
        if (ReadPlace.cut) {
            ReadPlace.piece++;
        } else {
            ReadPlace.line++;
            ReadPlace.piece = 0;
            ReadPlace.limit = max;
        }
        ReadPlace.cut = !got && !pack_feof(file) && !pack_ferror(file);
        if (ReadPlace.cut && ReadPlace.firstcut == 0) {
            ReadPlace.firstcut = ReadPlace.line;
            ReadPlace.firstcutlimit = ReadPlace.limit;
        }
    }
    return got;
}

// Clamp a caller's limit to what the shared buffer can hold.
static int LineLimit(int max) {
    if (max > GBUFSIZE) return GBUFSIZE;
    return max;
}

char *ReadLine(PACKFILE *file, int max) {
    max = LineLimit(max);
    gbuf[0] = '\0';
    if (!file || max < 2) return gbuf;
    for (;;) {
        gbuf[0] = '\0';
        // The library reports a line longer than the limit as a failure
        // but leaves its first max-1 characters in the buffer and the rest
        // for the next read; only the end of the file or a read error ends
        // the search.
        if (!ReadPiece(gbuf, max, file) && (pack_feof(file) || pack_ferror(file))) {
            gbuf[0] = '\0';
            return gbuf;
        }
        if (gbuf[0] != '\0' && gbuf[0] != '#') return gbuf;
        // An empty read at the end of the file ends the search instead of
        // looping for ever.
        if (gbuf[0] == '\0' && pack_feof(file)) return gbuf;
    }
}

char *ReadValPairLine(const char *key, PACKFILE *file, int max) {
    static char line[GBUFSIZE];
    static char value[GBUFSIZE];
    value[0] = '\0';
    strncpy(line, ReadLine(file, max), GBUFSIZE - 1);
    line[GBUFSIZE - 1] = '\0';

    char *eq = strchr(line, '=');
    if (!eq) {
        logfmt(LOG_BREAKING, LOGCAT_PROJECT, "Mapfile had a problem readying a %s line", key);
        return value;
    }
    *eq = '\0';
    if (strcmp(line, key) != 0) {
        logfmt(LOG_BREAKING, LOGCAT_PROJECT, "Mapfile had a problem readying a %s line (2)", key);
        return value;
    }
    do_uconvert(eq + 1, U_CURRENT, value, U_ASCII, GBUFSIZE);
    return value;
}

std::string JoinPath(const std::string &dir, const std::string &file) {
    return dir + "\\" + file;
}

std::string HostPath(const std::string &path) {
    std::string host = path;
    for (char &c : host)
        if (c == '\\') c = '/';
    return host;
}

const char *NameLeadsOut(const std::string &name) {
    if (!name.empty() && (name[0] == '/' || name[0] == '\\')) return "lies outside the game's directory";
    if (name.size() >= 2 && name[1] == ':') return "lies outside the game's directory";
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0) return "has a `..` part";
        start = end + 1;
    }
    return nullptr;
}

bool PathStaysInside(const std::string &name) { return !NameLeadsOut(name); }

int FileExists(const std::string &path) {
    // Anything by that name counts, a link that leads nowhere included: the
    // check before reading says what it is.
    struct stat info;
    return lstat(HostPath(path).c_str(), &info) == 0;
}

PACKFILE *OpenPackFile(const std::string &path, const char *mode) {
    return pack_fopen(HostPath(path).c_str(), mode);
}

// The reason for a path whose links could not be followed (errno `error`).
static const char *CannotFollow(int error) {
    static std::string why;
    if (error == ELOOP) return "is a link loop";
    if (error == ENOENT) return "is a link that leads nowhere";
    why = Format("cannot be checked against the game's directory (%s)", strerror(error));
    return why.c_str();
}

// Why a relative path without ".." still leads out of the working directory,
// or null when it stays inside. Only a link along it can lead out; then the
// real path of the part that exists must lie inside the real path of the
// working directory. A path that cannot be followed is refused, never
// taken as inside (a folder path longer than the system's limit, say).
static const char *LinkLeadsOut(const std::string &hostpath) {
    std::string existing;  // the longest leading part that exists
    bool link = false;
    for (size_t end = 0; end != std::string::npos;) {
        end = hostpath.find('/', end + 1);
        const std::string part = hostpath.substr(0, end);
        struct stat info;
        if (lstat(part.c_str(), &info) != 0) {
            // Nothing lies there: nothing can be read through it.
            if (errno == ENOENT || errno == ENOTDIR) break;
            return CannotFollow(errno);
        }
        existing = part;
        link = link || S_ISLNK(info.st_mode);
    }
    if (!link) return nullptr;
    char *base = realpath(".", nullptr);
    int baseerror = errno;
    char *target = base ? realpath(existing.c_str(), nullptr) : nullptr;
    const char *why = nullptr;
    if (!base || !target) {
        why = CannotFollow(base ? errno : baseerror);
    } else {
        size_t length = strlen(base);
        bool inside = strcmp(base, "/") == 0 ||
                      (strncmp(target, base, length) == 0 && (target[length] == '/' || target[length] == '\0'));
        if (!inside) why = "lies outside the game's directory";
    }
    free(base);
    free(target);
    return why;
}

const char *WhyNotRegular(const std::string &hostpath) {
    struct stat info;
    if (stat(hostpath.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return nullptr;
    if (S_ISDIR(info.st_mode)) return "is a folder";
    if (S_ISFIFO(info.st_mode)) return "is a FIFO";
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "is a device";
    if (S_ISSOCK(info.st_mode)) return "is a socket";
    return "is not a regular file";
}

const char *WhyNotToRead(const std::string &path) {
    const std::string host = HostPath(path);
    if (const char *why = NameLeadsOut(path)) return why;
    if (const char *why = LinkLeadsOut(host)) return why;
    return WhyNotRegular(host);  // missing: the reader says so
}

bool SafeToRead(const std::string &path, const char *what) {
    const char *why = WhyNotToRead(path);
    if (why) logfmt(LOG_BREAKING, LOGCAT_PROJECT, "%s %s %s and is not read!", what, path.c_str(), why);
    return !why;
}

PACKFILE *OpenDataFile(const std::string &path, const char *what) {
    if (!SafeToRead(path, what)) return nullptr;
    if (!FileExists(path)) {
        logfmt(LOG_BREAKING, LOGCAT_PROJECT, "Map file %s does not exist!", path.c_str());
        return nullptr;
    }
    // Reading a huge file line by line would take its size in time.
    struct stat info;
    if (stat(HostPath(path).c_str(), &info) == 0 && info.st_size > DATAFILEMAX) {
        logfmt(LOG_BREAKING, LOGCAT_PROJECT, "%s %s has %lld bytes, more than the %lld a data file may have, and is not read!",
               what, path.c_str(), (long long)info.st_size, DATAFILEMAX);
        return nullptr;
    }
    PACKFILE *file = OpenPackFile(path, "r");
    if (!file) {
        logfmt(LOG_BREAKING, LOGCAT_PROJECT, "%s %s exists but cannot be opened!", what, path.c_str());
        return nullptr;
    }
    ReadPlace = readplace();
    ReadPlace.path = path;
    ReadPlace.open = true;
    return file;
}

void CloseDataFile(PACKFILE *file) {
    ReadPlace.open = false;
    pack_fclose(file);
}

long ReadVersionLine(PACKFILE *file, int max) {
    char line[128];
    if (max > (int)sizeof line) max = sizeof line;
    line[0] = '\0';
    // An over-long line still leaves its start in the buffer.
    ReadPiece(line, max, file);
    return strtol(line, nullptr, 0);
}

bool VersionIsOne(PACKFILE *file, int max) {
    if (ReadVersionLine(file, max) == 1) return true;
    log(LOG_BREAKING, LOGCAT_PROJECT, "Unrecognized version number");
    return false;
}

bool ReadMarker(PACKFILE *file, int max, const char *text) {
    return strcmp(ReadLine(file, max), text) == 0;
}

int KeyNumber(const char *text) { return To32(strtol(text, nullptr, 10)); }

int ReadNumber(const char *key, PACKFILE *file, int max) {
    return KeyNumber(ReadValPairLine(key, file, max));
}
