#include "platform/linux/SkyLightPrivateAPILinux.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

TEST(SkyLightPrivateAPILinux, EveryQuestionFailsQuietlyAsUnavailable)
{
    testing::internal::CaptureStdout();
    SkyLightPrivateAPILinux api;
    const auto watcher = api.isScreenWatcherPresent();
    const auto space = api.activeSpace();
    const auto type = api.spaceType(1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    ASSERT_FALSE(watcher);
    ASSERT_FALSE(space);
    ASSERT_FALSE(type);
    for (const auto& error : { watcher.error(), space.error(), type.error() })
        EXPECT_EQ(error.kind, SkyLightPrivateAPIError::Case::frameworkUnavailable);
}

TEST(SkyLightPrivateAPIError, DescriptionsNameWhatFailed)
{
    using Case = SkyLightPrivateAPIError::Case;
    EXPECT_EQ((SkyLightPrivateAPIError { Case::symbolUnavailable, "_SLSGetActiveSpace" }).description(),
        "The SkyLight framework has no _SLSGetActiveSpace.");
    EXPECT_EQ((SkyLightPrivateAPIError { Case::callFailed, "SLSSpaceGetType", 1000 }).description(),
        "SLSSpaceGetType failed with error 1000.");
    EXPECT_EQ((SkyLightPrivateAPIError { Case::frameworkUnavailable, std::nullopt }).description(),
        "The SkyLight framework is not available.");
}

} // namespace
} // namespace tintra
