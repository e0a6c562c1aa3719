#include "input/ControlKind.h"

namespace tintra {

namespace {

struct KindSounds {
    TintraSoundID press;
    std::optional<TintraSoundID> release;
    std::optional<TintraSoundID> enter;
    std::optional<TintraSoundID> exit;
};

constexpr KindSounds tracked(TintraSoundID press, TintraSoundID release, TintraSoundID enter, TintraSoundID exit)
{
    return { press, release, enter, exit };
}

constexpr KindSounds pressOnly(TintraSoundID press)
{
    return { press, std::nullopt, std::nullopt, std::nullopt };
}

// In the case order of TintraControlKind.
constexpr std::array<KindSounds, allControlKinds.size()> kSounds {
    tracked("btnp", "btnr", "btne", "btnx"),
    tracked("dbtp", "dbtr", "dbte", "dbtx"),
    tracked("cbtp", "cbtr", "cbte", "cbtx"),
    tracked("chkp", "chkr", "chke", "chkx"),
    tracked("radp", "radr", "rade", "radx"),
    tracked("tabp", "tabr", "tabe", "tabx"),
    tracked("popp", "popr", "pope", "popx"),
    tracked("dscp", "dscr", "dsce", "dscx"),
    tracked("laup", "laur", "lare", "larx"),
    tracked("ladp", "ladr", "lare", "larx"),
    pressOnly("sbtp"),
    pressOnly("sltp"),
    tracked("wclp", "wclr", "wcle", "wclx"),
    tracked("wzmp", "wzmr", "wzme", "wzmx"),
    tracked("wcop", "wcor", "wcoe", "wcox"),
    tracked("uclp", "uclr", "ucle", "uclx"),
    tracked("uzmp", "uzmr", "uzme", "uzmx"),
    tracked("ucop", "ucor", "ucoe", "ucox"),
    pressOnly(TintraSoundID::mouseClick),
};

const KindSounds& soundsOf(TintraControlKind kind)
{
    return kSounds[static_cast<std::size_t>(kind)];
}

} // namespace

TintraSoundID pressSoundID(TintraControlKind kind)
{
    return soundsOf(kind).press;
}

std::optional<TintraSoundID> releaseSoundID(TintraControlKind kind)
{
    return soundsOf(kind).release;
}

std::optional<TintraSoundID> enterSoundID(TintraControlKind kind)
{
    return soundsOf(kind).enter;
}

std::optional<TintraSoundID> exitSoundID(TintraControlKind kind)
{
    return soundsOf(kind).exit;
}

} // namespace tintra
