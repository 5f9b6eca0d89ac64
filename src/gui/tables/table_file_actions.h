// The main window's table file commands: each table's "Zapisz Bazę do pliku" and
// "Odczytaj Bazę z pliku" buttons and the menu items "&Zachowaj wszystko do pliku" and
// "&Ładuj wszystko z pliku". The file is chosen in a dialog that starts at the last file
// of its kind; the last files and kind are kept in the settings.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "app/settings.h"
#include "app/table_file_dialog.h"

class QWidget;

namespace kasa::gui {

class TECRForm;

enum class FileDialogMode { kOpen, kSave };

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::kOpen;
    QString caption;
    QString startPath;  // the last file of the kind: its folder, and its name proposed
    QStringList filters;
    QString selectedFilter;  // the filter of that kind
};

// The chosen file, empty when the dialog was cancelled, and the filter selected in the end.
struct FileDialogChoice {
    QString path;
    QString selectedFilter;
};

using FileChooser = std::function<FileDialogChoice(const FileDialogRequest&)>;

// Asks with QFileDialog, modal to `parent`.
FileChooser QtFileChooser(QWidget* parent);

// Binds the buttons and menu items. `settings` must outlive the window. While `busy`
// returns true (a background job runs) each command refuses with the busy message. An
// empty `chooser` asks with QFileDialog. When the window builds its table pages again the
// new buttons are bound once the window's events have been processed.
void BindTableFileActions(TECRForm& form, Settings& settings, std::function<bool()> busy,
                          FileChooser chooser = {});

}  // namespace kasa::gui
