// The upgrade check of the window program against a loopback HTTPS server: it runs beside
// the started window, starts only a verified newer program and then ends the window, and
// sends no request when the setting or the option turns it off.
#include <QAction>
#include <QCheckBox>
#include <QtTest>

#include "gui/checked_items.h"
#include "gui/dialogs/upgrade_actions.h"
#include "gui/dialogs/ustawienie_programu_form.h"
#include "gui/program_harness.h"
#include "support/https_test_server.h"

using kasa::gui::MainController;
using kasa::testing::HttpsTestServer;
using kasa::testing::Program;
using kasa::testing::gui::LastItem;

namespace {

// A source on `address` trusting the test server, with a key of the test's own.
kasa::gui::MainController::Options UpgradeOptions(const HttpsTestServer& server,
                                                  const std::string& address,
                                                  const kasa::testing::SigningKeys& keys,
                                                  const std::string& downloads) {
    kasa::gui::MainController::Options options;
    options.upgrade.baseAddress = address;
    options.upgrade.caFile = server.CaFile();
    options.upgrade.publicKey = keys.publicKey;
    options.upgrade.downloadFolder = downloads;
    options.upgrade.connectTimeoutMs = 1000;
    options.upgrade.versionTimeoutMs = 1000;
    return options;
}

bool Asked(const Program& p) {
    for (const auto& shown : p.shown) {
        if (shown.title == kasa::kUpgradeTitle) {
            return true;
        }
    }
    return false;
}

}  // namespace

class UpgradeActionsTest : public QObject {
    Q_OBJECT

  private slots:
    void startsTheVerifiedNewerProgramAndEnds() {
        HttpsTestServer server;
        QVERIFY(server.Running());
        const auto keys = kasa::testing::NewSigningKeys();
        kasa::testing::ScratchFolder work;
        const std::string program = kasa::testing::MarkerProgram(work.Path("marker"));
        server.Serve("v.txt", "99.0.0.0\n");
        server.Serve("v.run", program);
        server.Serve("v.sig", kasa::testing::Sign(keys, program));
        Program p(false, {}, UpgradeOptions(server, server.Address("v"), keys, work.Path("")));
        p.answer = kasa::Answer::Yes;
        p.controller->Show();
        QVERIFY(p.form->isVisible());
        QVERIFY(p.controller->Upgrade().Started());
        QTRY_VERIFY_WITH_TIMEOUT(!p.form->isVisible(), 5000);
        QVERIFY(Asked(p));
        QTRY_VERIFY_WITH_TIMEOUT(work.Exists("marker"), 2000);
        QCOMPARE(work.Read("marker"), std::string("started\n"));
    }

    void turnedOffByOptionAsksTheServerNothingAndTheBoxSavesIt() {
        HttpsTestServer server;
        QVERIFY(server.Running());
        kasa::testing::ScratchFolder work;
        server.Serve("v.txt", "99.0.0.0\n");
        auto options = UpgradeOptions(server, server.Address("v"), kasa::testing::NewSigningKeys(),
                                      work.Path(""));
        options.noUpgradeCheck = true;
        Program p(false, {}, options);
        p.controller->Show();
        QVERIFY(!p.controller->Upgrade().Started());
        // The settings window's box turns the check off for the next starts.
        kasa::gui::TECRForm::ShowToolWindow(&p.SettingsWindow());
        QCheckBox* box = p.SettingsWindow().AutoUpgradeBox();
        QVERIFY(box->isChecked());
        box->click();
        QVERIFY(p.controller->SaveSettings());
        QVERIFY(p.folder.Read("config.cfg").find("AutoUpgrade=0") != std::string::npos);
        QCOMPARE(server.Requests().size(), size_t{0});
    }

    void turnedOffBySettingAsksTheServerNothing() {
        HttpsTestServer server;
        QVERIFY(server.Running());
        kasa::testing::ScratchFolder work;
        server.Serve("v.txt", "99.0.0.0\n");
        Program p(false, "[USTAWIENIA]\r\nAutoUpgrade=0\r\n",
                  UpgradeOptions(server, server.Address("v"), kasa::testing::NewSigningKeys(),
                                 work.Path("")));
        p.controller->Show();
        QVERIFY(!p.controller->Upgrade().Started());
        QCOMPARE(server.Requests().size(), size_t{0});
    }

    void switchedOnAsksOnlyForTheVersionWhenItIsTheOwn() {
        HttpsTestServer server;
        QVERIFY(server.Running());
        kasa::testing::ScratchFolder work;
        server.Serve("v.txt", kasa::VersionText(kasa::RunningProgramVersion()) + "\n");
        Program p(false, {},
                  UpgradeOptions(server, server.Address("v"), kasa::testing::NewSigningKeys(),
                                 work.Path("")));
        p.controller->Show();
        p.controller->Upgrade().Wait();
        QCoreApplication::processEvents();
        QVERIFY(!Asked(p));
        QCOMPARE(server.Requests(), std::vector<std::string>{"/v.txt"});
        // The about box shows the same version.
        p.form->MenuAction(QStringLiteral("&O programie"))->trigger();
        QVERIFY(LastItem(p.shown).text.find(SERWIS_VERSION) != std::string::npos);
    }

    void serverThatNeverAnswersLeavesTheWindowWorking() {
        kasa::testing::SilentListener silent;
        MainController::Options options;
        options.upgrade.baseAddress = silent.Address("v");
        options.upgrade.connectTimeoutMs = 300;
        options.upgrade.versionTimeoutMs = 300;
        Program p(false, {}, options);
        p.controller->Show();
        QVERIFY(p.form->isVisible());
        p.controller->Upgrade().Wait();
        QCoreApplication::processEvents();
        QVERIFY(p.form->isVisible());
        QVERIFY(!Asked(p));
    }
};

QTEST_MAIN(UpgradeActionsTest)
#include "upgrade_actions_test.moc"
