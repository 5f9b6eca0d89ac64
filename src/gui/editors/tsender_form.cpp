#include "gui/editors/tsender_form.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/file_sender.h"
#include "base/worker_user_interface.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/main/window_place_keeper.h"

namespace kasa::gui {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The worker's way to the user: the program's user interface, which hands messages and
// questions to the window's thread and goes quiet once the window closes; progress goes to
// the sender's own bar.
class SendUserInterface : public WorkerUserInterface {
  public:
    SendUserInterface(UserInterface& ui, TSenderForm& window, const std::atomic<bool>& closing)
        : WorkerUserInterface(ui, closing), window_(window) {}
    void SetProgress(int position, int maximum) override {
        QMetaObject::invokeMethod(
            &window_,
            [window = &window_, position, maximum] {
                if (QProgressBar* bar = window->Progress()) {
                    bar->setRange(0, maximum > 0 ? maximum : 100);
                    bar->setValue(maximum > 0 ? position : 0);
                }
            },
            Qt::QueuedConnection);
    }
    void SetStatusText(const std::string&) override {}

  private:
    TSenderForm& window_;
};

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
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    list_ = new QListWidget(central);
    list_->setObjectName("ListBox1");
    layout->addWidget(list_, 1);
    // The send's own progress and abort button, shown only while a file goes out.
    sendBar_ = new QWidget(central);
    auto* bar = new QVBoxLayout(sendBar_);
    bar->setContentsMargins(4, 2, 4, 4);
    sendingLabel_ = new QLabel(sendBar_);
    sendingLabel_->setObjectName("WysylanyPlik");
    progress_ = new QProgressBar(sendBar_);
    progress_->setObjectName("Postep");
    progress_->setRange(0, 100);
    abort_ = new QPushButton(QStringLiteral("&Przerwij wysyłanie"), sendBar_);
    abort_->setObjectName("Przerwij");
    abort_->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    connect(abort_, &QPushButton::clicked, this, [this] { Przerwij(); });
    bar->addWidget(sendingLabel_);
    bar->addWidget(progress_);
    bar->addWidget(abort_);
    layout->addWidget(sendBar_);
    sendBar_->hide();
    setCentralWidget(central);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { ListDblClick(); });
    chooser_ = [this](const QString& folder) {
        return QFileDialog::getOpenFileName(
            this, QString::fromUtf8(kSenderDialogTitle), folder,
            QStringLiteral("Pliki wykonywalne (*.bin);;Wszystkie pliki (*)"));
    };
}

TSenderForm::~TSenderForm() {
    StopForClosing();
}

QAction* TSenderForm::MenuAction(const char* objectName) const {
    return menuBar()->findChild<QAction*>(QString::fromLatin1(objectName));
}

void TSenderForm::ShowWindow() {
    list_->clear();
    // Every command of the menu stays in sight, none behind the overflow arrow.
    setMinimumWidth(std::max(188, menuBar()->sizeHint().width()));
    placeKeeper_->Restore();
    place_.showing = true;
    busy_ = false;
    show();
    raise();
    Refresh();
}

void TSenderForm::Zamknij() {
    // A send nobody can see any more is not left running.
    Przerwij();
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
    if (busy_ || sending_ || item == nullptr) {
        return;
    }
    const std::string name = item->text().toStdString();
    if (line_.ecr != nullptr && line_.busy != nullptr) {
        StartSend(name);
        return;
    }
    busy_ = true;
    // The file is read only now: one deleted since the listing is reported, not sent.
    const SenderFileRead read = ReadSenderFile(Folder(), name);
    if (!read.message.empty()) {
        Tell(read.message);
    } else {
        sender_(read.bytes);
    }
    busy_ = false;
}

void TSenderForm::StartSend(const std::string& name) {
    // Refused at once, on the window's thread: a file too large is never read.
    if (const std::string refusal = SenderFileRefusal(Folder(), name); !refusal.empty()) {
        Tell(refusal);
        return;
    }
    if (line_.busy->exchange(true)) {
        Tell(
            "Jest uruchomiony proces w tle.\nProsze poczekać i uruchomić funkcję "
            "ponownie.");
        return;
    }
    sending_ = true;
    line_.ecr->abortRequested = false;
    if (line_.preparePort) {
        line_.preparePort();
    }
    sendingLabel_->setText(QStringLiteral("Wysyłanie pliku %1").arg(Q(name)));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    abort_->setEnabled(true);
    sendBar_->show();
    if (worker_.joinable()) {
        worker_.join();
    }
    workerDone_ = false;
    worker_ = std::thread([this, ecr = line_.ecr, folder = Folder(), name] {
        SendUserInterface ui(ui_, *this, closing_);
        SendSenderFile(*ecr, ui, folder, name);
        workerDone_ = true;
        QMetaObject::invokeMethod(
            this, [this] { SendDone(); }, Qt::QueuedConnection);
    });
}

void TSenderForm::SendDone() {
    if (!sending_) {
        return;  // already ended by StopForClosing
    }
    if (worker_.joinable()) {
        worker_.join();
    }
    sendBar_->hide();
    sending_ = false;
    line_.ecr->abortRequested = false;
    *line_.busy = false;
    BackToFront();
    emit sendFinished();
}

void TSenderForm::Tell(const std::string& text) {
    ui_.Message(kSenderCaption, text);
    BackToFront();
}

void TSenderForm::BackToFront() {
    // The program's message boxes belong to the main window, which comes up with them.
    if (isVisible() && !closing_) {
        raise();
        activateWindow();
    }
}

void TSenderForm::Przerwij() {
    if (!sending_) {
        return;
    }
    line_.ecr->abortRequested = true;
    abort_->setEnabled(false);
}

void TSenderForm::StopForClosing() {
    if (!sending_) {
        return;
    }
    closing_ = true;
    line_.ecr->abortRequested = true;
    // The worker may be waiting for the window's thread (a message): keep handling events
    // until it has finished.
    while (!workerDone_) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    SendDone();
    closing_ = false;
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

namespace {

TSenderForm* BindWindow(TECRForm& form, TSenderForm* window) {
    form.BindAction(QStringLiteral("&Wysyłanie plików"), [window] { window->ShowWindow(); });
    QObject::connect(&form, &TECRForm::aboutToClose, window, [window] {
        // The register object goes with the main window: a send still running ends first.
        window->StopForClosing();
        window->hide();
    });
    return window;
}

}  // namespace

TSenderForm* BindFileSender(TECRForm& form, WindowPlace& place, TSenderForm::Sender sender) {
    return BindWindow(form, new TSenderForm(form.Ui(), place, std::move(sender), &form));
}

TSenderForm* BindFileSender(TECRForm& form, WindowPlace& place, TSenderForm::Line line) {
    auto* window = new TSenderForm(form.Ui(), place, nullptr, &form);
    window->SetLine(std::move(line));
    return BindWindow(form, window);
}

}  // namespace kasa::gui
