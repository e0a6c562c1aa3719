#include "platform/linux/atspi/AtspiEventHub.h"

#include <iostream>
#include <vector>

namespace tintra {
namespace {

// GTK 4 names its window signals in lower case ("activate"), which the bus's
// match on one capitalised member misses; a match on the interface takes both.
std::string listenedType(const std::string& eventType)
{
    static const std::string window = "window:";
    return eventType.starts_with(window) ? window : eventType;
}

} // namespace

AtspiEventHub::AtspiEventHub()
    : listener_(GObjectRef<AtspiEventListener>::adopt(atspi_event_listener_new(&AtspiEventHub::dispatch, this, nullptr)))
{
}

AtspiEventHub::~AtspiEventHub()
{
    for (const auto& [type, count] : subscriptions_)
        atspi_event_listener_deregister(listener_.get(), type.c_str(), nullptr);
}

AtspiEventHub::ReceiverID AtspiEventHub::addReceiver(Receiver receiver)
{
    const auto id = nextReceiver_++;
    receivers_.emplace(id, std::move(receiver));
    return id;
}

void AtspiEventHub::removeReceiver(ReceiverID receiver) { receivers_.erase(receiver); }

bool AtspiEventHub::subscribe(const std::string& requestedType)
{
    const auto eventType = listenedType(requestedType);
    if (auto known = subscriptions_.find(eventType); known != subscriptions_.end()) {
        ++known->second;
        return true;
    }
    GError* raw = nullptr;
    const bool registered = atspi_event_listener_register(listener_.get(), eventType.c_str(), &raw);
    GErrorOwned error(raw);
    if (!registered) {
        std::cerr << "Tintra Dorvel: the accessibility bus refused the events " << eventType << ": "
                  << (error ? error->message : "no reason given") << "." << std::endl;
        return false;
    }
    subscriptions_.emplace(eventType, 1);
    return true;
}

void AtspiEventHub::unsubscribe(const std::string& requestedType)
{
    auto known = subscriptions_.find(listenedType(requestedType));
    if (known == subscriptions_.end() || --known->second > 0)
        return;
    atspi_event_listener_deregister(listener_.get(), known->first.c_str(), nullptr);
    subscriptions_.erase(known);
}

void AtspiEventHub::dispatch(AtspiEvent* event, void* hub)
{
    auto& self = *static_cast<AtspiEventHub*>(hub);
    // A receiver may remove itself or others while it handles the event.
    std::vector<ReceiverID> ids;
    for (const auto& [id, receiver] : self.receivers_)
        ids.push_back(id);
    for (const auto id : ids) {
        if (auto receiver = self.receivers_.find(id); receiver != self.receivers_.end()) {
            const Receiver handle = receiver->second;
            handle(*event);
        }
    }
    g_boxed_free(ATSPI_TYPE_EVENT, event);
}

} // namespace tintra
