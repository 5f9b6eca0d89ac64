// The transmission preview: what reaches it from the protocol log, and when.
#include <QAction>
#include <QListWidget>
#include <QtTest>
#include <thread>

#include "gui/editors/tlisting_form.h"
#include "gui/editors/transmission_preview.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"

using kasa::gui::TECRForm;
using kasa::gui::TListingForm;

class TransmissionPreviewTest : public QObject {
    Q_OBJECT

  private:
    static QStringList Shown(const TListingForm& preview) {
        QStringList lines;
        for (int row = 0; row < preview.List()->count(); ++row) {
            lines << preview.List()->item(row)->text();
        }
        return lines;
    }

  private slots:
    void showsLinesOnlyWhileVisibleInTheOrderTheyCame() {
        TECRForm form;
        TListingForm* preview = kasa::gui::BindTransmissionPreview(form);
        form.Ui().LogLine("przed otwarciem");
        QCoreApplication::processEvents();
        form.MenuAction(QString::fromUtf8(kasa::gui::kPreviewMenuItem))->trigger();
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->windowTitle(), QStringLiteral("PODGLĄD TRANSMISJI"));
        QCOMPARE(preview->List()->count(), 0);

        // A worker's lines and the window thread's own keep the order they were made in.
        std::thread worker([&form] {
            for (int i = 0; i < 3; ++i) {
                form.Ui().LogLine("w" + std::to_string(i));
            }
        });
        worker.join();
        form.Ui().LogLine("okno");
        QTRY_COMPARE(Shown(*preview), (QStringList{"w0", "w1", "w2", "okno"}));

        preview->Zamknij();
        form.Ui().LogLine("po zamknięciu");
        QCoreApplication::processEvents();
        QCOMPARE(Shown(*preview), (QStringList{"w0", "w1", "w2", "okno"}));
    }
};

QTEST_MAIN(TransmissionPreviewTest)
#include "transmission_preview_test.moc"
