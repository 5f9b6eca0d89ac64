#include "gui/register/tkasjer_form.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <charconv>
#include <tuple>

#include "base/user_interface.h"
#include "gui/tables/grid_model.h"
#include "tables/text_grid.h"

namespace kasa::gui {

namespace {

constexpr const char* kCaption = "Obsługa uprawnień kasjerów";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The small modal editor of a profile's description; the confirmed text, or nothing.
std::optional<std::string> EditComment(QWidget* parent, const std::string& text) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("KomentarzForm"));
    dialog.setWindowTitle(QStringLiteral("Opis profilu"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* edit = new QPlainTextEdit(Q(DescriptionHint(text)), &dialog);
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return edit->toPlainText().toStdString();
}

}  // namespace

TKasjerForm::TKasjerForm(QWidget* parent, UserInterface& ui) : QDialog(parent), ui_(ui) {
    setObjectName(QStringLiteral("KasjerForm"));
    setWindowTitle(QString::fromUtf8(kCaption));
    chooser_ = [this]() -> std::optional<std::string> {
        const QString path = QFileDialog::getOpenFileName(
            this, QStringLiteral("Odczyt pliku z profilami kasjerów"), QString(),
            QStringLiteral("Pliki konfiguracyjne(*.pod);;Pliki systemowe(*.cfg);;Wszystkie pliki "
                           "(*.*)"));
        if (path.isEmpty()) {
            return std::nullopt;
        }
        return path.toStdString();
    };
    askName_ = [this](const std::string& proposal) -> std::optional<std::string> {
        bool ok = false;
        const QString name = QInputDialog::getText(this, QStringLiteral("Nazwa klucza profilu"),
                                                   QStringLiteral("Podaj klucz profilu: "),
                                                   QLineEdit::Normal, Q(proposal), &ok);
        if (!ok) {
            return std::nullopt;
        }
        return name.toStdString();
    };
    editComment_ = [this](const std::string& text) { return EditComment(this, text); };
    timer_.setInterval(kTimerMs);
    connect(&timer_, &QTimer::timeout, this, [this] { ShowMask(); });
    Build();
}

void TKasjerForm::Build() {
    auto* layout = new QHBoxLayout(this);
    // Two columns of groups, so that the window fits a 768-pixel-high shop screen.
    QVBoxLayout* columns[] = {new QVBoxLayout, new QVBoxLayout};
    const std::tuple<const char*, PermissionGroup, int> groups[] = {
        {"Ogólne", PermissionGroup::kGeneral, 0},
        {"Uprawnienia sprzedaż", PermissionGroup::kSale, 0},
        {"Raporty czytające", PermissionGroup::kReading, 1},
        {"Raporty zerujące", PermissionGroup::kZeroing, 1}};
    for (const auto& [title, group, column] : groups) {
        auto* box = new QGroupBox(QString::fromUtf8(title), this);
        auto* inner = new QVBoxLayout(box);
        for (int i = 0; i < kPermissionCount; ++i) {
            const PermissionInfo& info = Permissions()[static_cast<size_t>(i)];
            if (info.group == group) {
                auto* check = new QCheckBox(QString::fromUtf8(info.caption), box);
                check->setObjectName(QString::fromUtf8(info.boxName));
                boxes_[static_cast<size_t>(i)] = check;
                inner->addWidget(check);
            }
        }
        columns[column]->addWidget(box);
    }
    for (const int sw : {kSaleSwitch, kReadingSwitch, kZeroingSwitch}) {
        connect(boxes_[static_cast<size_t>(sw)], &QCheckBox::clicked, this,
                [this] { ApplySwitches(); });
    }
    for (QVBoxLayout* column : columns) {
        column->addStretch();
        layout->addLayout(column);
    }

    auto* side = new QVBoxLayout;
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("eWartosc"));
    field_->setReadOnly(true);
    side->addWidget(new QLabel(QStringLiteral("Wartość uprawnień:"), this));
    side->addWidget(field_);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("UprList"));
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { ProfileClicked(row); });
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { ProfileDoubleClicked(list_->row(item)); });
    side->addWidget(new QLabel(QStringLiteral("Profile:"), this));
    side->addWidget(list_);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("eProfil"));
    side->addWidget(name_);
    const std::pair<const char*, void (TKasjerForm::*)()> buttons[] = {
        {"Zapisz zmiany", &TKasjerForm::SaveChanges},
        {"Przywróć początkową wartość", &TKasjerForm::RestoreValue},
        {"Zapamiętaj profil", &TKasjerForm::SaveProfileClicked},
        {"Kasuj profil", &TKasjerForm::DeleteProfileClicked},
        {"Zmiana pliku konfiguracyjnego", &TKasjerForm::ChangeProfileFile},
    };
    for (const auto& [text, handler] : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(text), this);
        connect(button, &QPushButton::clicked, this, handler);
        side->addWidget(button);
    }
    auto* exit = new QPushButton(QStringLiteral("Wyjście i zamknięcie okna"), this);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    side->addWidget(exit);
    layout->addLayout(side);
}

PermissionMask TKasjerForm::Mask() const {
    PermissionFlags flags{};
    for (size_t i = 0; i < flags.size(); ++i) {
        flags[i] = boxes_[i]->isChecked();
    }
    return PackPermissions(flags);
}

void TKasjerForm::Tick(PermissionMask mask) {
    const PermissionFlags flags = UnpackPermissions(mask);
    for (size_t i = 0; i < flags.size(); ++i) {
        boxes_[i]->setChecked(flags[i]);
    }
}

void TKasjerForm::Open(const std::string& value, Target target) {
    target_ = target;
    value_ = value;
    listHint_ = list_->toolTip();
    RebuildList();
    if (!value.empty()) {
        RestoreValue();
    }
    UpdateCaption();
    ApplySwitches();
    ShowMask();
    timer_.start();
    show();
    raise();
}

void TKasjerForm::Detach() {
    target_ = {};
    close();
}

void TKasjerForm::SaveChanges() {
    value_ = std::to_string(Mask());
    // Only a data cell of the permissions column takes the value: never the title row.
    if (target_.grid != nullptr && target_.col >= 1 && target_.row >= 1 &&
        target_.col < target_.grid->ColCount() && target_.row < target_.grid->RowCount()) {
        target_.grid->SetCell(target_.col, target_.row, value_);
        if (target_.model != nullptr) {
            target_.model->CellsChanged(target_.col, target_.row, target_.col, target_.row);
        }
    }
}

void TKasjerForm::RestoreValue() {
    PermissionMask mask = 0;
    std::from_chars(value_.data(), value_.data() + value_.size(), mask);
    Tick(mask);
    ShowMask();
}

void TKasjerForm::ShowMask() {
    field_->setText(Q(PermissionFieldText(Mask())));
}

void TKasjerForm::ApplySwitches() {
    const std::pair<int, PermissionGroup> switches[] = {
        {kSaleSwitch, PermissionGroup::kSale},
        {kReadingSwitch, PermissionGroup::kReading},
        {kZeroingSwitch, PermissionGroup::kZeroing}};
    for (const auto& [sw, group] : switches) {
        const bool on = boxes_[static_cast<size_t>(sw)]->isChecked();
        for (int i = 0; i < kPermissionCount; ++i) {
            if (i != sw && Permissions()[static_cast<size_t>(i)].group == group) {
                boxes_[static_cast<size_t>(i)]->setEnabled(on);
            }
        }
    }
}

void TKasjerForm::ProfileClicked(int index) {
    if (index >= 0 && index < static_cast<int>(profiles_.size())) {
        list_->setToolTip(Q(DescriptionHint(profiles_[static_cast<size_t>(index)].description)));
    }
}

void TKasjerForm::ProfileDoubleClicked(int index) {
    if (index >= 0 && index < static_cast<int>(profiles_.size())) {
        Tick(profiles_[static_cast<size_t>(index)].mask);
        name_->setText(Q(profiles_[static_cast<size_t>(index)].name));
        ShowMask();
    }
}

bool TKasjerForm::ObtainProfileFile() {
    if (!profilePath_.empty()) {
        return true;
    }
    if (const std::optional<std::string> path = chooser_()) {
        profilePath_ = *path;
        UpdateCaption();
        return true;
    }
    return false;
}

void TKasjerForm::RebuildList() {
    ObtainProfileFile();
    ProfileList list = LoadProfiles(profilePath_);
    if (!list.message.empty() && !profilePath_.empty()) {
        ui_.Message(kCaption, list.message);
    }
    profiles_ = std::move(list.profiles);
    list_->clear();
    for (const PermissionProfile& profile : profiles_) {
        list_->addItem(Q(profile.name));
    }
}

void TKasjerForm::UpdateCaption() {
    setWindowTitle(QString::fromUtf8(kCaption) +
                   (profilePath_.empty() ? QString() : QStringLiteral(" ") + Q(profilePath_)));
}

void TKasjerForm::SaveProfileClicked() {
    const int index = list_->currentRow();
    if (index < 0 || index >= static_cast<int>(profiles_.size()) || commentOpen_ ||
        !ObtainProfileFile()) {
        return;
    }
    PermissionProfile profile = profiles_[static_cast<size_t>(index)];
    const std::optional<std::string> name = askName_(profile.name);
    if (!name) {
        return;
    }
    if (const std::string refusal = ProfileNameRefusal(*name); !refusal.empty()) {
        ui_.Message(kCaption, refusal);
        return;
    }
    profile.name = *name;
    name_->setText(Q(profile.name));
    commentOpen_ = true;
    const std::optional<std::string> description = editComment_(profile.description);
    commentOpen_ = false;
    if (!description) {
        return;
    }
    profile.description = *description;
    profile.mask = Mask();
    if (const WriteResult written = SaveProfile(profilePath_, profile); !written.ok) {
        ui_.Message(kCaption, written.message);
        return;
    }
    RebuildList();
}

void TKasjerForm::DeleteProfileClicked() {
    const std::string name = name_->text().toStdString();
    if (name.empty() || commentOpen_ || !ObtainProfileFile()) {
        return;
    }
    if (const WriteResult written = DeleteProfile(profilePath_, name); !written.ok) {
        ui_.Message(kCaption, written.message);
        return;
    }
    RebuildList();
}

void TKasjerForm::ChangeProfileFile() {
    const std::string previous = profilePath_;
    profilePath_.clear();
    if (!ObtainProfileFile()) {
        profilePath_ = previous;
        return;
    }
    RebuildList();
}

void TKasjerForm::closeEvent(QCloseEvent* event) {
    timer_.stop();
    list_->setToolTip(listHint_);
    QDialog::closeEvent(event);
}

}  // namespace kasa::gui
