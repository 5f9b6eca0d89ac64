#include "update/auto_upgrade.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/https_test_server.h"
#include "support/recording_ui.h"

namespace kasa {
namespace {

using testing::HttpsTestServer;
using testing::RecordingUserInterface;
using testing::ScratchFolder;

constexpr ProgramVersion kRunning{2, 0, 9, 9};

class AutoUpgradeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Running());
        source.publicKey = keys.publicKey;
        source.caFile = server.CaFile();
        source.downloadFolder = downloads.Path("");
        source.connectTimeoutMs = 1000;
        source.versionTimeoutMs = 1000;
        ui.answers.push_back(Answer::Yes);
    }
    // Publishes `version` with the marker program and `signature` under `name`.
    void Publish(const std::string& name, const std::string& version,
                 const std::string* signature) {
        server.Serve(name + ".txt", version);
        server.Serve(name + ".run", program);
        if (signature != nullptr) {
            server.Serve(name + ".sig", *signature);
        }
        source.baseAddress = server.Address(name);
    }
    bool Run(ProgramVersion running = kRunning) {
        return upgrade.Run(source, running, ConnectionState::kLan, abort);
    }
    bool DownloadsEmpty() const {
        return std::filesystem::is_empty(std::filesystem::path(downloads.Path("")));
    }

    HttpsTestServer server;
    testing::SigningKeys keys = testing::NewSigningKeys();
    ScratchFolder downloads;
    ScratchFolder work;
    std::string program = testing::MarkerProgram(work.Path("marker"));
    RecordingUserInterface ui;
    std::unique_ptr<Downloader> downloader = MakeNetworkDownloader();
    AutoUpgrade upgrade{*downloader, ui};
    UpgradeSource source;
    std::atomic<bool> abort{false};
};

TEST_F(AutoUpgradeTest, NewerSignedProgramIsAskedForDownloadedAndStartedOnce) {
    const std::string signature = testing::Sign(keys, program);
    Publish("v", "2.1.0.0\n", &signature);
    EXPECT_TRUE(Run());
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].title, "Informacja o nowej wersji programu.");
    EXPECT_EQ(ui.questions[0].text,
              "Znaleziono nowszą wersję programu.\nAktualizować oprogramowanie?");
    EXPECT_EQ(ui.buttons[0], Buttons::YesNo);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(server.Requests(), (std::vector<std::string>{"/v.txt", "/v.run", "/v.sig"}));
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.back(), std::make_pair(0, 0));
    // The started program creates the marker before it writes it, so wait for the text.
    for (int i = 0; i < 200 && work.Read("marker") != "started\n"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(work.Read("marker"), "started\n");

    // A second call in the same process asks the server nothing.
    ui.answers.push_back(Answer::Yes);
    EXPECT_FALSE(Run());
    EXPECT_EQ(server.Requests().size(), 3u);
}

TEST(FileSignature, OnlyTheExactSixtyFourBytesSignTheFile) {
    ScratchFolder folder;
    const std::string content = "program\n";
    folder.Write("program", content);
    const testing::SigningKeys keys = testing::NewSigningKeys();
    const std::string good = testing::Sign(keys, content);
    const std::string path = folder.Path("program");
    EXPECT_TRUE(VerifyFileSignature(path, good, keys.publicKey));
    EXPECT_FALSE(VerifyFileSignature(path, good.substr(0, 63), keys.publicKey));
    EXPECT_FALSE(VerifyFileSignature(path, good + '\0', keys.publicKey));
    EXPECT_FALSE(VerifyFileSignature(path, good + good, keys.publicKey));
    EXPECT_FALSE(VerifyFileSignature(folder.Path("missing"), good, keys.publicKey));
}

TEST_F(AutoUpgradeTest, UnverifiedOrIncompleteProgramIsDeletedAndNotStarted) {
    const testing::SigningKeys other = testing::NewSigningKeys();
    const std::string forged = testing::Sign(other, program);
    const std::string good = testing::Sign(keys, program);
    struct Case {
        const char* name;
        const std::string* signature;
    };
    for (const Case& c : {Case{"forged", &forged}, Case{"unsigned", nullptr}, Case{"cut", &good},
                          Case{"short", &good}, Case{"long", &good}}) {
        SCOPED_TRACE(c.name);
        AutoUpgrade fresh(*downloader, ui);
        ui.messages.clear();
        ui.answers = {Answer::Yes};
        Publish(c.name, "3.0.0.0\n", c.signature);
        if (std::string(c.name) == "short") {
            server.Serve("short.sig", good.substr(1));
        }
        // The genuine signature with one byte more is no signature either.
        if (std::string(c.name) == "long") {
            server.Serve("long.sig", good + '\0');
        }
        EXPECT_FALSE(fresh.Run(source, kRunning, ConnectionState::kLan, abort));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, kUpgradeTitle);
        EXPECT_EQ(ui.messages[0].text,
                  "Nie można wczytać programu.\nOperacja nie może, być wykonana.");
        EXPECT_TRUE(DownloadsEmpty());
    }
    EXPECT_FALSE(work.Exists("marker"));

    // A genuine file that does not start: the same message, and this program goes on.
    program = "no program at all\n";
    const std::string genuine = testing::Sign(keys, program);
    ui.messages.clear();
    ui.answers = {Answer::Yes};
    Publish("nostart", "3.0.0.0\n", &genuine);
    EXPECT_FALSE(Run());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kUpgradeFailed);
    EXPECT_TRUE(DownloadsEmpty());
}

TEST_F(AutoUpgradeTest, PlainHttpIsRefusedForTheVersionAndTheProgram) {
    HttpsTestServer plain(HttpsTestServer::Scheme::kPlainHttp);
    ASSERT_TRUE(plain.Running());
    ASSERT_EQ(plain.Address("v").rfind("http://", 0), 0u);
    const std::string signature = testing::Sign(keys, program);
    plain.Serve("v.txt", "2.1.0.0\n");
    plain.Serve("v.run", program);
    plain.Serve("v.sig", signature);
    source.baseAddress = plain.Address("v");
    EXPECT_FALSE(Run());
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(ui.messages.empty());

    // Each file alone, asked for directly or reached by a redirection from the HTTPS server.
    server.Redirect("moved.txt", plain.Address("v.txt"));
    server.Redirect("moved.run", plain.Address("v.run"));
    for (const std::string& url : {plain.Address("v.txt"), plain.Address("v.run"),
                                   server.Address("moved.txt"), server.Address("moved.run")}) {
        SCOPED_TRACE(url);
        const bool toFile = url.ends_with(".run");
        DownloadRequest request;
        request.url = url;
        request.targetPath = toFile ? downloads.Path("v.run") : "";
        request.maxBytes = 1 << 20;
        request.connectTimeoutMs = 1000;
        request.caFile = server.CaFile();
        const DownloadResult result = downloader->Fetch(request);
        EXPECT_EQ(result.outcome, DownloadOutcome::kFailed);
        EXPECT_TRUE(result.content.empty());
        EXPECT_TRUE(DownloadsEmpty());
    }
    EXPECT_TRUE(plain.Requests().empty());
    EXPECT_EQ(server.Requests(), (std::vector<std::string>{"/moved.txt", "/moved.run"}));
    EXPECT_FALSE(work.Exists("marker"));
}

TEST_F(AutoUpgradeTest, NoNewerReadableVersionEndsQuietly) {
    struct Case {
        const char* name;
        std::string version;
        ProgramVersion running;
    };
    const Case cases[] = {{"equal", "2.0.9.9\n", kRunning},
                          {"older", "2.0.9.8\n", kRunning},
                          {"page", "<html><body>Not found</body></html>", kRunning},
                          {"zeros", std::string(10 * 1024, '0'), kRunning},
                          {"empty", "", kRunning},
                          {"unknown", "9.9.9.9\n", kUnknownVersion}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AutoUpgrade fresh(*downloader, ui);
        Publish(c.name, c.version, nullptr);
        EXPECT_FALSE(fresh.Run(source, c.running, ConnectionState::kLan, abort));
        EXPECT_EQ(server.Requests().back(), "/" + std::string(c.name) + ".txt");
    }
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(ui.messages.empty());
    source.baseAddress = server.Address("missing");
    EXPECT_FALSE(Run());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AutoUpgradeTest, DeclinedOrCanceledDownloadStartsNothingAndSaysNothing) {
    const std::string signature = testing::Sign(keys, program);
    Publish("v", "2.1.0.0\n", &signature);
    ui.answers = {Answer::No};
    EXPECT_FALSE(Run());
    EXPECT_EQ(server.Requests(), (std::vector<std::string>{"/v.txt"}));

    // A stop asked for while the question is open cancels the download that follows.
    struct StoppingUi : RecordingUserInterface {
        std::atomic<bool>* stop = nullptr;
        Answer Ask(const std::string&, const std::string&, Buttons) override {
            *stop = true;
            return Answer::Yes;
        }
    } stopping;
    stopping.stop = &abort;
    AutoUpgrade fresh(*downloader, stopping);
    EXPECT_FALSE(fresh.Run(source, kRunning, ConnectionState::kLan, abort));
    EXPECT_TRUE(stopping.messages.empty());
    EXPECT_TRUE(DownloadsEmpty());
    EXPECT_FALSE(work.Exists("marker"));
}

TEST_F(AutoUpgradeTest, ServerThatNeverAnswersOrOfflineGivesNothing) {
    testing::SilentListener silent;
    source.baseAddress = silent.Address("v");
    source.connectTimeoutMs = 300;
    source.versionTimeoutMs = 300;
    EXPECT_FALSE(Run());
    const std::string signature = testing::Sign(keys, program);
    Publish("v", "2.1.0.0\n", &signature);
    AutoUpgrade offline(*downloader, ui);
    EXPECT_FALSE(offline.Run(source, kRunning, ConnectionState::kOffline, abort));
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(UpgradeQuestionText(ConnectionState::kModem),
              std::string(kUpgradeQuestion) + "\n" + kUpgradeModemNote);
}

}  // namespace
}  // namespace kasa
