#include "gui/editors/tlisting_form.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "gui/main/font_setting.h"
#include "gui/main/window_place_keeper.h"

namespace kasa::gui {

namespace {

constexpr int kMargin = 10;
constexpr int kLabelHeight = 20;
constexpr int kListTop = 60;
constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 32;
constexpr const char* kDefaultName = "Listing.log";

const std::array<const char*, 4> kDefaultCaptions = {
    "BŁĄD ",
    "Błędy w bazie towarowej:",
    "Zapis do kasy jest niemożliwy.",
    "Popraw błedy i spróbuj ponownie bądź anuluj zapis.",
};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TListingForm::TListingForm(UserInterface& ui, const QString& caption, QWidget* parent)
    : QMainWindow(parent, Qt::Window), ui_(ui), caption_(caption) {
    setWindowTitle(caption_);
    resize(600, 400);
    saveChooser_ = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(
            this, QStringLiteral("Zapis pliku na dysk."), suggested,
            QStringLiteral("Logi (*.log);;Pliki tekstowe (*.txt);;Wszystkie pliki (*)"));
    };

    const auto addMenuItem = [this](const QString& text, void (TListingForm::*command)()) {
        QAction* action = menuBar()->addAction(text);
        action->setObjectName(QString(text).remove(QLatin1Char('&')));
        connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
    };
    addMenuItem(QStringLiteral("&Zamknij"), &TListingForm::Zamknij);
    addMenuItem(QStringLiteral("&Schowaj"), &TListingForm::Schowaj);
    addMenuItem(QStringLiteral("&Kasuj"), &TListingForm::Kasuj);

    auto* central = new QWidget(this);
    central->setObjectName("PanelListy");
    central->installEventFilter(this);
    setCentralWidget(central);

    list_ = new QListWidget(central);
    list_->setObjectName("ListBox1");
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setUniformItemSizes(true);
    list_->setContextMenuPolicy(Qt::ActionsContextMenu);
    const auto addPopupItem = [this](const QString& text, const QString& name,
                                     void (TListingForm::*command)()) {
        auto* action = new QAction(text, list_);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
        list_->addAction(action);
    };
    addPopupItem(QStringLiteral("Kopiuj wszystko do schowka"), QStringLiteral("KopiujWszystko"),
                 &TListingForm::CopyAll);
    addPopupItem(QStringLiteral("Kopiuj zaznaczenie do schowka"),
                 QStringLiteral("KopiujZaznaczenie"), &TListingForm::CopySelection);
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { LineClicked(list_->row(item)); });

    heading_ = new QLabel(central);
    heading_->setObjectName("Naglowek_weryfikacji");
    heading_->setAlignment(Qt::AlignCenter);
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);
    for (size_t i = 0; i < captions_.size(); ++i) {
        captions_[i] = new QLabel(QString::fromUtf8(kDefaultCaptions[i]), central);
        captions_[i]->setObjectName(QStringLiteral("Etykieta%1").arg(i + 1));
    }
    captions_[0]->setFont(bold);
    captions_[0]->setStyleSheet(QStringLiteral("color: red"));
    repeatButton_ = new QPushButton(QStringLiteral("Ponów"), central);
    repeatButton_->setObjectName("Ponow");
    cancelButton_ = new QPushButton(QStringLiteral("Anuluj"), central);
    cancelButton_->setObjectName("Anuluj");
    connect(repeatButton_, &QPushButton::clicked, this, [this] { Ponow(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { Anuluj(); });
    ShowInModeControls();
}

void TListingForm::ShowInModeControls() {
    const bool verification = !Plain();
    menuBar()->setVisible(!verification);
    heading_->setVisible(verification);
    for (QLabel* label : captions_) {
        label->setVisible(verification);
    }
    repeatButton_->setVisible(verification);
    cancelButton_->setVisible(verification);
}

void TListingForm::ShowInMode(int mode) {
    mode_ = mode;
    lines_.SetClearWhenFull(mode == kListingPreviewMode);
    heading_->setText(Q(ListingHeading(mode)));
    setWindowTitle(mode == kListingPreviewMode ? Q(ListingHeading(mode)) : caption_);
    ShowInModeControls();
    if (Plain()) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (KeepsPlace() && place_.HasSavedSize()) {
            PlaceOnScreen(*this, QRect(place_.left, place_.top, place_.width, place_.height));
        } else {
            Centre();
        }
        if (KeepsPlace()) {
            place_.showing = true;
        }
    } else {
        setFixedSize(kVerificationWidth, kVerificationHeight);
        Centre();
    }
    LayOut();
    show();
    raise();
    activateWindow();
    StorePlace();
}

void TListingForm::Centre() {
    PlaceBesideOwner(*this);
}

bool TListingForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        LayOut();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TListingForm::LayOut() {
    if (!Plain()) {
        LayOutVerification();
        return;
    }
    // The list fills the window but for a small margin at the right and bottom.
    const QSize client = centralWidget()->size();
    list_->setGeometry(0, 0, std::max(client.width() - 5, 1), std::max(client.height() - 5, 1));
}

void TListingForm::LayOutVerification() {
    const int listHeight = mode_ == 4 ? kPackagingListHeight : kVerificationListHeight;
    heading_->setGeometry(kMargin, 8, kVerificationListWidth, kLabelHeight + 2);
    captions_[0]->adjustSize();
    const int errorWidth = captions_[0]->width();
    captions_[0]->setGeometry(kMargin, 34, errorWidth, kLabelHeight);
    captions_[1]->setGeometry(kMargin + errorWidth, 34, kVerificationListWidth - errorWidth,
                              kLabelHeight);
    list_->setGeometry(kMargin, kListTop, kVerificationListWidth, listHeight);
    int y = kListTop + listHeight + kMargin;
    for (size_t i = 2; i < captions_.size(); ++i) {
        captions_[i]->setGeometry(kMargin, y, kVerificationListWidth, kLabelHeight);
        y += kLabelHeight + 4;
    }
    const int buttonsTop = kVerificationHeight - kButtonHeight - 13;
    const int buttonsLeft = (kVerificationWidth - 2 * kButtonWidth - kMargin) / 2;
    repeatButton_->setGeometry(buttonsLeft, buttonsTop, kButtonWidth, kButtonHeight);
    cancelButton_->setGeometry(buttonsLeft + kButtonWidth + kMargin, buttonsTop, kButtonWidth,
                               kButtonHeight);
}

void TListingForm::StorePlace() {
    if (!KeepsPlace() || !isVisible()) {
        return;
    }
    // The client area, as the other windows keep it; the frame is added back on restoring.
    const QRect client = geometry();
    place_.top = client.top();
    place_.left = client.left();
    place_.width = client.width();
    place_.height = client.height();
}

void TListingForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    StorePlace();
}

void TListingForm::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    StorePlace();
}

void TListingForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        StorePlace();
    }
    QMainWindow::changeEvent(event);
}

void TListingForm::closeEvent(QCloseEvent* event) {
    // The close box closes as "Zamknij" does; before a write it refuses the write.
    StorePlace();
    place_.showing = false;
    if (!Plain()) {
        repeat_ = false;
    }
    QMainWindow::closeEvent(event);
}

// --- Lines ---

void TListingForm::AddLine(const std::string& text, const FaultPlace& place) {
    if (lines_.Add(text, place)) {
        list_->clear();
    }
    list_->addItem(Q(text));
    QListWidgetItem* item = list_->item(list_->count() - 1);
    // The preview shows its newest line at the top; the other lists keep the last line in view.
    list_->scrollToItem(item, mode_ == kListingPreviewMode ? QAbstractItemView::PositionAtTop
                                                           : QAbstractItemView::EnsureVisible);
}

void TListingForm::AddLines(const std::vector<FaultLine>& lines) {
    for (const FaultLine& line : lines) {
        AddLine(line.text, line.place);
    }
}

void TListingForm::ReplaceCaptions(const std::array<std::string, 4>& captions) {
    for (size_t i = 0; i < captions.size(); ++i) {
        captions_[i]->setText(Q(captions[i]));
    }
}

void TListingForm::SetCaptions(const std::array<std::string, 4>& captions) {
    for (size_t i = 0; i < captions.size(); ++i) {
        if (!captions[i].empty()) {
            captions_[i]->setText(Q(captions[i]));
        }
    }
    if (!Plain()) {
        LayOut();
    }
}

void TListingForm::Clear() {
    lines_.Clear();
    list_->clear();
}

void TListingForm::SetListFont(const FontSetting& font) {
    ApplyFontSetting(*list_, font);
}

void TListingForm::LineClicked(int row) {
    if (row < 0 || static_cast<size_t>(row) >= lines_.Count()) {
        return;
    }
    const FaultPlace& place = lines_.Line(static_cast<size_t>(row)).place;
    if (place.row >= 0) {
        emit placeChosen(place);
    }
}

// --- Commands ---

std::string TListingForm::Caption() const {
    return windowTitle().toStdString();
}

void TListingForm::ToClipboard(const ListingCopy& copy) {
    if (copy.ok) {
        QGuiApplication::clipboard()->setText(Q(copy.text));
    } else {
        ui_.Message(Caption(), copy.refusal);
    }
}

void TListingForm::CopyAll() {
    ToClipboard(CopyAllLines(lines_));
}

void TListingForm::CopySelection() {
    std::vector<size_t> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedIndexes()) {
        rows.push_back(static_cast<size_t>(index.row()));
    }
    ToClipboard(CopySelectedLines(lines_, std::move(rows)));
}

void TListingForm::Zamknij() {
    StorePlace();
    place_.showing = false;
    hide();
}

void TListingForm::Schowaj() {
    QString suggested = QString::fromLatin1(kDefaultName);
    if (!place_.file.empty()) {
        suggested = QFileInfo(Q(place_.file)).absoluteDir().filePath(suggested);
    }
    const QString chosen = saveChooser_(suggested);
    if (chosen.isEmpty()) {
        return;
    }
    place_.file = chosen.toStdString();
    const WriteResult written = SaveListing(place_.file, lines_);
    if (!written.ok) {
        ui_.Message(Caption(), written.message);
    }
}

void TListingForm::FinishVerification(bool repeat) {
    Clear();
    repeat_ = repeat;
    place_.showing = false;
    hide();
    if (repeat) {
        emit repeatRequested(mode_);
    }
}

void TListingForm::Ponow() {
    FinishVerification(true);
}

void TListingForm::Anuluj() {
    FinishVerification(false);
}

}  // namespace kasa::gui
