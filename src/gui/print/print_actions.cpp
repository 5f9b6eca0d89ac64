#include "gui/print/print_actions.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/print/pdf_file.h"
#include "gui/print/print_forms.h"
#include "gui/print/print_painter.h"

namespace kasa::gui {

namespace {

constexpr const char* kPrintTitle = "Drukowanie";

// A frame of a title bar and thin borders, assumed until the window manager has framed the
// window and its real frame is known.
constexpr QMargins kAssumedFrame{6, 30, 6, 6};

// The screen's area free of panels, where the main window is.
QRect AvailableArea(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 700);
}

}  // namespace

QRect PreviewGeometry(const QRect& available, const QMargins& frame, QSize preferred) {
    const int width =
        std::max(1, std::min(preferred.width(), available.width() - frame.left() - frame.right()));
    const int height = std::max(
        1, std::min(preferred.height(), available.height() - frame.top() - frame.bottom()));
    const int outerWidth = width + frame.left() + frame.right();
    const int outerHeight = height + frame.top() + frame.bottom();
    const int left = available.left() + std::max(0, (available.width() - outerWidth) / 2);
    const int top = available.top() + std::max(0, (available.height() - outerHeight) / 2);
    return {left + frame.left(), top + frame.top(), width, height};
}

PrintActions::PrintActions(TECRForm& form, Settings& settings, const std::string& configPath,
                           QObject* owner)
    : QObject(owner), form_(form), settings_(settings), configPath_(configPath) {
    parameters_ = new TParamDrukuj(&form);
    goods_ = new TPLU_wydrukForm(&form);
    cashiers_ = new TKAS_drukuj(&form);
    table_ = new PrintChoiceForm(&form, QStringLiteral("Drukowanie tabeli."),
                                 QStringLiteral("TabelaDrukuj"));

    connect(parameters_, &TParamDrukuj::closed, this, [this] {
        const PrintParameters& p = parameters_->Parameters();
        PrintLayout& layout = settings_.print;
        layout.KodKreskowy = p.inches[0];
        layout.Lewy = p.inches[1];
        layout.Dolny = p.inches[2];
        layout.Prawy = p.inches[3];
        layout.Wiersza = p.inches[4];
        layout.Kolumny = p.inches[5];
        WriteLayout();
    });
    connect(goods_, &PrintChoiceForm::closed, this, [this] {
        settings_.print.pluFlags = goods_->Flags();
        WriteLayout();
    });
    connect(cashiers_, &PrintChoiceForm::closed, this, [this] {
        settings_.print.cashierFlags = cashiers_->Flags();
        WriteLayout();
    });
    ConnectOutputs(goods_, [] { return TableKind::kGoods; });
    ConnectOutputs(cashiers_, [] { return TableKind::kCashiers; });
    ConnectOutputs(table_, [this] { return tableKind_; });

    form.BindAction(QStringLiteral("&Drukowania"), [this] {
        parameters_->SetParameters(CurrentParameters());
        TECRForm::ShowToolWindow(parameters_);
    });
    form.BindAction(QStringLiteral("&Drukuj tabelę PLU"),
                    [this] { ShowTableWindow(TableKind::kGoods); });
    BindButtons();
    connect(&form, &TECRForm::tablesRebuilt, this, [this] { BindButtons(); });
    // Choices of a window still open when the program ends are kept as on any close.
    connect(&form, &TECRForm::aboutToClose, this, [this] {
        for (QDialog* window : {static_cast<QDialog*>(parameters_), static_cast<QDialog*>(goods_),
                                static_cast<QDialog*>(cashiers_)}) {
            if (window->isVisible()) {
                window->close();
            }
        }
    });
}

PrintActions::~PrintActions() {
    delete parameters_;
    delete goods_;
    delete cashiers_;
    delete table_;
}

void PrintActions::BindButtons() {
    for (int k = 0; k < kTableKindCount; ++k) {
        const auto kind = static_cast<TableKind>(k);
        const std::string_view name = form_.Model().Table(kind).tableName;
        form_.BindButton(QString::fromUtf8(name.data(), static_cast<int>(name.size())) +
                             QStringLiteral("_drukuj"),
                         [this, kind] { ShowTableWindow(kind); });
    }
}

void PrintActions::ShowTableWindow(TableKind kind) {
    const TableDescriptor& table = form_.Model().Table(kind);
    if (kind == TableKind::kGoods) {
        goods_->Show(table, settings_.print.pluFlags);
        TECRForm::ShowToolWindow(goods_);
    } else if (kind == TableKind::kCashiers) {
        cashiers_->Show(table, settings_.print.cashierFlags);
        TECRForm::ShowToolWindow(cashiers_);
    } else {
        tableKind_ = kind;
        table_->setWindowTitle(
            QStringLiteral("Drukowanie tabeli %1.")
                .arg(QString::fromUtf8(table.tableName.data(),
                                       static_cast<int>(table.tableName.size()))));
        TECRForm::ShowToolWindow(table_);
    }
}

void PrintActions::ConnectOutputs(PrintChoiceForm* window, std::function<TableKind()> kind) {
    connect(window, &PrintChoiceForm::previewRequested, this, [this, kind] { Preview(kind()); });
    connect(window, &PrintChoiceForm::printRequested, this, [this, kind] { Print(kind()); });
    connect(window, &PrintChoiceForm::pdfRequested, this, [this, kind] { SavePdf(kind()); });
}

PrintParameters PrintActions::CurrentParameters() const {
    const PrintLayout& layout = settings_.print;
    PrintParameters p;
    p.inches = {layout.KodKreskowy, layout.Lewy,    layout.Dolny,
                layout.Prawy,       layout.Wiersza, layout.Kolumny};
    return p;
}

void PrintActions::WriteLayout() {
    const WriteResult written = WritePrintLayoutFile(configPath_, settings_.print);
    if (!written.ok) {
        form_.Ui().Message(kPrintTitle, written.message);
    }
}

std::optional<PrintDocument> PrintActions::LayOut(TableKind kind) {
    const TableDescriptor& table = form_.Model().Table(kind);
    TablePrintRequest request;
    request.table = &table;
    request.grid = form_.Grid(table.tableName);
    request.parameters = CurrentParameters();
    if (kind == TableKind::kGoods) {
        request.columns = GoodsPrintColumns(table, goods_->Flags());
    } else if (kind == TableKind::kCashiers) {
        request.columns = CashierPrintColumns(table, cashiers_->Flags());
    } else {
        request.columns = AllTextColumns(table);
    }
    TableLayoutResult laid = LayOutTable(request);
    if (!laid.ok()) {
        form_.Ui().Message(kPrintTitle, laid.error);
        return std::nullopt;
    }
    return std::move(laid.document);
}

void PrintActions::Preview(TableKind kind) {
    const std::optional<PrintDocument> document = LayOut(kind);
    if (!document) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    PreparePagedDevice(printer, *document);
    QPrintPreviewDialog dialog(&printer, &form_);
    dialog.setObjectName(QStringLiteral("PodgladWydruku"));
    dialog.setWindowTitle(QStringLiteral("Podgląd wydruku."));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&document](QPrinter* target) {
        QPainter painter(target);
        PaintDocument(painter, *target, *document);
    });
    const QRect available = AvailableArea(form_);
    dialog.setGeometry(PreviewGeometry(available, kAssumedFrame));
    // Once framed, the real frame is known: the window is fitted again with it. A window not
    // framed yet shows no frame at all, and keeps the frame assumed.
    QTimer::singleShot(0, &dialog, [&dialog, available] {
        const QRect inner = dialog.geometry();
        const QRect outer = dialog.frameGeometry();
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
        if (!frame.isNull() && frame != kAssumedFrame) {
            dialog.setGeometry(PreviewGeometry(available, frame));
        }
    });
    dialog.exec();
}

void PrintActions::Print(TableKind kind) {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        form_.Ui().Message(kPrintTitle,
                           "Nie zainstalowano żadnej drukarki.\nTabelę można zapisać jako PDF "
                           "albo obejrzeć w podglądzie wydruku.");
        return;
    }
    const std::optional<PrintDocument> document = LayOut(kind);
    if (!document) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    PreparePagedDevice(printer, *document);
    QPrintDialog dialog(&printer, &form_);
    dialog.setWindowTitle(QStringLiteral("Ustawienie parametrów wydruku."));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    PreparePagedDevice(printer, *document);
    QPainter painter(&printer);
    PaintDocument(painter, printer, *document,
                  [this](int remaining) { return ContinuePrinting(form_.Ui(), remaining); });
}

void PrintActions::SavePdf(TableKind kind) {
    const std::optional<PrintDocument> document = LayOut(kind);
    if (!document) {
        return;
    }
    std::optional<std::string> path;
    if (choosePdf_) {
        path = choosePdf_();
    } else {
        const QString chosen =
            QFileDialog::getSaveFileName(&form_, QStringLiteral("Zapisz jako PDF"), QString(),
                                         QStringLiteral("Pliki PDF (*.pdf)"));
        if (!chosen.isEmpty()) {
            path = chosen.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
                       ? chosen.toStdString()
                       : (chosen + QStringLiteral(".pdf")).toStdString();
        }
    }
    if (!path) {
        return;
    }
    const WriteResult written = WritePdfFile(*document, *path);
    if (!written.ok) {
        form_.Ui().Message(kPrintTitle, written.message);
        return;
    }
    form_.Ui().ShowOutcome("Zapisano wydruk (" + std::to_string(document->pages.size()) +
                           " stron) do pliku " + *path + ".");
}

}  // namespace kasa::gui
