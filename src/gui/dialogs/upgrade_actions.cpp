#include "gui/dialogs/upgrade_actions.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QProgressDialog>
#include <QTimer>
#include <chrono>
#include <future>

#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "update/program_version.h"

namespace kasa::gui {

namespace {

constexpr int kRetryMs = 200;
constexpr auto kAnswerPoll = std::chrono::milliseconds(50);

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

// The worker's side: nothing here waits for the window without also watching the stop
// flag, so closing the window never hangs on a question not yet shown.
class UpgradeActions::WindowUi : public UserInterface {
  public:
    explicit WindowUi(UpgradeActions& owner) : owner_(owner) {}

    void Message(const std::string& title, const std::string& text) override {
        owner_.Deliver([this, title, text] { owner_.form_.Ui().Message(title, text); });
    }
    Answer Ask(const std::string& title, const std::string& text, Buttons buttons) override {
        auto answer = std::make_shared<std::promise<Answer>>();
        std::future<Answer> future = answer->get_future();
        owner_.Deliver([this, answer, title, text, buttons] {
            answer->set_value(owner_.form_.Ui().Ask(title, text, buttons));
        });
        while (future.wait_for(kAnswerPoll) != std::future_status::ready) {
            if (owner_.abort_) {
                return Answer::No;
            }
        }
        return future.get();
    }
    void SetProgress(int position, int maximum) override {
        QMetaObject::invokeMethod(
            &owner_, [this, position, maximum] { owner_.ShowProgress(position, maximum); },
            Qt::QueuedConnection);
    }
    void SetStatusText(const std::string&) override {}
    void LogLine(const std::string&) override {}
    void ProcessPendingMessages() override {}

  private:
    UpgradeActions& owner_;
};

UpgradeActions::UpgradeActions(TECRForm& form, UpgradeSource source,
                               std::function<bool()> mayInterrupt, QObject* parent)
    : QObject(parent),
      form_(form),
      source_(std::move(source)),
      mayInterrupt_(std::move(mayInterrupt)),
      downloader_(MakeNetworkDownloader()),
      ui_(std::make_unique<WindowUi>(*this)),
      upgrade_(std::make_unique<AutoUpgrade>(*downloader_, *ui_)) {
    connect(&form_, &TECRForm::aboutToClose, this, [this] { Stop(); });
    form_.BindAction(QStringLiteral("&O programie"), [this] {
        form_.Ui().Notice("O programie", "Program serwisowy kas fiskalnych Zen i Vesper.\nWersja " +
                                             ProgramVersionText());
    });
}

UpgradeActions::~UpgradeActions() {
    Stop();
}

void UpgradeActions::Start(bool wanted) {
    if (!wanted || source_.baseAddress.empty() || worker_.joinable()) {
        return;
    }
    worker_ = std::thread([this] {
        if (upgrade_->Run(source_, RunningProgramVersion(), CurrentConnectionState(), abort_)) {
            // The new program runs: this one ends as after "&Koniec".
            Deliver([this] {
                form_.close();
                QCoreApplication::exit(0);
            });
        }
    });
}

void UpgradeActions::Wait() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

void UpgradeActions::Stop() {
    abort_ = true;
    Wait();
}

void UpgradeActions::Deliver(std::function<void()> fn) {
    QMetaObject::invokeMethod(
        this, [this, fn = std::move(fn)] { RunWhenFree(fn); }, Qt::QueuedConnection);
}

void UpgradeActions::RunWhenFree(const std::function<void()>& fn) {
    if (abort_) {
        return;
    }
    if (mayInterrupt_ && !mayInterrupt_()) {
        QTimer::singleShot(kRetryMs, this, [this, fn] { RunWhenFree(fn); });
        return;
    }
    fn();
}

void UpgradeActions::ShowProgress(int position, int maximum) {
    if (maximum <= 0) {
        if (progress_ != nullptr) {
            progress_->hide();
        }
        return;
    }
    if (progress_ == nullptr) {
        progress_ = new QProgressDialog(Q("Pobieranie nowej wersji programu..."), Q("Anuluj"), 0,
                                        maximum, &form_);
        progress_->setObjectName(QStringLiteral("PostepAktualizacji"));
        progress_->setWindowTitle(Q(kUpgradeTitle));
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        progress_->setMinimumDuration(0);
        connect(progress_, &QProgressDialog::canceled, this, [this] { abort_ = true; });
    }
    if (abort_) {
        return;
    }
    progress_->setMaximum(maximum);
    progress_->setValue(position);
    progress_->show();
}

}  // namespace kasa::gui
