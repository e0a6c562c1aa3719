#include "shell/UpdateRules.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

TEST(UpdateRules, APreReleaseVersionAllowsTheBetaChannel)
{
    const std::set<std::string> beta { "beta" };
    EXPECT_EQ(allowedUpdateChannels("1.2b3"), beta);
    EXPECT_EQ(allowedUpdateChannels("2.0RC1"), beta);
    EXPECT_EQ(allowedUpdateChannels("0.9A"), beta);
    EXPECT_TRUE(allowedUpdateChannels("1.2").empty());
    EXPECT_TRUE(allowedUpdateChannels("").empty());
}

TEST(UpdateRules, TheProblemLineNamesTheFirstThingInTheWay)
{
    // 32 bytes of zeros, and 31 and 33.
    const std::string key32 = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";
    const std::string key31 = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA==";
    const std::string key33 = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA";
    const std::string feed = "https://updates.example/appcast.xml";
    const std::string noFeed = "No appcast URL is set, so there is nothing to check against.";

    EXPECT_EQ(updateProblemDescription("The updater could not start", "", ""), "The updater could not start");
    EXPECT_EQ(updateProblemDescription(std::nullopt, "", ""), noFeed);
    EXPECT_EQ(updateProblemDescription(std::nullopt, "not a url", key32), noFeed);
    for (const auto& bad : { key31, key33, std::string("AAAA*AAA"), std::string() })
        EXPECT_NE(updateProblemDescription(std::nullopt, feed, bad).value_or("").find("No update signing key"), std::string::npos) << bad;
    EXPECT_EQ(updateProblemDescription(std::nullopt, feed, key32), std::nullopt);
}

} // namespace
} // namespace tintra
