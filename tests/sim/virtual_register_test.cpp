#include "sim/virtual_register.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/atomic_file.h"
#include "ecr/register_session.h"
#include "support/scratch_folder.h"

namespace kasa::sim {
namespace {

// The register's answers themselves are checked through the program's exchange in the
// other tests of the virtual register; here the link that names its port.
class LinkPath : public ::testing::Test {
  protected:
    VirtualRegisterOptions Options() const {
        VirtualRegisterOptions options;
        options.linkPath = link_;
        return options;
    }
    testing::ScratchFolder folder_;
    std::string link_ = folder_.Path("kasa");
};

TEST_F(LinkPath, PointsAtThePortWhileRunning) {
    {
        VirtualRegister reg(Options());
        ASSERT_TRUE(reg.Start());
        EXPECT_EQ(reg.PortPath(), link_);
        ASSERT_TRUE(std::filesystem::is_symlink(link_));
        EXPECT_EQ(std::filesystem::read_symlink(link_).string().rfind("/dev/pts/", 0), 0u);
        RegisterSession ecr;
        ecr.SetPortParams(link_, 9600, nullptr, 0);
        ecr.answerTimeout = 1000;
        iBuffer& request = ecr.BeginRequest();
        request.Append("N");
        EXPECT_TRUE(ecr.Exchange(request));
        EXPECT_EQ(ecr.statusCode, 0);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link_)));
}

TEST_F(LinkPath, AStaleLinkIsReplaced) {
    std::filesystem::create_symlink("/nonexistent/pts", link_);
    VirtualRegister reg(Options());
    ASSERT_TRUE(reg.Start());
    EXPECT_EQ(std::filesystem::read_symlink(link_).string().rfind("/dev/pts/", 0), 0u);
}

TEST_F(LinkPath, AFileOfThatNameIsNeverRemoved) {
    ASSERT_TRUE(WriteFileAtomically(link_, "ważne dane").ok);
    {
        VirtualRegister reg(Options());
        EXPECT_FALSE(reg.Start());
    }
    std::string content;
    ASSERT_TRUE(ReadWholeFile(link_, content));
    EXPECT_EQ(content, "ważne dane");
}

TEST_F(LinkPath, ALinkTakenOverByAnotherIsLeftAtStop) {
    VirtualRegister reg(Options());
    ASSERT_TRUE(reg.Start());
    std::filesystem::remove(link_);
    std::filesystem::create_symlink("/dev/null", link_);
    reg.Stop();
    EXPECT_EQ(std::filesystem::read_symlink(link_), "/dev/null");
}

}  // namespace
}  // namespace kasa::sim
