#include "gui/dialogs/ustawienie_kasy_form.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kasa::gui {

namespace {

struct ListContent {
    const char* objectName;
    const char* label;
    std::initializer_list<const char*> items;
};

const ListContent kLists[TUstawienieKasyForm::kListCount] = {
    {"TrybObslugiBledow",
     "Tryb obsługi błędów",
     {"Wyświetlacz-ON, RS-OFF", "Wyświetlacz-OFF, RS-OFF", "Wyświetlacz-ON, RS-ON",
      "Wyświetlacz-OFF, RS-ON"}},
    {"JakoscWydruku", "Jakość wydruku", {"Standardowa", "Jaśniejszy", "Ciemniejszy"}},
    {"TrybPracy", "Tryb pracy", {"OFF-LINE", "ON-LINE"}},
    {"TrybWprowadzaniaKwot", "Tryb wprowadzania kwot", {"w złotówkach", "w groszach"}},
    {"PoTransakcji", "Po transakcji", {"brak wysyłania danych", "dane są wysyłane"}},
};

}  // namespace

TUstawienieKasyForm::TUstawienieKasyForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("UstawienieKasyForm");
    setWindowTitle(QStringLiteral("Ustawienia Kasy"));

    auto* form = new QFormLayout;
    for (int i = 0; i < kListCount; ++i) {
        const ListContent& content = kLists[i];
        auto* list = new QComboBox(this);
        list->setObjectName(content.objectName);
        for (const char* item : content.items) {
            list->addItem(QString::fromUtf8(item));
        }
        list->setCurrentIndex(0);
        auto* label = new QLabel(QString::fromUtf8(content.label), this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setBuddy(list);
        form->addRow(label, list);
        lists_[static_cast<size_t>(i)] = list;
    }

    send_ = new QPushButton(QStringLiteral("Wyślij do kasy"), this);
    send_->setObjectName("Wyslij");
    exit_ = new QPushButton(QStringLiteral("Wyjśćie"), this);
    exit_->setObjectName("Wyjscie");
    connect(send_, &QPushButton::clicked, this, &TUstawienieKasyForm::sendRequested);
    connect(exit_, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(send_);
    buttons->addWidget(exit_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
}

int TUstawienieKasyForm::SelectedIndex(List list) const {
    return lists_[static_cast<size_t>(list)]->currentIndex();
}

std::array<int, TUstawienieKasyForm::kListCount> TUstawienieKasyForm::SelectedIndexes() const {
    std::array<int, kListCount> indexes{};
    for (int i = 0; i < kListCount; ++i) {
        indexes[static_cast<size_t>(i)] = lists_[static_cast<size_t>(i)]->currentIndex();
    }
    return indexes;
}

}  // namespace kasa::gui
