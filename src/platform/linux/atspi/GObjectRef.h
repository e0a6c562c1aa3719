#pragma once

#include <glib-object.h>

#include <memory>
#include <utility>

namespace tintra {

// Owns one reference to a GObject: adopts a reference the library handed
// over, or takes a new one of a borrowed pointer.
template <typename T>
class GObjectRef {
public:
    GObjectRef() = default;
    static GObjectRef adopt(T* object) { return GObjectRef(object); }
    static GObjectRef borrow(T* object) { return GObjectRef(object ? static_cast<T*>(g_object_ref(object)) : nullptr); }

    GObjectRef(const GObjectRef& other) : object_(other.object_) { ref(); }
    GObjectRef(GObjectRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GObjectRef& operator=(GObjectRef other) noexcept
    {
        std::swap(object_, other.object_);
        return *this;
    }
    ~GObjectRef()
    {
        if (object_)
            g_object_unref(object_);
    }

    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // A shared owner of the same reference count, for a handle of unknown type.
    std::shared_ptr<void> share() const
    {
        ref();
        return std::shared_ptr<void>(object_, [](void* object) {
            if (object)
                g_object_unref(object);
        });
    }

private:
    explicit GObjectRef(T* object) : object_(object) {}
    void ref() const
    {
        if (object_)
            g_object_ref(object_);
    }

    T* object_ = nullptr;
};

struct GFreeDeleter {
    void operator()(void* memory) const { g_free(memory); }
};
// A string or a boxed structure that the library gave away for g_free.
template <typename T>
using GOwned = std::unique_ptr<T, GFreeDeleter>;

struct GErrorDeleter {
    void operator()(GError* error) const { g_error_free(error); }
};
using GErrorOwned = std::unique_ptr<GError, GErrorDeleter>;

} // namespace tintra
