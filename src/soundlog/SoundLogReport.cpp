#include "soundlog/SoundLogReport.h"

#include "soundlog/SoundLog.h"
#include "support/Text.h"

#include <fmt/format.h>
#include <unicode/datefmt.h>
#include <unicode/fieldpos.h>
#include <unicode/measfmt.h>
#include <unicode/measunit.h>
#include <unicode/measure.h>
#include <unicode/unistr.h>

#include <array>
#include <chrono>
#include <memory>

namespace tintra {
namespace {

constexpr std::string_view arrow = " → ";
constexpr std::string_view dot = " · ";
constexpr std::string_view timesSign = " ×";

// Made once: ICU formatters are costly to build. They take the default
// locale and time zone of the moment they are made.
struct Formatters {
    std::unique_ptr<icu::DateFormat> time;
    std::unique_ptr<icu::DateFormat> dateAndTime;
    std::unique_ptr<icu::MeasureFormat> duration;

    Formatters()
        : time(icu::DateFormat::createTimeInstance(icu::DateFormat::kMedium))
        , dateAndTime(icu::DateFormat::createDateTimeInstance(icu::DateFormat::kLong, icu::DateFormat::kMedium))
    {
        UErrorCode status = U_ZERO_ERROR;
        duration = std::make_unique<icu::MeasureFormat>(icu::Locale::getDefault(), UMEASFMT_WIDTH_WIDE, status);
        if (U_FAILURE(status))
            duration.reset();
    }

    static const Formatters& shared()
    {
        static const Formatters formatters;
        return formatters;
    }
};

UDate icuDate(WallTime date)
{
    return UDate(std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch()).count());
}

std::string formatted(const icu::DateFormat* format, WallTime date)
{
    if (!format)
        return {};
    icu::UnicodeString text;
    format->format(icuDate(date), text);
    std::string utf8;
    return text.toUTF8String(utf8);
}

std::string timeText(WallTime date)
{
    return formatted(Formatters::shared().time.get(), date);
}

// Hours, minutes and seconds in full words, at most the two largest that are
// not zero ("1 hour, 5 minutes"); nothing when ICU cannot format it.
std::optional<std::string> durationText(Duration duration)
{
    const auto* format = Formatters::shared().duration.get();
    if (!format)
        return std::nullopt;
    const auto total = std::max<long long>(0, std::chrono::duration_cast<std::chrono::seconds>(duration).count());
    const std::array<long long, 3> amounts { total / 3600, total / 60 % 60, total % 60 };
    UErrorCode status = U_ZERO_ERROR;
    const std::array<icu::MeasureUnit, 3> units { icu::MeasureUnit::getHour(), icu::MeasureUnit::getMinute(),
        icu::MeasureUnit::getSecond() };
    std::vector<icu::Measure> measures;
    for (std::size_t i = 0; i < amounts.size() && measures.size() < 2; ++i) {
        if (amounts[i] != 0)
            measures.emplace_back(icu::Formattable(std::int64_t(amounts[i])), units[i].clone(), status);
    }
    if (measures.empty())
        measures.emplace_back(icu::Formattable(std::int64_t(0)), units[2].clone(), status);
    icu::UnicodeString text;
    icu::FieldPosition position(icu::FieldPosition::DONT_CARE);
    format->formatMeasures(measures.data(), int32_t(measures.size()), text, position, status);
    if (U_FAILURE(status))
        return std::nullopt;
    std::string utf8;
    return text.toUTF8String(utf8);
}

std::string pathText(const std::filesystem::path& location)
{
    auto path = location.string();
    if (path.size() >= 2 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string plural(std::size_t count, std::string_view word)
{
    return fmt::format("{} {}{}", count, word, count == 1 ? "" : "s");
}

} // namespace

std::string reportApplicationName()
{
    return "Tintra Dorvel";
}

std::string reportApplicationVersion()
{
    const std::string_view version = TINTRA_APPLICATION_VERSION;
    return version.empty() ? "version unknown" : std::string(version);
}

std::vector<std::string> TintraSoundLogReport::header() const
{
    const auto name = reportApplicationName();
    return {
        name + ": WTF Was That?!",
        formatted(Formatters::shared().dateAndTime.get(), now),
        name + " " + reportApplicationVersion() + std::string(dot) + (systemText ? systemText() : std::string("Linux")),
    };
}

std::string TintraSoundLogReport::summary(const TintraSoundLog& log) const
{
    std::string summary;
    if (const auto reason = log.currentSilence())
        summary = "Nothing can be heard right now: " + lowercased(label(*reason)) + ". ";
    const auto sections = log.sections().size();
    if (sections == 0)
        return summary + "Everything that makes a sound shows up here, whether or not sounds are switched on elsewhere in this window.";
    const auto rows = log.entryCount();
    const auto hearings = log.hearingCount();
    summary += plural(rows, "event");
    if (hearings != static_cast<long long>(rows))
        summary += fmt::format(", {} times", hearings);
    return summary + " from " + plural(sections, "app") + " in the last two hours.";
}

std::string TintraSoundLogReport::silenceLine(const TintraSilencePeriod& period) const
{
    auto line = label(period.reason);
    if (period.endDate) {
        line += std::string(dot) + timeText(period.startDate) + std::string(arrow) + timeText(*period.endDate);
        if (*period.endDate - period.startDate >= std::chrono::seconds(1)) {
            if (const auto lasted = durationText(*period.endDate - period.startDate))
                line += std::string(dot) + *lasted;
        }
        return line;
    }
    line += " · since " + timeText(period.startDate);
    const auto quiet = durationText(std::max(Duration::zero(), std::chrono::duration_cast<Duration>(now - period.startDate)));
    return line + (quiet ? " · still quiet after " + *quiet : std::string(" · still quiet"));
}

std::vector<std::string> TintraSoundLogReport::sectionLines(const TintraSoundLogSection& section) const
{
    std::vector<std::string> lines;
    auto heading = section.name;
    if (section.bundleIdentifier && *section.bundleIdentifier != section.name)
        heading += " (" + *section.bundleIdentifier + ")";
    lines.push_back(std::move(heading));
    if (section.fileURL)
        lines.push_back("  Path: " + pathText(*section.fileURL));
    if (section.version)
        lines.push_back("  Version: " + *section.version);
    for (const auto& entry : section.entries) {
        auto entryText = entryLines(entry, 1);
        lines.insert(lines.end(), std::make_move_iterator(entryText.begin()), std::make_move_iterator(entryText.end()));
    }
    return lines;
}

std::vector<std::string> TintraSoundLogReport::entryLines(const TintraSoundLogEntry& entry, int level) const
{
    const std::string indent(std::size_t(std::max(level, 0)) * 2, ' ');
    const std::string inner = indent + "  ";
    std::vector<std::string> lines;

    auto title = entry.eventName;
    if (entry.detail)
        title += " (" + *entry.detail + ")";
    if (entry.count >= 2)
        title += std::string(timesSign) + std::to_string(entry.count);
    const auto times = entry.count < 2 ? timeText(entry.lastDate)
                                       : timeText(entry.firstDate) + std::string(arrow) + timeText(entry.lastDate);
    lines.push_back(indent + title + std::string(dot) + times);

    if (entry.elementDescription) {
        lines.push_back(inner + "Element: " + *entry.elementDescription);
        for (const auto& detail : entry.elementDetails)
            lines.push_back(inner + detail);
    }
    if (entry.disk) {
        lines.push_back(inner + "Disk: " + entry.disk->summary);
        for (const auto& field : entry.disk->fields)
            lines.push_back(inner + "  " + field.label + ": " + field.value);
    }
    if (entry.application) {
        if (entry.application->bundleIdentifier)
            lines.push_back(inner + "Bundle identifier: " + *entry.application->bundleIdentifier);
        if (entry.application->fileURL)
            lines.push_back(inner + "Path: " + pathText(*entry.application->fileURL));
        if (entry.application->version)
            lines.push_back(inner + "Version: " + *entry.application->version);
    }
    const auto code = entry.soundID.description();
    auto sound = TintraSoundLog::soundName(entry).value_or(code) + " (" + code + ")";
    if (sourceName) {
        if (const auto source = sourceName(entry.soundID))
            sound += " from " + *source;
    }
    lines.push_back(inner + "Sound: " + sound);
    return lines;
}

std::string TintraSoundLogReport::text(const TintraSoundLog& log) const
{
    auto lines = header();
    lines.push_back("");
    lines.push_back(summary(log));
    if (!log.silences().empty()) {
        lines.push_back("");
        lines.push_back("Silence: sounds held back");
        for (const auto& period : log.silences())
            lines.push_back("  " + silenceLine(period));
    }
    for (const auto& section : log.sections()) {
        lines.push_back("");
        auto sectionText = sectionLines(section);
        lines.insert(lines.end(), std::make_move_iterator(sectionText.begin()), std::make_move_iterator(sectionText.end()));
    }
    std::string text;
    for (const auto& line : lines)
        text += line + '\n';
    return text;
}

} // namespace tintra
