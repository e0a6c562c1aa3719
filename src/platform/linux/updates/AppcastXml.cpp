#include "platform/linux/updates/AppcastXml.h"

#include <glib.h>

#include <charconv>
#include <cstring>
#include <memory>

namespace tintra {
namespace {

struct Reader {
    std::vector<TintraAppcastItem> items;
    // The item being read, while inside <item>.
    std::optional<TintraAppcastItem> item;
    // The element whose text is being gathered, and the text.
    std::string element;
    std::string text;
    // The enclosure's versions, used where the item has no elements for them.
    std::string enclosureVersion;
    std::string enclosureDisplayVersion;
};

const char* attribute(const gchar** names, const gchar** values, const char* wanted)
{
    for (; *names; ++names, ++values) {
        if (std::strcmp(*names, wanted) == 0)
            return *values;
    }
    return nullptr;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

void readEnclosure(Reader& reader, const gchar** names, const gchar** values)
{
    const char* os = attribute(names, values, "sparkle:os");
    if (os && std::strcmp(os, "linux") != 0)
        return;
    auto& item = *reader.item;
    const char* url = attribute(names, values, "url");
    item.fileURL = url ? url : "";
    if (const char* length = attribute(names, values, "length"))
        std::from_chars(length, length + std::strlen(length), item.fileLength);
    if (const char* signature = attribute(names, values, "sparkle:edSignature"))
        item.edSignature = signature;
    if (const char* version = attribute(names, values, "sparkle:version"))
        reader.enclosureVersion = version;
    if (const char* version = attribute(names, values, "sparkle:shortVersionString"))
        reader.enclosureDisplayVersion = version;
}

void started(GMarkupParseContext*, const gchar* name, const gchar** names, const gchar** values, gpointer data, GError**)
{
    auto& reader = *static_cast<Reader*>(data);
    if (std::strcmp(name, "item") == 0) {
        reader.item.emplace();
        reader.enclosureVersion.clear();
        reader.enclosureDisplayVersion.clear();
    } else if (reader.item && std::strcmp(name, "enclosure") == 0) {
        readEnclosure(reader, names, values);
    } else if (reader.item) {
        reader.element = name;
        reader.text.clear();
    }
}

void ended(GMarkupParseContext*, const gchar* name, gpointer data, GError**)
{
    auto& reader = *static_cast<Reader*>(data);
    if (!reader.item)
        return;
    auto& item = *reader.item;
    if (std::strcmp(name, "item") == 0) {
        if (item.version.empty())
            item.version = reader.enclosureVersion;
        if (item.displayVersion.empty())
            item.displayVersion = reader.enclosureDisplayVersion.empty() ? item.version : reader.enclosureDisplayVersion;
        reader.items.push_back(std::move(item));
        reader.item.reset();
        return;
    }
    if (reader.element != name)
        return;
    const std::string value = trimmed(reader.text);
    if (reader.element == "title")
        item.title = value;
    else if (reader.element == "sparkle:version")
        item.version = value;
    else if (reader.element == "sparkle:shortVersionString")
        item.displayVersion = value;
    else if (reader.element == "sparkle:channel")
        item.channel = value;
    else if (reader.element == "sparkle:releaseNotesLink")
        item.releaseNotesURL = value;
    else if (reader.element == "description")
        item.releaseNotesHTML = value;
    reader.element.clear();
}

void gathered(GMarkupParseContext*, const gchar* text, gsize length, gpointer data, GError**)
{
    auto& reader = *static_cast<Reader*>(data);
    if (!reader.element.empty())
        reader.text.append(text, length);
}

// GMarkup hands CDATA sections over whole, markers and all, with comments.
void passedThrough(GMarkupParseContext*, const gchar* text, gsize length, gpointer data, GError**)
{
    auto& reader = *static_cast<Reader*>(data);
    const std::string_view passage(text, length);
    constexpr std::string_view open = "<![CDATA[", close = "]]>";
    if (!reader.element.empty() && passage.starts_with(open) && passage.ends_with(close))
        reader.text.append(passage.substr(open.size(), passage.size() - open.size() - close.size()));
}

} // namespace

tl::expected<std::vector<TintraAppcastItem>, std::string> parseAppcast(std::string_view xml)
{
    static const GMarkupParser parser { started, ended, gathered, passedThrough, nullptr };
    Reader reader;
    const std::unique_ptr<GMarkupParseContext, decltype(&g_markup_parse_context_free)> context(
        g_markup_parse_context_new(&parser, GMarkupParseFlags(0), &reader, nullptr), g_markup_parse_context_free);
    GError* error = nullptr;
    if (!g_markup_parse_context_parse(context.get(), xml.data(), gssize(xml.size()), &error)
        || !g_markup_parse_context_end_parse(context.get(), &error)) {
        std::string message = error ? error->message : "unreadable XML";
        g_clear_error(&error);
        return tl::unexpected("the update feed is not a readable appcast (" + message + ")");
    }
    return std::move(reader.items);
}

} // namespace tintra
