// The file sender: the `.bin` files of one folder, sent with a double click, deleted
// after a question.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <string>

#include "app/settings.h"
#include "base/user_interface.h"

class QListWidget;

namespace kasa::gui {

class TECRForm;
class WindowPlaceKeeper;

class TSenderForm : public QMainWindow {
    Q_OBJECT
  public:
    // Sends the bytes unchanged; says itself why it did not.
    using Sender = std::function<void(const std::string& bytes)>;
    // The file picked in the open dialog that starts in `folder`; empty when cancelled.
    using FileChooser = std::function<QString(const QString& folder)>;

    // `place` is the settings block the window keeps up to date (SenderFile and geometry).
    TSenderForm(UserInterface& ui, WindowPlace& place, Sender sender, QWidget* parent = nullptr);

    void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }

    // The commands, public so tests can drive them as the menu and the list do.
    void ShowWindow();
    void Zamknij();
    void Wczytaj();
    void Refresh();
    void Kasuj();
    void ListDblClick();

    QListWidget* List() const { return list_; }

  private:
    std::string Folder() const;

    UserInterface& ui_;
    WindowPlace& place_;
    Sender sender_;
    FileChooser chooser_;
    QListWidget* list_ = nullptr;
    WindowPlaceKeeper* placeKeeper_ = nullptr;
    bool busy_ = false;
};

// Creates the window, binds "&Wysyłanie plików" to it and hides it with the main window.
TSenderForm* BindFileSender(TECRForm& form, WindowPlace& place, TSenderForm::Sender sender);

}  // namespace kasa::gui
