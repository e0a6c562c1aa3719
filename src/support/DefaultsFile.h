#pragma once

#include "support/Defaults.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tintra {

// The user defaults of one domain, kept as an XML property list named after
// the domain (DOMAIN.plist) in a folder. Each write replaces the file
// atomically, so a crash leaves either the old or the new settings. A write
// that fails keeps the value in memory and prints one "DefaultsFile: " line.
// A file that cannot be read as a dictionary is moved aside to
// DOMAIN.plist.corrupt and the store starts empty; one that exists but cannot
// be opened is left alone and never written over. Main thread only.
class DefaultsFile final : public Defaults {
public:
    DefaultsFile(std::filesystem::path folder, std::string_view domain);

    // "{makerPrefix}.TintraDorvel"
    static std::string standardDomain();
    // $XDG_CONFIG_HOME/tintra-dorvel/, or ~/.config/tintra-dorvel/ when the
    // variable is unset, empty or relative.
    static std::filesystem::path standardFolder();
    static std::filesystem::path standardFolder(const char* xdgConfigHome, const std::filesystem::path& home);

    const std::filesystem::path& fileURL() const { return file_; }

protected:
    const PropertyList* lookup(std::string_view key) const override;
    void store(std::string_view key, PropertyList value) override;
    void erase(std::string_view key) override;

private:
    void load();
    void moveAside(const std::string& reason);
    void writeFile();

    std::filesystem::path folder_;
    std::filesystem::path file_;
    PropertyList::Dictionary values_;
    bool keepsUnreadableFile_ = false;
};

} // namespace tintra
