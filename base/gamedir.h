// The game directory: where the game reads its projects and writes its log,
// saves and screenshots. An installed game keeps its projects read-only
// beside its executable and plays in the player's own copy of them.
#pragma once

#include <string>
#include <vector>

// The list of shipped files with their checksums, kept in the player's copy.
extern const char *const SHIPPEDLIST;

// where the directories are
// The shipped projects of an installed game, from the executable's path:
// its directory's ../share/quillbay when that is a directory, else "" (a
// build tree, where the game plays in the current directory).
std::string ShippedGameDir(const std::string &exe);
// The player's own game directory: XDG_DATA_HOME/quillbay when that variable
// is an absolute path, else HOME/.local/share/quillbay; "" without either.
std::string UserGameDir(const char *xdgdatahome, const char *home);

// the player's copy
// Makes `user` (and what is missing above it) and copies the shipped files
// into it, file by file, links and odd names left out, whenever its list
// names another version than `version`. A file is written only where it is
// missing or still the same as the one shipped last; what the player
// changed or added stays. Never writes outside `user`, never through a link.
// `notes` gets a line for each file kept or left out. False with `why` when
// the directory cannot be made or written.
bool UpdateUserGameDir(const std::string &shipped, const std::string &user, const std::string &version,
                       std::vector<std::string> &notes, std::string &why);
