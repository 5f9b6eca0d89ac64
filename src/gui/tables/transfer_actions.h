// The window's table buttons that move whole tables to and from the register: the small
// tables on a thread of their own while the window waits for them, still handling its
// events; the goods on one worker thread that reports its rows, progress and questions back
// to the window's thread in order, with the abort button. The busy guard covers both.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/table_transfer.h"
#include "app/write_safeguards.h"
#include "comm/ecrclass.h"

class QPushButton;

namespace kasa::gui {

class TECRForm;
class ValidationActions;

// Where the backups of the window's writes go, how many stay, and whether every write is
// read back ("Sprawdzaj zapis odczytem").
struct WriteGuardSettings {
    std::string folder;
    int keep = 200;
    bool readBack = false;
};

class TransferActions : public QObject {
    Q_OBJECT
  public:
    TransferActions(TECRForm& form, ECRClass& ecr, std::atomic<bool>& busy,
                    ValidationActions& validation);
    ~TransferActions() override;

    // The window closes: the running operation stops after its current row, its questions
    // are answered No, and the window keeps handling its events until the thread is done.
    void StopForClosing();
    BackgroundOperation Running() const { return operation_; }
    // Reads the header into the window; set by the header page.
    void SetHeaderRead(std::function<void()> read) { headerRead_ = std::move(read); }
    // Reads the VAT rates and totals into the window; set by the controller.
    void SetVatAndTotalsRead(std::function<void()> read) { vatRead_ = std::move(read); }

    // The commands, public so tests can drive them as the buttons do.
    void ReadTable(TableKind kind);
    void WriteTable(TableKind kind);
    void DeleteTable(TableKind kind);
    void GoodsCommand(QPushButton* button, BackgroundOperation operation, bool askRange,
                      bool clearRange);
    void GoodsSelection(QPushButton* button, BackgroundOperation operation);
    void ReadAll(bool withGoods);
    // Reads fiscal memory records first..last on the worker thread; the button becomes the
    // abort button and a second press stops the read after its record. Each record's lines
    // reach `onLines` on the window's thread, in order.
    using FiscalLines = std::function<void(const std::vector<std::string>& lines)>;
    void ReadFiscalMemory(QPushButton* button, int first, int last, const std::string& fileName,
                          FiscalLines onLines);
    // Runs `job` on a thread of its own, with the busy flag set, and returns when it is
    // done; the window handles its events meanwhile. The job talks to the user through the
    // interface it is given, which goes quiet once the window closes.
    void RunOffWindowThread(const std::function<void(UserInterface&)>& job);
    // The settings of the safeguards of every write; set by the controller.
    void SetWriteGuardSettings(std::function<WriteGuardSettings()> settings) {
        guardSettings_ = std::move(settings);
    }
    // The safeguards of one write job (`job`: the backup name's table part).
    std::unique_ptr<WriteSafeguards> MakeSafeguards(std::string_view job) const;
    // Tells the end of a job's safeguards: faults in a message, the backup's file name and
    // an agreeing read back after `done` in "Info".
    void ShowSafeguards(const WriteSafeguards::Report& report, const std::string& done);
    // Writes the records of a backup back to the register: every grid table it holds, each
    // validated and with the usual questions, itself backed up first. The window's grids
    // are not touched.
    void RestoreBackup(const std::string& path);
    // The goods range last given (goods numbers), the input box's starting text.
    const TransferRange& LastGoodsRange() const { return goodsNumbers_; }

  signals:
    // A background operation ended (on the window's thread).
    void backgroundFinished(kasa::BackgroundOperation operation);
    // Any job with the register ended, a small table's or a background one.
    void jobEnded();

  private:
    void BindButtons();
    // The buttons of the table pages, bound anew whenever the pages are built again.
    void BindTableButtons();
    // Refuses with the busy message when an operation runs; true when the caller may go on.
    bool Idle(const QString& caption);
    // Runs a transfer of one grid table off the window's thread and shows what it read.
    TransferResult RunHere(TableKind kind, bool write);
    void StartBackground(BackgroundOperation operation, QPushButton* button,
                         const QString& abortCaption, TransferRange range, bool clearRange);
    void RunInBackground(BackgroundOperation operation, TransferRange range, bool clearRange,
                         TableSet tables);
    void BackgroundDone();
    void ApplyRow(TableKind kind, int row, const std::vector<std::string>& cells);
    void ShowOutcome(BackgroundOperation operation, TransferResult result);
    std::optional<TransferRange> AskGoodsRange(const QString& caption, bool reading);

    TECRForm& form_;
    ECRClass& ecr_;
    std::atomic<bool>& busy_;
    ValidationActions& validation_;
    std::function<void()> headerRead_;
    std::function<WriteGuardSettings()> guardSettings_;
    // The goods write's safeguards and their report, while it runs on the worker.
    std::unique_ptr<WriteSafeguards> goodsGuards_;
    WriteSafeguards::Report goodsReport_;
    std::function<void()> vatRead_;

    std::thread worker_;
    std::atomic<bool> closing_{false};
    // A small table's transfer or deletion is running (RunOffWindowThread).
    bool smallJobRunning_ = false;
    std::atomic<int> result_{0};  // the worker's TransferResult
    BackgroundOperation operation_ = BackgroundOperation::kNone;
    QPointer<QPushButton> startedButton_;
    QString startedCaption_;
    QString startedStyle_;
    TransferRange goodsNumbers_;
    std::string fiscalFile_;
    FiscalLines fiscalLines_;
};

}  // namespace kasa::gui
