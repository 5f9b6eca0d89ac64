// The listing window: the verification buttons, its place in the settings, the preview's
// limit and the way from a fault line to the cell it names.
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include "gui/editors/tlisting_form.h"
#include "gui/main/tecrform.h"
#include "gui/tables/grid_model.h"
#include "support/recording_ui.h"
#include "support/scratch_folder.h"

using kasa::FaultPlace;
using kasa::WindowPlace;
using kasa::gui::TECRForm;
using kasa::gui::TListingForm;

class ListingFormTest : public QObject {
    Q_OBJECT

  private:
    static void ClickLine(TListingForm& form, int row) {
        QListWidget* list = form.List();
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

  private slots:
    void ponowRepeatsTheModesWriteAndAnulujDoesNot() {
        kasa::testing::RecordingUserInterface ui;
        TListingForm form(ui, QStringLiteral("Komunikaty"));
        std::vector<int> repeated;
        connect(&form, &TListingForm::repeatRequested, [&](int mode) { repeated.push_back(mode); });

        form.ShowInMode(4);
        form.AddLine("Opakowania: x w miejscu 1 2");
        QCOMPARE(form.size(), QSize(610, 374));
        QCOMPARE(form.List()->size(), QSize(590, 100));
        QCOMPARE(form.Heading()->text(),
                 QStringLiteral("WERYFIKACJA BAZY [OPAKOWANIA] ZAPISEM DO KASY"));
        QVERIFY(form.Heading()->isVisible() && form.RepeatButton()->isVisible());
        QVERIFY(!form.menuBar()->isVisible());
        QTest::mouseClick(form.RepeatButton(), Qt::LeftButton);
        QCOMPARE(repeated, std::vector<int>{4});
        QVERIFY(form.RepeatRequested());
        QVERIFY(!form.isVisible());
        QCOMPARE(form.List()->count(), 0);

        form.ShowInMode(14);
        QCOMPARE(form.List()->size(), QSize(590, 166));
        form.AddLine("StawkiVAT: 99 w miejscu 1");
        QTest::mouseClick(form.CancelButton(), Qt::LeftButton);
        QCOMPARE(repeated, std::vector<int>{4});
        QVERIFY(!form.RepeatRequested());
        QVERIFY(!form.isVisible());
        QCOMPARE(form.List()->count(), 0);
        QVERIFY(!form.Place().showing);
    }

    void thePlainListKeepsItsPlace() {
        kasa::testing::RecordingUserInterface ui;
        TListingForm form(ui, QStringLiteral("Komunikaty"));
        form.SetPlace(WindowPlace{"/tmp/stary.log", 40, 30, 500, 300, false});
        form.ShowInMode(kasa::kListingPlainMode);
        // The saved place is the window's inner area, as for every other window.
        QCOMPARE(form.geometry(), QRect(30, 40, 500, 300));
        QVERIFY(form.Place().showing);
        QVERIFY(form.menuBar()->isVisible() && !form.RepeatButton()->isVisible());

        form.resize(420, 260);
        QTRY_COMPARE(form.List()->width(), form.centralWidget()->width() - 5);
        form.Zamknij();
        const WindowPlace place = form.Place();
        QCOMPARE(place.width, 420);
        QCOMPARE(place.height, 260);
        QVERIFY(!place.showing);
        QVERIFY(!form.isVisible());
    }

    void refusalsAndSaveFailuresAreReported() {
        kasa::testing::RecordingUserInterface ui;
        kasa::testing::ScratchFolder folder;
        TListingForm form(ui, QStringLiteral("Pamięć fiskalna"));
        form.SetPlace(WindowPlace{folder.Path("stary.log"), 0, 0, 0, 0, false});
        form.ShowInMode(kasa::kListingPlainMode);
        form.AddLine("Raport dobowy 1");
        form.CopySelection();
        const std::string missing = folder.Path("brak/lista.log");
        QString suggested;
        form.SetSaveChooser([&](const QString& path) {
            suggested = path;
            return QString::fromStdString(missing);
        });
        form.Schowaj();
        QCOMPARE(suggested, QString::fromStdString(folder.Path("Listing.log")));
        QCOMPARE(form.Place().file, missing);
        QCOMPARE(ui.messages.size(), size_t{2});
        QCOMPARE(ui.messages[0].title, std::string("Pamięć fiskalna"));
        QCOMPARE(ui.messages[0].text, std::string("Nie wybrano żadnego wiersza\ndo zapisania."));
        QVERIFY(ui.messages[1].text.find(missing) != std::string::npos);
    }

    void thePreviewStartsAfreshWhenFull() {
        kasa::testing::RecordingUserInterface ui;
        TListingForm form(ui, QStringLiteral("Komunikaty"));
        form.ShowInMode(kasa::kListingPreviewMode);
        QCOMPARE(form.windowTitle(), QStringLiteral("PODGLĄD TRANSMISJI"));
        for (size_t i = 0; i <= kasa::kListingPreviewLimit; ++i) {
            form.AddLine("ramka");
        }
        form.AddLine("ostatnia");
        QCOMPARE(form.List()->count(), 1);
        QCOMPARE(form.List()->item(0)->text(), QStringLiteral("ostatnia"));
    }

    void aFaultLineLeadsToItsCell() {
        TECRForm main;
        main.show();
        TListingForm& listing = *main.ListingWindow();
        listing.ShowInMode(1);
        listing.AddLine("Błędów: 2");
        listing.AddLine("PLU: x w miejscu 3 2", FaultPlace{"PLU", 2, 3});
        listing.AddLine("StawkiVAT: 99 w miejscu 2", FaultPlace{"StawkiVAT", -1, 1});
        std::vector<FaultPlace> chosen;
        connect(&listing, &TListingForm::placeChosen,
                [&](const FaultPlace& place) { chosen.push_back(place); });

        ClickLine(listing, 0);
        QVERIFY(chosen.empty());
        ClickLine(listing, 1);
        QCOMPARE(chosen.size(), size_t{1});
        QTableView* goods = main.GridView("PLU");
        QVERIFY(main.Tabs()->currentWidget()->isAncestorOf(goods));
        QCOMPARE(goods->currentIndex(), main.GridModelOf("PLU")->IndexOfCell(2, 3));

        ClickLine(listing, 2);
        QVERIFY(main.Tabs()->currentWidget()->isAncestorOf(main.Control("E_VatB")));
    }
};

QTEST_MAIN(ListingFormTest)
#include "listing_form_test.moc"
