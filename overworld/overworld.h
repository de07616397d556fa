// Overworld: the project's settings, the current map (map file, map-array
// file, tile strip), the player on it, the camera and the drawing of the
// view, walking with collision and encounters, and the steps that set a
// world up for a new or a loaded game.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <string>

#include "base/platform.h"

// the game state: walking on the overworld or fighting a battle. Every
// battle starts from walking and returns to it; the battle's start and end
// switch it, and a game's set-up starts it at the overworld.
extern int currentgamestate;
enum { GAMESTATE_OVERWORLD = 1, GAMESTATE_BATTLE = 2 };
// No world: the project's settings, the map, the player's place, the camera
// and the step as at start-up, and the game state walking. Bitmaps stay.
void ResetWorld();

// the project's settings (the project file)
struct projsettings {
    int32_t windowx = 0;  // width of the view in pixels
    int32_t windowy = 0;  // height of the view in pixels
    std::string startmap;
    int32_t startx = 0;
    int32_t starty = 0;
    uint8_t facing = 0;
    uint8_t engine = 0;
    int32_t startvrlt = 0;
};
extern projsettings CurrProj;
// Reads the project file at `path` into CurrProj; 0 on success, -1 after a
// logged error (the fields read before it keep their new values).
int ReadProjectFile(const std::string &path);

// the current map
constexpr int BLCKSTRCTMAX = 50;  // block structures a map can have
constexpr int MAPARRAYMAX = 60;   // rows and columns of the grid
// A block larger than the drawing surface cannot be shown, and larger sizes
// would overflow the camera's pixel arithmetic.
constexpr int BLOCKSIZEMAX = SURFACESIZE;
struct wildentry {
    int32_t level;
    int32_t species;
};
struct mapinfo {
    int32_t wilddensity;
    std::string maparrayfile;
    std::string eventfile;
    std::string mapname;
    wildentry daymons[7];
    wildentry nightmons[7];
    wildentry mornmons[7];
    wildentry oldrodmons[3];
    wildentry goodrodmons[4];
    wildentry superrodmons[4];
    wildentry surfmons[3];
    wildentry rocksmashmons[2];
    wildentry headbutt1mons[4];
    wildentry headbutt2mons[4];
    int32_t blckstrctcnt;
    int32_t maparrayy;
    int32_t maparrayx;
    std::string tiles;
    int32_t blockwidth;
    int32_t blockheight;
};
// Kinds of ground in blockstruct.blocktype; any other value is plain ground.
// A step onto rest ground restores every carried creature.
enum { BLOCK_WATER = 1, BLOCK_ENCOUNTER = 2, BLOCK_CLOSED = 3, BLOCK_KEEPSTRIDE = 4, BLOCK_REST = 5 };
// The most levels a block can add to its map's wild levels (an eighth value
// of a block line; outside 0 to this it is held at the nearer end).
constexpr int LEVELRISEMAX = 99;
struct blockstruct {
    int32_t blocknum;
    int32_t blocktype;
    int32_t obstacle;  // non-zero closes the block
    int16_t walltop;   // for the four walls only the value 1 counts
    int16_t wallleft;
    int16_t wallbottom;
    int16_t wallright;
    int32_t levelrise;  // levels a wild creature met here gains over the table's
};
struct maparraycell {
    int32_t block;
};
extern std::string CurrMapFilename;  // full path of the current map file
extern mapinfo CurrMap;
extern blockstruct CurrBlckStruct[BLCKSTRCTMAX];
extern maparraycell CurrMapArray[MAPARRAYMAX][MAPARRAYMAX];  // [row][column]
extern BITMAP *currentmaptilesbmp;  // one row of block pictures
extern PALETTE maptilespal;
// Reads CurrMapFilename, then the map-array file it names and its tile
// strip; 0 on success, -1 after a logged error. No rollback on failure.
int LoadMapFile();

// the player on the map
enum { DIR_UP = 1, DIR_RIGHT = 2, DIR_DOWN = 3, DIR_LEFT = 4 };
// The change of column and row a step in direction 1 to 4 makes.
constexpr int STEPX[5] = {0, 0, 1, 0, -1};
constexpr int STEPY[5] = {0, -1, 0, 1, 0};
// Frames of the sprite sheet: standing and walking, each group in the order
// up, right, down, left (so a direction's frame is the group's first frame
// plus the direction minus 1), and the swimming frames.
enum {
    FRAME_STAND = 1,
    FRAME_WALK = 5,
    FRAME_SWIMFIRST = 17,
    FRAME_SWIMLAST = 24,
};
constexpr int SPRITEFRAMESIZE = 31;
extern int playertilex, playertiley;
extern int playerfacing;      // the facing the game started with
extern int playerspriteanim;  // frame of the sprite sheet
extern BITMAP *playerspritesbmp;
extern PALETTE playerpal;
extern const char *playerspritefile;
// Loads the sprite sheet; 0, or -1 after "Unable to load sprite file!".
int LoadSpriteSheet();
// Puts the player on a block with a facing and a frame, places the camera
// for that block, and the sprite where the view shows it.
void PlacePlayer(int tilex, int tiley, int facing, int frame);
// A new game's start: the project's start block, kept inside the view's
// size in blocks, facing the project's way.
void PlacePlayerAtStart();

// the camera: the view's top-left corner on the map, the sprite on the view
extern int mapxtile, mapytile;
extern int mapxpxl, mapypxl;
extern int plx, ply;
// Whole blocks the view holds across and down.
int ViewColumns();
int ViewRows();
struct cameraview {
    int xtile, ytile;  // the block at the view's top-left corner
    int xpxl, ypxl;    // the same corner in map pixels
};
// The view for a player at block (tilex, tiley); all zero while no map has
// a block size. Any position, however far off the map, gives a camera
// without overflow.
cameraview CameraFor(int tilex, int tiley);
// Places the view for a player at block (tilex, tiley): mapxtile, mapytile,
// mapxpxl, mapypxl. Does nothing while no map has a block size.
void PlaceCamera(int tilex, int tiley);
// The sprite's place on the view (plx, ply) for the player's block.
void PlaceSprite();

// drawing
extern BITMAP *backbuffer;  // the 500 by 500 surface the view is drawn into
// Creates the view's drawing surface and clears it and the screen.
void CreateMapBuffer();
// Draws the visible map and the player's frame at (x, y) into backbuffer.
int DrawMap(int x, int y);

// walking
enum { MOVE_NONE = 0, MOVE_SCROLL = 1, MOVE_WALK = 2 };
extern int ismoving;  // MOVE_NONE between steps
// 0 when the step from block structure `from` to `to` in direction `dir` is
// allowed; otherwise 1 wall (or bad direction), 2 water, 3 closed, 4 obstacle.
int check_collision(int from, int to, int dir);
// One whole step with its animation and the encounter check: 0 after a
// step, 1 when none was made. The target must lie on the map (inside the
// 60 by 60 grid) and hold a block with a block structure.
int move_player(int dir);
// The wild-table entry (0 to 6) for a draw r of 0 to 99.
int EncounterEntry(int r);
// The morning, day or night table for the local hour.
const wildentry *WildTableForHour(int hour);
// A wild table's level raised by a block's level rise, held at 1 to 100; a
// table level outside 1 to 100 stays as it is, for the battle to refuse.
int WildLevel(int tablelevel, int levelrise);
// What a step onto rest ground shows.
extern const char *const RESTNOTICE;
// What meeting a wild creature starts: start-up connects the battle's wild
// battle here. While it is null a meeting starts nothing.
extern void (*WildEncounter)(int species, int level);
