#pragma once

#include "platform/linux/GLibHandles.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tintra {

// One instance per session. The first start owns the application's name on
// the session bus and answers org.freedesktop.Application there; a later start
// finds it, hands its files over (Open), asks it to open its settings window
// (Activate) and is then told to exit.
//
// Main thread only. The handlers run on the default main context, after the
// caller has had its answer, never inside `claim`.
class SingleInstanceDBus {
public:
    struct Handlers {
        std::function<void()> openSettings;
        std::function<void(std::vector<std::filesystem::path>)> openFiles;
        // ActivateAction's names; any other name is answered with an error.
        std::map<std::string, std::function<void()>> actions;
    };

    enum class Claim {
        first,          // this process owns the name: run
        handedOver,     // another instance took the files: exit 0
        noSessionBus,   // said once on standard error: run alone
        handOverFailed, // said on standard error: exit 1
    };

    // `applicationID` is the desktop-entry ID, such as org.tintradorvel.TintraDorvel.
    SingleInstanceDBus(std::string applicationID, Handlers handlers);
    ~SingleInstanceDBus();
    SingleInstanceDBus(const SingleInstanceDBus&) = delete;
    SingleInstanceDBus& operator=(const SingleInstanceDBus&) = delete;

    // Once, before the program shows anything. Relative paths count from this
    // process's working folder. Blocks on the bus for at most about ten seconds.
    Claim claim(const std::vector<std::filesystem::path>& files);

    // "/org/tintradorvel/TintraDorvel" for "org.tintradorvel.TintraDorvel".
    static std::string objectPath(const std::string& applicationID);

private:
    enum class Ownership { owned, elsewhere, failed };
    Ownership requestName();
    bool handOver(const std::vector<std::filesystem::path>& files);
    bool registerObject();
    void unregisterObject();
    void handle(GDBusMethodInvocation* invocation, const gchar* method, GVariant* parameters);

    std::string applicationID_;
    std::string objectPath_;
    Handlers handlers_;
    GObjectHandle<GDBusConnection> connection_;
    guint registration_ = 0;
    bool ownsName_ = false;
};

} // namespace tintra
