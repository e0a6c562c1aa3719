#include "catalogue/ElementSnapshot.h"

#include "accessibility/Accessibility.h"
#include "support/Text.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <iterator>

namespace tintra {
namespace {

constexpr std::size_t clipLength = 240;
constexpr std::size_t itemLimit = 8;
constexpr int ancestorLimit = 12;
constexpr Duration namingTimeout = seconds(0.1);

const std::string roleAttribute = "AXRole";
const std::string parentAttribute = "AXParent";
const std::string childrenAttribute = "AXChildren";

// In the order the name is built from; one request fetches them all.
const std::vector<std::string> namingAttributes {
    roleAttribute,
    "AXSubrole",
    "AXRoleDescription",
    "AXIdentifier",
    "AXTitle",
    "AXDescription",
    "AXFilename",
    "AXURL",
    "AXDocument",
};

enum NamingIndex { role, subrole, roleDescription, identifier, title, description, filename, url, document };

// Element lists under these are written out element by element; under any
// other attribute they are only counted.
constexpr std::array<std::string_view, 5> listedElementAttributes {
    "AXSelectedChildren",
    "AXSelectedRows",
    "AXSelectedColumns",
    "AXSelectedCells",
    "AXVisibleChildren",
};

using NamingTexts = std::array<std::optional<std::string>, 9>;

std::optional<std::string> namingText(const AXValue& value)
{
    if (const auto* url = value.get<AXURL>())
        return url->absoluteString;
    if (const auto* text = value.get<std::string>(); text && !text->empty())
        return *text;
    return std::nullopt;
}

NamingTexts readNamingTexts(Accessibility& accessibility, const AXElement& element)
{
    NamingTexts texts;
    accessibility.setMessagingTimeout(element, namingTimeout);
    const auto values = accessibility.copyMultipleAttributeValues(element, namingAttributes);
    if (!values || values->size() != namingAttributes.size())
        return texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if ((*values)[i])
            texts[i] = namingText(*(*values)[i]);
    }
    return texts;
}

std::string nameFrom(const NamingTexts& texts, const std::string& roleText)
{
    std::string name = roleText;
    if (texts[subrole])
        name += "[" + *texts[subrole] + "]";
    if (texts[identifier])
        name += " #" + *texts[identifier];
    if (texts[title])
        name += " \"" + clippedForDisplay(*texts[title]) + "\"";
    if (texts[description])
        name += " (" + clippedForDisplay(*texts[description]) + ")";
    if (texts[roleDescription] && lowercased(*texts[roleDescription]) != lowercased(roleText))
        name += " a " + *texts[roleDescription];
    if (texts[filename])
        name += " filename " + *texts[filename];
    if (texts[url])
        name += " url " + clippedForDisplay(*texts[url]);
    if (texts[document])
        name += " document " + clippedForDisplay(*texts[document]);
    return name;
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string result;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += separator;
        result += parts[i];
    }
    return result;
}

std::string plural(std::size_t count, std::string_view word)
{
    return fmt::format("{} {}{}", count, word, count == 1 ? "" : "s");
}

std::string listText(Accessibility& accessibility, const AXValue::List& items, int depth, int limit)
{
    if (items.empty())
        return "[]";
    if (items.front().get<AXElement>() && limit < depth + 1)
        return "[" + plural(items.size(), "element") + "]";
    std::vector<std::string> parts;
    const auto shown = std::min(items.size(), itemLimit);
    for (std::size_t i = 0; i < shown; ++i)
        parts.push_back(valueText(accessibility, items[i], depth + 1, limit));
    auto text = "[" + joined(parts, ", ");
    if (items.size() > itemLimit)
        text += fmt::format(", … {} more", items.size() - itemLimit);
    return text + "]";
}

std::string dictionaryText(Accessibility& accessibility, const AXValue::Dictionary& entries, int depth, int limit)
{
    std::vector<std::string> parts;
    for (const auto& [key, value] : entries) {
        if (parts.size() == itemLimit)
            break;
        parts.push_back(key + ": " + valueText(accessibility, value, depth + 1, limit));
    }
    return "{" + joined(parts, ", ") + "}";
}

std::string childPosition(Accessibility& accessibility, const AXElement& parent, const AXElement& child)
{
    const auto children = accessibility.copyAttributeValue(parent, childrenAttribute);
    const auto* list = children ? children->get<AXValue::List>() : nullptr;
    if (!list)
        return {};
    const auto found = std::find(list->begin(), list->end(), AXValue::element(child));
    if (found == list->end())
        return fmt::format(" (not among the {} children it claims)", list->size());
    return fmt::format(" (child {} of {})", std::distance(list->begin(), found) + 1, list->size());
}

class Snapshotter {
public:
    Snapshotter(Accessibility& accessibility, const Clock& clock, const AXElement& element, Duration budget)
        : accessibility_(accessibility)
        , clock_(clock)
        , element_(element)
        , deadline_(clock.monotonicNow() + budget)
    {
    }

    std::vector<std::string> details()
    {
        if (!hasRunOut())
            addAncestors();
        if (!hasRunOut())
            addAttributes();
        if (!hasRunOut())
            addNames("  actions: ", accessibility_.copyActionNames(element_));
        if (!hasRunOut())
            addNames("  parameterized attributes: ", accessibility_.copyParameterizedAttributeNames(element_));
        if (hasRunOut())
            lines_.push_back("  … the app stopped answering, so this is as far as it got");
        return std::move(lines_);
    }

private:
    bool hasRunOut() const { return clock_.monotonicNow() > deadline_; }

    void addAncestors()
    {
        AXElement current = element_;
        for (int generation = 1; generation <= ancestorLimit; ++generation) {
            const auto parentValue = accessibility_.copyAttributeValue(current, parentAttribute);
            const auto* parent = parentValue ? parentValue->get<AXElement>() : nullptr;
            if (!parent)
                return;
            auto line = std::string(2 + generation, ' ') + "↑ " + briefDescription(accessibility_, *parent);
            if (generation == 1)
                line += childPosition(accessibility_, *parent, element_);
            lines_.push_back(std::move(line));
            if (hasRunOut())
                return;
            current = *parent;
        }
    }

    void addAttributes()
    {
        auto names = accessibility_.copyAttributeNames(element_);
        if (!names || names->empty()) {
            lines_.push_back("  attributes: none reported");
            return;
        }
        std::sort(names->begin(), names->end());
        lines_.push_back(fmt::format("  attributes ({}):", names->size()));
        const auto values = attributeValues(*names);
        for (std::size_t i = 0; i < names->size(); ++i)
            lines_.push_back("    " + (*names)[i] + " = " + values[i]);
    }

    std::vector<std::string> attributeValues(const std::vector<std::string>& names)
    {
        std::vector<std::string> texts;
        const auto batch = accessibility_.copyMultipleAttributeValues(element_, names);
        const bool batched = batch && batch->size() == names.size();
        for (std::size_t i = 0; i < names.size(); ++i) {
            // A failed batch falls back to single reads, so one bad attribute cannot hide the others.
            const auto result = batched ? (*batch)[i] : accessibility_.copyAttributeValue(element_, names[i]);
            texts.push_back(result ? valueText(accessibility_, *result, 0, listLimit(names[i])) : "<" + errorName(result.error()) + ">");
        }
        return texts;
    }

    static int listLimit(const std::string& name)
    {
        const bool listed = std::find(listedElementAttributes.begin(), listedElementAttributes.end(), name)
            != listedElementAttributes.end();
        return listed ? 1 : 0;
    }

    void addNames(std::string_view prefix, const tl::expected<std::vector<std::string>, AXError>& names)
    {
        if (names && !names->empty())
            lines_.push_back(std::string(prefix) + joined(*names, ", "));
    }

    Accessibility& accessibility_;
    const Clock& clock_;
    const AXElement& element_;
    MonotonicTime deadline_;
    std::vector<std::string> lines_;
};

} // namespace

std::string clippedForDisplay(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        if (c == '\n')
            escaped += "\\n";
        else if (c == '\t')
            escaped += "\\t";
        else
            escaped += c;
    }
    // No more bytes than the limit means no more characters either.
    if (escaped.size() <= clipLength)
        return escaped;
    const auto count = characterCount(escaped);
    if (count <= clipLength)
        return escaped;
    return fmt::format("{}… ({} characters)", leadingCharacters(escaped, clipLength), count);
}

std::optional<std::string> elementName(Accessibility& accessibility, const AXElement& element)
{
    const auto texts = readNamingTexts(accessibility, element);
    if (!texts[role])
        return std::nullopt;
    return nameFrom(texts, *texts[role]);
}

std::string briefDescription(Accessibility& accessibility, const AXElement& element)
{
    const auto texts = readNamingTexts(accessibility, element);
    return nameFrom(texts, texts[role].value_or("<no role>"));
}

std::string valueText(Accessibility& accessibility, const AXValue& value, int depth, int limit)
{
    switch (value.kind()) {
    case AXValue::Kind::element:
        return depth <= limit ? "<" + briefDescription(accessibility, *value.get<AXElement>()) + ">" : "<AXUIElement>";
    case AXValue::Kind::point: {
        const auto& point = *value.get<AXPoint>();
        return fmt::format("({:.1f}, {:.1f})", point.x, point.y);
    }
    case AXValue::Kind::size: {
        const auto& size = *value.get<AXSize>();
        return fmt::format("{:.1f} × {:.1f}", size.width, size.height);
    }
    case AXValue::Kind::rect: {
        const auto& rect = *value.get<AXRect>();
        return fmt::format("({:.1f}, {:.1f}) {:.1f} × {:.1f}", rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    }
    case AXValue::Kind::range: {
        const auto& range = *value.get<AXRange>();
        return fmt::format("location {}, length {}", range.location, range.length);
    }
    case AXValue::Kind::error:
        return "<" + errorName(*value.get<AXError>()) + ">";
    case AXValue::Kind::list:
        return listText(accessibility, *value.get<AXValue::List>(), depth, limit);
    case AXValue::Kind::text:
        return "\"" + clippedForDisplay(*value.get<std::string>()) + "\"";
    case AXValue::Kind::attributedText:
        return "\"" + clippedForDisplay(value.get<AXAttributedText>()->string) + "\" (attributed)";
    case AXValue::Kind::url:
        return clippedForDisplay(value.get<AXURL>()->absoluteString);
    case AXValue::Kind::boolean:
        return *value.get<bool>() ? "true" : "false";
    case AXValue::Kind::integer:
        return fmt::format("{}", *value.get<std::int64_t>());
    case AXValue::Kind::real:
        return fmt::format("{}", *value.get<double>());
    case AXValue::Kind::dictionary:
        return dictionaryText(accessibility, *value.get<AXValue::Dictionary>(), depth, limit);
    case AXValue::Kind::null:
        return "<null>";
    case AXValue::Kind::other: {
        const auto& other = *value.get<AXOtherValue>();
        return clippedForDisplay(other.description) + " (" + other.typeName + ")";
    }
    }
    return {};
}

std::optional<TintraElementSnapshot> makeSnapshot(Accessibility& accessibility, const Clock& clock,
    const AXElement& element, std::optional<Duration> budget)
{
    auto name = elementName(accessibility, element);
    if (!name)
        return std::nullopt;
    Snapshotter snapshotter(accessibility, clock, element, budget.value_or(defaultSnapshotBudget));
    return TintraElementSnapshot { std::move(*name), snapshotter.details() };
}

} // namespace tintra
