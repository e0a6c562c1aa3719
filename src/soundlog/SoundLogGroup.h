#pragma once

#include <optional>
#include <string>

namespace tintra {

// Which section of the sound log an event belongs to: one application, keyed
// by its bundle identifier (or "pid:" and its process id when it has none),
// or the system.
class TintraSoundLogGroup {
public:
    static TintraSoundLogGroup application(std::string key) { return TintraSoundLogGroup(std::move(key)); }
    static TintraSoundLogGroup system() { return TintraSoundLogGroup(std::nullopt); }

    bool isSystem() const { return !key_; }
    // The application's key; nothing for the system.
    const std::optional<std::string>& applicationKey() const { return key_; }

    friend bool operator==(const TintraSoundLogGroup&, const TintraSoundLogGroup&) = default;

private:
    explicit TintraSoundLogGroup(std::optional<std::string> key) : key_(std::move(key)) {}
    std::optional<std::string> key_;
};

} // namespace tintra
