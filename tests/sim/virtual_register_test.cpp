#include "sim/virtual_register.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "base/atomic_file.h"
#include "comm/ecrclass.h"
#include "ecr/record_codec.h"
#include "ecr/records.h"
#include "ecr/register_session.h"
#include "sim/demo_data.h"

namespace kasa::sim {
namespace {

using namespace std::chrono_literals;

class VirtualRegisterTest : public ::testing::TestWithParam<RegisterType> {
  protected:
    void SetUp() override {
        VirtualRegisterOptions options;
        options.type = GetParam();
        reg = std::make_unique<VirtualRegister>(options);
        ASSERT_TRUE(reg->Start());
        ecr.SetPortParams(reg->PortPath(), 115200, nullptr, 0);
        ecr.answerTimeout = 1000;
        ASSERT_TRUE(ecr.InitTransmission());
    }
    RecordLayout Layout() const {
        return GetParam() == RegisterType::Zen ? RecordLayout::kZen : RecordLayout::kVesper;
    }
    // Sends a request built from text and the given binary body.
    bool Send(const std::string& header, const std::string& body = {}) {
        iBuffer& request = ecr.BeginRequest();
        request.Append(header);
        request.AppendBytes(body.data(), body.size());
        return ecr.Exchange(request);
    }
    std::unique_ptr<VirtualRegister> reg;
    RegisterSession ecr;
};

TEST_P(VirtualRegisterTest, AnswersStatusModeAndIdentification) {
    ASSERT_TRUE(Send("N"));
    EXPECT_EQ(ecr.answerBuffer.LastSeparator(), 'n');
    EXPECT_EQ(ecr.statusCode, 0);
    ASSERT_TRUE(Send(";3P"));
    EXPECT_EQ(ecr.statusCode, 0);
    EXPECT_TRUE(ecr.answerBuffer.Empty());
    {
        auto lock = reg->Lock();
        EXPECT_EQ(reg->State().mode, 3);
    }
    ASSERT_TRUE(Send("^"));
    EXPECT_EQ(ecr.answerBuffer.LastSeparator(), '~');
    const std::string ident(ecr.answerBuffer.View());
    EXPECT_NE(ident.find(GetParam() == RegisterType::Zen ? "ZEN" : "VES"), std::string::npos);
    EXPECT_EQ(std::count(ident.begin(), ident.end(), '/'), 3);
}

TEST_P(VirtualRegisterTest, ReadsDemoGoodsWithTheProgramsDecoder) {
    ASSERT_TRUE(Send(";0;7H"));
    ASSERT_EQ(ecr.answerBuffer.TakeInteger(), 0);
    ASSERT_EQ(ecr.answerBuffer.TakeInteger(), 7);
    ASSERT_EQ(ecr.answerBuffer.LastSeparator(), 'h');
    PluRecord plu;
    ASSERT_TRUE(plu.Decode(ecr.answerBuffer, Layout(), 1));
    EXPECT_EQ(plu.name, "Chleb żytni");
    EXPECT_EQ(plu.barcode.size(), 13u);
    EXPECT_EQ(plu.barcode.back() - '0', Ean13CheckDigit(plu.barcode.c_str()));
    EXPECT_DOUBLE_EQ(plu.price, 4.99);
    EXPECT_EQ(plu.vat, 2);
}

INSTANTIATE_TEST_SUITE_P(BothTypes, VirtualRegisterTest,
                         ::testing::Values(RegisterType::Zen, RegisterType::Vesper));

class LinkPath : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "linkXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        link_ = (dir_ / "kasa").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    VirtualRegisterOptions Options() const {
        VirtualRegisterOptions options;
        options.linkPath = link_;
        return options;
    }
    std::filesystem::path dir_;
    std::string link_;
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
