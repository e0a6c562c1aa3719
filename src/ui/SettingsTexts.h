#pragma once

#include "catalogue/EventFilter.h"
#include "soundsets/Export.h"

#include <optional>
#include <string>

namespace tintra {

// The settings window's sentences and counts.

// A line of the window in a colour that says what kind of news it is.
struct TintraStatusText {
    enum class Tone { secondary, warning };
    std::string text;
    Tone tone = Tone::secondary;

    bool operator==(const TintraStatusText&) const = default;
};

// "Attaching to applications… 3 of 12".
std::string attachingCaption(int attached, int toAttach);
// "Observing 4 applications, 57 notifications registered".
std::string observingCaption(int applications, int notifications);

// The line under the notification switch: the last transfer's failure, else
// the controller's problem, else what plays and from which set.
TintraStatusText soundSetStatusLine(const std::optional<std::string>& lastFailure,
    const std::optional<std::string>& problem, int playing, const std::optional<std::string>& baselineName);

// Nothing for none; " 1 event plays a file of its own." or " N events play a file of their own."
std::string customSoundSentence(int customCount);
// The Sound Sets tab's status, for `sets` installed sets.
std::string soundSetsStatus(int sets, int playing, int total, int customCount);

// "Importing… 1 of 3".
std::string importProgressText(int imported, int total);
std::string exportSummaryText(const TintraExportSummary& summary);
// The export button's help, by whether there is anything of the user's own to save.
std::string exportHelp(bool canExport);

// The list's text when no row passes, by search first and then by filter.
std::string emptyEventListText(TintraEventFilter filter, std::string_view search);

// The disclosure over the silence reasons, counting those switched on.
std::string silenceReasonsTitle(int enabledCount);

// The key-press switch's label, and the note shown when Key Press resolves to nothing.
std::string keyPressSwitchLabel(bool hasSound);
std::optional<std::string> keyPressNote(bool hasSound);

} // namespace tintra
