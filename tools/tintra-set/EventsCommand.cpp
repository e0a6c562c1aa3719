#include "EventsCommand.h"

#include "catalogue/Catalogue.h"

#include <fmt/format.h>
#include <fmt/ostream.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace tintra::cli {
namespace {

std::string flagsText(TintraSoundFlags flags)
{
    static constexpr std::array<std::pair<TintraSoundFlags, std::string_view>, 4> names { {
        { TintraSoundFlags::looping, "looping" },
        { TintraSoundFlags::centered, "centered" },
        { TintraSoundFlags::singleInstance, "singleInstance" },
        { TintraSoundFlags::persistsOverOthers, "persistsOverOthers" },
    } };
    std::string text;
    for (const auto& [flag, name] : names) {
        if (flags.contains(flag))
            text += (text.empty() ? "" : "+") + std::string(name);
    }
    return text.empty() ? "-" : text;
}

} // namespace

void printEventTable(std::ostream& out, std::optional<TintraSoundCategory> category)
{
    using Row = std::array<std::string, 5>;
    std::vector<Row> rows { { "CODE", "FILE NAME", "CATEGORY", "FLAGS", "DISPLAY NAME" } };
    for (const auto& entry : listedCatalogue()) {
        if (category && entry.category != *category)
            continue;
        rows.push_back({ entry.soundID.description(), std::string(entry.fileName), std::string(name(entry.category)),
            flagsText(entry.flags), displayName(entry) });
    }

    std::array<std::size_t, 5> widths {};
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    }
    for (const auto& row : rows) {
        fmt::print(out, "{:<{}}  {:<{}}  {:<{}}  {:<{}}  {}\n", row[0], widths[0], row[1], widths[1], row[2], widths[2],
            row[3], widths[3], row[4]);
    }
}

} // namespace tintra::cli
