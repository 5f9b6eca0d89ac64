#include "gui/register/fiscal_memory_actions.h"

#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ecr/fiscal_memory.h"
#include "gui/editors/tlisting_form.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/tables/transfer_actions.h"

namespace kasa::gui {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

constexpr const char* kPanelCaption = "Odczyt pamięci fiskalnej";

}  // namespace

FiscalMemoryActions::FiscalMemoryActions(TECRForm& form, TransferActions& transfers)
    : QObject(&form), form_(form), transfers_(transfers) {
    setObjectName(QStringLiteral("FiscalMemoryActions"));
    chooser_ = [this](const QString& current) -> std::optional<QString> {
        // The log filter offers *.log files, not the *.csv its caption does not promise.
        QString selected = QStringLiteral("Pliki tekstowe(*.txt)");
        const QString path = QFileDialog::getSaveFileName(
            &form_, QStringLiteral("Wybór pliku do logów"), current,
            QStringLiteral("Pliki tekstowe(*.txt);;Pliki logów (*.log);;Wszystkie pliki (*.*)"),
            &selected, QFileDialog::DontConfirmOverwrite);
        if (path.isEmpty()) {
            return std::nullopt;
        }
        return path;
    };
    BuildPanel();
    form_.BindAction(QStringLiteral("&Odczyt Pamieci Fiskalnej"), [this] { OpenPanel(); });
}

void FiscalMemoryActions::BuildPanel() {
    panel_ = new QDialog(&form_);
    panel_->setObjectName(QStringLiteral("FiscalMemoryPanel"));
    panel_->setWindowTitle(QString::fromUtf8(kPanelCaption));
    auto* layout = new QGridLayout(panel_);
    auto edit = [this](const char* name, const char* text) {
        auto* line = new QLineEdit(QString::fromUtf8(text), panel_);
        line->setObjectName(QString::fromUtf8(name));
        return line;
    };
    layout->addWidget(new QLabel(QStringLiteral("Pierwszy rekord (0–2047):"), panel_), 0, 0);
    layout->addWidget(edit("eFiskalna1", "0"), 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Ostatni rekord (0–2047):"), panel_), 1, 0);
    layout->addWidget(edit("eFiskalna2", "2047"), 1, 1);
    auto* read = new QPushButton(QStringLiteral("Odczyt z kasy"), panel_);
    read->setObjectName(QStringLiteral("Fiskalna_odczyt_kasa"));
    connect(read, &QPushButton::clicked, this, [this] { ReadClicked(); });
    auto* log = new QPushButton(QStringLiteral("Logowanie do pliku..."), panel_);
    log->setObjectName(QStringLiteral("Logowaniedopliku1"));
    connect(log, &QPushButton::clicked, this, [this] { ChooseLogFile(); });
    auto* file = new QLabel(QStringLiteral("Bez zapisu do pliku"), panel_);
    file->setObjectName(QStringLiteral("FiscalLogFile"));
    layout->addWidget(read, 2, 0);
    layout->addWidget(log, 2, 1);
    layout->addWidget(file, 3, 0, 1, 2);
}

void FiscalMemoryActions::OpenPanel() {
    if (&form_.Model() == &VesperModel()) {
        form_.Ui().Message(kProgramCaption, kFiscalVesperMessage);
        return;
    }
    panel_->show();
    panel_->raise();
}

void FiscalMemoryActions::ChooseLogFile() {
    if (const std::optional<QString> path = chooser_(Q(logFile_))) {
        logFile_ = path->toStdString();
        panel_->findChild<QLabel*>(QStringLiteral("FiscalLogFile"))
            ->setText(QStringLiteral("Plik: ") + *path);
    }
}

void FiscalMemoryActions::ReadClicked() {
    auto* button = panel_->findChild<QPushButton*>(QStringLiteral("Fiskalna_odczyt_kasa"));
    // While its read runs the button is the abort button: no range is checked then.
    if (transfers_.Running() == BackgroundOperation::kFiscalMemoryRead) {
        transfers_.ReadFiscalMemory(button, 0, 0, {}, {});
        return;
    }
    if (&form_.Model() == &VesperModel()) {
        form_.Ui().Message(kProgramCaption, kFiscalVesperMessage);
        return;
    }
    auto text = [this](const char* name) {
        return panel_->findChild<QLineEdit*>(QString::fromUtf8(name))
            ->text()
            .trimmed()
            .toStdString();
    };
    const FiscalRange range = FiscalRangeFromText(text("eFiskalna1"), text("eFiskalna2"));
    if (!range.message.empty()) {
        form_.Ui().Message(button->text().toStdString(), range.message);
        return;
    }
    TListingForm* listing = form_.FiscalListingWindow();
    if (!listing->isVisible()) {
        listing->ShowInMode(0);
    }
    transfers_.ReadFiscalMemory(button, range.first, range.last, logFile_,
                                [listing](const std::vector<std::string>& lines) {
                                    for (const std::string& line : lines) {
                                        listing->AddLine(line);
                                    }
                                });
}

}  // namespace kasa::gui
