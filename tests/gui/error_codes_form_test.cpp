// The error codes window: every digit typed describes the code typed so far.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include "gui/dialogs/opis_bledow_form.h"

using kasa::gui::TOpisBledowForm;

class ErrorCodesFormTest : public QObject {
    Q_OBJECT

  private:
    static QStringList Lines(const TOpisBledowForm& form) {
        const QString text = form.Descriptions()->toPlainText();
        return text.isEmpty() ? QStringList{} : text.split(QLatin1Char('\n'));
    }

  private slots:
    void eachDigitDescribesTheCodeSoFar() {
        TOpisBledowForm form;
        form.show();
        QTest::keyClicks(form.CodeField(), QStringLiteral("2"));
        QTest::keyClicks(form.CodeField(), QStringLiteral("4"));
        QCOMPARE(Lines(form),
                 (QStringList{"Nierozpoznany błąd o kodzie 2.", "Błąd rozkazu.",
                              "Przyczyną może być niezainicjowana transmisja w kasie."}));

        // Erasing a digit describes nothing; typing another describes the new code.
        QTest::keyClick(form.CodeField(), Qt::Key_Backspace);
        QCOMPARE(Lines(form).size(), 3);
        QTest::keyClicks(form.CodeField(), QStringLiteral("8"));
        QCOMPARE(Lines(form).last(), QStringLiteral("Nieunikalna nazwa towaru"));
        // Letters are not codes.
        QTest::keyClicks(form.CodeField(), QStringLiteral("x"));
        QCOMPARE(form.CodeField()->text(), QStringLiteral("28"));
        QCOMPARE(Lines(form).size(), 4);
    }

    void aLongCodeStopsBeforeItOverflows() {
        TOpisBledowForm form;
        form.show();
        QTest::keyClicks(form.CodeField(), QStringLiteral("999999999999"));
        QCOMPARE(form.CodeField()->text(), QStringLiteral("999999999"));
        const QStringList lines = Lines(form);
        QCOMPARE(lines.size(), TOpisBledowForm::kMaxCodeDigits);
        QCOMPARE(lines.last(), QStringLiteral("Nierozpoznany błąd o kodzie 999999999."));
    }
};

QTEST_MAIN(ErrorCodesFormTest)
#include "error_codes_form_test.moc"
