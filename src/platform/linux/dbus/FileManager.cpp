#include "platform/linux/dbus/FileManager.h"

#include "platform/linux/GLibHandles.h"

#include <gio/gio.h>

#include <iostream>
#include <memory>
#include <string>

namespace tintra {
namespace {

void openFolder(const std::string& folder)
{
    GCharHandle uri(g_filename_to_uri(folder.c_str(), nullptr, nullptr));
    GErrorOut error;
    if (!uri || !g_app_info_launch_default_for_uri(uri.get(), nullptr, error.out()))
        std::cerr << "FileManager: " << folder << " could not be opened: " << error.message() << std::endl;
}

} // namespace

void revealInFileManager(const std::filesystem::path& file)
{
    GCharHandle uri(g_filename_to_uri(file.c_str(), nullptr, nullptr));
    if (!uri)
        return;
    const GObjectHandle<GDBusConnection> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
    if (!bus) {
        openFolder(file.parent_path().string());
        return;
    }
    const gchar* uris[] = { uri.get(), nullptr };
    auto* folder = new std::string(file.parent_path().string());
    g_dbus_connection_call(bus.get(), "org.freedesktop.FileManager1",
        "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1", "ShowItems",
        g_variant_new("(^ass)", uris, ""), nullptr, G_DBUS_CALL_FLAGS_NONE, 5000, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<std::string> folder(static_cast<std::string*>(data));
            GErrorOut error;
            GVariantHandle reply(g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, error.out()));
            if (!reply)
                openFolder(*folder);
        },
        folder);
}

} // namespace tintra
