#pragma once

#include "platform/linux/GLibHandles.h"

#include <functional>
#include <string>

namespace tintra {

// One interface of a well-known name on the session or system bus, reached
// without waiting: the proxy is made asynchronously on the default main
// context and GDBus keeps its properties current (PropertiesChanged) and
// follows the name's owner (the cache empties while the service is gone and
// fills again when it returns). Asking never starts the service.
//
// Main thread only. `onChange` runs after the properties or the owner
// changed, `onSignal` for each signal of the interface. A bus that cannot be
// reached or a name without an owner is said once on standard error, with
// `consequence` ("battery power is not known"; empty when another proxy of
// the same service says it); the proxy then answers no
// properties, and follows the name should it appear later.
class BusProxy {
public:
    BusProxy(GBusType bus, std::string name, std::string path, std::string interface, std::string consequence);
    ~BusProxy();
    BusProxy(const BusProxy&) = delete;
    BusProxy& operator=(const BusProxy&) = delete;

    void setOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }
    void setOnSignal(std::function<void(const char* signal, GVariant* parameters)> onSignal) { onSignal_ = std::move(onSignal); }

    bool hasOwner() const;
    // The cached value, null when the service is absent or lacks the property.
    GVariantHandle property(const char* name) const;
    // Calls a method of the interface; `reply` gets its result tuple, or null
    // on any failure. Never runs once the proxy is gone.
    void call(const char* method, GVariant* parameters, std::function<void(GVariantHandle)> reply);

    const std::string& name() const { return name_; }

private:
    static void created(GObject* source, GAsyncResult* result, gpointer self);
    static void propertiesChanged(GDBusProxy*, GVariant*, const gchar* const*, gpointer self);
    static void ownerChanged(GObject*, GParamSpec*, gpointer self);
    static void signalled(GDBusProxy*, const gchar* sender, const gchar* signal, GVariant* parameters, gpointer self);
    void changed();
    void reportAbsence(const char* reason);

    std::string name_;
    std::string interface_;
    std::string busName_;
    std::string consequence_;
    GObjectHandle<GCancellable> cancellable_;
    GObjectHandle<GDBusProxy> proxy_;
    bool reported_ = false;
    std::function<void()> onChange_;
    std::function<void(const char*, GVariant*)> onSignal_;
};

} // namespace tintra
