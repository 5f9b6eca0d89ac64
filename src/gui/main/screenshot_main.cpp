// Saves pictures of the main window and the settings windows, for the documentation:
// serwis-kas-zrzuty FOLDER [--wszystkie] (run on the offscreen platform by scripts/screenshots.sh).
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/register_tables.h"
#include "gui/dialogs/opis_bledow_form.h"
#include "gui/dialogs/ustawienie_kasy_form.h"
#include "gui/dialogs/ustawienie_programu_form.h"
#include "gui/editors/tlisting_form.h"
#include "gui/main/main_controller.h"
#include "gui/main/polish_translations.h"
#include "gui/main/tecrform.h"
#include "gui/print/print_actions.h"
#include "gui/print/print_forms.h"
#include "gui/print/print_painter.h"
#include "gui/register/document_control_form.h"
#include "gui/tables/grid_model.h"
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

// The goods as the built-in register holds them, read the way a transfer reads them.
void FillGoods(TECRForm& form, kasa::ECRClass& ecr) {
    kasa::TableSet tables;
    std::string error;
    if (!kasa::ReadTableFromRegister(ecr, form.Model(), kasa::TableKind::kGoods, tables,
                                     form.MinPlu(), nullptr, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return;
    }
    ecr.CloseTransmission();
    form.GridModelOf("PLU")->ChangeWholeGrid(
        [&](kasa::TextGrid& grid) { grid = tables.Grid(kasa::TableKind::kGoods); });
    form.LayOutGrid("PLU");
}

// The main window of one register type as a user starts it with --demo, its settings in a
// scratch folder, at the smallest size the layout is made for, with the built-in goods.
struct DemoWindow {
    explicit DemoWindow(const char* type) {
        QFile config(scratch.filePath(QStringLiteral("config.cfg")));
        if (config.open(QIODevice::WriteOnly)) {
            config.write(QByteArray("[USTAWIENIA]\r\nChashPath=") + type + "\r\n");
            config.close();
        }
        kasa::gui::MainController::Options options;
        options.demo = true;
        options.configPath = config.fileName().toStdString();
        controller = std::make_unique<kasa::gui::MainController>(form, options);
        controller->Show();
        form.resize(1024, 700);
        FillGoods(form, controller->Ecr());
    }
    QTemporaryDir scratch;
    TECRForm form;
    std::unique_ptr<kasa::gui::MainController> controller;
};

// Every page of both register types, for a look at all of them: zen_1.png, vesper_1.png...
bool SaveEveryPage(const QDir& folder) {
    bool ok = true;
    for (const char* type : {"Zen", "Vesper"}) {
        DemoWindow window(type);
        QTabWidget* tabs = window.form.Tabs();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            const std::string name = QString::fromUtf8(type).toLower().toStdString() + "_" +
                                     std::to_string(i + 1) + ".png";
            ok = Save(window.form, folder, name.c_str()) && ok;
        }
    }
    return ok;
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
    if (argc > 2 && std::string(argv[2]) == "--wszystkie") {
        return SaveEveryPage(folder) ? 0 : 1;
    }
    DemoWindow window("Vesper");
    TECRForm& form = window.form;
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

    // The faults found before writing the goods, then the same lines as a plain list.
    kasa::gui::TListingForm& listing = *form.ListingWindow();
    for (const char* line : {"PLU: 0,000 w miejscu 2 3 cena nie może być zerowa.",
                             "PLU: Chleb w miejscu 4 1 nazwa jest identyczna."}) {
        listing.AddLine(line, kasa::FaultPlace{"PLU", 3, 2});
    }
    listing.ShowInMode(1);
    ok = Save(listing, folder, "lista_weryfikacja.png") && ok;
    listing.ShowInMode(kasa::kListingPlainMode);
    ok = Save(listing, folder, "lista_komunikatow.png") && ok;

    // The verification window with the first daily report of the examples.
    kasa::SilentUserInterface silent;
    kasa::gui::TDocumentControl_Form document(silent);
    document.OpenNormal({});
    document.ChooseType(kasa::kDailyReport);
    document.NextExampleClicked();
    ok = Save(document, folder, "weryfikacja_dokumentu.png") && ok;

    // The goods print choices and the preview of the list with its barcodes.
    auto* printing = form.findChild<kasa::gui::PrintActions*>();
    form.MenuAction(QStringLiteral("&Drukowania"))->trigger();
    ok = Save(*printing->ParametersWindow(), folder, "parametry_drukowania.png") && ok;
    form.MenuAction(QStringLiteral("&Drukuj tabelę PLU"))->trigger();
    kasa::gui::TPLU_wydrukForm& goods = *printing->GoodsWindow();
    for (const char* choice : {"PLU_flag2", "PLU_flag5", "PLU_flag9", "PLU_flag14"}) {
        goods.findChild<QAbstractButton*>(QString::fromLatin1(choice))->setChecked(true);
    }
    ok = Save(goods, folder, "wydruk_towarow.png") && ok;
    if (const std::optional<kasa::PrintDocument> laid = printing->LayOut(kasa::TableKind::kGoods)) {
        QPrinter printer(QPrinter::HighResolution);
        kasa::gui::PreparePagedDevice(printer, *laid);
        QPrintPreviewDialog preview(&printer);
        preview.setWindowTitle(QStringLiteral("Podgląd wydruku."));
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [&laid](QPrinter* target) {
            QPainter painter(target);
            kasa::gui::PaintDocument(painter, *target, *laid);
        });
        preview.resize(900, 1000);
        ok = Save(preview, folder, "podglad_wydruku.png") && ok;
    }
    return ok ? 0 : 1;
}
