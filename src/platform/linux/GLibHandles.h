#pragma once

#include <gio/gio.h>

#include <memory>
#include <string>

namespace tintra {

// Owning handles for GLib's reference-counted objects, so that no adapter
// frees by hand.
struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectHandle = std::unique_ptr<T, GObjectUnref>;

struct GVariantUnref {
    void operator()(GVariant* variant) const { g_variant_unref(variant); }
};
using GVariantHandle = std::unique_ptr<GVariant, GVariantUnref>;

struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};
using GCharHandle = std::unique_ptr<gchar, GFree>;

struct GKeyFileFree {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
using GKeyFileHandle = std::unique_ptr<GKeyFile, GKeyFileFree>;

// Receives a GError through `out()` and owns it afterwards.
class GErrorOut {
public:
    GError** out() { return &error_; }
    ~GErrorOut() { if (error_) g_error_free(error_); }
    explicit operator bool() const { return error_ != nullptr; }
    std::string message() const { return error_ ? error_->message : ""; }
    bool matches(GQuark domain, gint code) const { return g_error_matches(error_, domain, code); }

private:
    GError* error_ = nullptr;
};

} // namespace tintra
