// The display check answers from the environment without touching the window system.
#include "platform/windows/Display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Sets or removes one variable for the scope.
class TEnvOverride {
public:
    TEnvOverride(const char* Name, const char* Value) : FName(Name) {
        if (const char* Old = std::getenv(Name)) FOld = Old;
        if (Value)
            ::setenv(Name, Value, 1);
        else
            ::unsetenv(Name);
    }
    ~TEnvOverride() {
        if (FOld)
            ::setenv(FName, FOld->c_str(), 1);
        else
            ::unsetenv(FName);
    }

private:
    const char* FName;
    std::optional<std::string> FOld;
};

TEST(DisplayTest, ToldByTheEnvironment) {
    std::string Reason;
    {
        TEnvOverride Qpa("QT_QPA_PLATFORM", nullptr), X("DISPLAY", nullptr), W("WAYLAND_DISPLAY", nullptr);
        EXPECT_FALSE(DisplayAvailable(Reason));
        EXPECT_NE(Reason.find("No display"), std::string::npos);
    }
    {
        // A local display number whose socket does not exist.
        TEnvOverride Qpa("QT_QPA_PLATFORM", nullptr), X("DISPLAY", ":987"), W("WAYLAND_DISPLAY", nullptr);
        EXPECT_FALSE(DisplayAvailable(Reason));
        EXPECT_NE(Reason.find(":987"), std::string::npos);
    }
    {
        TEnvOverride Qpa("QT_QPA_PLATFORM", "offscreen"), X("DISPLAY", nullptr);
        EXPECT_TRUE(DisplayAvailable(Reason));
        EXPECT_TRUE(Reason.empty());
    }
    {
        TEnvOverride Qpa("QT_QPA_PLATFORM", nullptr), X("DISPLAY", "remote.example:0"),
            W("WAYLAND_DISPLAY", nullptr);
        EXPECT_TRUE(DisplayAvailable(Reason));
    }
}

} // namespace
