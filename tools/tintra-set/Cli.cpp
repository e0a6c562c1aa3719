#include "Cli.h"

#include "EventsCommand.h"
#include "ImportCommand.h"
#include "InfoCommand.h"
#include "support/Text.h"

#include <fmt/format.h>
#include <fmt/ostream.h>

#include <filesystem>
#include <optional>
#include <vector>

namespace tintra::cli {
namespace {

constexpr std::string_view usage = R"(usage: tintra-set <command> [options]

Inspect and convert Tintra Dorvel sound sets.

commands:
  events [--category NAME]   list the theme events a sound set can provide:
                             code, file name, category, flags, display name;
                             NAME is window, menu, control or finder
  import PATH... [--into DIR]
                             import each classic sound-set file as a bundle and
                             install it into your library, or write the bundle
                             into DIR; a folder (a bundle or a folder of sounds)
                             is installed as a set the same way
  info PATH                  describe a classic sound-set file: name, version,
                             copyright, container, resource types, and each
                             mapped sound with its resource and whether it
                             decodes; or a bundle: its metadata, its sounds by
                             code, unmatched files and collisions
options:
  -h, --help                 show this help
)";

int usageError(std::ostream& err, std::string_view message)
{
    fmt::print(err, "tintra-set: {}\nTry 'tintra-set --help' for more information.\n", message);
    return exitUsage;
}

bool isHelp(std::string_view word)
{
    return word == "-h" || word == "--help";
}

int runEvents(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err)
{
    std::optional<TintraSoundCategory> category;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto word = arguments[i];
        if (isHelp(word)) {
            out << usage;
            return exitSuccess;
        }
        std::optional<std::string_view> value;
        if (word == "--category" && i + 1 < arguments.size())
            value = arguments[++i];
        else if (word.starts_with("--category="))
            value = word.substr(word.find('=') + 1);
        else if (word == "--category")
            return usageError(err, "option '--category' needs a category name");
        else
            return usageError(err, fmt::format("events: unknown option '{}'", word));

        category = soundCategory(lowercased(*value));
        if (!category)
            return usageError(err, fmt::format("events: unknown category '{}' (expected window, menu, control or finder)", *value));
    }
    printEventTable(out, category);
    return exitSuccess;
}

int runInfo(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err)
{
    if (!arguments.empty() && isHelp(arguments.front())) {
        out << usage;
        return exitSuccess;
    }
    if (arguments.empty())
        return usageError(err, "info: missing PATH");
    if (arguments.size() > 1)
        return usageError(err, fmt::format("info: unexpected argument '{}'", arguments[1]));
    return printInfo(std::filesystem::path(arguments.front()), out, err);
}

int runImport(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err)
{
    std::vector<std::filesystem::path> paths;
    std::optional<std::filesystem::path> into;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto word = arguments[i];
        if (isHelp(word)) {
            out << usage;
            return exitSuccess;
        }
        if (word == "--into" && i + 1 < arguments.size())
            into = std::filesystem::path(arguments[++i]);
        else if (word.starts_with("--into=") && word.size() > 7)
            into = std::filesystem::path(word.substr(7));
        else if (word == "--into" || word == "--into=")
            return usageError(err, "option '--into' needs a folder");
        else if (word.starts_with("-"))
            return usageError(err, fmt::format("import: unknown option '{}'", word));
        else
            paths.emplace_back(word);
    }
    if (paths.empty())
        return usageError(err, "import: missing PATH");
    return importSets(paths, into, out, err);
}

} // namespace

int runTintraSet(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.empty())
        return usageError(err, "missing command");
    const auto command = arguments.front();
    const auto rest = arguments.subspan(1);
    if (isHelp(command)) {
        out << usage;
        return exitSuccess;
    }
    if (command == "events")
        return runEvents(rest, out, err);
    if (command == "import")
        return runImport(rest, out, err);
    if (command == "info")
        return runInfo(rest, out, err);
    if (command.starts_with("-"))
        return usageError(err, fmt::format("unknown option '{}'", command));
    return usageError(err, fmt::format("unknown command '{}'", command));
}

} // namespace tintra::cli
