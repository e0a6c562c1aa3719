#include "platform/linux/files/AppStreamMetainfo.h"

#include <glib.h>

#include <cstring>

namespace tintra {

namespace {

struct Search {
    int depth = 0;
    int releasesDepth = -1;
    std::optional<std::string> version;
};

void elementStarted(GMarkupParseContext*, const gchar* element, const gchar** names, const gchar** values, gpointer data, GError**)
{
    auto& search = *static_cast<Search*>(data);
    ++search.depth;
    if (std::strcmp(element, "releases") == 0 && search.releasesDepth < 0)
        search.releasesDepth = search.depth;
    else if (std::strcmp(element, "release") == 0 && search.releasesDepth == search.depth - 1 && !search.version) {
        for (int i = 0; names[i]; ++i) {
            if (std::strcmp(names[i], "version") == 0 && *values[i])
                search.version = values[i];
        }
    }
}

void elementEnded(GMarkupParseContext*, const gchar*, gpointer data, GError**)
{
    --static_cast<Search*>(data)->depth;
}

std::optional<std::string> versionIn(const std::filesystem::path& file)
{
    gchar* text = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(file.c_str(), &text, &length, nullptr))
        return std::nullopt;
    static constexpr GMarkupParser parser { &elementStarted, &elementEnded, nullptr, nullptr, nullptr };
    Search search;
    GMarkupParseContext* context = g_markup_parse_context_new(&parser, G_MARKUP_IGNORE_QUALIFIED, &search, nullptr);
    // A file that breaks off still gave the versions read before the break.
    g_markup_parse_context_parse(context, text, gssize(length), nullptr);
    g_markup_parse_context_free(context);
    g_free(text);
    return search.version;
}

} // namespace

std::vector<std::filesystem::path> dataFolders()
{
    std::vector<std::filesystem::path> folders { g_get_user_data_dir() };
    for (const gchar* const* folder = g_get_system_data_dirs(); *folder; ++folder)
        folders.emplace_back(*folder);
    return folders;
}

std::optional<std::string> metainfoVersion(const std::string& desktopEntryID, const std::vector<std::filesystem::path>& folders)
{
    for (const auto& folder : folders) {
        for (const char* name : { ".metainfo.xml", ".appdata.xml" }) {
            for (const char* place : { "metainfo", "appdata" }) {
                if (auto version = versionIn(folder / place / (desktopEntryID + name)))
                    return version;
            }
        }
    }
    return std::nullopt;
}

} // namespace tintra
