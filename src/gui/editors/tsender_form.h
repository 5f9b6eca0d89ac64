// The file sender: the `.bin` files of one folder, sent with a double click, deleted
// after a question. Given the register line, a file goes out on a worker thread with its
// progress and an abort button, under the program's busy guard.
#pragma once

#include <QMainWindow>
#include <QString>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "app/settings.h"
#include "base/user_interface.h"
#include "comm/ecrclass.h"

class QAction;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace kasa::gui {

class TECRForm;
class WindowPlaceKeeper;

class TSenderForm : public QMainWindow {
    Q_OBJECT
  public:
    // Sends the bytes unchanged on the window's thread; says itself why it did not. Used
    // only while no register line is given.
    using Sender = std::function<void(const std::string& bytes)>;
    // The file picked in the open dialog that starts in `folder`; empty when cancelled.
    using FileChooser = std::function<QString(const QString& folder)>;

    // What a send off the window's thread needs: the register object, the program's busy
    // flag (raised while a file goes out, so no other register job starts and no second
    // send either) and the step, run on the window's thread before the send, that names
    // the port when no session has named it yet.
    struct Line {
        ECRClass* ecr = nullptr;
        std::atomic<bool>* busy = nullptr;
        std::function<void()> preparePort;
    };

    // `place` is the settings block the window keeps up to date (SenderFile and geometry).
    // `ui` must take calls from any thread when a line is given.
    TSenderForm(UserInterface& ui, WindowPlace& place, Sender sender, QWidget* parent = nullptr);
    ~TSenderForm() override;

    void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
    void SetLine(Line line) { line_ = std::move(line); }

    // The commands, public so tests can drive them as the menu and the list do.
    void ShowWindow();
    void Zamknij();
    void Wczytaj();
    void Refresh();
    void Kasuj();
    void ListDblClick();
    // The abort button: the send stops after the slice being written.
    void Przerwij();
    // A send that runs stops and is waited for; its messages are no longer shown.
    void StopForClosing();

    bool Sending() const { return sending_; }
    QListWidget* List() const { return list_; }
    QProgressBar* Progress() const { return progress_; }
    QPushButton* AbortButton() const { return abort_; }
    QAction* MenuAction(const char* objectName) const;

  signals:
    // A send started with a line has ended (on the window's thread).
    void sendFinished();

  private:
    std::string Folder() const;
    void StartSend(const std::string& name);
    void SendDone();
    // A message of the sender's own, after which the sender is in front again.
    void Tell(const std::string& text);
    void BackToFront();

    UserInterface& ui_;
    WindowPlace& place_;
    Sender sender_;
    Line line_;
    FileChooser chooser_;
    QListWidget* list_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* sendingLabel_ = nullptr;
    QPushButton* abort_ = nullptr;
    QWidget* sendBar_ = nullptr;
    WindowPlaceKeeper* placeKeeper_ = nullptr;
    bool busy_ = false;     // the synchronous send runs
    bool sending_ = false;  // a send on the worker runs
    std::thread worker_;
    std::atomic<bool> workerDone_{false};
    std::atomic<bool> closing_{false};
};

// Creates the window, binds "&Wysyłanie plików" to it and hides it with the main window.
// Without a line the file goes out on the window's thread through `sender`.
TSenderForm* BindFileSender(TECRForm& form, WindowPlace& place, TSenderForm::Sender sender);
TSenderForm* BindFileSender(TECRForm& form, WindowPlace& place, TSenderForm::Line line);

}  // namespace kasa::gui
