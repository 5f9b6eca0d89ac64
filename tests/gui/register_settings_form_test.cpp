// The register settings window: its lists, items and buttons, and what it hands over.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "gui/ustawienie_kasy_form.h"

using kasa::gui::TUstawienieKasyForm;

class RegisterSettingsFormTest : public QObject {
    Q_OBJECT

  private slots:
    void listsHaveTheirLabelsAndItems() {
        TUstawienieKasyForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Ustawienia Kasy"));
        const std::vector<std::pair<QString, QStringList>> lists = {
            {"Tryb obsługi błędów",
             {"Wyświetlacz-ON, RS-OFF", "Wyświetlacz-OFF, RS-OFF", "Wyświetlacz-ON, RS-ON",
              "Wyświetlacz-OFF, RS-ON"}},
            {"Jakość wydruku", {"Standardowa", "Jaśniejszy", "Ciemniejszy"}},
            {"Tryb pracy", {"OFF-LINE", "ON-LINE"}},
            {"Tryb wprowadzania kwot", {"w złotówkach", "w groszach"}},
            {"Po transakcji", {"brak wysyłania danych", "dane są wysyłane"}},
        };
        for (int i = 0; i < TUstawienieKasyForm::kListCount; ++i) {
            QComboBox* list = form.ListBox(static_cast<TUstawienieKasyForm::List>(i));
            QStringList items;
            for (int j = 0; j < list->count(); ++j) {
                items << list->itemText(j);
            }
            QCOMPARE(items, lists[static_cast<size_t>(i)].second);
            QCOMPARE(list->currentIndex(), 0);
            auto* label = form.findChild<QLabel*>(QStringLiteral("Label%1").arg(i + 1));
            QVERIFY(label != nullptr);
            QCOMPARE(label->text(), lists[static_cast<size_t>(i)].first);
            QVERIFY(label->buddy() == list);
        }
        QCOMPARE(form.SendButton()->text(), QStringLiteral("Wyślij do kasy"));
        QCOMPARE(form.ExitButton()->text(), QStringLiteral("Wyjśćie"));
    }

    void selectionsAreHandedOver() {
        TUstawienieKasyForm form;
        QCOMPARE(form.SelectedIndexes(), (std::array<int, 5>{0, 0, 0, 0, 0}));
        form.ListBox(TUstawienieKasyForm::kErrorMode)->setCurrentIndex(3);
        form.ListBox(TUstawienieKasyForm::kWorkMode)->setCurrentIndex(1);
        form.ListBox(TUstawienieKasyForm::kAfterTransaction)->setCurrentIndex(1);
        QCOMPARE(form.SelectedIndexes(), (std::array<int, 5>{3, 0, 1, 0, 1}));
        QCOMPARE(form.SelectedIndex(TUstawienieKasyForm::kAmountEntry), 0);

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
