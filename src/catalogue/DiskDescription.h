#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tintra {

// What a disk event says about its volume.
struct TintraDiskDescription {
    struct Field {
        std::string label;
        std::string value;
        friend bool operator==(const Field&, const Field&) = default;
    };

    std::optional<std::string> volumeName;
    std::string summary;
    std::vector<Field> fields;

    friend bool operator==(const TintraDiskDescription&, const TintraDiskDescription&) = default;
};

} // namespace tintra
