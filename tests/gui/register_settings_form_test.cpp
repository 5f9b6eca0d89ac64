// The register settings window: what it hands over and its two buttons.
#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include "gui/dialogs/ustawienie_kasy_form.h"

using kasa::gui::TUstawienieKasyForm;

class RegisterSettingsFormTest : public QObject {
    Q_OBJECT

  private slots:
    void selectionsAreHandedOver() {
        TUstawienieKasyForm form;
        form.ListBox(TUstawienieKasyForm::kErrorMode)->setCurrentIndex(3);
        form.ListBox(TUstawienieKasyForm::kWorkMode)->setCurrentIndex(1);
        form.ListBox(TUstawienieKasyForm::kAfterTransaction)->setCurrentIndex(1);
        QCOMPARE(form.SelectedIndexes(), (std::array<int, 5>{3, 0, 1, 0, 1}));

        QSignalSpy sent(&form, &TUstawienieKasyForm::sendRequested);
        form.show();
        QTest::mouseClick(form.SendButton(), Qt::LeftButton);
        QCOMPARE(sent.count(), 1);
        QVERIFY(form.isVisible());
        QTest::mouseClick(form.ExitButton(), Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(sent.count(), 1);
    }
};

QTEST_MAIN(RegisterSettingsFormTest)
#include "register_settings_form_test.moc"
