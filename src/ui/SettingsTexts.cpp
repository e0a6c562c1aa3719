#include "ui/SettingsTexts.h"

#include "support/Text.h"

#include <fmt/format.h>

namespace tintra {

std::string attachingCaption(int attached, int toAttach)
{
    return fmt::format("Attaching to applications… {} of {}", attached, toAttach);
}

std::string observingCaption(int applications, int notifications)
{
    return fmt::format("Observing {} applications, {} notifications registered", applications, notifications);
}

TintraStatusText soundSetStatusLine(const std::optional<std::string>& lastFailure,
    const std::optional<std::string>& problem, int playing, const std::optional<std::string>& baselineName)
{
    if (lastFailure)
        return { *lastFailure, TintraStatusText::Tone::warning };
    if (problem)
        return { *problem, TintraStatusText::Tone::warning };
    return { fmt::format("{} events will play, from {}", playing, baselineName.value_or("None")) };
}

std::string customSoundSentence(int customCount)
{
    if (customCount <= 0)
        return {};
    if (customCount == 1)
        return " 1 event plays a file of its own.";
    return fmt::format(" {} events play a file of their own.", customCount);
}

std::string soundSetsStatus(int sets, int playing, int total, int customCount)
{
    if (sets <= 0)
        return "No sound sets installed. Import a .tintraset, or drop one on the app." + customSoundSentence(customCount);
    return fmt::format("{} {} installed. {} of {} events will play. "
                       "The set above applies to every event set to Same as Sound Set.",
               sets, sets == 1 ? "set" : "sets", playing, total)
        + customSoundSentence(customCount);
}

std::string importProgressText(int imported, int total)
{
    return fmt::format("Importing… {} of {}", imported, total);
}

std::string exportSummaryText(const TintraExportSummary& summary)
{
    auto text = fmt::format("Exported {}: {} events from {} sounds", summary.name, summary.eventCount, summary.soundCount);
    if (summary.customEventCount >= 1)
        text += fmt::format(", {} of your own", summary.customEventCount);
    if (summary.mappedEventCount >= 1)
        text += fmt::format(", {} mapped by name", summary.mappedEventCount);
    if (summary.skippedEventCount >= 1)
        text += fmt::format(", {} skipped", summary.skippedEventCount);
    return text;
}

std::string exportHelp(bool canExport)
{
    return canExport ? "Save everything you can hear right now as a new sound set."
                     : "Every event follows the sound set above, so there is nothing new to save.";
}

std::string emptyEventListText(TintraEventFilter filter, std::string_view search)
{
    if (const auto trimmed = trimmingWhitespace(search); !trimmed.empty())
        return "No event matches “" + trimmed + "”.";
    switch (filter) {
    case TintraEventFilter::all: return "There are no events to show.";
    case TintraEventFilter::enabled: return "No event will play. Choose a sound set above, or give one a file of its own.";
    case TintraEventFilter::disabled: return "Every event will play.";
    case TintraEventFilter::custom: return "No event has been given a file of its own.";
    }
    return {};
}

std::string silenceReasonsTitle(int enabledCount)
{
    if (enabledCount <= 0)
        return "Never go quiet on their own";
    if (enabledCount == 1)
        return "Go quiet for 1 reason";
    return fmt::format("Go quiet for {} reasons", enabledCount);
}

std::string keyPressSwitchLabel(bool hasSound)
{
    return hasSound ? "Play sounds for key presses" : "Play sounds for key presses (no sound assigned)";
}

std::optional<std::string> keyPressNote(bool hasSound)
{
    if (hasSound)
        return std::nullopt;
    return "Key Press has no sound assigned, so you won’t hear anything when you type. "
           "To assign one, choose a sound for Key Press in the Sound Sets tab.";
}

} // namespace tintra
