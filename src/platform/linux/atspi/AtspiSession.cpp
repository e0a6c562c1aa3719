#include "platform/linux/atspi/AtspiSession.h"

#include "support/MainThread.h"

#include <gio/gio.h>

#include <algorithm>
#include <iostream>

namespace tintra {
namespace {

// The session bus names the accessibility bus, or there is none: libatspi
// itself would only warn and talk to nobody.
bool hasAccessibilityBus()
{
    GErrorOwned error;
    GError* raw = nullptr;
    GObjectRef<GDBusConnection> bus = GObjectRef<GDBusConnection>::adopt(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &raw));
    error.reset(raw);
    if (!bus)
        return false;
    GVariant* reply = g_dbus_connection_call_sync(bus.get(), "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
        "GetAddress", nullptr, G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    if (!reply)
        return false;
    g_variant_unref(reply);
    return true;
}

int milliseconds(Duration duration)
{
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(duration).count());
}

} // namespace

const std::string AtspiSession::systemWideIdentity = "system-wide";

AtspiBudget::AtspiBudget(const MainExecutor& executor, Duration timeout)
    : executor_(executor)
    , deadline_(executor.monotonicNow() + timeout)
    , requestEnd_(deadline_)
{
}

bool AtspiBudget::arm() const
{
    const auto now = executor_.monotonicNow();
    if (isSpent())
        return false;
    const auto wait = std::max<Duration>(std::chrono::milliseconds(1), (deadline_ - now) / 2);
    requestEnd_ = now + wait;
    // -1: no start-up grace, an application just seen answers in time or fails.
    atspi_set_timeout(milliseconds(wait), -1);
    return true;
}

bool AtspiBudget::isSpent() const
{
    // libatspi gives up a millisecond early at most.
    return executor_.monotonicNow() + std::chrono::milliseconds(1) >= std::min(deadline_, requestEnd_);
}

std::vector<GObjectRef<AtspiAccessible>> childrenOf(AtspiAccessible* accessible, const AtspiBudget& budget)
{
    std::vector<GObjectRef<AtspiAccessible>> children;
    if (!budget.arm())
        return children;
    const int count = atspi_accessible_get_child_count(accessible, nullptr);
    for (int i = 0; i < count && budget.arm(); ++i) {
        if (auto child = GObjectRef<AtspiAccessible>::adopt(atspi_accessible_get_child_at_index(accessible, i, nullptr)))
            children.push_back(std::move(child));
    }
    return children;
}

AtspiSession::AtspiSession(MainExecutor& executor) : executor_(executor)
{
    TINTRA_ASSERT_MAIN_THREAD();
    connected_ = hasAccessibilityBus() && atspi_init() <= 1;
    if (!connected_) {
        std::cerr << "Tintra Dorvel: no accessibility bus, so menus, windows and dialogs stay silent." << std::endl;
        return;
    }
    events_ = std::make_unique<AtspiEventHub>();
    auto x11 = XcbConnection::open();
    if (!x11) {
        std::cerr << "Tintra Dorvel: no X display (" << x11.error() << "), so window moves stay silent." << std::endl;
        return;
    }
    x11_ = std::move(*x11);
    windowFacts_ = std::make_unique<WindowFacts>(*x11_);
}

AtspiSession::~AtspiSession() = default;

std::string AtspiSession::identity(AtspiAccessible* accessible)
{
    const AtspiObject& object = accessible->parent;
    const char* busName = object.app && object.app->bus_name ? object.app->bus_name : "";
    return std::string(busName) + (object.path ? object.path : "");
}

std::string AtspiSession::windowType(AtspiAccessible* accessible)
{
    GHashTable* attributes = atspi_accessible_get_attributes(accessible, nullptr);
    if (!attributes)
        return {};
    const auto* value = static_cast<const char*>(g_hash_table_lookup(attributes, "window-type"));
    std::string type = value ? value : "";
    g_hash_table_unref(attributes);
    return type;
}

std::string AtspiSession::applicationIdentity(const std::string& busName)
{
    return busName + "/org/a11y/atspi/accessible/root";
}

bool AtspiSession::isGone(AtspiAccessible* accessible)
{
    const AtspiObject& object = accessible->parent;
    return !object.app || !object.app->bus_name || !object.app->bus;
}

void AtspiSession::rememberHit(AtspiAccessible* hit, AtspiAccessible* window, AtspiRole role, std::optional<AXRect> frame)
{
    lastHit_ = identity(hit);
    lastHitWindow_ = GObjectRef<AtspiAccessible>::borrow(window);
    lastHitRole_ = role;
    lastHitFrame_ = frame;
    lastHitAt_ = executor_.monotonicNow();
}

std::optional<AtspiRole> AtspiSession::roleOfLastHit(AtspiAccessible* accessible) const
{
    if (lastHitRole_ == ATSPI_ROLE_INVALID || identity(accessible) != lastHit_)
        return std::nullopt;
    return lastHitRole_;
}

std::optional<AXRect> AtspiSession::frameOfLastHit(AtspiAccessible* accessible) const
{
    // Long enough for the reads of the click that hit it.
    constexpr auto stillInPlace = std::chrono::milliseconds(100);
    if (!lastHitFrame_ || executor_.monotonicNow() - lastHitAt_ > stillInPlace || identity(accessible) != lastHit_)
        return std::nullopt;
    return lastHitFrame_;
}

GObjectRef<AtspiAccessible> AtspiSession::topLevel(AtspiAccessible* accessible, const AtspiBudget& budget) const
{
    if (lastHitWindow_ && identity(accessible) == lastHit_)
        return lastHitWindow_;
    constexpr int maximumDepth = 64;
    if (!budget.arm() || atspi_accessible_get_role(accessible, nullptr) == ATSPI_ROLE_APPLICATION)
        return {};
    auto current = GObjectRef<AtspiAccessible>::borrow(accessible);
    for (int depth = 0; depth < maximumDepth && budget.arm(); ++depth) {
        auto parent = GObjectRef<AtspiAccessible>::adopt(atspi_accessible_get_parent(current.get(), nullptr));
        if (!parent)
            return {};
        if (atspi_accessible_get_role(parent.get(), nullptr) == ATSPI_ROLE_APPLICATION)
            return current;
        current = std::move(parent);
    }
    return {};
}

AXElement AtspiSession::element(AtspiAccessible* accessible, const std::string& part)
{
    if (!accessible)
        return {};
    return AXElement(
        processIdentifier(accessible), identity(accessible) + part, GObjectRef<AtspiAccessible>::borrow(accessible).share());
}

AtspiAccessible* AtspiSession::accessible(const AXElement& element)
{
    auto* accessible = static_cast<AtspiAccessible*>(element.platformHandle().get());
    return accessible && !isGone(accessible) ? accessible : nullptr;
}

std::int32_t AtspiSession::processIdentifier(AtspiAccessible* accessible)
{
    if (isGone(accessible))
        return 0;
    const std::string busName = accessible->parent.app->bus_name;
    if (auto known = processIdentifiers_.find(busName); known != processIdentifiers_.end())
        return known->second;
    GError* raw = nullptr;
    // Answered by the bus daemon, not by the application.
    const auto pid = static_cast<std::int32_t>(atspi_accessible_get_process_id(accessible, &raw));
    GErrorOwned error(raw);
    if (error || pid <= 0)
        return 0;
    processIdentifiers_.emplace(busName, pid);
    return pid;
}

std::vector<GObjectRef<AtspiAccessible>> AtspiSession::applications()
{
    std::vector<GObjectRef<AtspiAccessible>> all;
    auto desktop = GObjectRef<AtspiAccessible>::adopt(connected_ ? atspi_get_desktop(0) : nullptr);
    if (!desktop)
        return all;
    atspi_set_timeout(milliseconds(defaultTimeout), -1);
    const int count = atspi_accessible_get_child_count(desktop.get(), nullptr);
    for (int i = 0; i < count; ++i) {
        auto application = GObjectRef<AtspiAccessible>::adopt(atspi_accessible_get_child_at_index(desktop.get(), i, nullptr));
        if (application && !isGone(application.get()))
            all.push_back(std::move(application));
    }
    return all;
}

GObjectRef<AtspiAccessible> AtspiSession::application(std::int32_t processIdentifier)
{
    if (processIdentifier <= 0)
        return {};
    if (auto known = applicationsByProcess_.find(processIdentifier); known != applicationsByProcess_.end()) {
        if (!isGone(known->second.get()))
            return known->second;
        applicationsByProcess_.erase(known);
    }
    for (auto& application : applications()) {
        if (this->processIdentifier(application.get()) == processIdentifier) {
            applicationsByProcess_.emplace(processIdentifier, application);
            return application;
        }
    }
    return {};
}

AtspiToolkit AtspiSession::toolkit(AtspiAccessible* accessible, const AtspiBudget& budget)
{
    if (isGone(accessible))
        return AtspiToolkit::other;
    AtspiApplication* app = accessible->parent.app;
    if (auto known = toolkits_.find(app->bus_name); known != toolkits_.end())
        return known->second;
    if (!budget.arm())
        return AtspiToolkit::other;
    // The application object answers for the whole process.
    AtspiAccessible* root = app->root ? app->root : accessible;
    GOwned<char> name(atspi_accessible_get_toolkit_name(root, nullptr));
    GOwned<char> version(atspi_accessible_get_toolkit_version(root, nullptr));
    if (!name)
        return AtspiToolkit::other;
    const auto family = toolkitFamily(name.get(), version ? version.get() : "");
    toolkits_.emplace(app->bus_name, family);
    return family;
}

void AtspiSession::setTimeout(const AXElement& element, Duration timeout)
{
    if (timeout == Duration::zero())
        timeouts_.erase(element.identity());
    else
        timeouts_[element.identity()] = timeout;
}

Duration AtspiSession::timeout(const AXElement& element) const
{
    if (auto own = timeouts_.find(element.identity()); own != timeouts_.end())
        return own->second;
    // What an observer set on the application holds for every element of it.
    if (auto* accessible = AtspiSession::accessible(element)) {
        if (auto application = timeouts_.find(applicationIdentity(accessible->parent.app->bus_name));
            application != timeouts_.end())
            return application->second;
    }
    if (auto systemWide = timeouts_.find(systemWideIdentity); systemWide != timeouts_.end())
        return systemWide->second;
    return defaultTimeout;
}

} // namespace tintra
