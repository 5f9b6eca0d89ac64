#include "gui/tsender_form.h"

#include <QAction>
#include <QFileDialog>
#include <QListWidget>
#include <QMenuBar>

#include "app/file_sender.h"
#include "gui/qt_user_interface.h"
#include "gui/tecrform.h"
#include "gui/window_place_keeper.h"

namespace kasa::gui {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TSenderForm::TSenderForm(UserInterface& ui, WindowPlace& place, Sender sender, QWidget* parent)
    : QMainWindow(parent), ui_(ui), place_(place), sender_(std::move(sender)) {
    setObjectName("SenderForm");
    setWindowTitle(QString::fromUtf8(kSenderCaption));
    // Zamknij is the way out: the title bar has no close button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinMaxButtonsHint);
    setMinimumSize(188, 240);
    const auto addMenuItem = [this](const char* caption, const char* name,
                                    void (TSenderForm::*command)()) {
        QAction* action = menuBar()->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
    };
    addMenuItem("&Zamknij", "Koniec1", &TSenderForm::Zamknij);
    addMenuItem("&Wczytaj", "Wczytaj1", &TSenderForm::Wczytaj);
    addMenuItem("&Odśwież", "Refresh", &TSenderForm::Refresh);
    addMenuItem("&Kasuj plik", "Kasuj1", &TSenderForm::Kasuj);
    placeKeeper_ = new WindowPlaceKeeper(*this, place_);
    list_ = new QListWidget(this);
    list_->setObjectName("ListBox1");
    setCentralWidget(list_);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { ListDblClick(); });
    chooser_ = [this](const QString& folder) {
        return QFileDialog::getOpenFileName(
            this, QString::fromUtf8(kSenderDialogTitle), folder,
            QStringLiteral("Pliki wykonywalne (*.bin);;Wszystkie pliki (*)"));
    };
}

void TSenderForm::ShowWindow() {
    list_->clear();
    placeKeeper_->Restore();
    place_.showing = true;
    busy_ = false;
    show();
    raise();
    Refresh();
}

void TSenderForm::Zamknij() {
    placeKeeper_->Store();
    place_.showing = false;
    hide();
}

std::string TSenderForm::Folder() const {
    return SenderFolder(place_.file);
}

void TSenderForm::Wczytaj() {
    const QString chosen = chooser_(Q(Folder()));
    if (chosen.isEmpty()) {
        return;
    }
    place_.file = chosen.toStdString();
    Refresh();
}

void TSenderForm::Refresh() {
    list_->clear();
    if (place_.file.empty()) {
        const QString chosen = chooser_(QString());
        if (chosen.isEmpty()) {
            return;
        }
        place_.file = chosen.toStdString();
    }
    const std::optional<std::vector<std::string>> names = SenderFileNames(Folder());
    if (!names) {
        ui_.Message(kSenderCaption, "Nie można odczytać katalogu " + Folder() + ".");
        return;
    }
    for (const std::string& name : *names) {
        list_->addItem(Q(name));
    }
}

void TSenderForm::ListDblClick() {
    QListWidgetItem* item = list_->currentItem();
    if (busy_ || item == nullptr) {
        return;
    }
    busy_ = true;
    // The file is read only now: one deleted since the listing is reported, not sent.
    const SenderFileRead read = ReadSenderFile(Folder(), item->text().toStdString());
    if (!read.message.empty()) {
        ui_.Message(kSenderCaption, read.message);
    } else {
        sender_(read.bytes);
    }
    busy_ = false;
}

void TSenderForm::Kasuj() {
    QListWidgetItem* item = list_->currentItem();
    if (item == nullptr) {
        return;
    }
    const std::string name = item->text().toStdString();
    if (ui_.Ask(kSenderCaption, SenderDeleteQuestion(name), Buttons::OkCancel) != Answer::Ok) {
        return;
    }
    const std::string failure = DeleteSenderFile(Folder(), name);
    if (!failure.empty()) {
        ui_.Message(kSenderCaption, failure);
        return;
    }
    delete list_->takeItem(list_->row(item));
}

TSenderForm* BindFileSender(TECRForm& form, WindowPlace& place, TSenderForm::Sender sender) {
    auto* window = new TSenderForm(form.Ui(), place, std::move(sender), &form);
    form.BindAction(QStringLiteral("&Wysyłanie plików"), [window] { window->ShowWindow(); });
    QObject::connect(&form, &TECRForm::aboutToClose, window, [window] { window->hide(); });
    return window;
}

}  // namespace kasa::gui
