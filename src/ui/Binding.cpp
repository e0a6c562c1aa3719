#include "ui/Binding.h"

namespace tintra {

TintraBinding::TintraBinding(QObject& owner, Subscription subscription)
    : QObject(&owner)
    , subscription_(std::move(subscription))
{
}

} // namespace tintra
