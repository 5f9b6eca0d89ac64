// The fiscal memory read of the window: the small panel with the record range and the log
// file, the VESPER refusal, and the read itself on the transfer worker, its lines going to
// the fiscal memory listing window.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QDialog;

namespace kasa::gui {

class TECRForm;
class TransferActions;

class FiscalMemoryActions : public QObject {
    Q_OBJECT
  public:
    FiscalMemoryActions(TECRForm& form, TransferActions& transfers);

    // Asks for the log file; nothing when the user cancels. Tests replace the dialog.
    using FileChooser = std::function<std::optional<QString>(const QString& current)>;
    void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }

    QDialog* Panel() const { return panel_; }
    const std::string& LogFile() const { return logFile_; }

    // The commands, public so tests can drive them as the menu and the buttons do.
    void OpenPanel();
    void ReadClicked();
    void ChooseLogFile();

  private:
    void BuildPanel();

    TECRForm& form_;
    TransferActions& transfers_;
    QDialog* panel_ = nullptr;
    FileChooser chooser_;
    std::string logFile_;
};

}  // namespace kasa::gui
