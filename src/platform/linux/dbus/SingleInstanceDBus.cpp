#include "platform/linux/dbus/SingleInstanceDBus.h"

#include "support/MainThread.h"

#include <iostream>

namespace tintra {
namespace {

constexpr const char* interfaceName = "org.freedesktop.Application";
// The hand-over waits this long for the first instance, which may be busy starting.
constexpr gint callTimeoutMs = 10000;

constexpr const char* introspection = R"(<node>
  <interface name="org.freedesktop.Application">
    <method name="Activate">
      <arg type="a{sv}" name="platform_data" direction="in"/>
    </method>
    <method name="Open">
      <arg type="as" name="uris" direction="in"/>
      <arg type="s" name="hint" direction="in"/>
      <arg type="a{sv}" name="platform_data" direction="in"/>
    </method>
    <method name="ActivateAction">
      <arg type="s" name="action_name" direction="in"/>
      <arg type="av" name="parameter" direction="in"/>
      <arg type="a{sv}" name="platform_data" direction="in"/>
    </method>
  </interface>
</node>)";

GDBusInterfaceInfo* interfaceInfo()
{
    // Parsed once and kept for the process: GDBus holds on to it while the object is registered.
    static GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(introspection, nullptr);
    return g_dbus_node_info_lookup_interface(node, interfaceName);
}

void report(const std::string& line)
{
    std::cerr << "Tintra Dorvel: " << line << std::endl;
}

std::vector<std::filesystem::path> localFiles(GVariant* uris)
{
    std::vector<std::filesystem::path> files;
    GVariantIter iterator;
    g_variant_iter_init(&iterator, uris);
    const gchar* uri = nullptr;
    while (g_variant_iter_next(&iterator, "&s", &uri)) {
        GCharHandle path(g_filename_from_uri(uri, nullptr, nullptr));
        if (path)
            files.emplace_back(path.get());
        else
            report(std::string("cannot open ") + uri + ", which is not a local file");
    }
    return files;
}

GVariant* emptyPlatformData()
{
    return g_variant_new_array(G_VARIANT_TYPE("{sv}"), nullptr, 0);
}

} // namespace

SingleInstanceDBus::SingleInstanceDBus(std::string applicationID, Handlers handlers)
    : applicationID_(std::move(applicationID))
    , objectPath_(objectPath(applicationID_))
    , handlers_(std::move(handlers))
{
}

SingleInstanceDBus::~SingleInstanceDBus()
{
    unregisterObject();
    // The shared connection outlives us, so the name is given back by hand for the next start.
    if (ownsName_)
        GVariantHandle(g_dbus_connection_call_sync(connection_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
            "org.freedesktop.DBus", "ReleaseName", g_variant_new("(s)", applicationID_.c_str()), nullptr,
            G_DBUS_CALL_FLAGS_NONE, callTimeoutMs, nullptr, nullptr));
}

std::string SingleInstanceDBus::objectPath(const std::string& applicationID)
{
    std::string path = "/" + applicationID;
    for (auto& character : path) {
        if (character == '.')
            character = '/';
        else if (character == '-')
            character = '_';
    }
    return path;
}

SingleInstanceDBus::Claim SingleInstanceDBus::claim(const std::vector<std::filesystem::path>& files)
{
    TINTRA_ASSERT_MAIN_THREAD();
    GErrorOut error;
    connection_.reset(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, error.out()));
    if (!connection_) {
        report("no session bus (" + error.message() + "), so a second start cannot find this one");
        return Claim::noSessionBus;
    }
    // A first instance that quits between our two steps leaves the name free: one more try takes it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        // The object is in place before the name is ours, so no early caller finds nothing.
        if (!registerObject())
            return Claim::noSessionBus;
        switch (requestName()) {
        case Ownership::owned:
            ownsName_ = true;
            return Claim::first;
        case Ownership::failed:
            unregisterObject();
            return Claim::noSessionBus;
        case Ownership::elsewhere:
            unregisterObject();
            if (handOver(files))
                return Claim::handedOver;
        }
    }
    report("another Tintra Dorvel runs in this session but did not answer");
    return Claim::handOverFailed;
}

SingleInstanceDBus::Ownership SingleInstanceDBus::requestName()
{
    constexpr guint32 doNotQueue = 4;
    constexpr guint32 primaryOwner = 1;
    constexpr guint32 alreadyOwner = 4;
    GErrorOut error;
    GVariantHandle reply(g_dbus_connection_call_sync(connection_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
        "org.freedesktop.DBus", "RequestName", g_variant_new("(su)", applicationID_.c_str(), doNotQueue),
        G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, callTimeoutMs, nullptr, error.out()));
    if (!reply) {
        report("the session bus refused the name " + applicationID_ + " (" + error.message()
            + "), so a second start cannot find this one");
        return Ownership::failed;
    }
    guint32 answer = 0;
    g_variant_get(reply.get(), "(u)", &answer);
    return answer == primaryOwner || answer == alreadyOwner ? Ownership::owned : Ownership::elsewhere;
}

bool SingleInstanceDBus::handOver(const std::vector<std::filesystem::path>& files)
{
    auto call = [this](const char* method, GVariant* parameters) {
        GErrorOut error;
        GVariantHandle reply(g_dbus_connection_call_sync(connection_.get(), applicationID_.c_str(), objectPath_.c_str(),
            interfaceName, method, parameters, nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, callTimeoutMs, nullptr,
            error.out()));
        return reply != nullptr;
    };
    if (!files.empty()) {
        GVariantBuilder uris;
        g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
        for (const auto& file : files) {
            GCharHandle uri(g_filename_to_uri(std::filesystem::absolute(file).c_str(), nullptr, nullptr));
            if (uri)
                g_variant_builder_add(&uris, "s", uri.get());
        }
        if (!call("Open", g_variant_new("(ass@a{sv})", &uris, "", emptyPlatformData())))
            return false;
    }
    return call("Activate", g_variant_new("(@a{sv})", emptyPlatformData()));
}

bool SingleInstanceDBus::registerObject()
{
    static const GDBusInterfaceVTable vtable {
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant* parameters,
            GDBusMethodInvocation* invocation, gpointer self) {
            static_cast<SingleInstanceDBus*>(self)->handle(invocation, method, parameters);
        },
        nullptr, nullptr, {}
    };
    GErrorOut error;
    registration_ = g_dbus_connection_register_object(connection_.get(), objectPath_.c_str(), interfaceInfo(), &vtable,
        this, nullptr, error.out());
    if (registration_ == 0)
        report("cannot serve " + objectPath_ + " on the session bus (" + error.message()
            + "), so a second start cannot find this one");
    return registration_ != 0;
}

void SingleInstanceDBus::unregisterObject()
{
    if (registration_ != 0)
        g_dbus_connection_unregister_object(connection_.get(), registration_);
    registration_ = 0;
}

void SingleInstanceDBus::handle(GDBusMethodInvocation* invocation, const gchar* method, GVariant* parameters)
{
    const std::string name = method;
    if (name == "Activate") {
        g_dbus_method_invocation_return_value(invocation, nullptr);
        if (handlers_.openSettings)
            handlers_.openSettings();
    } else if (name == "Open") {
        GVariantHandle uris(g_variant_get_child_value(parameters, 0));
        auto files = localFiles(uris.get());
        g_dbus_method_invocation_return_value(invocation, nullptr);
        if (!files.empty() && handlers_.openFiles)
            handlers_.openFiles(std::move(files));
    } else if (name == "ActivateAction") {
        const gchar* actionName = nullptr;
        g_variant_get_child(parameters, 0, "&s", &actionName);
        const auto action = handlers_.actions.find(actionName);
        if (action == handlers_.actions.end()) {
            g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS,
                "Tintra Dorvel has no action named %s", actionName);
            return;
        }
        g_dbus_method_invocation_return_value(invocation, nullptr);
        if (action->second)
            action->second();
    }
}

} // namespace tintra
