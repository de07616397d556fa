// Stat stages and damage, using a move, and turn sequencing.
#include <algorithm>

#include "base/log.h"
#include "base/numbers.h"
#include "battle/battle.h"

// ---------------------------------------------------------------------------
// Stat stages and damage

static ownedvorl &VorletOf(int side) { return side == SIDE_PLAYER ? PlayerVorlet() : wildvorlet; }
static int8_t *StagesOf(int side) { return side == SIDE_PLAYER ? battleinfo.ownstages : battleinfo.enemystages; }
static int OtherSide(int side) { return side == SIDE_PLAYER ? SIDE_ENEMY : SIDE_PLAYER; }

// The value of stat 1 to 5 of a side as at `stage`, after burn or paralysis.
static int StatAtStage(int side, int stat, int stage) {
    const ownedvorl &vorlet = VorletOf(side);
    const int values[] = {vorlet.attack, vorlet.defense, vorlet.speed, vorlet.spattack, vorlet.spdefense};
    long long value = values[stat - 1];
    if (stage < 0) value = (2 * value) / (2 - stage);
    if (stage > 0) value = ((stage + 2) * value) / 2;
    if (vorlet.status == STATUS_BURNED && stat == STAT_ATTACK) value /= 2;
    if (vorlet.status == STATUS_PARALYZED && stat == STAT_SPEED) value /= 4;
    return To32(value);
}

int ModifiedStat(char side, char stat) {
    if (stat < STAT_ATTACK || stat > STAT_SPDEFENSE) {
        log(LOG_MAJOR, LOGCAT_PROGRAM, "I got an invalid stat passed to ModifiedStat!");
        return 0;
    }
    return StatAtStage(side, stat, StagesOf(side)[stat - 1]);
}

// Applies one chart factor of the move's type against a defending type.
static long long ApplyFactor(long long damage, double factor) {
    if (factor == 0.5) return damage / 2;
    if (factor == 2.0) return damage * 2;
    if (factor == 0.0) return 0;
    return damage;
}

int BattleDoDamage(ownedvorl attacker, ownedvorl defender, int move, int side) {
    const moveinfo &m = MoveData[move];
    int other = OtherSide(side);
    int level = 0;
    if (side == SIDE_PLAYER && battleinfo.ownfocus == 1) level++;
    if (side == SIDE_ENEMY && battleinfo.enemyfocus == 1) level++;
    if (m.flags & MOVEFLAG_HIGHCRIT) level += 2;
    static const int thresholds[] = {16, 31, 63, 84};
    bool critical = random(255) <= thresholds[level];
    if (critical) BattleMessage("It's a critical hit!");

    // A critical hit ignores the attacker's lowered and the defender's raised stage.
    int atkstat = vltypes[m.type].special ? STAT_SPATTACK : STAT_ATTACK, defstat = atkstat + 1;
    int atkstage = StagesOf(side)[atkstat - 1], defstage = StagesOf(other)[defstat - 1];
    if (critical) {
        atkstage = std::max(atkstage, 0);
        defstage = std::min(defstage, 0);
    }
    long long a = std::max(StatAtStage(side, atkstat, atkstage), 1);
    long long d = std::max(StatAtStage(other, defstat, defstage), 1);

    long long damage = ((2 * attacker.level) / 5 + 2) * a * m.power / d / 50 + 2;
    if (critical) damage *= 2;
    const vrltinfo &row = VrltData[defender.species];
    damage = ApplyFactor(damage, vltypes[m.type].multiplier[row.type1]);
    if (row.type2 != row.type1) damage = ApplyFactor(damage, vltypes[m.type].multiplier[row.type2]);
    int capped = damage > 998 ? 999 : (int)damage;
    logfmt(LOG_DEBUG, LOGCAT_PROGRAM, "atkval %u and defval %u with damage %u and damage2 %u", (unsigned)a,
           (unsigned)d, (unsigned)damage, (unsigned)capped);
    return (random(38) + 217) * capped / 255;
}

// ---------------------------------------------------------------------------
// Using a move

bool StatusResisted(int effect, int type1, int type2) {
    auto either = [&](int type) { return type1 == type || type2 == type; };
    return (effect == EFFECT_BURN && either(TYPE_FIRE)) || (effect == EFFECT_FREEZE && either(TYPE_ICE)) ||
           (effect == EFFECT_POISON && either(TYPE_POISON));
}

// Secondary effects that move a stage by one: on the target or the user,
// which stage (0 to 4 the stats, then accuracy and evasion), and its word.
struct stageeffect {
    int effect;
    bool ontarget;
    int stage;
    int delta;
    const char *word;
};
enum { STAGE_ACCURACY = STATCOUNT, STAGE_EVASION };
static const stageeffect stageeffects[] = {
    {EFFECT_ATTACKDOWN, true, STAT_ATTACK - 1, -1, "attack"},
    {EFFECT_DEFENSEDOWN, true, STAT_DEFENSE - 1, -1, "defense"},
    {EFFECT_SPEEDDOWN, true, STAT_SPEED - 1, -1, "speed"},
    {EFFECT_SPDEFENSEDOWN, true, STAT_SPDEFENSE - 1, -1, "special defense"},
    {EFFECT_ACCURACYDOWN, true, STAGE_ACCURACY, -1, "accuracy"},
    {EFFECT_EVASIONDOWN, true, STAGE_EVASION, -1, "evasion"},
    {EFFECT_ATTACKUP, false, STAT_ATTACK - 1, 1, "attack"},
    {EFFECT_DEFENSEUP, false, STAT_DEFENSE - 1, 1, "defense"},
    {EFFECT_SPATTACKUP, false, STAT_SPATTACK - 1, 1, "special attack"},
    {EFFECT_EVASIONUP, false, STAGE_EVASION, 1, "evasion"},
};

static int8_t &StageField(int side, int stage) {
    const bool own = side == SIDE_PLAYER;
    if (stage < STATCOUNT) return StagesOf(side)[stage];
    if (stage == STAGE_ACCURACY) return own ? battleinfo.ownaccuracy : battleinfo.enemyaccuracy;
    return own ? battleinfo.ownevasion : battleinfo.enemyevasion;
}

// The stage moves first and is named; past the limit it is put back.
static void ChangeStage(const stageeffect &e, int side, const std::string &name) {
    int8_t &stage = StageField(side, e.stage);
    stage = (int8_t)(stage + e.delta);
    const char *format = side == SIDE_ENEMY ? "Enemy %s's %s %s!" : "%s's %s %s!";
    BattleMessage(Format(format, name.c_str(), e.word, e.delta < 0 ? "fell" : "rose"));
    if (stage < -6 || stage > 6) {
        stage = (int8_t)std::clamp((int)stage, -6, 6);
        BattleMessage("But it didn't work");
    }
}

static void SecondaryEffect(int effect, int side, const ownedvorl &attacker, const ownedvorl &defender) {
    int target = OtherSide(side);
    for (const stageeffect &e : stageeffects) {
        if (e.effect != effect) continue;
        if (e.ontarget)
            ChangeStage(e, target, defender.nickname);
        else
            ChangeStage(e, side, attacker.nickname);
        return;
    }
    if (effect == EFFECT_FOCUS) {
        uint8_t &focus = side == SIDE_PLAYER ? battleinfo.ownfocus : battleinfo.enemyfocus;
        BattleMessage(Format("%s is getting focused.", attacker.nickname.c_str()));
        if (focus == 1)
            BattleMessage("But it failed!");
        else
            focus = 1;
        return;
    }
    // Status effects: silently, and only on a creature without a status.
    ownedvorl &live = VorletOf(target);
    const vrltinfo &row = VrltData[defender.species];
    if (live.status != STATUS_NONE || StatusResisted(effect, row.type1, row.type2)) return;
    switch (effect) {
    case EFFECT_BURN: live.status = STATUS_BURNED; break;
    case EFFECT_FREEZE: live.status = STATUS_FROZEN; break;
    case EFFECT_PARALYSE: live.status = STATUS_PARALYZED; break;
    case EFFECT_POISON: live.status = STATUS_POISONED; break;
    case EFFECT_SLEEP:
        live.status = STATUS_ASLEEP;
        (target == SIDE_PLAYER ? battleinfo.ownsleep : battleinfo.enemysleep) = (uint8_t)(random(6) + 1);
        break;
    default: break;
    }
}

// The hit chance on the 0 to 255 scale after the defender's evasion and the
// attacker's accuracy stage.
static double HitThreshold(int accuracy, int evasion, int accuracystage) {
    double e = evasion == 0 ? 1.0 : evasion < 0 ? (3.0 - evasion) / 3.0 : 3.0 / (3.0 + evasion);
    double a = accuracystage < 0 ? 3.0 / (3.0 - accuracystage) : 1.0;
    return accuracy * e * a;
}

static void EffectivenessMessages(int movetype, int type1, int type2) {
    double m1 = vltypes[movetype].multiplier[type1], m2 = vltypes[movetype].multiplier[type2];
    if (m1 == 2.0 && m2 != 0.5) BattleMessage("It's super effective!");
    if (m1 == 0.5 && m2 != 2.0) BattleMessage("It's not very effective!");
    if (type2 == type1) return;
    if (m2 == 2.0 && m1 != 0.5) BattleMessage("It's super effective!");
    if (m2 == 0.5 && m1 != 2.0) BattleMessage("It's not very effective!");
}

// The defender of `side` has fainted: the award and the end, or the blackout.
static void Faint(int side, const ownedvorl &defender) {
    if (side == SIDE_PLAYER) {
        wildvorlet.hp = 0;
        wildvorlet.status = STATUS_FAINTED;
        BattleMessage(Format("Enemy %s fainted!", defender.nickname.c_str()));
        bool traded = PlayerVorlet().otid != MainPlayer.trainerid;
        AddPlayerExp(wildvorlet.species, ExpAward(wildvorlet.species, wildvorlet.level, traded));
    } else {
        ownedvorl &own = PlayerVorlet();
        own.hp = 0;
        own.status = STATUS_FAINTED;
        BattleMessage(Format("%s fainted!", defender.nickname.c_str()));
        BattleMessage(Format("%s blacked out!", MainPlayer.name.c_str()));
        own.hp = own.maxhp;
        own.status = STATUS_NONE;
    }
    EndBattle();
}

// The status checks before a move; false when the attacker cannot act.
static bool AttackerActs(int side, const ownedvorl &attacker, const moveinfo &m) {
    ownedvorl &live = VorletOf(side);
    const char *name = attacker.nickname.c_str();
    if (attacker.status == STATUS_FAINTED) return false;
    if (attacker.status == STATUS_FROZEN) {
        // A move that a frozen creature may choose never thaws it.
        if (random(9) != 2 || (m.flags & MOVEFLAG_FROZENUSE)) {
            BattleMessage(Format("%s is frozen solid!", name));
            return false;
        }
        BattleMessage(Format("%s thawed!", name));
        live.status = STATUS_NONE;
    }
    if (attacker.status == STATUS_PARALYZED && random(3) == 2) {
        BattleMessage(Format("%s is fully paralyzed!", name));
        return false;
    }
    if (attacker.status == STATUS_ASLEEP) {
        uint8_t &sleep = side == SIDE_PLAYER ? battleinfo.ownsleep : battleinfo.enemysleep;
        if (sleep > 0) sleep--;
        if (sleep == 0) {
            BattleMessage(Format("%s woke up!", name));
            live.status = STATUS_NONE;
        } else if (side == SIDE_ENEMY || m.effect == EFFECT_NEEDSAWAKE || m.effect == EFFECT_NEEDSAWAKE2) {
            // The player's creature acts in its sleep unless the move needs it awake.
            BattleMessage(Format("%s is fast asleep!", name));
            return false;
        }
    }
    return true;
}

void BattleUseAttack(int side) {
    if (currbattletype != BATTLETYPE_WILD) {
        log(LOG_BREAKING, LOGCAT_PROGRAM, "BattleUseAttack called with invalid BATTLETYPE_");
        return;
    }
    int target = OtherSide(side);
    const ownedvorl attacker = VorletOf(side), defender = VorletOf(target);
    int move = side == SIDE_PLAYER ? battleinfo.playermove : battleinfo.enemymove;
    if (move < 1 || move >= MOVECOUNT) {
        logfmt(LOG_MAJOR, LOGCAT_PROGRAM, "Move %d is not in the move table; %s does nothing", move,
               attacker.nickname.c_str());
        return;
    }
    const moveinfo &m = MoveData[move];
    if (!AttackerActs(side, attacker, m)) return;

    BattleMessage(Format(side == SIDE_PLAYER ? "%s used %s!" : "Enemy %s used %s!", attacker.nickname.c_str(), m.name));
    int slot = side == SIDE_PLAYER ? battleinfo.playerslot : battleinfo.enemyslot;
    if (slot < MOVESLOTS) VorletOf(side).moves[slot].pp--;  // the fallback spends nothing

    std::string missed = Format("It didn't affect %s!", defender.nickname.c_str());
    int damage = 0;
    if (m.power > 0) {
        if (m.effect == EFFECT_FIXEDDAMAGE) {
            damage = m.power;
        } else {
            damage = BattleDoDamage(attacker, defender, move, side);
            logfmt(LOG_DEBUG, LOGCAT_PROGRAM, "Damage is %i", damage);
        }
        if (damage == 0) return BattleMessage(missed);
    }

    bool attackerown = side == SIDE_PLAYER;
    int evasion = attackerown ? battleinfo.enemyevasion : battleinfo.ownevasion;
    int accuracy = attackerown ? battleinfo.ownaccuracy : battleinfo.enemyaccuracy;
    if (!(m.flags & MOVEFLAG_NEVERMISS) && random(255) > HitThreshold(m.accuracy, evasion, accuracy))
        return BattleMessage(Format(attackerown ? "%s missed!" : "Enemy %s missed", attacker.nickname.c_str()));

    const vrltinfo &row = VrltData[defender.species];
    auto hastype = [&](int type) { return row.type1 == type || row.type2 == type; };
    if ((hastype(TYPE_GROUND) && m.type == TYPE_ELECTRIC) || (hastype(TYPE_STEEL) && m.type == TYPE_POISON))
        return BattleMessage(missed);

    ownedvorl &livedefender = VorletOf(target);
    livedefender.hp -= damage;
    if (damage != 0 && m.effect != EFFECT_FIXEDDAMAGE) EffectivenessMessages(m.type, row.type1, row.type2);
    if (defender.status == STATUS_FROZEN && (m.type == TYPE_FIRE || (m.flags & MOVEFLAG_THAWTARGET))) {
        BattleMessage(Format("%s thawed!", defender.nickname.c_str()));
        livedefender.status = STATUS_NONE;
    }
    if (livedefender.hp <= 0) return Faint(side, defender);
    if (m.effectchance != 0 && random(255) <= m.effectchance) SecondaryEffect(m.effect, side, attacker, defender);
}

// ---------------------------------------------------------------------------
// Turn sequencing

static int Priority(int move) { return move >= 0 && move < MOVECOUNT ? MoveData[move].priority : 3; }

// The side that acts first: lower priority first, then lower battle speed;
// a tie draws once and the player goes first.
static int TurnOrder() {
    if (battleinfo.playerchose != 1) return SIDE_PLAYER;
    if (battleinfo.enemychose != 1) return SIDE_ENEMY;
    int p1 = Priority(battleinfo.playermove), p2 = Priority(battleinfo.enemymove);
    if (p1 != p2) return p1 < p2 ? SIDE_PLAYER : SIDE_ENEMY;
    int s1 = ModifiedStat(SIDE_PLAYER, STAT_SPEED), s2 = ModifiedStat(SIDE_ENEMY, STAT_SPEED);
    if (s1 != s2) return s1 < s2 ? SIDE_PLAYER : SIDE_ENEMY;
    return random(1) + SIDE_PLAYER;
}

static void TakeTurn(int side) {
    if (currentgamestate != GAMESTATE_BATTLE) return;  // the first move ended the battle
    if (side == SIDE_PLAYER && battleinfo.playerchose == 1) BattleUseAttack(SIDE_PLAYER);
    if (side == SIDE_ENEMY && battleinfo.enemychose == 1) BattleUseAttack(SIDE_ENEMY);
}

void BattleAttack() {
    if (currentgamestate != GAMESTATE_BATTLE) return;
    if (currbattletype == BATTLETYPE_WILD) {
        battleinfo.enemychose = 1;
        if (battleinfo.enemymovecount == 0) {
            battleinfo.enemyslot = MOVESLOTS;
            battleinfo.enemymove = FALLBACKMOVE;
        } else {
            battleinfo.enemyslot = (uint8_t)random(std::min<int>(battleinfo.enemymovecount, MOVESLOTS));
            battleinfo.enemymove = wildvorlet.moves[battleinfo.enemyslot].move;
        }
    }
    int slot = battleinfo.playerslot;
    battleinfo.playermove = slot < MOVESLOTS ? PlayerVorlet().moves[slot].move : FALLBACKMOVE;
    battleinfo.turnorder = (uint8_t)TurnOrder();
    TakeTurn(battleinfo.turnorder);
    TakeTurn(OtherSide(battleinfo.turnorder));
    battleinfo.menupage = 0;
}
