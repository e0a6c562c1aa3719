#include "catalogue/Catalogue.h"

#include "support/Text.h"

#include <array>
#include <unordered_map>

namespace tintra {
namespace {

using C = TintraSoundCategory;
using F = TintraSoundFlags;

constexpr std::size_t mainTableSize = 137;
constexpr std::size_t quitTableSize = 2;

// The main table, then the quit table (application quit, and the misspelt
// alias that lets old sets provide 'dtdr'), then the login table.
constexpr std::array<TintraSetEntry, 141> rows { {
    { "mnuo", "MenuOpen.aiff", C::menu, {} },
    { "mnuc", "MenuClose.aiff", C::menu, {} },
    { "mnui", "MenuItemHilite.aiff", C::menu, {} },
    { "mnus", "MenuItemRelease.aiff", C::menu, {} },
    { "wclp", "WindowClosePress.aiff", C::control, {} },
    { "wcle", "WindowCloseEnter.aiff", C::control, {} },
    { "wclx", "WindowCloseExit.aiff", C::control, {} },
    { "wclr", "WindowCloseRelease.aiff", C::control, {} },
    { "wzmp", "WindowZoomPress.aiff", C::control, {} },
    { "wzme", "WindowZoomEnter.aiff", C::control, {} },
    { "wzmx", "WindowZoomExit.aiff", C::control, {} },
    { "wzmr", "WindowZoomRelease.aiff", C::control, {} },
    { "wcop", "WindowCollapsePress.aiff", C::control, {} },
    { "wcoe", "WindowCollapseEnter.aiff", C::control, {} },
    { "wcox", "WindowCollapseExit.aiff", C::control, {} },
    { "wcor", "WindowCollapseRelease.aiff", C::control, {} },
    { "uclp", "UtilityWindowClosePress.aiff", C::control, {} },
    { "ucle", "UtilityWindowCloseEnter.aiff", C::control, {} },
    { "uclx", "UtilityWindowCloseExit.aiff", C::control, {} },
    { "uclr", "UtilityWindowCloseRelease.aiff", C::control, {} },
    { "uzmp", "UtilityWindowZoomPress.aiff", C::control, {} },
    { "uzme", "UtilityWindowZoomEnter.aiff", C::control, {} },
    { "uzmx", "UtilityWindowZoomExit.aiff", C::control, {} },
    { "uzmr", "UtilityWindowZoomRelease.aiff", C::control, {} },
    { "ucop", "UtilityWindowCollapsePress.aiff", C::control, {} },
    { "ucoe", "UtilityWindowCollapseEnter.aiff", C::control, {} },
    { "ucox", "UtilityWindowCollapseExit.aiff", C::control, {} },
    { "ucor", "UtilityWindowCollapseRelease.aiff", C::control, {} },
    { "btnp", "ButtonPress.aiff", C::control, {} },
    { "btne", "ButtonEnter.aiff", C::control, {} },
    { "btnx", "ButtonExit.aiff", C::control, {} },
    { "btnr", "ButtonRelease.aiff", C::control, {} },
    { "dbtp", "DefaultButtonPress.aiff", C::control, {} },
    { "dbte", "DefaultButtonEnter.aiff", C::control, {} },
    { "dbtx", "DefaultButtonExit.aiff", C::control, {} },
    { "dbtr", "DefaultButtonRelease.aiff", C::control, {} },
    { "cbtp", "CancelButtonPress.aiff", C::control, {} },
    { "cbte", "CancelButtonEnter.aiff", C::control, {} },
    { "cbtx", "CancelButtonExit.aiff", C::control, {} },
    { "cbtr", "CancelButtonRelease.aiff", C::control, {} },
    { "chkp", "CheckboxPress.aiff", C::control, {} },
    { "chke", "CheckboxEnter.aiff", C::control, {} },
    { "chkx", "CheckboxExit.aiff", C::control, {} },
    { "chkr", "CheckboxRelease.aiff", C::control, {} },
    { "radp", "RadioPress.aiff", C::control, {} },
    { "rade", "RadioEnter.aiff", C::control, {} },
    { "radx", "RadioExit.aiff", C::control, {} },
    { "radr", "RadioRelease.aiff", C::control, {} },
    { "sbap", "ScrollArrowPress.aiff", C::control, {} },
    { "sbae", "ScrollArrowEnter.aiff", C::control, {} },
    { "sbax", "ScrollArrowExit.aiff", C::control, {} },
    { "sbar", "ScrollArrowRelease.aiff", C::control, {} },
    { "sbte", "ScrollArrowEndOfTrack.aiff", C::control, {} },
    { "sbtp", "ScrollTrackPress.aiff", C::control, {} },
    { "slte", "SliderEndOfTrack.aiff", C::control, {} },
    { "sltp", "SliderTrackPress.aiff", C::control, {} },
    { "bevp", "BevelPress.aiff", C::control, {} },
    { "beve", "BevelEnter.aiff", C::control, {} },
    { "bevx", "BevelExit.aiff", C::control, {} },
    { "bevr", "BevelRelease.aiff", C::control, {} },
    { "laup", "LittleArrowUpPress.aiff", C::control, {} },
    { "ladp", "LittleArrowDownPress.aiff", C::control, {} },
    { "lare", "LittleArrowEnter.aiff", C::control, {} },
    { "larx", "LittleArrowExit.aiff", C::control, {} },
    { "laur", "LittleArrowUpRelease.aiff", C::control, {} },
    { "ladr", "LittleArrowDownRelease.aiff", C::control, {} },
    { "popp", "PopupPress.aiff", C::control, {} },
    { "pope", "PopupEnter.aiff", C::control, {} },
    { "popx", "PopupExit.aiff", C::control, {} },
    { "popr", "PopupRelease.aiff", C::control, {} },
    { "dscp", "DisclosurePress.aiff", C::control, {} },
    { "dsce", "DisclosureEnter.aiff", C::control, {} },
    { "dscx", "DisclosureExit.aiff", C::control, {} },
    { "dscr", "DisclosureRelease.aiff", C::control, {} },
    { "tabp", "TabPressed.aiff", C::control, {} },
    { "tabe", "TabEnter.aiff", C::control, {} },
    { "tabx", "TabExit.aiff", C::control, {} },
    { "tabr", "TabRelease.aiff", C::control, {} },
    { "fdrp", "ReceiveDrop.aiff", C::control, {} },
    { "wdbd", "WindowDragBoundary.aiff", C::window, {} },
    { "udbd", "UtilityWindowDragBoundary.aiff", C::window, {} },
    { "wopn", "WindowOpen.aiff", C::window, {} },
    { "wcls", "WindowClose.aiff", C::window, {} },
    { "wzmi", "WindowZoomIn.aiff", C::window, {} },
    { "wzmo", "WindowZoomOut.aiff", C::window, {} },
    { "wcol", "WindowCollapseUp.aiff", C::window, {} },
    { "wexp", "WindowCollapseDown.aiff", C::window, {} },
    { "wact", "WindowActivate.aiff", C::window, {} },
    { "uopn", "UtilityWindowOpen.aiff", C::window, {} },
    { "ucls", "UtilityWindowClose.aiff", C::window, {} },
    { "uzmi", "UtilityWindowZoomIn.aiff", C::window, {} },
    { "uzmo", "UtilityWindowZoomOut.aiff", C::window, {} },
    { "ucol", "UtilityWindowCollapseUp.aiff", C::window, {} },
    { "uexp", "UtilityWindowCollapseDown.aiff", C::window, {} },
    { "uact", "UtilityWindowActivate.aiff", C::window, {} },
    { "dopn", "DialogOpen.aiff", C::window, {} },
    { "dlgc", "DialogClose.aiff", C::window, {} },
    { "aopn", "AlertOpen.aiff", C::window, {} },
    { "altc", "AlertClose.aiff", C::window, {} },
    { "pwop", "PopupWindowOpen.aiff", C::window, {} },
    { "pwcl", "PopupWindowClose.aiff", C::window, {} },
    { "blno", "BalloonOpen.aiff", C::window, {} },
    { "blnc", "BalloonClose.aiff", C::window, {} },
    { "dthi", "DragTargetHilite.aiff", C::window, {} },
    { "dtuh", "DragTargetUnhilite.aiff", C::window, {} },
    { "dtdr", "DragTargetDrop.aiff", C::window, {} },
    { "ftrs", "EmptyTrash.aiff", C::finder, { F::centered } },
    { "fsel", "SelectItem.aiff", C::finder, { F::centered } },
    { "fnew", "NewItem.aiff", C::finder, { F::centered } },
    { "fcpd", "CopyDone.aiff", C::finder, { F::centered } },
    { "fral", "ResolveAlias.aiff", C::finder, { F::centered } },
    { "flap", "LaunchApp.aiff", C::finder, { F::centered } },
    { "dski", "DiskInsert.aiff", C::finder, { F::centered } },
    { "dske", "DiskEject.aiff", C::finder, { F::centered } },
    { "fdon", "FinderDragOnIcon.aiff", C::finder, {} },
    { "fdof", "FinderDragOffIcon.aiff", C::finder, {} },
    { "!mot", "MoveToTrash.aiff", C::finder, {} },
    { "!mdo", "MouseClick.aiff", C::window, {} },
    { "!kdo", "KeyPress.aiff", C::window, { F::centered } },
    { "!kmd", "KeyModifier.aiff", C::window, { F::centered } },
    { "@aph", "ApplicationHide.aiff", C::window, { F::centered } },
    { "@aps", "ApplicationShow.aiff", C::window, { F::centered } },
    { "dtBE", "DragBegin.aiff", C::window, {} },
    { "wmov", "DragSoundMoveWindow.aiff", C::window, { F::looping, F::singleInstance } },
    { "wgro", "DragSoundGrowWindow.aiff", C::window, { F::looping, F::singleInstance } },
    { "umov", "DragSoundMoveUtilWindow.aiff", C::window, { F::looping, F::singleInstance } },
    { "ugro", "DragSoundGrowUtilWindow.aiff", C::window, { F::looping, F::singleInstance } },
    { "dmov", "DragSoundMoveDialog.aiff", C::window, { F::looping, F::singleInstance } },
    { "amov", "DragSoundMoveAlert.aiff", C::window, { F::looping, F::singleInstance } },
    { "imov", "DragSoundMoveIcon.aiff", C::window, { F::looping, F::singleInstance } },
    { "slth", "DragSoundSliderThumb.aiff", C::control, { F::looping, F::singleInstance } },
    { "slgh", "DragSoundSliderGhost.aiff", C::control, { F::looping, F::singleInstance } },
    { "sbth", "DragSoundScrollBarThumb.aiff", C::control, { F::looping, F::singleInstance } },
    { "sbgh", "DragSoundScrollBarGhost.aiff", C::control, { F::looping, F::singleInstance } },
    { "sbad", "DragSoundScrollBarArrowDecreasing.aiff", C::control, { F::looping, F::singleInstance } },
    { "sbai", "DragSoundScrollBarArrowIncreasing.aiff", C::control, { F::looping, F::singleInstance } },
    { "drag", "DragSoundDragging.aiff", C::control, { F::looping, F::singleInstance, F::persistsOverOthers } },
    // Quit table: for lookups only.
    { "!aqt", "ApplicationQuit.aiff", C::window, { F::centered } },
    { "dtdr", "DragTragetDrop.aiff", C::window, {} },
    // Login table.
    { "!lgi", "Login.aiff", C::finder, { F::centered, F::singleInstance } },
    { "!lgo", "Logout.aiff", C::finder, { F::centered, F::singleInstance } },
} };

struct Lookups {
    std::vector<TintraSetEntry> listed;
    std::unordered_map<TintraSoundID, const TintraSetEntry*> bySoundID;
    std::unordered_map<std::string, const TintraSetEntry*> byFileName;
    std::array<std::vector<TintraSetEntry>, allSoundCategories.size()> byCategory;
};

std::string_view baseName(std::string_view fileName)
{
    const auto dot = fileName.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

// Built once, on first use, and shared read-only afterwards.
const Lookups& lookups()
{
    static const Lookups built = [] {
        Lookups lookups;
        lookups.listed.assign(rows.begin(), rows.begin() + mainTableSize);
        lookups.listed.insert(lookups.listed.end(), rows.begin() + mainTableSize + quitTableSize, rows.end());
        for (const auto& row : rows) {
            lookups.bySoundID.try_emplace(row.soundID, &row);
            lookups.byFileName.try_emplace(lowercased(baseName(row.fileName)), &row);
        }
        for (const auto& row : lookups.listed)
            lookups.byCategory[std::size_t(row.category)].push_back(row);
        return lookups;
    }();
    return built;
}

} // namespace

std::span<const TintraSetEntry> fullCatalogue()
{
    return rows;
}

std::span<const TintraSetEntry> listedCatalogue()
{
    return lookups().listed;
}

const TintraSetEntry* entryBySoundID(TintraSoundID soundID)
{
    const auto& map = lookups().bySoundID;
    const auto found = map.find(soundID);
    return found == map.end() ? nullptr : found->second;
}

const TintraSetEntry* entryByFileName(std::string_view baseName)
{
    const auto& map = lookups().byFileName;
    const auto found = map.find(lowercased(baseName));
    return found == map.end() ? nullptr : found->second;
}

std::span<const TintraSetEntry> entriesByCategory(TintraSoundCategory category)
{
    return lookups().byCategory.at(std::size_t(category));
}

std::string displayName(const TintraSetEntry& entry)
{
    const auto name = baseName(entry.fileName);
    std::string title;
    std::string word;
    const auto closeWord = [&] {
        if (word.empty())
            return;
        title += title.empty() ? "" : " ";
        title += word;
        word.clear();
    };
    for (char c : name) {
        if (c >= 'A' && c <= 'Z')
            closeWord();
        word += c;
    }
    closeWord();
    return title.empty() ? std::string(name) : title;
}

std::optional<std::string> displayName(TintraSoundID soundID)
{
    if (const auto* entry = entryBySoundID(soundID))
        return displayName(*entry);
    return std::nullopt;
}

} // namespace tintra
