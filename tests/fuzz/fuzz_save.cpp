// Fuzzes loading a saved game. Each input is loaded twice, as the chooser
// would after a refusal: first as the save file itself (a compressed pack
// file, as the game writes them), then as the stream inside one, packed as
// the game packs its saves, so that every input also reaches the layout and
// the checks rather than the decompressor alone. Seeds: tests/fuzz/seeds/save/,
// files (.qbs) and streams (.bin) of games the game itself saved.
// A save the checks accept is played on: its first creature takes a hit and
// wins a rich battle, which must keep every number in range.
#include "base/platform/headless.h"
#include "battle/battle.h"
#include "fileload/fileload.h"
#include "savefile/savefile.h"
#include "shell/main.h"
#include "tests/fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzBegin();
    indarrsiz = 2;
    FuzzWriteFile("save.qbs", data, size);
    headless::ScriptFileDialog({headless::fileanswer{1, "save.qbs"}});
    LoadSaveFile();
    PACKFILE *file = pack_fopen("save.qbs", "wp");
    if (!file) return 0;
    pack_fwrite(data, (long)size, file);
    pack_fclose(file);
    headless::ScriptFileDialog({headless::fileanswer{1, "save.qbs"}});
    // With no project files, a save that passed every check stops at the
    // project file, its player record already restored.
    if (LoadSaveFile() != LOAD_BADPROJECT) return 0;
    headless::closerequested = 1;  // messages go by without keys
    battleinfo = battlerecord();
    battleinfo.participated[0] = 1, battleinfo.enemymove = 1, battleinfo.enemyslot = MOVESLOTS;
    battleinfo.playermove = PlayerVorlet().moves[0].move, battleinfo.playerslot = 0;
    CreateVorlet(wildvorlet, 3, MAXLEVEL, VORLET_WILD, nullptr);
    currbattletype = BATTLETYPE_WILD;
    BattleUseAttack(SIDE_ENEMY);
    BattleUseAttack(SIDE_PLAYER);
    battleinfo.participated[0] = 1;
    AddPlayerExp(3, ExpAward(3, MAXLEVEL, true));
    return 0;
}
