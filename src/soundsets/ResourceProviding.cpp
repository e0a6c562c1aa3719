#include "soundsets/ResourceProviding.h"

namespace tintra {

std::vector<TintraRawResource> TintraResourceForkProvider::resources(std::string_view ofType) const
{
    std::vector<TintraRawResource> result;
    for (const auto& resource : fork.resourcesOfType(ofType))
        result.push_back({ resource.identifier, resource.name, resource.data, resource.isCompressed });
    return result;
}

} // namespace tintra
