// The species table: the creatures of the game, indexed by species number.
#include "creatures/creatures.h"

// Row layout: number, regional number, name, category, types, height (tenths
// of a metre), weight (tenths of a kilogram), first species of the line,
// evolutions, description, gender ratio, base attack, defence, special
// attack, special defence, special (kept for game makers, not read), speed,
// HP, catch rate, experience yield, growth, two groups, hatch steps and the
// learnset as {move, unused alternative level, level}.
// Evolution params: by level the level; by happiness 0 any time, 1 day,
// 2 night; by attack and defence 1 defence >= attack, 2 defence <= attack,
// 3 equal (the last matching entry wins, so equal stats pick the third).
const vrltinfo VrltData[SPECIESCOUNT] = {
    {0, 0, "(none)", "(none)", 0, 0, 1, 1, 0, 0, {}, "", 0,
     0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, {}},
    // Kindlet
    {1, 4, "Kindlet", "Hearth Newt", TYPE_FIRE, TYPE_FIRE, 3, 42, 1, 1, {{EVO_LEVEL, 16, 2}},
     "A small newt that naps in warm ashes. The flame on its tail flickers brighter when it is "
     "pleased.",
     2, 50, 40, 58, 46, 58, 62, 44, 45, 62, LEVELUPEXP_MEDIUMSLOW, 1, 5, 20,
     {
         {116, 0,   0},  // Hone Focus
         {  1, 0,   1},  // Nudge
         {108, 0,   3},  // Soot Cloud
         { 48, 0,   5},  // Flicker
         { 52, 0,   9},  // Cinder Spit
         {  2, 0,  13},  // Raking Claw
         {107, 0,  17},  // Char Swipe
         {172, 0,  22},  // Kindle Rush
         { 53, 0,  30},  // Flame Gush
         {117, 0,  36},  // Flare Dash
         {126, 0,  43},  // Inferno Arc
     }},
    // Scorchet
    {2, 5, "Scorchet", "Blaze Newt", TYPE_FIRE, TYPE_FIRE, 9, 190, 1, 1, {{EVO_LEVEL, 36, 3}},
     "Its hide smoulders like banked coals. It scorches a ring in the grass to mark the place it "
     "sleeps.",
     2, 66, 56, 80, 62, 80, 78, 60, 45, 142, LEVELUPEXP_MEDIUMSLOW, 1, 5, 20,
     {
         {116, 0,   0},  // Hone Focus
         {  1, 0,   1},  // Nudge
         {108, 0,   1},  // Soot Cloud
         { 48, 0,   3},  // Flicker
         { 52, 0,   5},  // Cinder Spit
         {  2, 0,  13},  // Raking Claw
         {107, 0,  17},  // Char Swipe
         {172, 0,  22},  // Kindle Rush
         {167, 0,  27},  // Cinder Kick
         { 53, 0,  32},  // Flame Gush
         {117, 0,  39},  // Flare Dash
         {126, 0,  46},  // Inferno Arc
     }},
    // Pyrogaunt
    {3, 6, "Pyrogaunt", "Forge Lizard", TYPE_FIRE, TYPE_ROCK, 17, 905, 1, 0, {},
     "Plates of cooled lava armour its back. When it roars, cracks in the plates glow like a "
     "forge.",
     2, 96, 90, 104, 80, 104, 78, 82, 45, 212, LEVELUPEXP_MEDIUMSLOW, 1, 5, 20,
     {
         {116, 0,   0},  // Hone Focus
         {  1, 0,   1},  // Nudge
         {108, 0,   1},  // Soot Cloud
         { 48, 0,   1},  // Flicker
         { 52, 0,   5},  // Cinder Spit
         {  2, 0,  13},  // Raking Claw
         {107, 0,  17},  // Char Swipe
         {172, 0,  22},  // Kindle Rush
         {167, 0,  27},  // Cinder Kick
         { 53, 0,  32},  // Flame Gush
         { 63, 0,  36},  // Stonecast
         {117, 0,  41},  // Flare Dash
         { 65, 0,  48},  // Granite Ram
         {126, 0,  55},  // Inferno Arc
         {221, 0, 101},  // Solar Dive
     }},
    // Rillfin
    {4, 7, "Rillfin", "Brook Fish", TYPE_WATER, TYPE_WATER, 4, 35, 4, 1, {{EVO_LEVEL, 22, 5}},
     "It darts between river stones and spits water at anything that blocks the light above it.",
     4, 46, 52, 54, 56, 54, 48, 50, 45, 64, LEVELUPEXP_MEDIUMFAST, 2, 2, 20,
     {
         {  1, 0,   1},  // Nudge
         { 27, 0,   1},  // Spritz
         {110, 0,   4},  // Shell Up
         { 57, 0,   8},  // Brine Jet
         {145, 0,  12},  // Undertow
         { 54, 0,  16},  // Surge Slap
         {189, 0,  20},  // Ink Jet
         { 83, 0,  24},  // Steam Jet
         { 55, 0,  29},  // Riptide
         {240, 0,  34},  // Coral Lance
         { 56, 0,  40},  // Deluge
     }},
    // Tidehelm
    {5, 8, "Tidehelm", "Helmet Fish", TYPE_WATER, TYPE_STEEL, 14, 1350, 4, 0, {},
     "Its head is a dome of iron-hard scales. It guards river mouths and rams boats that come "
     "too close.",
     4, 82, 108, 86, 94, 86, 50, 84, 45, 196, LEVELUPEXP_MEDIUMFAST, 2, 9, 20,
     {
         {  1, 0,   1},  // Nudge
         { 27, 0,   1},  // Spritz
         {110, 0,   1},  // Shell Up
         { 57, 0,   5},  // Brine Jet
         {145, 0,  12},  // Undertow
         { 54, 0,  16},  // Surge Slap
         {189, 0,  20},  // Ink Jet
         { 22, 0,  22},  // Rivet
         { 83, 0,  25},  // Steam Jet
         { 23, 0,  30},  // Anvil Drop
         { 55, 0,  34},  // Riptide
         {130, 0,  38},  // Bulwark
         {237, 0,  44},  // Tidal Crush
         {216, 0,  52},  // Steelstorm
     }},
    // Wrenlet
    {6, 1, "Wrenlet", "Fledgling", TYPE_NORMAL, TYPE_FLYING, 2, 12, 6, 2, {{EVO_HAPPINESS, 1, 7}, {EVO_HAPPINESS, 2, 8}},
     "A plump little bird that follows travellers for crumbs. A trusting one changes with the "
     "light it loves.",
     8, 48, 38, 40, 38, 40, 70, 40, 255, 52, LEVELUPEXP_MEDIUMFAST, 4, 4, 15,
     {
         { 45, 0,   1},  // Soft Coo
         { 10, 0,   1},  // Wingbeat
         {177, 0,   4},  // Quill Dart
         {234, 0,   7},  // Quick Peck
         {104, 0,  11},  // Afterimage
         { 11, 0,  15},  // Swoop
         {244, 0,  19},  // Zephyr Cut
         { 97, 0,  24},  // Stampede
         {176, 0,  29},  // Updraft
         {143, 0,  35},  // Talon Rake
         {154, 0,  42},  // Gale Burst
     }},
    // Solwren
    {7, 2, "Solwren", "Sunbird", TYPE_PSYCHIC, TYPE_FLYING, 6, 48, 6, 0, {},
     "It sings only while the sun is up. Its golden feathers are said to show the way home to "
     "the lost.",
     8, 58, 60, 102, 92, 102, 98, 66, 45, 170, LEVELUPEXP_MEDIUMFAST, 4, 6, 15,
     {
         { 45, 0,   1},  // Soft Coo
         { 10, 0,   1},  // Wingbeat
         {177, 0,   1},  // Quill Dart
         {234, 0,   5},  // Quick Peck
         {104, 0,  11},  // Afterimage
         { 11, 0,  15},  // Swoop
         { 93, 0,  20},  // Psi Spark
         {149, 0,  25},  // Esper Beam
         { 74, 0,  30},  // Inner Glow
         {186, 0,  36},  // Daybreak
         { 33, 0,  43},  // Psi Lance
     }},
    // Gloamwren
    {8, 3, "Gloamwren", "Duskbird", TYPE_DARK, TYPE_FLYING, 6, 52, 6, 0, {},
     "It hunts in the hour after sunset. Those who hear its soft call find their eyes growing "
     "heavy.",
     8, 98, 64, 70, 64, 70, 104, 70, 45, 170, LEVELUPEXP_MEDIUMFAST, 4, 6, 15,
     {
         { 45, 0,   1},  // Soft Coo
         { 10, 0,   1},  // Wingbeat
         {177, 0,   1},  // Quill Dart
         {234, 0,   5},  // Quick Peck
         {104, 0,  11},  // Afterimage
         { 11, 0,  15},  // Swoop
         {164, 0,  20},  // Sly Lunge
         {142, 0,  25},  // Dusk Lull
         { 69, 0,  30},  // Backstab
         {204, 0,  36},  // Dive Bomb
         { 70, 0,  43},  // Umbral Wave
     }},
    // Scrapling
    {9, 11, "Scrapling", "Scrapper", TYPE_FIGHTING, TYPE_FIGHTING, 5, 210, 9, 3, {{EVO_ATKDEF, 1, 10}, {EVO_ATKDEF, 2, 11}, {EVO_ATKDEF, 3, 12}},
     "It picks fights with creatures twice its size. How it fights decides what it grows into.",
     0, 56, 52, 30, 44, 30, 48, 48, 120, 58, LEVELUPEXP_SLOW, 5, 8, 25,
     {
         {  4, 0,   1},  // Knuckle Rap
         { 39, 0,   1},  // Hard Stare
         {  5, 0,   5},  // Palm Shove
         { 96, 0,   9},  // War Cry
         {144, 0,  13},  // Side Kick
         { 50, 0,  17},  // Grapple
         {232, 0,  21},  // Flex
         { 46, 0,  25},  // Hook Punch
         { 99, 0,  30},  // Brawl
         {214, 0,  35},  // Vigil Blow
         {175, 0,  42},  // Haymaker
     }},
    // Bulwarden
    {10, 12, "Bulwarden", "Bastion", TYPE_FIGHTING, TYPE_STEEL, 15, 1480, 9, 0, {},
     "It plants its iron forearms and will not give a step. A line of them once held back a "
     "flood.",
     0, 72, 120, 44, 90, 44, 44, 76, 45, 160, LEVELUPEXP_SLOW, 5, 9, 25,
     {
         {  4, 0,   1},  // Knuckle Rap
         { 39, 0,   1},  // Hard Stare
         {  5, 0,   1},  // Palm Shove
         { 96, 0,   5},  // War Cry
         {144, 0,  13},  // Side Kick
         { 50, 0,  17},  // Grapple
         {106, 0,  20},  // Brace
         { 76, 0,  24},  // Steel Jab
         {130, 0,  29},  // Bulwark
         { 23, 0,  34},  // Anvil Drop
         {249, 0,  40},  // Armor Break
         {111, 0,  47},  // Hammerfall
     }},
    // Brawlhorn
    {11, 13, "Brawlhorn", "Rhino Brawler", TYPE_FIGHTING, TYPE_GROUND, 16, 1620, 9, 0, {},
     "It charges with its head low and its horn first. Its footfalls can be felt a field away.",
     0, 118, 72, 40, 60, 40, 72, 80, 45, 160, LEVELUPEXP_SLOW, 5, 1, 25,
     {
         {  4, 0,   1},  // Knuckle Rap
         { 39, 0,   1},  // Hard Stare
         {  5, 0,   1},  // Palm Shove
         { 96, 0,   5},  // War Cry
         {144, 0,  13},  // Side Kick
         { 50, 0,  17},  // Grapple
         { 91, 0,  20},  // Undermine
         {159, 0,  24},  // Power Jab
         { 89, 0,  29},  // Fault Line
         { 75, 0,  34},  // Edge Chop
         { 15, 0,  40},  // Quakestep
         {175, 0,  47},  // Haymaker
     }},
    // Equilith
    {12, 14, "Equilith", "Balance", TYPE_FIGHTING, TYPE_PSYCHIC, 13, 560, 9, 0, {},
     "Calm and exact in every motion. It strikes only once it has weighed the whole fight in its "
     "mind.",
     0, 82, 82, 82, 82, 82, 82, 70, 45, 172, LEVELUPEXP_SLOW, 5, 8, 25,
     {
         {  4, 0,   1},  // Knuckle Rap
         { 39, 0,   1},  // Hard Stare
         {  5, 0,   1},  // Palm Shove
         { 96, 0,   5},  // War Cry
         {144, 0,  13},  // Side Kick
         { 50, 0,  17},  // Grapple
         {116, 0,  20},  // Hone Focus
         { 71, 0,  24},  // Mind Twist
         {229, 0,  28},  // Spin Kick
         { 74, 0,  32},  // Inner Glow
         {214, 0,  36},  // Vigil Blow
         {219, 0,  41},  // Focus Beam
         {136, 0,  47},  // Rising Kick
     }},
    // Sproutmite
    {13, 9, "Sproutmite", "Leaf Mite", TYPE_BUG, TYPE_GRASS, 1, 4, 13, 1, {{EVO_HAPPINESS, 0, 14}},
     "It wears a sprouting seed on its back and never stays hungry for long. Gardeners find it "
     "everywhere.",
     12, 42, 40, 44, 40, 44, 52, 38, 255, 48, LEVELUPEXP_FAST, 3, 7, 15,
     {
         { 16, 0,   1},  // Stinger
         { 29, 0,   1},  // Leaf Flick
         {196, 0,   2},  // Silk Snare
         {121, 0,   3},  // Seed Shot
         { 78, 0,   4},  // Numbspore
         { 17, 0,   5},  // Mandibles
         {155, 0,   8},  // Root Whip
         {114, 0,  11},  // Homing Dart
         { 79, 0,  14},  // Dozespore
         { 30, 0,  18},  // Thorn Lash
         { 18, 0,  23},  // Swarm Rush
     }},
    // Bloomantis
    {14, 10, "Bloomantis", "Flower Mantis", TYPE_BUG, TYPE_GRASS, 12, 185, 13, 0, {},
     "A well-loved Sproutmite opens into this. Its blooming forearms hide blades as keen as "
     "scythes.",
     12, 92, 70, 84, 72, 84, 94, 68, 45, 168, LEVELUPEXP_FAST, 3, 7, 15,
     {
         { 16, 0,   1},  // Stinger
         { 29, 0,   1},  // Leaf Flick
         {196, 0,   1},  // Silk Snare
         {121, 0,   1},  // Seed Shot
         { 78, 0,   1},  // Numbspore
         { 17, 0,   1},  // Mandibles
         {155, 0,   8},  // Root Whip
         {114, 0,  11},  // Homing Dart
         {210, 0,  15},  // Scythe Arc
         { 30, 0,  18},  // Thorn Lash
         {147, 0,  22},  // Nap Pollen
         {128, 0,  26},  // Pincer Grip
         {202, 0,  31},  // Briar Slam
         {197, 0,  36},  // Sting Lance
         { 80, 0,  42},  // Petal Storm
     }},
    // Barrowisp
    {15, 15, "Barrowisp", "Mound Spirit", TYPE_GHOST, TYPE_GROUND, 8, 1, 15, 0, {},
     "A pale light that drifts over old burial mounds. It hums to itself in the voices of the "
     "long gone.",
     17, 54, 62, 70, 66, 70, 40, 52, 75, 112, LEVELUPEXP_SLOW, 10, 10, 40,
     {
         { 19, 0,   1},  // Shade Tap
         { 28, 0,   3},  // Grit Spray
         { 88, 0,   5},  // Rumble
         { 62, 0,   9},  // Dread Howl
         {109, 0,  13},  // Eerie Light
         {125, 0,  17},  // Clod Hurl
         {101, 0,  22},  // Wraith Bolt
         {120, 0,  27},  // Bone Rattle
         { 91, 0,  32},  // Undermine
         {195, 0,  38},  // Dirge
         { 21, 0,  45},  // Soul Rend
     }},
};
