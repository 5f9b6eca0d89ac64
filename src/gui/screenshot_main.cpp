// Saves pictures of the main window and the settings windows, for the documentation:
// serwis-kas-zrzuty FOLDER (run on the offscreen platform by scripts/screenshots.sh).
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>
#include <cstdio>
#include <string>

#include "gui/grid_model.h"
#include "gui/opis_bledow_form.h"
#include "gui/polish_translations.h"
#include "gui/tecrform.h"
#include "gui/ustawienie_kasy_form.h"
#include "gui/ustawienie_programu_form.h"
#include "tables/catalogue.h"

namespace {

using kasa::gui::TECRForm;

bool Save(QWidget& window, const QDir& folder, const char* name) {
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(QString::fromUtf8(name));
    if (!window.grab().save(path, "PNG")) {
        std::fprintf(stderr, "Nie można zapisać pliku %s\n", path.toLocal8Bit().constData());
        return false;
    }
    std::printf("%s\n", path.toLocal8Bit().constData());
    return true;
}

// A few goods, so that the picture shows a table in use.
void FillGoods(TECRForm& form) {
    struct Goods {
        const char* name;
        const char* code;
        const char* vat;
        const char* group;
        const char* price;
    };
    const Goods goods[] = {
        {"Chleb wiejski", "5901234123457", "B", "1", "4.99"},
        {"Masło ekstra", "5900512300108", "B", "2", "7.49"},
        {"Mleko 3,2% 1l", "5900820000011", "B", "2", "3.29"},
        {"Jabłka Ligol", "2000000000015", "C", "3", "3.99"},
        {"Woda źródlana", "5900541000017", "A", "4", "1.79"},
        {"Żurek śląski", "5901886013413", "B", "1", "5.49"},
    };
    kasa::gui::GridModel* model = form.GridModelOf("PLU");
    model->ChangeWholeGrid([&](kasa::TextGrid& grid) {
        int row = 1;
        for (const Goods& item : goods) {
            grid.SetCell(1, row, item.name);
            grid.SetCell(2, row, item.code);
            grid.SetCell(3, row, item.vat);
            grid.SetCell(4, row, item.group);
            grid.SetCell(5, row, "0");
            grid.SetCell(6, row, item.price);
            ++row;
        }
    });
    form.LayOutGrid("PLU");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kasa::gui::InstallPolishTranslations(app);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "Nie można utworzyć folderu %s\n",
                     folder.path().toLocal8Bit().constData());
        return 1;
    }
    std::string type = "Vesper";
    kasa::ActiveModelSelection().Select(type);

    TECRForm form;
    form.move(0, 0);
    FillGoods(form);
    form.SetCommunicationStarted(false);
    bool ok = true;
    form.Tabs()->setCurrentWidget(form.Control(QStringLiteral("PLU_strona")));
    ok = Save(form, folder, "okno_glowne.png") && ok;
    form.Tabs()->setCurrentWidget(form.Control(QStringLiteral("Rabat_strona")));
    ok = Save(form, folder, "okno_glowne_rabaty.png") && ok;
    form.Tabs()->setCurrentWidget(form.Control(QStringLiteral("Kasjer_strona")));
    ok = Save(form, folder, "okno_glowne_kasjerzy.png") && ok;
    form.ShowInformationPage();
    ok = Save(form, folder, "okno_glowne_informacje.png") && ok;
    form.Tabs()->setCurrentWidget(form.Control(QStringLiteral("Naglowek_strona")));
    ok = Save(form, folder, "okno_glowne_naglowek.png") && ok;

    kasa::gui::ProgramSettingsValues values;
    values.portName = kasa::gui::kVirtualRegisterPort;
    values.registerType = "Vesper";
    form.ProgramSettingsWindow()->SetValues(values);
    ok = Save(*form.ProgramSettingsWindow(), folder, "ustawienia_programu.png") && ok;
    ok = Save(*form.RegisterSettingsWindow(), folder, "ustawienia_kasy.png") && ok;
    // Two digits typed, as the user would, describe codes 2 and 24.
    QLineEdit* code = form.ErrorCodesWindow()->CodeField();
    for (const QChar digit : QStringLiteral("24")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + digit.digitValue(), Qt::NoModifier,
                        QString(digit));
        QApplication::sendEvent(code, &press);
    }
    ok = Save(*form.ErrorCodesWindow(), folder, "opis_bledow.png") && ok;
    return ok ? 0 : 1;
}
