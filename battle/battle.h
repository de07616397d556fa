// Battle: the battle state, start, end and running, the battle screen, stat
// stages and damage, using a move, and turn sequencing.
#pragma once

#include <allegro.h>

#include <cstdint>

#include "creatures/creatures.h"

// the game state: walking on the overworld or fighting a battle; starting
// and ending battles switches it
extern int currentgamestate;
enum { GAMESTATE_OVERWORLD = 1, GAMESTATE_BATTLE = 2 };

// the battle state
enum { BATTLETYPE_WILD = 1, BATTLETYPE_TRAINER = 2 };
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
    int8_t ownstages[5];
    int8_t ownaccuracy;
    int8_t ownevasion;
    uint8_t ownsleep;
    uint8_t ownfocus;
    uint8_t enemymovecount;
    uint8_t enemychose;
    uint8_t enemyslot;
    int32_t enemymove;
    int8_t enemystages[5];
    int8_t enemyaccuracy;
    int8_t enemyevasion;
    uint8_t enemysleep;
    uint8_t enemyfocus;
};
extern battlerecord battleinfo;
extern int32_t currbattletype;
extern ownedvorl wildvorlet;

// the battle screen's surfaces and colours
extern BITMAP *battlebackbuffer;  // 500 by 500, the battle screen is drawn into it
extern BITMAP *enemyvorlet;       // the opposing creature's front picture
extern BITMAP *ownvorletb;        // the player's creature's back picture
extern int whtclr;                // white and black in the screen's pixel format
extern int blkclr;
// Creates the battle screen's surface, cleared, and with `pictures` the two
// placeholder pictures a new game starts with.
void CreateBattleBuffers(bool pictures);

// starting, ending and running
void StartBattle(int battletype, int id, int level);
// A wild battle against a creature met on encounter ground.
void StartWildBattle(int species, int level);
void EndBattle();
void RunFromBattle(unsigned char unused);

// the battle screen
void DrawBattle();

// turn sequencing
void BattleAttack();
