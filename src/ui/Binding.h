#pragma once

#include "support/Observable.h"

#include <QObject>

#include <utility>

namespace tintra {

// Holds one subscription for as long as the object it is parented to lives,
// so that no observer outlives the widget it updates.
class TintraBinding : public QObject {
public:
    TintraBinding(QObject& owner, Subscription subscription);

private:
    Subscription subscription_;
};

// Hands `update` the observable's value now and after every change, until `owner` is destroyed.
template <typename T, typename Update>
TintraBinding& bindValue(QObject& owner, const Observable<T>& observable, Update update)
{
    update(observable.get());
    return *new TintraBinding(owner, observable.subscribe(std::move(update)));
}

} // namespace tintra
