#include "AccessibilityFake.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace tintra {

namespace {

const std::string applicationIdentity = "application";
const std::string systemWideIdentity = "system-wide";

std::optional<AXRect> frameOf(const AccessibilityFake::Attributes& attributes)
{
    auto position = attributes.find("AXPosition");
    auto size = attributes.find("AXSize");
    if (position == attributes.end() || size == attributes.end())
        return std::nullopt;
    const auto* origin = position->second.get<AXPoint>();
    const auto* extent = size->second.get<AXSize>();
    if (!origin || !extent)
        return std::nullopt;
    return AXRect { *origin, *extent };
}

} // namespace

struct AccessibilityFake::Node {
    AXElement element;
    Node* parent = nullptr;
    std::vector<Node*> children; // back to front
    Attributes attributes;
    std::vector<std::string> actionNames;
    std::vector<std::string> parameterizedAttributeNames;
    std::map<std::string, AXError> attributeErrors;
    std::map<Call, AXError> callErrors;
};

struct AccessibilityFake::State {
    struct ObserverRecord {
        std::int32_t processIdentifier = 0;
        bool started = false;
        std::vector<Registration> registrations;
        AXObserverCallback callback;
    };

    State(AccessibilityFake* owner, MainExecutor& mainExecutor) : fake(owner), executor(mainExecutor) {}

    AccessibilityFake* fake; // null once the fake is gone
    MainExecutor& executor;
    std::map<std::uint64_t, ObserverRecord> observers; // keyed in creation order
    std::uint64_t nextObserver = 1;
    std::map<std::int32_t, AXError> addErrorsForAll;
    std::map<std::pair<std::int32_t, std::string>, AXError> addErrorsByName;
};

class AccessibilityFake::Observer final : public AXObserver {
public:
    Observer(std::weak_ptr<State> state, std::uint64_t id) : state_(std::move(state)), id_(id) {}

    ~Observer() override
    {
        if (auto state = state_.lock())
            state->observers.erase(id_);
    }

    AXError addNotification(const AXElement& element, const std::string& notification, AXContext context) override
    {
        auto state = state_.lock();
        if (!state || !state->fake)
            return AXError::invalidUIElementObserver;
        auto& fake = *state->fake;
        auto& record = state->observers.at(id_);
        if (!fake.trusted_)
            return AXError::apiDisabled;
        if (element.processIdentifier() != record.processIdentifier)
            return AXError::illegalArgument;
        if (!fake.find(element))
            return AXError::invalidUIElement;

        std::optional<AXError> scripted;
        if (auto byName = state->addErrorsByName.find({ record.processIdentifier, notification }); byName != state->addErrorsByName.end())
            scripted = byName->second;
        else if (auto forAll = state->addErrorsForAll.find(record.processIdentifier); forAll != state->addErrorsForAll.end())
            scripted = forAll->second;
        if (auto error = fake.ask(element, scripted); error != AXError::success)
            return error;

        if (find(record, element, notification) != record.registrations.end())
            return AXError::notificationAlreadyRegistered;
        record.registrations.push_back({ element, notification, context });
        return AXError::success;
    }

    AXError removeNotification(const AXElement& element, const std::string& notification) override
    {
        auto state = state_.lock();
        if (!state || !state->fake)
            return AXError::invalidUIElementObserver;
        auto& fake = *state->fake;
        auto& record = state->observers.at(id_);
        auto registration = find(record, element, notification);
        if (!fake.find(element)) {
            // The element is gone, and with it the application's side of the registration.
            if (registration != record.registrations.end())
                record.registrations.erase(registration);
            return AXError::invalidUIElement;
        }
        if (auto error = fake.ask(element); error != AXError::success)
            return error;
        if (registration == record.registrations.end())
            return AXError::notificationNotRegistered;
        record.registrations.erase(registration);
        return AXError::success;
    }

    void start() override { setStarted(true); }
    void stop() override { setStarted(false); }

private:
    using Record = State::ObserverRecord;

    static std::vector<Registration>::iterator find(Record& record, const AXElement& element, const std::string& notification)
    {
        return std::find_if(record.registrations.begin(), record.registrations.end(), [&](const Registration& registration) {
            return registration.element == element && registration.notification == notification;
        });
    }

    void setStarted(bool started)
    {
        if (auto state = state_.lock()) {
            if (auto record = state->observers.find(id_); record != state->observers.end())
                record->second.started = started;
        }
    }

    std::weak_ptr<State> state_;
    std::uint64_t id_;
};

AccessibilityFake::AccessibilityFake(ManualClock& clock, MainExecutor& executor)
    : clock_(clock)
    , state_(std::make_shared<State>(this, executor))
{
    AXElement systemWide(0, systemWideIdentity);
    auto node = std::make_unique<Node>();
    node->element = systemWide;
    nodes_.emplace(systemWide, std::move(node));
}

AccessibilityFake::~AccessibilityFake()
{
    state_->fake = nullptr;
}

// --- Building the tree

AXElement AccessibilityFake::addApplication(std::int32_t processIdentifier, Attributes attributes)
{
    if (processIdentifier < 1)
        throw std::logic_error("AccessibilityFake: an application needs a process id of 1 or more");
    AXElement element(processIdentifier, applicationIdentity);
    if (find(element))
        throw std::logic_error("AccessibilityFake: application " + std::to_string(processIdentifier) + " exists already");
    auto node = std::make_unique<Node>();
    node->element = element;
    node->attributes = std::move(attributes);
    node->attributes.emplace("AXChildren", AXValue::list({}));
    nodes_.emplace(element, std::move(node));
    applicationsFrontToBack_.insert(applicationsFrontToBack_.begin(), processIdentifier);
    return element;
}

AXElement AccessibilityFake::addElement(const AXElement& parent, Attributes attributes)
{
    auto& parentNode = require(parent);
    if (parent.processIdentifier() == 0)
        throw std::logic_error("AccessibilityFake: the system-wide element has no children");
    AXElement element(parent.processIdentifier(), "e" + std::to_string(nextElement_++));
    auto node = std::make_unique<Node>();
    node->element = element;
    node->parent = &parentNode;
    node->attributes = std::move(attributes);
    node->attributes.emplace("AXParent", AXValue::element(parent));
    node->attributes.emplace("AXChildren", AXValue::list({}));
    parentNode.children.push_back(node.get());
    nodes_.emplace(element, std::move(node));

    auto& listed = parentNode.attributes["AXChildren"];
    if (auto* children = listed.get<AXValue::List>()) {
        auto extended = *children;
        extended.push_back(AXValue::element(element));
        listed = AXValue::list(std::move(extended));
    }
    return element;
}

void AccessibilityFake::setFrame(const AXElement& element, AXRect frame)
{
    auto& node = require(element);
    node.attributes["AXPosition"] = AXValue::point(frame.origin);
    node.attributes["AXSize"] = AXValue::size(frame.size);
}

void AccessibilityFake::setAttribute(const AXElement& element, const std::string& name, AXValue value)
{
    require(element).attributes[name] = std::move(value);
}

void AccessibilityFake::removeAttribute(const AXElement& element, const std::string& name)
{
    require(element).attributes.erase(name);
}

void AccessibilityFake::setActionNames(const AXElement& element, std::vector<std::string> names)
{
    require(element).actionNames = std::move(names);
}

void AccessibilityFake::setParameterizedAttributeNames(const AXElement& element, std::vector<std::string> names)
{
    require(element).parameterizedAttributeNames = std::move(names);
}

void AccessibilityFake::removeElement(const AXElement& element)
{
    auto& node = require(element);
    if (!node.parent)
        throw std::logic_error("AccessibilityFake: only elements below an application can be removed");

    auto& siblings = node.parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), &node), siblings.end());
    auto& listed = node.parent->attributes["AXChildren"];
    if (auto* children = listed.get<AXValue::List>()) {
        auto remaining = *children;
        std::erase(remaining, AXValue::element(element));
        listed = AXValue::list(std::move(remaining));
    }

    std::vector<AXElement> doomed { element };
    for (std::size_t i = 0; i < doomed.size(); ++i) {
        for (auto* child : find(doomed[i])->children)
            doomed.push_back(child->element);
    }
    for (const auto& gone : doomed)
        nodes_.erase(gone);
}

// --- Scripting answers

void AccessibilityFake::setAnswerDelay(std::int32_t processIdentifier, Duration delay)
{
    delays_[processIdentifier] = delay;
}

void AccessibilityFake::setAttributeError(const AXElement& element, const std::string& name, std::optional<AXError> error)
{
    auto& errors = require(element).attributeErrors;
    if (error)
        errors[name] = *error;
    else
        errors.erase(name);
}

void AccessibilityFake::setCallError(const AXElement& element, Call call, std::optional<AXError> error)
{
    auto& errors = require(element).callErrors;
    if (error)
        errors[call] = *error;
    else
        errors.erase(call);
}

void AccessibilityFake::setObserverCreationError(std::int32_t processIdentifier, std::optional<AXError> error)
{
    if (error)
        observerCreationErrors_[processIdentifier] = *error;
    else
        observerCreationErrors_.erase(processIdentifier);
}

void AccessibilityFake::setAddNotificationError(std::int32_t processIdentifier, std::optional<AXError> error)
{
    if (error)
        state_->addErrorsForAll[processIdentifier] = *error;
    else
        state_->addErrorsForAll.erase(processIdentifier);
}

void AccessibilityFake::setAddNotificationError(
    std::int32_t processIdentifier, const std::string& notification, std::optional<AXError> error)
{
    if (error)
        state_->addErrorsByName[{ processIdentifier, notification }] = *error;
    else
        state_->addErrorsByName.erase({ processIdentifier, notification });
}

void AccessibilityFake::setTrusted(bool trusted)
{
    trusted_ = trusted;
}

// --- Notifications and inspection

void AccessibilityFake::post(const AXElement& element, const std::string& notification)
{
    const AXElement application(element.processIdentifier(), applicationIdentity);
    for (const auto& [id, record] : state_->observers) {
        if (record.processIdentifier != element.processIdentifier())
            continue;
        for (const auto& registration : record.registrations) {
            if (registration.notification != notification)
                continue;
            if (registration.element != element && registration.element != application)
                continue;
            state_->executor.post([weakState = std::weak_ptr<State>(state_), id = id, registration, element, notification] {
                auto state = weakState.lock();
                if (!state)
                    return;
                auto record = state->observers.find(id);
                if (record == state->observers.end() || !record->second.started)
                    return;
                const auto& current = record->second.registrations;
                if (std::find(current.begin(), current.end(), registration) == current.end())
                    return;
                // The callback may destroy its own observer.
                auto callback = record->second.callback;
                callback(element, notification, registration.context);
            });
        }
    }
}

int AccessibilityFake::promptCount() const
{
    return prompts_;
}

std::vector<AccessibilityFake::ObserverState> AccessibilityFake::observers(std::int32_t processIdentifier) const
{
    std::vector<ObserverState> result;
    for (const auto& [id, record] : state_->observers) {
        if (record.processIdentifier == processIdentifier)
            result.push_back({ record.processIdentifier, record.started, record.registrations });
    }
    return result;
}

bool AccessibilityFake::isRegistered(const AXElement& element, const std::string& notification) const
{
    for (const auto& [id, record] : state_->observers) {
        for (const auto& registration : record.registrations) {
            if (registration.element == element && registration.notification == notification)
                return true;
        }
    }
    return false;
}

Duration AccessibilityFake::effectiveMessagingTimeout(const AXElement& element) const
{
    if (auto own = timeouts_.find(element); own != timeouts_.end())
        return own->second;
    if (auto global = timeouts_.find(AXElement(0, systemWideIdentity)); global != timeouts_.end())
        return global->second;
    return defaultMessagingTimeout;
}

// --- Accessibility

bool AccessibilityFake::isProcessTrusted()
{
    return trusted_;
}

bool AccessibilityFake::requestTrust()
{
    ++prompts_;
    return trusted_;
}

AXElement AccessibilityFake::applicationElement(std::int32_t processIdentifier)
{
    return AXElement(processIdentifier, applicationIdentity);
}

AXElement AccessibilityFake::systemWideElement()
{
    return AXElement(0, systemWideIdentity);
}

AXError AccessibilityFake::setMessagingTimeout(const AXElement& element, Duration timeout)
{
    if (element.isNull() || timeout < Duration::zero())
        return AXError::illegalArgument;
    if (timeout == Duration::zero())
        timeouts_.erase(element);
    else
        timeouts_[element] = timeout;
    return AXError::success;
}

AXAttributeResult AccessibilityFake::copyAttributeValue(const AXElement& element, const std::string& attribute)
{
    if (!trusted_)
        return tl::unexpected(AXError::apiDisabled);
    const auto* node = find(element);
    if (!node)
        return tl::unexpected(AXError::invalidUIElement);
    std::optional<AXError> scripted;
    if (auto error = node->attributeErrors.find(attribute); error != node->attributeErrors.end())
        scripted = error->second;
    if (auto error = ask(element, scripted); error != AXError::success)
        return tl::unexpected(error);
    auto value = node->attributes.find(attribute);
    if (value == node->attributes.end())
        return tl::unexpected(AXError::attributeUnsupported);
    return value->second;
}

tl::expected<std::vector<AXAttributeResult>, AXError> AccessibilityFake::copyMultipleAttributeValues(
    const AXElement& element, const std::vector<std::string>& attributes)
{
    if (auto error = askCall(element, Call::multipleAttributeValues); error != AXError::success)
        return tl::unexpected(error);
    const auto& node = *find(element);
    std::vector<AXAttributeResult> results;
    results.reserve(attributes.size());
    for (const auto& attribute : attributes) {
        if (auto error = node.attributeErrors.find(attribute); error != node.attributeErrors.end())
            results.emplace_back(tl::unexpected(error->second));
        else if (auto value = node.attributes.find(attribute); value != node.attributes.end())
            results.emplace_back(value->second);
        else
            results.emplace_back(tl::unexpected(AXError::attributeUnsupported));
    }
    return results;
}

tl::expected<std::vector<std::string>, AXError> AccessibilityFake::copyAttributeNames(const AXElement& element)
{
    if (auto error = askCall(element, Call::attributeNames); error != AXError::success)
        return tl::unexpected(error);
    std::vector<std::string> names;
    for (const auto& [name, value] : find(element)->attributes)
        names.push_back(name);
    return names;
}

tl::expected<std::vector<std::string>, AXError> AccessibilityFake::copyActionNames(const AXElement& element)
{
    if (auto error = askCall(element, Call::actionNames); error != AXError::success)
        return tl::unexpected(error);
    return find(element)->actionNames;
}

tl::expected<std::vector<std::string>, AXError> AccessibilityFake::copyParameterizedAttributeNames(const AXElement& element)
{
    if (auto error = askCall(element, Call::parameterizedAttributeNames); error != AXError::success)
        return tl::unexpected(error);
    return find(element)->parameterizedAttributeNames;
}

tl::expected<AXElement, AXError> AccessibilityFake::elementAtPosition(const AXElement& through, AXPoint point)
{
    if (!trusted_)
        return tl::unexpected(AXError::apiDisabled);
    std::vector<std::int32_t> searched;
    if (through == systemWideElement())
        searched = applicationsFrontToBack_;
    else if (through.identity() == applicationIdentity)
        searched = { through.processIdentifier() };
    else
        return tl::unexpected(AXError::illegalArgument);

    for (auto processIdentifier : searched) {
        const auto* application = find(applicationElement(processIdentifier));
        if (!application)
            return tl::unexpected(AXError::invalidUIElement);
        if (const auto* hit = hitTest(*application, point)) {
            // The answer comes from the hit application, within the asking element's time-out.
            const auto delay = delays_.contains(processIdentifier) ? delays_.at(processIdentifier) : Duration::zero();
            const auto timeout = effectiveMessagingTimeout(through);
            if (delay > timeout) {
                clock_.advance(timeout);
                return tl::unexpected(AXError::cannotComplete);
            }
            clock_.advance(delay);
            return hit->element;
        }
    }
    return tl::unexpected(AXError::noValue);
}

tl::expected<std::int32_t, AXError> AccessibilityFake::processIdentifier(const AXElement& element)
{
    if (!find(element))
        return tl::unexpected(AXError::invalidUIElement);
    return element.processIdentifier();
}

tl::expected<std::unique_ptr<AXObserver>, AXError> AccessibilityFake::createObserver(
    std::int32_t processIdentifier, AXObserverCallback callback)
{
    if (processIdentifier < 1 || !callback)
        return tl::unexpected(AXError::illegalArgument);
    if (auto scripted = observerCreationErrors_.find(processIdentifier); scripted != observerCreationErrors_.end()) {
        if (scripted->second == AXError::cannotComplete)
            clock_.advance(effectiveMessagingTimeout(applicationElement(processIdentifier)));
        return tl::unexpected(scripted->second);
    }
    const auto id = state_->nextObserver++;
    state_->observers[id] = State::ObserverRecord { processIdentifier, false, {}, std::move(callback) };
    return std::make_unique<Observer>(state_, id);
}

// --- Internals

AccessibilityFake::Node* AccessibilityFake::find(const AXElement& element)
{
    auto found = nodes_.find(element);
    return found == nodes_.end() ? nullptr : found->second.get();
}

const AccessibilityFake::Node* AccessibilityFake::find(const AXElement& element) const
{
    auto found = nodes_.find(element);
    return found == nodes_.end() ? nullptr : found->second.get();
}

AccessibilityFake::Node& AccessibilityFake::require(const AXElement& element)
{
    if (auto* node = find(element))
        return *node;
    throw std::logic_error("AccessibilityFake: no element " + element.identity() + " in process "
        + std::to_string(element.processIdentifier()));
}

AXError AccessibilityFake::ask(const AXElement& asked, std::optional<AXError> scripted)
{
    if (!trusted_)
        return AXError::apiDisabled;
    const auto processIdentifier = asked.processIdentifier();
    const auto delay = delays_.contains(processIdentifier) ? delays_.at(processIdentifier) : Duration::zero();
    const auto timeout = effectiveMessagingTimeout(asked);
    if (delay > timeout || scripted == AXError::cannotComplete) {
        clock_.advance(timeout);
        return AXError::cannotComplete;
    }
    clock_.advance(delay);
    return scripted.value_or(AXError::success);
}

AXError AccessibilityFake::askCall(const AXElement& element, Call call)
{
    if (!trusted_)
        return AXError::apiDisabled;
    const auto* node = find(element);
    if (!node)
        return AXError::invalidUIElement;
    std::optional<AXError> scripted;
    if (auto error = node->callErrors.find(call); error != node->callErrors.end())
        scripted = error->second;
    return ask(element, scripted);
}

const AccessibilityFake::Node* AccessibilityFake::hitTest(const Node& node, AXPoint point) const
{
    for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
        const auto frame = frameOf((*child)->attributes);
        // A frame clips its subtree; an element without one is a see-through container.
        if (frame && !frame->contains(point))
            continue;
        if (const auto* deeper = hitTest(**child, point))
            return deeper;
        if (frame)
            return *child;
    }
    return nullptr;
}

} // namespace tintra
