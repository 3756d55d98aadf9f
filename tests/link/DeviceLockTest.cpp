// A run holds its device under any of its names until it lets go.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "link/DeviceLock.h"

namespace tessra {
namespace {

TEST(DeviceLock, OneRunHoldsADeviceUnderAnyOfItsNames) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("tessra-device-lock-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string device = (dir / "ttyUSB0").string(), alias = (dir / "by-path").string();
    std::ofstream{device};
    std::filesystem::create_symlink(device, alias);

    std::string refusal;
    auto held = DeviceLock::take(*identifyDevice(device), refusal);
    ASSERT_TRUE(held) << refusal;
    EXPECT_FALSE(DeviceLock::take(*identifyDevice(alias), refusal));
    EXPECT_EQ(refusal, device + " is in use by another run of this utility (process " +
                           std::to_string(::getpid()) + ")");
    held.reset();
    EXPECT_TRUE(DeviceLock::take(*identifyDevice(alias), refusal));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tessra
