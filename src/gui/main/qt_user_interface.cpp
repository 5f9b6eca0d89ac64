#include "gui/main/qt_user_interface.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <algorithm>

#include "app/table_transfer.h"

namespace kasa::gui {

QtUserInterface::QtUserInterface(QWidget* window, QProgressBar* progress, QLabel* info,
                                 QObject* parent)
    : QObject(parent), window_(window), progress_(progress), info_(info) {
    outcomeTimer_.setSingleShot(true);
    connect(&outcomeTimer_, &QTimer::timeout, this, [this] {
        if (info_ != nullptr && info_->text() == outcomeText_) {
            info_->clear();
        }
    });
}

bool QtUserInterface::OnWindowThread() const {
    return QThread::currentThread() == thread();
}

void QtUserInterface::Message(const std::string& title, const std::string& text) {
    Show(title, text, Buttons::Ok, Kind::kFailure);
}

void QtUserInterface::Notice(const std::string& title, const std::string& text) {
    Show(title, text, Buttons::Ok, Kind::kNotice);
}

Answer QtUserInterface::Ask(const std::string& title, const std::string& text, Buttons buttons) {
    return Show(title, text, buttons, Kind::kQuestion);
}

Answer QtUserInterface::Show(const std::string& title, const std::string& text, Buttons buttons,
                             Kind kind) {
    if (OnWindowThread()) {
        return AskHere(title, text, buttons, kind);
    }
    // The worker waits here until the window's thread has the answer.
    Answer answer = Answer::Cancel;
    QMetaObject::invokeMethod(
        this, [&] { answer = AskHere(title, text, buttons, kind); }, Qt::BlockingQueuedConnection);
    return answer;
}

Answer QtUserInterface::AskHere(const std::string& title, const std::string& text, Buttons buttons,
                                Kind kind) {
    if (provider_) {
        return provider_(title, text, buttons);
    }
    // A box shown while the program is busy is answered with the ordinary pointer.
    const bool busyCursor = QApplication::overrideCursor() != nullptr;
    if (busyCursor) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    const Answer answer = ShowBox(title, text, buttons, kind);
    if (busyCursor) {
        QApplication::restoreOverrideCursor();
    }
    return answer;
}

Answer QtUserInterface::ShowBox(const std::string& title, const std::string& text, Buttons buttons,
                                Kind kind) {
    const QMessageBox::Icon icon = kind == Kind::kFailure  ? QMessageBox::Warning
                                   : kind == Kind::kNotice ? QMessageBox::Information
                                                           : QMessageBox::Question;
    QMessageBox box(icon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::NoButton, window_);
    struct Choice {
        QAbstractButton* button;
        Answer answer;
    };
    std::vector<Choice> choices;
    auto add = [&](const char* caption, QMessageBox::ButtonRole role, Answer answer) {
        choices.push_back({box.addButton(QString::fromUtf8(caption), role), answer});
    };
    switch (buttons) {
        case Buttons::Ok:
            add(kButtonOk, QMessageBox::AcceptRole, Answer::Ok);
            break;
        case Buttons::OkCancel:
            add(kButtonOk, QMessageBox::AcceptRole, Answer::Ok);
            add(kButtonCancel, QMessageBox::RejectRole, Answer::Cancel);
            break;
        case Buttons::YesNo:
            add(kButtonYes, QMessageBox::YesRole, Answer::Yes);
            add(kButtonNo, QMessageBox::NoRole, Answer::No);
            break;
        case Buttons::YesNoCancel:
            add(kButtonYes, QMessageBox::YesRole, Answer::Yes);
            add(kButtonNo, QMessageBox::NoRole, Answer::No);
            add(kButtonCancel, QMessageBox::RejectRole, Answer::Cancel);
            break;
    }
    // Enter keeps data: a question whose "Tak" erases something defaults to the refusal.
    const Choice* preferred = &choices.front();
    if (kind == Kind::kQuestion && QuestionErasesData(text)) {
        const auto refusal = [&](Answer answer) {
            return std::find_if(choices.begin(), choices.end(),
                                [&](const Choice& choice) { return choice.answer == answer; });
        };
        auto found = refusal(Answer::No);
        if (found == choices.end()) {
            found = refusal(Answer::Cancel);
        }
        if (found != choices.end()) {
            preferred = &*found;
        }
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(preferred->button));
    // Escape (or the close box) chooses the answer that does nothing.
    box.setEscapeButton(choices.back().button);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const Choice& choice : choices) {
        if (choice.button == clicked) {
            return choice.answer;
        }
    }
    return choices.back().answer;
}

void QtUserInterface::SetProgress(int position, int maximum) {
    if (OnWindowThread()) {
        SetProgressHere(position, maximum);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, position, maximum] { SetProgressHere(position, maximum); },
        Qt::QueuedConnection);
}

void QtUserInterface::SetProgressHere(int position, int maximum) {
    if (progress_ == nullptr) {
        return;
    }
    if (maximum <= 0) {
        progress_->setRange(0, 100);
        progress_->reset();
        return;
    }
    progress_->setRange(0, maximum);
    progress_->setValue(std::clamp(position, 0, maximum));
}

void QtUserInterface::SetStatusText(const std::string& text) {
    const QString qtext = QString::fromStdString(text);
    auto set = [this, qtext] {
        if (info_ != nullptr) {
            info_->setText(qtext);
        }
    };
    if (OnWindowThread()) {
        set();
        return;
    }
    QMetaObject::invokeMethod(this, set, Qt::QueuedConnection);
}

void QtUserInterface::ShowOutcome(const std::string& text, int shownMs) {
    if (info_ == nullptr) {
        return;
    }
    outcomeText_ = QString::fromStdString(text);
    info_->setText(outcomeText_);
    outcomeTimer_.start(shownMs);
}

void QtUserInterface::LogLine(const std::string& line) {
    if (OnWindowThread()) {
        // Lines a worker logged earlier come first.
        DeliverLogLines();
        emit logLine(QString::fromStdString(line));
        return;
    }
    // A goods read logs two lines a record: one queued delivery takes all lines logged
    // until the window's thread gets to it, so the worker never waits for the window.
    bool deliveryQueued = false;
    {
        const std::lock_guard<std::mutex> lock(pendingLogMutex_);
        deliveryQueued = !pendingLog_.empty();
        pendingLog_.push_back(line);
    }
    if (!deliveryQueued) {
        QMetaObject::invokeMethod(
            this, [this] { DeliverLogLines(); }, Qt::QueuedConnection);
    }
}

void QtUserInterface::DeliverLogLines() {
    std::vector<std::string> lines;
    {
        const std::lock_guard<std::mutex> lock(pendingLogMutex_);
        lines.swap(pendingLog_);
    }
    for (const std::string& line : lines) {
        emit logLine(QString::fromStdString(line));
    }
}

void QtUserInterface::ProcessPendingMessages() {
    // Only the window's thread may run its events; a worker has nothing to pump.
    if (OnWindowThread()) {
        QCoreApplication::processEvents();
    }
}

}  // namespace kasa::gui
