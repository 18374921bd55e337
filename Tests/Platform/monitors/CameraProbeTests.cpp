// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/linux/ProcCameraProbe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace clickory {
namespace {

namespace fs = std::filesystem;

class ProcTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "clickory-proc-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        devices = root / "dev";
        fs::create_directories(devices);
        std::ofstream(devices / "video2");
    }
    void TearDown() override { fs::remove_all(root); }

    void openFile(const std::string& pid, int fd, const std::string& target)
    {
        fs::create_directories(root / pid / "fd");
        fs::create_symlink(target, root / pid / "fd" / std::to_string(fd));
    }

    ProcCameraProbe probe() const { return ProcCameraProbe(root.string(), devices.string()); }

    fs::path root;
    fs::path devices;
};

TEST_F(ProcTree, NoVideoDeviceOpenMeansNoCamera)
{
    openFile("100", 0, "/dev/null");
    openFile("100", 3, "/dev/snd/pcmC0D0c");
    openFile("200", 7, "socket:[12345]");
    fs::create_directories(root / "self" / "fd");
    fs::create_symlink("/dev/video0", root / "self" / "fd" / "9"); // not a process number
    EXPECT_FALSE(probe().isCameraInUse());
}

TEST_F(ProcTree, AnyProcessHoldingAVideoDeviceMeansCameraInUse)
{
    openFile("100", 0, "/dev/null");
    openFile("4242", 12, "/dev/video2");
    EXPECT_TRUE(probe().isCameraInUse());
}

TEST_F(ProcTree, WithoutAVideoDeviceNodeNoProcessIsAsked)
{
    openFile("4242", 12, "/dev/video2");
    // Only names of the form video<digits> count as capture devices.
    fs::remove(devices / "video2");
    std::ofstream(devices / "video");
    std::ofstream(devices / "videox1");
    std::ofstream(devices / "null");
    EXPECT_FALSE(probe().isCameraInUse());
    std::ofstream(devices / "video10");
    EXPECT_TRUE(probe().isCameraInUse());
    // A device folder that cannot be read does not hide a camera in use.
    EXPECT_TRUE(ProcCameraProbe(root.string(), (root / "no-dev").string()).isCameraInUse());
}

TEST(ProcCameraProbe, MissingProcAndTheRealOneAnswerWithoutFailing)
{
    EXPECT_FALSE(ProcCameraProbe("/nonexistent-proc").isCameraInUse());
    ProcCameraProbe real;
    (void)real.isCameraInUse(); // whatever the machine says, it answers
}

} // namespace
} // namespace clickory
