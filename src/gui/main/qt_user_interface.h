// The window's side of the core's user interface: message boxes with Polish buttons, the
// progress bar "Postep", the label "Info" and the protocol log. Calls made on another
// thread are handed to the window's thread in order; a question waits for its answer.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/user_interface.h"

class QLabel;
class QProgressBar;
class QWidget;

namespace kasa::gui {

// The Polish captions of the message box buttons.
inline constexpr const char* kButtonYes = "Tak";
inline constexpr const char* kButtonNo = "Nie";
inline constexpr const char* kButtonOk = "OK";
inline constexpr const char* kButtonCancel = "Anuluj";

class QtUserInterface : public QObject, public UserInterface {
    Q_OBJECT
  public:
    // Answers a message (buttons Ok, answer ignored) or a question in place of a dialog.
    using AnswerProvider =
        std::function<Answer(const std::string& title, const std::string& text, Buttons buttons)>;

    // The boxes are modal to `window`; the progress bar and label may be null.
    QtUserInterface(QWidget* window, QProgressBar* progress, QLabel* info,
                    QObject* parent = nullptr);

    // Failures and refusals carry the warning icon; notices the information icon.
    void Message(const std::string& title, const std::string& text) override;
    void Notice(const std::string& title, const std::string& text) override;
    Answer Ask(const std::string& title, const std::string& text, Buttons buttons) override;
    void SetProgress(int position, int maximum) override;
    void SetStatusText(const std::string& text) override;
    void LogLine(const std::string& line) override;
    void ProcessPendingMessages() override;

    // The outcome of an operation that succeeded, in "Info" for `shownMs`; then the label
    // is cleared unless something else was put there meanwhile.
    void ShowOutcome(const std::string& text, int shownMs = kOutcomeShownMs);
    static constexpr int kOutcomeShownMs = 5000;

    // With a provider set no dialog opens: the tests answer through it.
    void SetAnswerProvider(AnswerProvider provider) { provider_ = std::move(provider); }

  signals:
    void logLine(const QString& line);

  private:
    bool OnWindowThread() const;
    enum class Kind { kFailure, kNotice, kQuestion };
    Answer Show(const std::string& title, const std::string& text, Buttons buttons, Kind kind);
    Answer AskHere(const std::string& title, const std::string& text, Buttons buttons, Kind kind);
    Answer ShowBox(const std::string& title, const std::string& text, Buttons buttons, Kind kind);
    void SetProgressHere(int position, int maximum);
    void DeliverLogLines();

    QPointer<QWidget> window_;
    QPointer<QProgressBar> progress_;
    QPointer<QLabel> info_;
    AnswerProvider provider_;
    QTimer outcomeTimer_;
    QString outcomeText_;
    std::mutex pendingLogMutex_;
    std::vector<std::string> pendingLog_;  // worker lines not yet on the window's thread
};

}  // namespace kasa::gui
