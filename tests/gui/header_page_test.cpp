// The header page against the built-in virtual register: its buttons, the centring and
// heavy boxes, the red font of a line that does not fit and the character total.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "ecr/register_session.h"
#include "gui/editors/tlisting_form.h"
#include "gui/main/header_page_actions.h"
#include "gui/main/main_controller.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/tables/validation_actions.h"
#include "sim/virtual_register.h"
#include "support/recording_ui.h"
#include "support/scratch_folder.h"

using kasa::gui::MainController;
using kasa::gui::TECRForm;

namespace {

// The window, every message recorded: under --demo with its VESPER, or with the header
// page bound alone to a register object that has no port, so nothing can be sent.
class DemoWindow {
  public:
    explicit DemoWindow(bool demo = true) {
        form_.Ui().SetAnswerProvider(
            [this](const std::string& title, const std::string& text, kasa::Buttons) {
                shown.push_back({title, text});
                return kasa::Answer::Ok;
            });
        if (!demo) {
            auto* validation = new kasa::gui::ValidationActions(form_, settings_, nullptr);
            kasa::gui::BindHeaderPageActions(
                form_, {portless_, settings_, [] { return false; }, [] { return false; },
                        [](const std::function<void()>& operation) { operation(); },
                        [validation](std::function<void()> retry) {
                            return validation->Validate(kasa::ValidationCommand::kProgramHeader,
                                                        std::move(retry));
                        },
                        nullptr, nullptr});
            return;
        }
        MainController::Options options;
        options.configPath = folder_.Path("config.cfg");
        options.backupFolder = folder_.Path("kopie/");
        options.demo = true;
        controller_ = std::make_unique<MainController>(form_, options);
        controller_->Show();
    }
    ~DemoWindow() { controller_.reset(); }
    QLineEdit* Line(int n) { return form_.ControlAs<QLineEdit>(QStringLiteral("Line%1").arg(n)); }
    QCheckBox* Box(const char* prefix, int n) {
        return form_.ControlAs<QCheckBox>(QString::fromLatin1(prefix) + QString::number(n));
    }
    void Click(const char* button) {
        form_.ControlAs<QPushButton>(QString::fromLatin1(button))->click();
    }
    bool Red(int n) { return Line(n)->palette().color(QPalette::Text) == QColor(Qt::red); }
    QString Info() { return form_.InfoLabel()->text(); }
    kasa::sim::VirtualRegister& Register() { return *controller_->BuiltInRegister(); }
    TECRForm& Form() { return form_; }
    std::string Config() const { return folder_.Read("config.cfg"); }

    std::vector<kasa::testing::ShownMessage> shown;

  private:
    kasa::testing::ScratchFolder folder_;
    kasa::RegisterSession portless_;
    kasa::Settings settings_;
    TECRForm form_;
    std::unique_ptr<MainController> controller_;
};

}  // namespace

class HeaderPageTest : public QObject {
    Q_OBJECT
  private slots:
    void readEditAndWriteKeepTheLinesInPlace();
    void boxesCentreAndCheckTheWidth();
    void faultsStopTheWrite();
};

void HeaderPageTest::readEditAndWriteKeepTheLinesInPlace() {
    DemoWindow w;
    QVERIFY(w.Form().CommunicationStarted());
    w.Click("Naglowek_odczyt_kasa");
    QCOMPARE(w.Info(), QStringLiteral("Odczytano nagłówek z kasy."));
    // The register's first line is the first edit: reading and writing count alike.
    QCOMPARE(w.Line(1)->text(), QStringLiteral("SKLEP SPOŻYWCZY"));
    QVERIFY(w.Box("DLine", 1)->isChecked());
    QVERIFY(w.Box("CLine", 2)->isChecked());
    QVERIFY(w.Box("BLine", 4)->isChecked());
    w.Line(5)->setText(QStringLiteral("Zapraszamy"));
    w.Click("Naglowek_zapis_kasa");
    QVERIFY2(w.shown.empty(), w.shown.empty() ? "" : w.shown[0].text.c_str());
    // The header the register held is kept in a backup, named in Info.
    QCOMPARE(w.Info(), QStringLiteral("Zapisano nagłówek w kasie. Kopia: Plik / Kopie."));
    {
        auto lock = w.Register().Lock();
        const auto& header = w.Register().State().header;
        QCOMPARE(header[0].text, std::string("SKLEP SPOŻYWCZY"));
        QVERIFY(header[0].heavy);
        QCOMPARE(header[1].text, std::string("  u Kowalskich"));
        QVERIFY(header[3].doubleHeight);
        QCOMPARE(header[4].text, std::string("Zapraszamy"));
    }
    // The limit of faults was out of range in the new settings: corrected and kept.
    QVERIFY(w.Config().find("ErrorMax=200") != std::string::npos);
    // The total of the six lines shows on the next tick.
    auto* actions = w.Form().findChild<QObject*>(QStringLiteral("HeaderPageActions"));
    QVERIFY(actions != nullptr);
    actions->findChild<QTimer*>()->start(0);
    QTRY_COMPARE(w.Form().ControlAs<QLabel>(QStringLiteral("Naglowek_suma"))->text(),
                 QStringLiteral("66"));
}

void HeaderPageTest::boxesCentreAndCheckTheWidth() {
    DemoWindow w(false);
    w.Line(3)->setText(QString(25, QLatin1Char('x')));
    QVERIFY(!w.Red(3));
    w.Box("DLine", 3)->click();  // heavy characters: 20 fit
    QVERIFY(w.Red(3));
    w.Box("DLine", 3)->click();
    QVERIFY(!w.Red(3));
    w.Line(4)->setText(QStringLiteral("  abc"));
    w.Box("CLine", 4)->click();
    QCOMPARE(w.Line(4)->text(), QString(18, QLatin1Char(' ')) + QStringLiteral("abc"));
    w.Box("CLine", 4)->click();
    QCOMPARE(w.Line(4)->text(), QStringLiteral("abc"));
    w.Box("DLine", 4)->setChecked(true);
    w.Box("CLine", 4)->setChecked(true);
    w.Click("Naglowek_formatuj");
    QCOMPARE(w.Line(4)->text(), QString(8, QLatin1Char(' ')) + QStringLiteral("abc"));
    QCOMPARE(
        w.Line(4)->toolTip(),
        QStringLiteral("Wprowadzanie czwartej linii nagłówka.\nNagłówek może mieć 20 znaków."));
    QCOMPARE(w.Line(1)->toolTip(), QStringLiteral("Wprowadzanie pierwszej linii nagłówka.\n"
                                                  "Nagłówek może mieć 40 znaków."));
}

void HeaderPageTest::faultsStopTheWrite() {
    DemoWindow w(false);
    w.Line(1)->setText(QString(41, QLatin1Char('y')));
    w.Click("Naglowek_zapis_kasa");
    // The faults are listed, and no write was tried on the register without a port.
    QVERIFY(w.shown.empty());
    kasa::gui::TListingForm* listing = w.Form().ListingWindow();
    QVERIFY(listing->isVisible());
    QCOMPARE(listing->Mode(), 13);
    QVERIFY(listing->List()->count() > 0);
    QVERIFY(listing->List()->item(0)->text().contains(QString(41, QLatin1Char('y'))));
    // Put right, the line passes, the listing goes and the write is tried (and fails here).
    w.Line(1)->setText(QStringLiteral("Sklep"));
    listing->Ponow();
    QVERIFY(!listing->isVisible());
    QCOMPARE(w.shown.size(), size_t{1});
    QCOMPARE(w.shown[0].title, std::string("Program serwisowy kas"));
    QVERIFY(w.shown[0].text.rfind("Nie można zapisać nagłówka.", 0) == 0);
}

QTEST_MAIN(HeaderPageTest)
#include "header_page_test.moc"
