// Text data-file reader: significant lines and KEY=value pairs, the lines
// every project file shares, the helpers that find and open a project's
// files, the picture loader, and the project index that says where each
// project's files lie.
#pragma once

#include <allegro.h>

#include <string>

// line and key/value reading
constexpr int GBUFSIZE = 800;
extern char gbuf[GBUFSIZE];
// The next significant line (no comment, not empty) of at most max-1
// characters, in gbuf; the empty text at the end of the file.
char *ReadLine(PACKFILE *file, int max);
// The value of the next significant line, which must carry `key`; the empty
// text (after a logged breaking error) otherwise. Valid until the next read.
char *ReadValPairLine(const char *key, PACKFILE *file, int max);

// lines every project file shares
// Reads the first physical line directly and converts it with strtol in
// automatic base (version lines); a number beyond the range of long gives
// that range's end.
long ReadVersionLine(PACKFILE *file, int max);
// True when the version line holds 1; otherwise false after the breaking
// error "Unrecognized version number".
bool VersionIsOne(PACKFILE *file, int max);
// True when the next significant line is exactly `text`.
bool ReadMarker(PACKFILE *file, int max, const char *text);
// The number of a KEY=value line (atoi's reading, but a value beyond the
// 32-bit range gives that range's end instead of wrapping).
int ReadNumber(const char *key, PACKFILE *file, int max);
// The same conversion for a value already read.
int KeyNumber(const char *text);

// where the reader is, for a tool that points at the line behind a message
struct readplace {
    std::string path;   // the data file OpenDataFile opened last
    bool open = false;  // until CloseDataFile
    int line = 0;       // the physical line the last read took from it (1 = the first)
    int piece = 0;      // 0 for a line's start; 1, 2, ... for the rest of a line longer than its limit
    int limit = 0;      // the limit the line's start was read with
    bool cut = false;   // the last read stopped inside its line
    int firstcut = 0;   // the first line read in pieces (0 while none was)
    int firstcutlimit = 0;  // and the limit it was read with
    bool atend = false; // the last read found the end of the file
};
extern readplace ReadPlace;
// Closes a file OpenDataFile opened.
void CloseDataFile(PACKFILE *file);

// paths and files
// Joins a project directory and a file name as "%s\%s".
std::string JoinPath(const std::string &dir, const std::string &file);
// The same path with the host's separator, for opening.
std::string HostPath(const std::string &path);
// True for a relative name that stays inside the directory it is read in:
// not absolute (no leading separator, no drive) and no ".." part, with either
// separator.
bool PathStaysInside(const std::string &name);
// Why a name leads out of the directory it is read in by its letters alone,
// "lies outside the game's directory" (absolute) or "has a `..` part"
// (either separator), or null.
const char *NameLeadsOut(const std::string &name);
// True when anything at all bears the name: a file, a folder, a link (even
// one that leads nowhere), whatever its name starts with.
int FileExists(const std::string &path);
// Opens with the name's bytes as they are (the platform sets no conversion).
PACKFILE *OpenPackFile(const std::string &path, const char *mode);
// Why the file at `hostpath` (a host path, links followed) is no file to
// read or replace: "is a folder", "is a FIFO" (which would block its
// reader), "is a device", "is a socket" or "is not a regular file"; null
// for a regular file or none at all.
const char *WhyNotRegular(const std::string &hostpath);
// Why the file at `path` may not be read, or null when it may (or when
// nothing is there). By the name: "lies outside the game's directory"
// (absolute) or "has a `..` part". Along its links: "lies outside the
// game's directory", "is a link loop", "is a link that leads nowhere", or
// "cannot be checked against the game's directory (<the system's reason>)"
// when a link cannot be followed, as in a folder whose path is longer than
// the system's limit. By what it is: what WhyNotRegular says. Valid until
// the next call.
const char *WhyNotToRead(const std::string &path);
// True when the file may be read; otherwise false after a breaking error
// naming `what`, the path and why.
bool SafeToRead(const std::string &path, const char *what);
// The largest data file read: far more than any project's files need.
constexpr long long DATAFILEMAX = 16LL << 20;
// Opens a data file for reading; nullptr after a logged breaking error:
// "Map file %s does not exist!", a refusal of SafeToRead, or "<what> %s
// exists but cannot be opened!".
PACKFILE *OpenDataFile(const std::string &path, const char *what);
// Loads a BMP picture of at most 4096 by 4096 pixels as a bitmap in the
// current colour depth, each pixel makecol of its colour (so magenta is
// the mask colour), the top row at the top however the file stores its
// rows; `pal` (may be nullptr) gets the file's colour table, or a 3-3-2
// palette for a picture without one. nullptr after one logged line that
// names the file and why it cannot be read.
BITMAP *LoadPicture(const std::string &path, PALETTE pal);

// the project index (gameindex.txt)
constexpr int INDEXMAX = 255;
struct indexentry {
    std::string name;
    std::string description;
    std::string creator;
    std::string projectdir;  // the project's files are looked up in it
    std::string projectdata; // the project file, inside projectdir
    std::string url;
};
extern indexentry GameIndex[INDEXMAX];
extern int indarrsiz;  // entries read
extern int indexno;    // the current project's entry
extern const char *indexfile;
// Reads gameindex.txt into GameIndex; 0 on success, -1 after a logged error.
int ReadGameIndex();
