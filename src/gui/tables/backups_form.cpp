#include "gui/tables/backups_form.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kasa::gui {

namespace {

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TKopieForm::TKopieForm(QWidget* parent, std::function<std::string()> folder,
                       std::function<void(const std::string& path)> restore,
                       std::function<void(const std::string& path)> show)
    : QDialog(parent),
      folder_(std::move(folder)),
      restore_(std::move(restore)),
      show_(std::move(show)) {
    setObjectName(QStringLiteral("TKopieForm"));
    setWindowTitle(QStringLiteral("Kopie przed zapisem"));
    auto* layout = new QVBoxLayout(this);
    auto* lead = new QLabel(
        QStringLiteral("Rekordy kasy sprzed każdego zapisu. „Przywróć” zapisuje wybraną kopię "
                       "do kasy."),
        this);
    lead->setWordWrap(true);
    layout->addWidget(lead);
    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName(QStringLiteral("Kopie"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Data"), QStringLiteral("Kasa"),
                                       QStringLiteral("Tabela"), QStringLiteral("Rekordy")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);
    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, void (TKopieForm::*)()> commands[] = {
        {"Przywróć", &TKopieForm::Przywroc},
        {"Pokaż plik", &TKopieForm::PokazPlik},
    };
    for (const auto& [text, command] : commands) {
        auto* button = new QPushButton(QString::fromUtf8(text), this);
        connect(button, &QPushButton::clicked, this, command);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* close = new QPushButton(QStringLiteral("Zamknij"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(560, 360);
}

void TKopieForm::Open() {
    entries_ = ListBackups(folder_ ? folder_() : std::string());
    table_->setRowCount(static_cast<int>(entries_.size()));
    for (int row = 0; row < static_cast<int>(entries_.size()); ++row) {
        const BackupEntry& entry = entries_[static_cast<size_t>(row)];
        const QString cells[] = {Q(entry.when), Q(entry.registerType), Q(entry.table),
                                 QString::number(entry.records)};
        for (int col = 0; col < 4; ++col) {
            table_->setItem(row, col, new QTableWidgetItem(cells[col]));
        }
    }
    table_->resizeColumnsToContents();
    if (!entries_.empty()) {
        table_->selectRow(0);
    }
    show();
    raise();
    activateWindow();
}

const BackupEntry* TKopieForm::Chosen() const {
    const int row = table_->currentRow();
    return row >= 0 && row < static_cast<int>(entries_.size()) ? &entries_[static_cast<size_t>(row)]
                                                               : nullptr;
}

void TKopieForm::Przywroc() {
    if (const BackupEntry* entry = Chosen(); entry != nullptr && restore_) {
        const std::string path = entry->path;
        restore_(path);
        Open();  // the restore's own backup joins the list
    }
}

void TKopieForm::PokazPlik() {
    if (const BackupEntry* entry = Chosen(); entry != nullptr && show_) {
        show_(entry->path);
    }
}

}  // namespace kasa::gui
