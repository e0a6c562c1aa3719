#include "platform/linux/dbus/BusProxy.h"

#include <iostream>
#include <memory>

namespace tintra {

namespace {

// The call ended because its proxy went and cancelled it: the callback must
// then not touch the proxy.
bool wasCancelled(const GErrorOut& error)
{
    return error.matches(G_IO_ERROR, G_IO_ERROR_CANCELLED);
}

} // namespace

BusProxy::BusProxy(GBusType bus, std::string name, std::string path, std::string interface, std::string consequence)
    : name_(std::move(name))
    , interface_(std::move(interface))
    , busName_(bus == G_BUS_TYPE_SYSTEM ? "system bus" : "session bus")
    , consequence_(std::move(consequence))
    , cancellable_(g_cancellable_new())
{
    g_dbus_proxy_new_for_bus(bus, G_DBUS_PROXY_FLAGS_DO_NOT_AUTO_START, nullptr, name_.c_str(), path.c_str(),
        interface_.c_str(), cancellable_.get(), &BusProxy::created, this);
}

BusProxy::~BusProxy()
{
    g_cancellable_cancel(cancellable_.get());
    if (proxy_)
        g_signal_handlers_disconnect_by_data(proxy_.get(), this);
}

void BusProxy::created(GObject*, GAsyncResult* result, gpointer data)
{
    GErrorOut error;
    GDBusProxy* proxy = g_dbus_proxy_new_for_bus_finish(result, error.out());
    if (wasCancelled(error))
        return;
    auto& self = *static_cast<BusProxy*>(data);
    if (!proxy) {
        self.reportAbsence(error ? error.message().c_str() : "no connection");
        return;
    }
    self.proxy_.reset(proxy);
    g_signal_connect(proxy, "g-properties-changed", G_CALLBACK(&BusProxy::propertiesChanged), &self);
    g_signal_connect(proxy, "notify::g-name-owner", G_CALLBACK(&BusProxy::ownerChanged), &self);
    g_signal_connect(proxy, "g-signal", G_CALLBACK(&BusProxy::signalled), &self);
    if (!self.hasOwner())
        self.reportAbsence(nullptr);
    self.changed();
}

void BusProxy::propertiesChanged(GDBusProxy*, GVariant*, const gchar* const*, gpointer self)
{
    static_cast<BusProxy*>(self)->changed();
}

void BusProxy::ownerChanged(GObject*, GParamSpec*, gpointer self)
{
    static_cast<BusProxy*>(self)->changed();
}

void BusProxy::signalled(GDBusProxy*, const gchar*, const gchar* signal, GVariant* parameters, gpointer data)
{
    auto& self = *static_cast<BusProxy*>(data);
    if (self.onSignal_)
        self.onSignal_(signal, parameters);
}

void BusProxy::changed()
{
    if (onChange_)
        onChange_();
}

void BusProxy::reportAbsence(const char* reason)
{
    if (reported_ || consequence_.empty())
        return;
    reported_ = true;
    if (reason)
        std::cerr << "Tintra Dorvel: the " << busName_ << " cannot be reached for " << name_ << " (" << reason
                  << "): " << consequence_ << "." << std::endl;
    else
        std::cerr << "Tintra Dorvel: " << name_ << " is not on the " << busName_ << ": " << consequence_ << "."
                  << std::endl;
}

bool BusProxy::hasOwner() const
{
    if (!proxy_)
        return false;
    GCharHandle owner(g_dbus_proxy_get_name_owner(proxy_.get()));
    return owner != nullptr;
}

GVariantHandle BusProxy::property(const char* name) const
{
    if (!proxy_)
        return nullptr;
    return GVariantHandle(g_dbus_proxy_get_cached_property(proxy_.get(), name));
}

void BusProxy::call(const char* method, GVariant* parameters, std::function<void(GVariantHandle)> reply)
{
    if (!proxy_ || !hasOwner()) {
        if (parameters)
            g_variant_unref(g_variant_ref_sink(parameters));
        reply(nullptr);
        return;
    }
    auto pending = std::make_unique<std::function<void(GVariantHandle)>>(std::move(reply));
    g_dbus_proxy_call(proxy_.get(), method, parameters, G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, cancellable_.get(),
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<std::function<void(GVariantHandle)>> reply(static_cast<std::function<void(GVariantHandle)>*>(data));
            GErrorOut error;
            GVariantHandle value(g_dbus_proxy_call_finish(G_DBUS_PROXY(source), result, error.out()));
            if (!wasCancelled(error))
                (*reply)(std::move(value));
        },
        pending.release());
}

} // namespace tintra
