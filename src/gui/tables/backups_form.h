// "Plik / Kopie przed zapisem…": the backups the writes to the register left, newest first,
// each with its time, register type, table and records; "Przywróć" writes the chosen one
// back to the register and "Pokaż plik" opens the folder that holds it.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/backup_list.h"

class QTableWidget;

namespace kasa::gui {

class TKopieForm : public QDialog {
    Q_OBJECT
  public:
    // `folder` gives the backups' folder when the window opens; `restore` writes a backup
    // back; `show` opens the folder of a file.
    TKopieForm(QWidget* parent, std::function<std::string()> folder,
               std::function<void(const std::string& path)> restore,
               std::function<void(const std::string& path)> show);

    // Lists the folder's backups anew and shows the window.
    void Open();
    const std::vector<BackupEntry>& Entries() const { return entries_; }
    QTableWidget* Table() const { return table_; }
    // The buttons' commands, public so that tests can drive them.
    void Przywroc();
    void PokazPlik();

  private:
    const BackupEntry* Chosen() const;

    std::function<std::string()> folder_;
    std::function<void(const std::string&)> restore_;
    std::function<void(const std::string&)> show_;
    std::vector<BackupEntry> entries_;
    QTableWidget* table_ = nullptr;
};

}  // namespace kasa::gui
