#include "platform/linux/pipewire/ScreenCastsPipeWire.h"

#include <glib-unix.h>
#include <pipewire/pipewire.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>

namespace tintra {

namespace {

bool isCast(const spa_dict* properties)
{
    const char* mediaClass = properties ? spa_dict_lookup(properties, PW_KEY_MEDIA_CLASS) : nullptr;
    if (!mediaClass)
        return false;
    if (std::strcmp(mediaClass, "Stream/Output/Video") == 0)
        return true;
    if (std::strcmp(mediaClass, "Video/Source") != 0)
        return false;
    // Webcams come from a device; virtual cameras say what they are.
    const char* role = spa_dict_lookup(properties, PW_KEY_MEDIA_ROLE);
    return spa_dict_lookup(properties, PW_KEY_DEVICE_ID) == nullptr && !(role && std::strcmp(role, "Camera") == 0);
}

} // namespace

struct ScreenCastsPipeWire::Connection {
    pw_loop* loop = nullptr;
    guint source = 0;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    pw_registry* registry = nullptr;
    spa_hook coreListener {};
    spa_hook registryListener {};
    int syncSequence = 0;

    Connection()
    {
        static const bool initialised = (pw_init(nullptr, nullptr), true);
        (void)initialised;
        loop = pw_loop_new(nullptr);
        // The loop's events wake GLib's main context, which runs the loop once.
        source = g_unix_fd_add(pw_loop_get_fd(loop), G_IO_IN,
            [](gint, GIOCondition, gpointer data) -> gboolean {
                auto* loop = static_cast<pw_loop*>(data);
                pw_loop_enter(loop);
                pw_loop_iterate(loop, 0);
                pw_loop_leave(loop);
                return G_SOURCE_CONTINUE;
            },
            loop);
        context = pw_context_new(loop, nullptr, 0);
        if (context)
            core = pw_context_connect(context, nullptr, 0);
    }

    ~Connection()
    {
        if (registry) {
            spa_hook_remove(&registryListener);
            pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry));
        }
        if (core) {
            spa_hook_remove(&coreListener);
            pw_core_disconnect(core);
        }
        if (context)
            pw_context_destroy(context);
        g_source_remove(source);
        pw_loop_destroy(loop);
    }
};

struct ScreenCastsPipeWire::Callbacks {
    static ScreenCastsPipeWire& casts(void* data) { return *static_cast<ScreenCastsPipeWire*>(data); }

    static void global(void* data, std::uint32_t id, std::uint32_t, const char* type, std::uint32_t, const spa_dict* properties)
    {
        if (std::strcmp(type, PW_TYPE_INTERFACE_Node) == 0 && isCast(properties))
            casts(data).casts_.insert(id);
    }

    static void globalRemove(void* data, std::uint32_t id) { casts(data).casts_.erase(id); }

    static void done(void* data, std::uint32_t id, int sequence)
    {
        auto& self = casts(data);
        if (id == PW_ID_CORE && self.connection_ && sequence == self.connection_->syncSequence) {
            self.synced_ = true;
            self.reconnectDelay_ = firstReconnectDelay;
        }
    }

    static void error(void* data, std::uint32_t id, int, int result, const char* message)
    {
        if (id == PW_ID_CORE && result == -EPIPE)
            casts(data).lost(message);
    }

    static constexpr pw_registry_events registryEvents {
        .version = PW_VERSION_REGISTRY_EVENTS,
        .global = &global,
        .global_remove = &globalRemove,
    };
    static pw_core_events coreEvents()
    {
        pw_core_events events {};
        events.version = PW_VERSION_CORE_EVENTS;
        events.done = &done;
        events.error = &error;
        return events;
    }
};

ScreenCastsPipeWire::ScreenCastsPipeWire(MainExecutor& main)
    : main_(main)
{
    connect();
}

ScreenCastsPipeWire::~ScreenCastsPipeWire()
{
    reconnect_.cancel();
}

std::optional<bool> ScreenCastsPipeWire::isScreenCast() const
{
    if (!connection_ || !synced_)
        return std::nullopt;
    return !casts_.empty();
}

void ScreenCastsPipeWire::connect()
{
    connection_ = std::make_unique<Connection>();
    auto& connection = *connection_;
    if (!connection.core) {
        lost(std::strerror(errno));
        return;
    }
    static const pw_core_events coreEvents = Callbacks::coreEvents();
    pw_core_add_listener(connection.core, &connection.coreListener, &coreEvents, this);
    connection.registry = pw_core_get_registry(connection.core, PW_VERSION_REGISTRY, 0);
    pw_registry_add_listener(connection.registry, &connection.registryListener, &Callbacks::registryEvents, this);
    // The registry has told every object there is once the server answers this.
    connection.syncSequence = pw_core_sync(connection.core, PW_ID_CORE, 0);
}

// Also called from the connection's own callbacks: it is let go on the next
// loop iteration.
void ScreenCastsPipeWire::lost(const char* what)
{
    synced_ = false;
    casts_.clear();
    if (!lossReported_) {
        lossReported_ = true;
        std::cerr << "Tintra Dorvel: no PipeWire server (" << what << "), so a screen being shared is not seen." << std::endl;
    }
    main_.post(self_.bind([](ScreenCastsPipeWire& self) {
        self.connection_.reset();
        self.reconnect_ = self.main_.schedule(self.reconnectDelay_, self.self_.bind([](ScreenCastsPipeWire& again) { again.connect(); }));
        self.reconnectDelay_ = std::min(self.reconnectDelay_ * 2, longestReconnectDelay);
    }));
}

} // namespace tintra
