#include "platform/linux/x11/KeyboardHardwareX11.h"

#include "platform/linux/x11/XcbConnection.h"
#include "platform/linux/x11/XkbModel.h"
#include "support/MainThread.h"

#include <algorithm>

namespace tintra {

KeyboardHardwareX11::KeyboardHardwareX11()
    : connection_(XcbConnection::openOrReport("key presses are placed as on an ANSI keyboard"))
{
    if (connection_)
        model_ = std::make_unique<XkbModel>(*connection_);
}

KeyboardHardwareX11::~KeyboardHardwareX11() = default;

std::int64_t KeyboardHardwareX11::currentKeyboardType()
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (!model_)
        return 0;
    const auto found = std::find(models_.begin(), models_.end(), model_->model());
    if (found == models_.end()) {
        models_.push_back(model_->model());
        return std::int64_t(models_.size());
    }
    return std::int64_t(found - models_.begin()) + 1;
}

std::uint32_t KeyboardHardwareX11::layoutType(std::uint16_t keyboardType)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (keyboardType == 0 || keyboardType > models_.size())
        return ansiLayoutType;
    return layoutTypeOfModel(models_[keyboardType - 1]);
}

} // namespace tintra
