#include "gui/print/print_forms.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kasa::gui {

namespace {

QPushButton* AddButton(QHBoxLayout* row, QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    row->addWidget(button);
    return button;
}

// A new holder in place of one built for another register type.
QGridLayout* FreshGrid(QWidget*& holder) {
    QWidget* parent = holder->parentWidget();
    delete holder;
    holder = new QWidget(parent);
    parent->layout()->addWidget(holder);
    return new QGridLayout(holder);
}

}  // namespace

TParamDrukuj::TParamDrukuj(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ParamDrukuj"));
    setWindowTitle(QStringLiteral("Ustawianie stałych parametrów drukowania"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (int i = 0; i < kPrintParameterCount; ++i) {
        const PrintParameterRow& row = PrintParameterRows()[static_cast<size_t>(i)];
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromUtf8(row.key.data(), static_cast<int>(row.key.size())));
        edit->setMaximumWidth(90);
        form->addRow(QString::fromUtf8(row.label.data(), static_cast<int>(row.label.size())), edit);
        edits_[static_cast<size_t>(i)] = edit;
        const auto p = static_cast<PrintParameter>(i);
        connect(edit, &QLineEdit::textEdited, this, [this, p](const QString& text) {
            if (auto inches = InchesOfMillimetreText(p, text.toStdString())) {
                parameters_.inches[static_cast<size_t>(p)] = *inches;
            }
        });
    }
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    connect(AddButton(buttons, this, "Wyjscie", "Wyjście"), &QPushButton::clicked, this,
            &QDialog::close);
    layout->addLayout(buttons);
}

void TParamDrukuj::SetParameters(const PrintParameters& parameters) {
    parameters_ = ClampedPrintParameters(parameters);
    for (int i = 0; i < kPrintParameterCount; ++i) {
        edits_[static_cast<size_t>(i)]->setText(
            QString::fromStdString(MillimetreText(parameters_.inches[static_cast<size_t>(i)])));
    }
}

void TParamDrukuj::done(int result) {
    QDialog::done(result);
    emit closed();
}

PrintChoiceForm::PrintChoiceForm(QWidget* parent, const QString& caption, const QString& objectName)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    choices_ = new QVBoxLayout;
    layout->addLayout(choices_);
    auto* buttons = new QHBoxLayout;
    connect(AddButton(buttons, this, "Podglad", "Podgląd wydruku."), &QPushButton::clicked, this,
            &PrintChoiceForm::previewRequested);
    connect(AddButton(buttons, this, "Drukuj", "Drukowanie zaprogramowanego formatu."),
            &QPushButton::clicked, this, &PrintChoiceForm::printRequested);
    connect(AddButton(buttons, this, "ZapiszPDF", "Zapisz jako PDF"), &QPushButton::clicked, this,
            &PrintChoiceForm::pdfRequested);
    buttons->addStretch();
    connect(AddButton(buttons, this, "Wyjscie", "Wyjście"), &QPushButton::clicked, this,
            &QDialog::close);
    layout->addLayout(buttons);
}

void PrintChoiceForm::done(int result) {
    QDialog::done(result);
    emit closed();
}

TPLU_wydrukForm::TPLU_wydrukForm(QWidget* parent)
    : PrintChoiceForm(parent, QStringLiteral("Programowanie wydruku bazy towarów."),
                      QStringLiteral("PLU_wydrukForm")) {
    auto* groups = new QHBoxLayout;
    for (const GoodsPrintGroup group :
         {GoodsPrintGroup::kNumber, GoodsPrintGroup::kName, GoodsPrintGroup::kCode}) {
        const std::string_view caption = GoodsGroupCaption(group);
        auto* box = new QGroupBox(
            QString::fromUtf8(caption.data(), static_cast<int>(caption.size())), this);
        auto* boxLayout = new QVBoxLayout(box);
        for (const GoodsChoiceRadio& radio : GoodsChoiceRadios()) {
            if (radio.group != group) {
                continue;
            }
            auto* button = new QRadioButton(
                QString::fromUtf8(radio.caption.data(), static_cast<int>(radio.caption.size())),
                box);
            button->setObjectName(QStringLiteral("PLU_flag%1").arg(radio.flag));
            boxLayout->addWidget(button);
            radios_.emplace_back(button, radio);
        }
        boxLayout->addStretch();
        groups->addWidget(box);
    }
    Choices()->addLayout(groups);
    auto* others = new QGroupBox(QStringLiteral("Pozostałe pola tekstowe"), this);
    others->setObjectName(QStringLiteral("PozostalePola"));
    auto* othersLayout = new QVBoxLayout(others);
    othersBox_ = new QWidget(others);
    othersLayout->addWidget(othersBox_);
    Choices()->addWidget(others);
}

void TPLU_wydrukForm::Show(const TableDescriptor& goods, const PrintFlags& flags) {
    flags_ = flags;
    for (auto& [button, radio] : radios_) {
        button->setChecked(ChosenGoodsRadio(flags, radio.group).flag == radio.flag);
    }
    QGridLayout* grid = FreshGrid(othersBox_);
    others_.clear();
    const std::vector<int> columns = GoodsOtherColumns(goods);
    for (size_t i = 0; i < columns.size(); ++i) {
        const std::string_view title = goods.fields[static_cast<size_t>(columns[i])].title;
        auto* box = new QCheckBox(QString::fromUtf8(title.data(), static_cast<int>(title.size())),
                                  othersBox_);
        const int flag = kGoodsOtherFirstFlag + static_cast<int>(i);
        box->setObjectName(QStringLiteral("PLU_flag%1").arg(flag));
        box->setChecked(flags[static_cast<size_t>(flag)]);
        grid->addWidget(box, static_cast<int>(i) / 4, static_cast<int>(i) % 4);
        others_.push_back(box);
    }
}

PrintFlags TPLU_wydrukForm::Flags() const {
    PrintFlags flags = flags_;
    for (const auto& [button, radio] : radios_) {
        if (button->isChecked()) {
            ChooseGoodsRadio(flags, radio);
        }
    }
    for (size_t i = 0; i < others_.size(); ++i) {
        flags[kGoodsOtherFirstFlag + i] = others_[i]->isChecked();
    }
    return flags;
}

TKAS_drukuj::TKAS_drukuj(QWidget* parent)
    : PrintChoiceForm(parent, QStringLiteral("Programowanie wydruku tabeli kasjerów."),
                      QStringLiteral("KAS_drukuj")) {
    auto* group = new QGroupBox(QStringLiteral("Drukowane kolumny"), this);
    auto* groupLayout = new QVBoxLayout(group);
    boxesHolder_ = new QWidget(group);
    groupLayout->addWidget(boxesHolder_);
    Choices()->addWidget(group);
}

void TKAS_drukuj::Show(const TableDescriptor& cashiers, const PrintFlags& flags) {
    flags_ = flags;
    QGridLayout* grid = FreshGrid(boxesHolder_);
    boxes_.clear();
    for (int c = 0; c < std::min(cashiers.FieldCount(), kPrintChoiceFlags); ++c) {
        const std::string_view title = cashiers.fields[static_cast<size_t>(c)].title;
        auto* box = new QCheckBox(QString::fromUtf8(title.data(), static_cast<int>(title.size())),
                                  boxesHolder_);
        box->setObjectName(QStringLiteral("KAS_flag%1").arg(c));
        box->setChecked(flags[static_cast<size_t>(c)]);
        grid->addWidget(box, c / 4, c % 4);
        boxes_.push_back(box);
    }
}

PrintFlags TKAS_drukuj::Flags() const {
    PrintFlags flags = flags_;
    for (size_t i = 0; i < boxes_.size(); ++i) {
        flags[i] = boxes_[i]->isChecked();
    }
    return flags;
}

}  // namespace kasa::gui
