// Battle: the battle state, start, end and running, the battle screen, stat
// stages and damage, using a move, turn sequencing, and the experience a won
// battle shares out with the level-ups and the evolution check it leads to.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <string>
#include <vector>

#include "creatures/creatures.h"
#include "overworld/overworld.h"

// the battle state
enum { BATTLETYPE_WILD = 1, BATTLETYPE_TRAINER = 2 };
// The two sides of a battle: the player's creature and the opposing one.
enum { SIDE_PLAYER = 1, SIDE_ENEMY = 2 };
// Stats as ModifiedStat numbers them, and the stage arrays' order.
enum { STAT_ATTACK = 1, STAT_DEFENSE, STAT_SPEED, STAT_SPATTACK, STAT_SPDEFENSE, STATCOUNT = 5 };
struct battlerecord {
    int32_t activeslot;
    int32_t reserved1;
    uint8_t menupage;  // 0 main menu, 1 move menu
    uint8_t turnorder;
    uint8_t participated[PARTYMAX];
    uint8_t grewlevel[PARTYMAX];
    uint8_t reserved2;
    uint8_t playerchose;
    uint8_t playerslot;  // 0 to 3; 4 the fallback move
    int32_t playermove;
    int8_t ownstages[STATCOUNT];
    int8_t ownaccuracy;
    int8_t ownevasion;
    uint8_t ownsleep;
    uint8_t ownfocus;
    uint8_t enemymovecount;  // 0 when the wild creature knows no move
    uint8_t enemychose;
    uint8_t enemyslot;  // 0 to 3; 4 the fallback move
    int32_t enemymove;
    int8_t enemystages[STATCOUNT];
    int8_t enemyaccuracy;
    int8_t enemyevasion;
    uint8_t enemysleep;
    uint8_t enemyfocus;
};
extern battlerecord battleinfo;
extern int32_t currbattletype;
extern ownedvorl wildvorlet;
// No battle: the battle record, its type and the wild creature as at start-up.
void ResetBattle();
// The player's creature in battle: the one at party position activeslot.
ownedvorl &PlayerVorlet();

// the battle screen's surfaces and pictures
extern BITMAP *battlebackbuffer;  // the drawing surface the battle screen is drawn into
extern BITMAP *enemyvorlet;       // the opposing creature's front picture
extern BITMAP *ownvorletb;        // the player's creature's back picture
// The creature pictures by species number (%u), in the game's directory.
constexpr const char *FRONTPICTURE = "brel\\%ug.bmp";
constexpr const char *SHINYFRONTPICTURE = "brels\\%ugs.bmp";
constexpr const char *BACKPICTURE = "brelb\\%ugb.bmp";
constexpr const char *SHINYBACKPICTURE = "brelsb\\%ugsb.bmp";
// Front pictures are this many pixels wide and high, back pictures that;
// the battle screen shows them doubled.
constexpr int FRONTPICTURESIZE = 56, BACKPICTURESIZE = 48;
// Creates the battle screen's surface, cleared, and with `pictures` the two
// placeholder pictures a new game starts with.
void CreateBattleBuffers(bool pictures);

// starting, ending and running
// Builds the opponent, picks the player's creature, shows the two opening
// screens and switches to the battle state. A wild creature that cannot be
// made (species or level outside the tables) starts no battle.
void StartBattle(int battletype, int id, int level);
// A wild battle against a creature met on encounter ground.
void StartWildBattle(int species, int level);
void EndBattle();
void RunFromBattle(unsigned char unused);

// the battle screen
// Where a message's first line is written; each further line of a message
// area (menus, stat tables, prompts) stands LINEHEIGHT lower.
constexpr int MESSAGEX = 5, MESSAGEY = 275;
constexpr int LINEHEIGHT = 10;
// The first line of a menu's list of choices.
constexpr int MENUY = 300;
// The characters a line holds inside the message area's frame, and the
// lines it holds.
constexpr int MESSAGECHARS = 43, MESSAGELINES = 7;
void DrawBattleNoText();
void DrawEnemyHPBox();
void DrawTrainerHPBox();
// The creature's HP bar, 105 by 10 pixels with its corner at (x, y) of
// `target`: green, orange below half, red below a quarter.
void DrawHPBar(BITMAP *target, const ownedvorl &vorlet, int x, int y);
// The same bar in blue for the experience won towards the next level.
void DrawExpBar(BITMAP *target, const ownedvorl &vorlet, int x, int y);
// The whole screen with the main menu or the move menu.
void DrawBattle();
// Writes one line of battle text in black at (x, y) of the battle screen.
void BattleText(int x, int y, const std::string &text);
// The same at the message position, `line` lines down, cut to the frame's
// width.
void MessageLine(int line, const std::string &text);
// Writes the text from the message position down, wrapped at blanks into
// at most `maxlines` lines; returns the number of lines written.
int MessageLines(const std::string &text, int maxlines = MESSAGELINES);
// The message step: the screen without menu, the text at the message
// place (wrapped when it is long), shown, then a wait for the confirm
// action (Space, Enter) to go down and up again (a close request ends the
// wait).
void BattleMessage(const std::string &text);
// Waits for the confirm action to go down and up again, or for a close
// request.
void WaitForSpace();
// Test hook: while set, every text BattleText writes is appended to it
// with the place it is written at.
struct writtentext {
    int x, y;
    std::string text;
};
extern std::vector<writtentext> *battletranscript;

// stat stages and damage
// The battle value of stat 1 to 5 (attack, defence, speed, special attack,
// special defence) of side 1 (the player's creature) or 2 (the opponent),
// after its stage and its burn or paralysis.
int ModifiedStat(char side, char stat);
// The HP damage of a damaging move by `side`, with the critical-hit roll and
// its message, the type chart and the random spread.
int BattleDoDamage(ownedvorl attacker, ownedvorl defender, int move, int side);

// using a move and turn sequencing
// Whether a status effect (3 burn, 4 freeze, 13 poison) leaves a creature of
// these two types alone.
bool StatusResisted(int effect, int type1, int type2);
// One side's move of the turn, from the status checks to the secondary effect.
void BattleUseAttack(int side);
// One turn with the player's choice in battleinfo; nothing once the battle
// has ended.
void BattleAttack();

// experience, level-up and the evolution check
// The experience a beaten wild creature of the species (1 to 15) and level
// gives, half as much again for a creature caught by another trainer.
int ExpAward(int species, int level, bool traded);
// Shares a won battle's award and stat experience among the participants
// that have not fainted and levels them up, up to the highest level, with
// the level messages, the stat tables and the moves of each new level; 0
// when nobody could share it.
int AddPlayerExp(int species, int award);
// Examines the creatures that gained a level in this battle; changes nothing
// and shows nothing. Returns how many of them would evolve.
int CheckForEvo();
// The species owned[i] would evolve into by its species' entries (the last
// matching entry wins), or 0; owned[i] is not changed.
int CheckForEvo2(int i);
// Whether one evolution entry's condition holds for the creature: by level,
// by happiness at the local hour's time of day, or by attack and defence.
bool EvolutionApplies(const ownedvorl &vorlet, const evoentry &entry);
