#include "platform/linux/atspi/AccessibilityAtspi.h"

#include "platform/linux/atspi/AXObserverAtspi.h"
#include "platform/linux/atspi/AtspiAttributes.h"
#include "platform/linux/atspi/AtspiHitTest.h"
#include "platform/linux/atspi/AtspiSession.h"
#include "support/MainThread.h"

#include <gio/gio.h>

#include <unistd.h>

#include <array>

namespace tintra {
namespace {

const std::string placeholderPrefix = "application:";
const std::array<const char*, 2> applicationEvents { "object:children-changed:add", "object:children-changed:remove" };

GObjectRef<GDBusConnection> sessionBus()
{
    return GObjectRef<GDBusConnection>::adopt(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
}

bool toolkitAccessibilityEnabled()
{
    auto bus = sessionBus();
    if (!bus)
        return false;
    GVariant* reply = g_dbus_connection_call_sync(bus.get(), "org.a11y.Bus", "/org/a11y/bus",
        "org.freedesktop.DBus.Properties", "Get", g_variant_new("(ss)", "org.a11y.Status", "IsEnabled"),
        G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    if (!reply)
        return false;
    GVariant* value = nullptr;
    g_variant_get(reply, "(v)", &value);
    const bool enabled = value && g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN) && g_variant_get_boolean(value);
    if (value)
        g_variant_unref(value);
    g_variant_unref(reply);
    return enabled;
}

void enableToolkitAccessibility()
{
    if (auto bus = sessionBus()) {
        GVariant* reply = g_dbus_connection_call_sync(bus.get(), "org.a11y.Bus", "/org/a11y/bus",
            "org.freedesktop.DBus.Properties", "Set",
            g_variant_new("(ssv)", "org.a11y.Status", "IsEnabled", g_variant_new_boolean(TRUE)), nullptr,
            G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
        if (reply)
            g_variant_unref(reply);
    }
    // GNOME's own switch, which its settings panel shows.
    GSettingsSchemaSource* schemas = g_settings_schema_source_get_default();
    const char* schemaName = "org.gnome.desktop.interface";
    if (!schemas)
        return;
    GSettingsSchema* schema = g_settings_schema_source_lookup(schemas, schemaName, TRUE);
    if (!schema)
        return;
    if (g_settings_schema_has_key(schema, "toolkit-accessibility")) {
        auto settings = GObjectRef<GSettings>::adopt(g_settings_new(schemaName));
        g_settings_set_boolean(settings.get(), "toolkit-accessibility", TRUE);
        g_settings_sync();
    }
    g_settings_schema_unref(schema);
}

} // namespace

AccessibilityAtspi::AccessibilityAtspi(MainExecutor& executor) : session_(std::make_shared<AtspiSession>(executor)) {}

AccessibilityAtspi::~AccessibilityAtspi()
{
    if (desktopReceiver_ && session_->isConnected()) {
        session_->events().removeReceiver(*desktopReceiver_);
        for (const char* type : applicationEvents)
            session_->events().unsubscribe(type);
    }
}

bool AccessibilityAtspi::isProcessTrusted()
{
    TINTRA_ASSERT_MAIN_THREAD();
    return session_->isConnected() && toolkitAccessibilityEnabled();
}

bool AccessibilityAtspi::requestTrust()
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (!session_->isConnected())
        return false;
    if (!toolkitAccessibilityEnabled())
        enableToolkitAccessibility();
    return isProcessTrusted();
}

AXElement AccessibilityAtspi::applicationElement(std::int32_t processIdentifier)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (auto application = session_->application(processIdentifier))
        return session_->element(application.get());
    return AXElement(processIdentifier, placeholderPrefix + std::to_string(processIdentifier));
}

AXElement AccessibilityAtspi::systemWideElement()
{
    return AXElement(0, AtspiSession::systemWideIdentity);
}

AXError AccessibilityAtspi::setMessagingTimeout(const AXElement& element, Duration timeout)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (element.isNull() || timeout < Duration::zero())
        return AXError::illegalArgument;
    session_->setTimeout(element, timeout);
    // An application element made before its process appeared stands for it.
    if (element.identity().starts_with(placeholderPrefix)) {
        if (auto application = session_->application(element.processIdentifier()))
            session_->setTimeout(session_->element(application.get()), timeout);
    }
    return AXError::success;
}

tl::expected<AtspiAccessible*, AXError> AccessibilityAtspi::resolve(const AXElement& element)
{
    if (!session_->isConnected())
        return tl::unexpected(AXError::apiDisabled);
    if (element.isNull())
        return tl::unexpected(AXError::illegalArgument);
    if (element.platformHandle()) {
        if (auto* accessible = AtspiSession::accessible(element))
            return accessible;
        return tl::unexpected(AXError::invalidUIElement);
    }
    if (element.identity().starts_with(placeholderPrefix)) {
        // libatspi's desktop holds every application it lists.
        if (auto application = session_->application(element.processIdentifier()))
            return application.get();
    }
    return tl::unexpected(AXError::invalidUIElement);
}

AXAttributeResult AccessibilityAtspi::copyAttributeValue(const AXElement& element, const std::string& attribute)
{
    TINTRA_ASSERT_MAIN_THREAD();
    const auto accessible = resolve(element);
    if (!accessible)
        return tl::unexpected(accessible.error());
    const auto budget = session_->budget(element);
    return AtspiAttributeReader(*session_, *accessible, budget, spinArrowOf(element.identity())).read(attribute);
}

tl::expected<std::vector<AXAttributeResult>, AXError> AccessibilityAtspi::copyMultipleAttributeValues(
    const AXElement& element, const std::vector<std::string>& attributes)
{
    TINTRA_ASSERT_MAIN_THREAD();
    const auto accessible = resolve(element);
    if (!accessible)
        return tl::unexpected(accessible.error());
    const auto budget = session_->budget(element);
    AtspiAttributeReader reader(*session_, *accessible, budget, spinArrowOf(element.identity()));
    std::vector<AXAttributeResult> results;
    bool anyAnswered = attributes.empty();
    for (const auto& attribute : attributes) {
        results.push_back(reader.read(attribute));
        anyAnswered |= results.back() || results.back().error() != AXError::cannotComplete;
    }
    if (!anyAnswered)
        return tl::unexpected(AXError::cannotComplete);
    return results;
}

tl::expected<std::vector<std::string>, AXError> AccessibilityAtspi::copyAttributeNames(const AXElement& element)
{
    TINTRA_ASSERT_MAIN_THREAD();
    const auto accessible = resolve(element);
    if (!accessible)
        return tl::unexpected(accessible.error());
    const auto budget = session_->budget(element);
    return AtspiAttributeReader(*session_, *accessible, budget, spinArrowOf(element.identity())).names();
}

tl::expected<std::vector<std::string>, AXError> AccessibilityAtspi::copyActionNames(const AXElement& element)
{
    TINTRA_ASSERT_MAIN_THREAD();
    const auto accessible = resolve(element);
    if (!accessible)
        return tl::unexpected(accessible.error());
    const auto budget = session_->budget(element);
    return AtspiAttributeReader(*session_, *accessible, budget, spinArrowOf(element.identity())).actionNames();
}

tl::expected<std::vector<std::string>, AXError> AccessibilityAtspi::copyParameterizedAttributeNames(
    const AXElement& element)
{
    TINTRA_ASSERT_MAIN_THREAD();
    // None is offered: text ranges are not read through this port on Linux.
    if (const auto accessible = resolve(element); !accessible)
        return tl::unexpected(accessible.error());
    return std::vector<std::string> {};
}

tl::expected<AXElement, AXError> AccessibilityAtspi::elementAtPosition(const AXElement& through, AXPoint point)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (!session_->isConnected())
        return tl::unexpected(AXError::apiDisabled);
    GObjectRef<AtspiAccessible> application;
    bool shownThere = false;
    if (through.identity() != AtspiSession::systemWideIdentity) {
        const auto accessible = resolve(through);
        if (!accessible)
            return tl::unexpected(accessible.error());
        application = GObjectRef<AtspiAccessible>::borrow(*accessible);
    } else if (auto* windows = session_->windowFacts()) {
        // The window server knows which application's window is on top there.
        const auto top = windows->windowAt({ point.x, point.y });
        if (!top || !top->pid)
            return tl::unexpected(AXError::noValue);
        application = session_->application(*top->pid);
        if (!application)
            return tl::unexpected(AXError::noValue);
        shownThere = true;
    }
    const auto budget = session_->budget(through);
    const auto found = hitTest(*session_, application.get(), shownThere, point, budget);
    if (!found)
        return tl::unexpected(found.error());
    AtspiAccessible* hit = found->element.get();
    session_->rememberHit(hit, found->window.get(), found->role, found->frame);
    if (found->role != ATSPI_ROLE_SPIN_BUTTON)
        return session_->element(hit);
    // Its arrows are told apart by where they are drawn.
    const auto extents = AtspiAttributeReader(*session_, hit, budget).frame();
    if (!extents)
        return session_->element(hit);
    const auto arrow = spinArrowAt(session_->toolkit(hit, budget), *extents, point);
    return session_->element(hit, spinArrowSuffix(arrow));
}

tl::expected<std::int32_t, AXError> AccessibilityAtspi::processIdentifier(const AXElement& element)
{
    TINTRA_ASSERT_MAIN_THREAD();
    const auto accessible = resolve(element);
    if (!accessible)
        return tl::unexpected(accessible.error());
    const auto pid = session_->processIdentifier(*accessible);
    if (pid <= 0)
        return tl::unexpected(AXError::invalidUIElement);
    return pid;
}

std::vector<std::int32_t> AccessibilityAtspi::applicationProcesses()
{
    TINTRA_ASSERT_MAIN_THREAD();
    std::vector<std::int32_t> processes;
    for (const auto& application : session_->applications()) {
        if (const auto pid = session_->processIdentifier(application.get()); pid > 0)
            processes.push_back(pid);
    }
    return processes;
}

std::optional<std::string> AccessibilityAtspi::applicationName(std::int32_t processIdentifier)
{
    TINTRA_ASSERT_MAIN_THREAD();
    // Our own would be answered on this thread, which would be the one waiting.
    if (processIdentifier == getpid())
        return std::nullopt;
    auto application = session_->application(processIdentifier);
    if (!application)
        return std::nullopt;
    const AtspiBudget budget(session_->executor(), std::chrono::milliseconds(250));
    if (!budget.arm())
        return std::nullopt;
    GOwned<char> name(atspi_accessible_get_name(application.get(), nullptr));
    if (!name || !*name.get())
        return std::nullopt;
    return std::string(name.get());
}

Subscription AccessibilityAtspi::onApplicationsChanged(std::function<void()> listener)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (!desktopReceiver_ && session_->isConnected()) {
        // The registry tells of an application coming and going as a change of the desktop's children.
        for (const char* type : applicationEvents)
            session_->events().subscribe(type);
        desktopReceiver_ = session_->events().addReceiver([this](const AtspiEvent& event) {
            if (event.source && event.type && std::string_view(event.type).starts_with("object:children-changed")
                && atspi_accessible_get_role(event.source, nullptr) == ATSPI_ROLE_DESKTOP_FRAME)
                applicationsChanged_.tell();
        });
    }
    return applicationsChanged_.subscribe(std::move(listener));
}

tl::expected<std::unique_ptr<AXObserver>, AXError> AccessibilityAtspi::createObserver(
    std::int32_t processIdentifier, AXObserverCallback callback)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (!session_->isConnected())
        return tl::unexpected(AXError::apiDisabled);
    if (processIdentifier <= 0 || !callback)
        return tl::unexpected(AXError::illegalArgument);
    // Our own accessibles are served on this very thread, which would be the one waiting:
    // every question about them would only wait out its time-out.
    if (processIdentifier == getpid())
        return tl::unexpected(AXError::notImplemented);
    return std::make_unique<AXObserverAtspi>(session_, processIdentifier, std::move(callback));
}

} // namespace tintra
