// Save files: the save-file layout, saving and loading.
#pragma once

#include <cstdint>
#include <string>

#include "creatures/creatures.h"

// results of SaveSaveFile and LoadSaveFile
enum {
    SAVE_DONE = 0,
    SAVE_NOFILE = 1,       // the dialog was cancelled or failed
    SAVE_UNWRITTEN = 2,    // the file could not be created or written
    LOAD_DONE = 0,
    LOAD_NOFILE = 1,       // the dialog was cancelled or failed
    LOAD_MISSING = 2,      // the chosen file does not exist
    LOAD_BADPROJECT = 3,   // the project file is missing or wrong
    LOAD_NOSPRITES = 4,    // the sprite sheet failed to load
    LOAD_BADSAVE = 5,      // not a save file, cut short, or a value the game cannot use
    LOAD_BADMAP = 6,       // the saved map failed to load
};
// The longest text a save file may hold, its zero byte included.
constexpr int SAVETEXTMAX = 4096;
// The most bytes a save file on disk may have: six creatures and every text
// at the longest take far less.
constexpr long long SAVEFILEMAX = 1LL << 20;

// Everything a save file holds, in the order it is written.
struct savedgame {
    int32_t version = 1;
    std::string name;
    int32_t trainerid = 0;
    int32_t money = 0;
    ownedvorl owned[PARTYMAX] = {};
    int32_t party[PARTYMAX] = {};
    int16_t partycount = 0;
    int32_t indexno = 0;
    int32_t tilex = 0, tiley = 0;
    int32_t facing = 0;
    int32_t frame = 0;
    std::string mapfile;
};
// The file dialog's settings for saving and for loading (the dialog is the
// platform's).
struct filedialogsettings;
extern const filedialogsettings SaveDialogSettings;
extern const filedialogsettings LoadDialogSettings;

// saving
// The game's current state as a save file holds it.
savedgame CaptureGame();
// Writes the save file, or through a link the regular file it leads to:
// packed in memory, written whole to a new temporary file beside it, synced,
// given the old file's permissions and renamed over it, the folder synced.
// 0, or SAVE_UNWRITTEN after a logged error (level 2, so shown) that says
// why; the old file is then as it was unless the folder alone failed to
// sync. A successful save removes the temporary files earlier saves of
// that name left behind.
int WriteSaveFile(const std::string &path, const savedgame &game);
// Asks for a file name and saves the game: SAVE_DONE, SAVE_NOFILE or
// SAVE_UNWRITTEN; "Game Saved" only after the save held.
int SaveSaveFile();
// The path the last save that was done wrote.
const std::string &LastSavePath();

// loading
// Reads the whole file and checks every value the game would use before
// anything in the game changes: a file that is not a regular one, a cut or
// damaged stream, a value that indexes nothing or that play cannot reckon
// with is refused; a running amount beyond its record's bounds (HP, PP,
// experience, stat experience) is brought inside them with a logged line.
// 0, LOAD_MISSING or LOAD_BADSAVE after a logged line that says what is
// wrong.
int ReadSaveFile(const std::string &path, savedgame &game);
// Asks for a save file, reads it whole and checks it: LOAD_DONE with the
// record in `game`, or LOAD_NOFILE, LOAD_MISSING or LOAD_BADSAVE after its
// logged line (none after a cancel). The game itself is not changed; the
// world set-up restores it from the record.
int ChooseSaveFile(savedgame &game);
