#pragma once

#include "platform/linux/atspi/GObjectRef.h"

#include <atspi/atspi.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace tintra {

// The one AT-SPI event listener of the process. Every event type counts its
// subscribers: the bus carries a type (from every application on the
// desktop) only while someone needs it. Receivers see every event and pick
// theirs, and may see more than they subscribed to: window events are
// subscribed to as one class. Main thread only.
class AtspiEventHub {
public:
    using Receiver = std::function<void(const AtspiEvent& event)>;
    using ReceiverID = std::uint64_t;

    AtspiEventHub();
    ~AtspiEventHub();
    AtspiEventHub(const AtspiEventHub&) = delete;
    AtspiEventHub& operator=(const AtspiEventHub&) = delete;

    ReceiverID addReceiver(Receiver receiver);
    void removeReceiver(ReceiverID receiver);

    bool subscribe(const std::string& eventType);
    void unsubscribe(const std::string& eventType);

private:
    static void dispatch(AtspiEvent* event, void* hub);

    GObjectRef<AtspiEventListener> listener_;
    std::map<std::string, int> subscriptions_;
    std::map<ReceiverID, Receiver> receivers_;
    ReceiverID nextReceiver_ = 1;
};

} // namespace tintra
