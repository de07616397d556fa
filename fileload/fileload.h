// Text data-file reader: significant lines and KEY=value pairs, plus the
// helpers that find and open a project's files.
#pragma once

#include <allegro.h>
#include <string>

// line and key/value reading
#define GBUFSIZE 800
extern char gbuf[GBUFSIZE];
// The next significant line (no comment, not empty) of at most max-1
// characters, in gbuf; the empty text at the end of the file.
char *ReadLine(PACKFILE *file, int max);
// The value of the next significant line, which must carry `key`; the empty
// text (after a logged breaking error) otherwise. Valid until the next read.
char *ReadValPairLine(const char *key, PACKFILE *file, int max);

// paths and files
// Joins a project directory and a file name as "%s\%s".
std::string JoinPath(const std::string &dir, const std::string &file);
// The same path with the host's separator, for opening.
std::string HostPath(const std::string &path);
int FileExists(const std::string &path);
PACKFILE *OpenPackFile(const std::string &path, const char *mode);
// Opens a data file for reading; nullptr after a logged breaking error:
// "Map file %s does not exist!", or "<what> %s exists but cannot be opened!".
PACKFILE *OpenDataFile(const std::string &path, const char *what);
// Reads the first physical line directly and converts it with strtol in
// automatic base (version lines).
long ReadVersionLine(PACKFILE *file, int max);
