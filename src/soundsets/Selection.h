#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <variant>

namespace tintra {

// What is chosen for one sound.
struct TintraSelection {
    struct Set {
        std::string identifier;
        bool operator==(const Set&) const = default;
    };
    struct Custom {
        std::filesystem::path url;
        bool operator==(const Custom&) const = default;
    };
    struct Baseline {
        bool operator==(const Baseline&) const = default;
    };
    struct Silent {
        bool operator==(const Silent&) const = default;
    };

    std::variant<Set, Custom, Baseline, Silent> value;

    static TintraSelection set(std::string identifier) { return { Set { std::move(identifier) } }; }
    static TintraSelection custom(std::filesystem::path url) { return { Custom { std::move(url) } }; }
    static TintraSelection baseline() { return { Baseline {} }; }
    static TintraSelection silent() { return { Silent {} }; }

    bool operator==(const TintraSelection&) const = default;
};

} // namespace tintra

template <>
struct std::hash<tintra::TintraSelection> {
    std::size_t operator()(const tintra::TintraSelection& selection) const noexcept
    {
        const std::size_t kind = selection.value.index();
        if (const auto* set = std::get_if<tintra::TintraSelection::Set>(&selection.value))
            return kind ^ std::hash<std::string> {}(set->identifier);
        if (const auto* custom = std::get_if<tintra::TintraSelection::Custom>(&selection.value))
            return kind ^ std::filesystem::hash_value(custom->url);
        return kind;
    }
};
