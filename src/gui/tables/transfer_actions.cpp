#include "gui/tables/transfer_actions.h"

#include <algorithm>

#include <QApplication>
#include <QEventLoop>
#include <QInputDialog>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "app/fiscal_memory_read.h"
#include "app/settings.h"
#include "app/validation_commands.h"
#include "base/codepage.h"
#include "base/worker_user_interface.h"
#include "ecr/database_commands.h"
#include "ecr/vat_totals.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/tables/form_table_set.h"
#include "gui/tables/grid_model.h"
#include "gui/tables/validation_actions.h"

namespace kasa::gui {

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The grid tables with register buttons of their own; surcharges go with discounts.
constexpr TableKind kButtonTables[] = {TableKind::kPackaging, TableKind::kKeys,
                                       TableKind::kCashiers, TableKind::kDiscounts,
                                       TableKind::kPaymentForms};

const char* const kGoodsDeleteQuestion =
    "Kontynuacja spowoduje skasowanie w kasie bazy PLU\nChcesz kontynuować?";

}  // namespace

TransferActions::TransferActions(TECRForm& form, ECRClass& ecr, std::atomic<bool>& busy,
                                 ValidationActions& validation)
    : QObject(&form), form_(form), ecr_(ecr), busy_(busy), validation_(validation) {
    setObjectName(QStringLiteral("TransferActions"));
    BindButtons();
}

TransferActions::~TransferActions() {
    if (worker_.joinable()) {
        StopForClosing();
    }
}

void TransferActions::BindButtons() {
    BindTableButtons();
    connect(&form_, &TECRForm::tablesRebuilt, this, [this] { BindTableButtons(); });
    form_.BindButton(QStringLiteral("All"), [this] { ReadAll(true); });
    form_.BindAction(QStringLiteral("Odczyt &wszystkich danych z kasy"), [this] { ReadAll(true); });
    form_.BindAction(QStringLiteral("Odczyt &danych bez PLU"), [this] { ReadAll(false); });
}

void TransferActions::BindTableButtons() {
    for (const TableKind kind : kButtonTables) {
        const QString name = Q(form_.Model().Table(kind).tableName);
        form_.BindButton(name + QStringLiteral("_odczyt_kasa"), [this, kind] { ReadTable(kind); });
        form_.BindButton(name + QStringLiteral("_zapis_kasa"), [this, kind] { WriteTable(kind); });
        form_.BindButton(name + QStringLiteral("_kasuj"), [this, kind] { DeleteTable(kind); });
    }
    auto button = [this](const char* name) {
        return form_.ControlAs<QPushButton>(QString::fromUtf8(name));
    };
    using Op = BackgroundOperation;
    form_.BindButton(QStringLiteral("PLU_odczyt_kasa"), [this, button] {
        GoodsCommand(button("PLU_odczyt_kasa"), Op::kGoodsRead, false, false);
    });
    form_.BindButton(QStringLiteral("PLU_zapis_kasa"), [this, button] {
        GoodsCommand(button("PLU_zapis_kasa"), Op::kGoodsWrite, false, false);
    });
    form_.BindButton(QStringLiteral("PLU_odczyt_zakres_kasa"), [this, button] {
        GoodsCommand(button("PLU_odczyt_zakres_kasa"), Op::kGoodsRead, true, false);
    });
    form_.BindButton(QStringLiteral("PLU_zapis_zakres_kasa"), [this, button] {
        GoodsCommand(button("PLU_zapis_zakres_kasa"), Op::kGoodsWrite, true, false);
    });
    form_.BindButton(QStringLiteral("PLU_czysc_zakres"), [this, button] {
        GoodsCommand(button("PLU_czysc_zakres"), Op::kGoodsWrite, true, true);
    });
    form_.BindButton(QStringLiteral("PLU_kasuj"), [this, button] {
        GoodsCommand(button("PLU_kasuj"), Op::kGoodsDeleteChecked, false, false);
    });
    form_.BindButton(QStringLiteral("PLU_odczyt_zaznaczenie"), [this, button] {
        GoodsSelection(button("PLU_odczyt_zaznaczenie"), Op::kGoodsRead);
    });
    form_.BindButton(QStringLiteral("PLU_zapis_zaznaczenie"), [this, button] {
        GoodsSelection(button("PLU_zapis_zaznaczenie"), Op::kGoodsWrite);
    });
}

bool TransferActions::Idle(const QString& caption) {
    if (busy_ || operation_ != BackgroundOperation::kNone) {
        form_.Ui().Message(caption.toStdString(), kBusyMessage);
        return false;
    }
    return true;
}

void TransferActions::RunOffWindowThread(const std::function<void(UserInterface&)>& job) {
    // The busy flag keeps a second operation from starting while the window goes on
    // handling its events.
    busy_ = true;
    smallJobRunning_ = true;
    QEventLoop wait;
    std::thread thread([this, &job, &wait] {
        WorkerUserInterface ui(form_.Ui(), closing_);
        job(ui);
        QMetaObject::invokeMethod(
            &wait, [&wait] { wait.quit(); }, Qt::QueuedConnection);
    });
    wait.exec();
    // Left early only when the program quits: the job ends after its current row.
    thread.join();
    // An abort asked for this job ends with it: left raised, it would cut the next
    // exchange's wait short.
    ecr_.abortRequested = false;
    smallJobRunning_ = false;
    busy_ = false;
    emit jobEnded();
}

TransferResult TransferActions::RunHere(TableKind kind, bool write) {
    TableSet tables = CollectTableSet(form_);
    TransferRequest request;
    request.closeAfterwards = true;
    std::vector<TableKind> passes{kind};
    if (kind == TableKind::kDiscounts) {
        passes.push_back(TableKind::kSurcharges);
    }
    TransferResult result = TransferResult::kDone;
    std::vector<TableKind> done;
    std::unique_ptr<WriteSafeguards> guards;
    WriteSafeguards::Report report;
    if (write) {
        guards = MakeSafeguards(Utf8ToUpper(form_.Model().Table(kind).tableName));
        request.observer = guards->Observer();
    }
    RunOffWindowThread([&](UserInterface& ui) {
        for (const TableKind pass : passes) {
            request.name = TransferName(form_.Model().Table(pass), write);
            result = TransferTable(ecr_, ui, form_.Model(), tables, request, ecr_.abortRequested,
                                   closing_);
            done.push_back(pass);
            if (result != TransferResult::kDone && result != TransferResult::kPassedOver) {
                break;
            }
        }
        if (guards != nullptr) {
            report = guards->Close(
                ecr_, result == TransferResult::kDone || result == TransferResult::kPassedOver);
            if (guards->ReadBackAsked()) {
                ecr_.CloseTransmission();
            }
        }
    });
    if (closing_) {
        return result;
    }
    if (guards != nullptr) {
        ShowSafeguards(report, result == TransferResult::kDone
                                   ? "Zapisano w kasie tabelę " +
                                         std::string(form_.Model().Table(kind).tableName) + "."
                                   : std::string());
        if (!report.ok() && result == TransferResult::kDone) {
            result = TransferResult::kFailed;
        }
    }
    for (const TableKind pass : done) {
        // A read shows what came; a write only the packaging balance cells as they were.
        if (!write || pass == TableKind::kPackaging) {
            ApplyTableSet(form_, tables, pass);
        }
    }
    return result;
}

void TransferActions::ReadTable(TableKind kind) {
    if (!Idle(QStringLiteral("Program serwisowy kas"))) {
        return;
    }
    if (RunHere(kind, false) == TransferResult::kDone) {
        form_.Ui().ShowOutcome("Odczytano z kasy tabelę " +
                               std::string(form_.Model().Table(kind).tableName) + ".");
    }
}

void TransferActions::WriteTable(TableKind kind) {
    if (!validation_.Validate(WriteCommandOf(kind), [this, kind] { WriteTable(kind); })) {
        return;
    }
    if (!Idle(QStringLiteral("Program serwisowy kas"))) {
        return;
    }
    if (kind == TableKind::kCashiers &&
        form_.Ui().Ask(kProgramCaption, kCashierWriteQuestion, Buttons::YesNo) != Answer::Yes) {
        return;
    }
    RunHere(kind, true);  // it tells the outcome with the backup's name
}

void TransferActions::DeleteTable(TableKind kind) {
    if (!Idle(QStringLiteral("Program serwisowy kas"))) {
        return;
    }
    const std::string name(form_.Model().Table(kind).tableName);
    // A whole database goes: the user confirms it, as for the goods.
    if (form_.Ui().Ask(
            kProgramCaption,
            "Kontynuacja spowoduje skasowanie w kasie bazy " + name + "\nChcesz kontynuować?",
            Buttons::YesNo) != Answer::Yes) {
        return;
    }
    ecr_.abortRequested = false;
    bool done = false;
    RunOffWindowThread([&](UserInterface& ui) {
        done = DeleteDatabase(ui, kProgramCaption, ecr_, TableCodeOfKind(kind), true, !closing_,
                              false);
    });
    if (done && !closing_) {
        form_.Ui().ShowOutcome("Skasowano w kasie bazę " + name + ".");
    }
}

std::optional<TransferRange> TransferActions::AskGoodsRange(const QString& caption, bool reading) {
    (void)reading;
    bool ok = false;
    const QString text = QInputDialog::getText(
        &form_, QString::fromUtf8(kRangeCaption), Q(RangePrompt(goodsNumbers_)), QLineEdit::Normal,
        QStringLiteral("%1 %2").arg(goodsNumbers_.start).arg(goodsNumbers_.end), &ok);
    if (!ok) {
        return std::nullopt;
    }
    const RangeChoice choice = GoodsRangeFromText(
        text.toStdString(), form_.Model().Table(TableKind::kGoods), form_.MinPlu());
    if (!choice.Accepted()) {
        form_.Ui().Message(caption.toStdString(), choice.message);
        return std::nullopt;
    }
    goodsNumbers_ = choice.numbers;
    return choice.rows;
}

void TransferActions::GoodsCommand(QPushButton* button, BackgroundOperation operation,
                                   bool askRange, bool clearRange) {
    if (button == nullptr) {
        return;
    }
    // The button that started the running operation stops it.
    if (operation_ != BackgroundOperation::kNone && button == startedButton_) {
        ecr_.abortRequested = true;
        return;
    }
    if (!Idle(button->text())) {
        return;
    }
    const bool deleting = operation == BackgroundOperation::kGoodsDeleteChecked;
    if (deleting &&
        form_.Ui().Ask(kProgramCaption, kGoodsDeleteQuestion, Buttons::YesNo) != Answer::Yes) {
        return;
    }
    TransferRange range;
    if (askRange) {
        const std::optional<TransferRange> asked =
            AskGoodsRange(button->text(), operation == BackgroundOperation::kGoodsRead);
        if (!asked) {
            return;
        }
        range = *asked;
    }
    if (operation == BackgroundOperation::kGoodsWrite && !clearRange) {
        const ValidationCommand command =
            askRange ? ValidationCommand::kWriteGoodsRange : ValidationCommand::kWriteGoods;
        QPointer<QPushButton> again(button);
        if (!validation_.Validate(
                command,
                [this, again, operation, clearRange, range] {
                    if (again != nullptr) {
                        StartBackground(operation, again, QString::fromUtf8(kAbortWriteCaption),
                                        range, clearRange);
                    }
                },
                TableKind::kGoods, range.start, range.end)) {
            return;
        }
    }
    const char* abortCaption = deleting                                       ? kAbortDeleteCaption
                               : operation == BackgroundOperation::kGoodsRead ? kAbortReadCaption
                                                                              : kAbortWriteCaption;
    StartBackground(operation, button, QString::fromUtf8(abortCaption), range, clearRange);
}

void TransferActions::GoodsSelection(QPushButton* button, BackgroundOperation operation) {
    QPushButton* rangeButton =
        form_.ControlAs<QPushButton>(QStringLiteral("PLU_odczyt_zakres_kasa"));
    if (operation_ == operation) {
        ecr_.abortRequested = true;
        return;
    }
    if (button == nullptr || !Idle(QStringLiteral("Program serwisowy kas"))) {
        return;
    }
    QTableView* view = form_.GridView("PLU");
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    int top = 0;
    int bottom = 0;
    for (const QModelIndex& index : selected) {
        const int row = GridModel::GridRow(index);
        top = top == 0 ? row : std::min(top, row);
        bottom = std::max(bottom, row);
    }
    const RangeChoice choice = SelectedRowsRange(top, bottom, form_.Grid("PLU")->RowCount());
    if (!choice.Accepted()) {
        form_.Ui().Message(kProgramCaption, choice.message);
        return;
    }
    if (operation == BackgroundOperation::kGoodsWrite &&
        !validation_.Validate(
            ValidationCommand::kWriteGoodsRange,
            [this, button, operation] { GoodsSelection(button, operation); }, TableKind::kGoods,
            choice.rows.start, choice.rows.end)) {
        return;
    }
    StartBackground(
        operation, rangeButton,
        QString::fromUtf8(operation == BackgroundOperation::kGoodsRead ? kAbortReadCaption
                                                                       : kAbortWriteCaption),
        choice.rows, false);
}

void TransferActions::ReadAll(bool withGoods) {
    QPushButton* all = form_.ControlAs<QPushButton>(QStringLiteral("All"));
    if (operation_ == BackgroundOperation::kGoodsRead && all == startedButton_) {
        ecr_.abortRequested = true;
        return;
    }
    if (!Idle(QStringLiteral("Program serwisowy kas"))) {
        return;
    }
    if (vatRead_) {
        vatRead_();
        QApplication::processEvents();
    }
    if (headerRead_) {
        headerRead_();
        QApplication::processEvents();
    }
    for (const TableKind kind :
         {TableKind::kPackaging, TableKind::kCashiers, TableKind::kDiscounts, TableKind::kCashiers,
          TableKind::kKeys, TableKind::kPaymentForms}) {
        const TransferResult result = RunHere(kind, false);
        QApplication::processEvents();
        if (result != TransferResult::kDone && result != TransferResult::kPassedOver) {
            return;
        }
    }
    if (!withGoods) {
        form_.Ui().ShowOutcome("Odczytano z kasy wszystkie dane bez PLU.");
        return;
    }
    StartBackground(BackgroundOperation::kGoodsRead, all, QString::fromUtf8(kAbortAllCaption), {},
                    false);
}

void TransferActions::ReadFiscalMemory(QPushButton* button, int first, int last,
                                       const std::string& fileName, FiscalLines onLines) {
    if (operation_ == BackgroundOperation::kFiscalMemoryRead && button == startedButton_) {
        ecr_.abortRequested = true;
        return;
    }
    if (!Idle(button != nullptr ? button->text() : QString())) {
        return;
    }
    fiscalFile_ = fileName;
    fiscalLines_ = std::move(onLines);
    StartBackground(BackgroundOperation::kFiscalMemoryRead, button,
                    QString::fromUtf8(kFiscalAbortCaption), {first, last}, false);
}

void TransferActions::StartBackground(BackgroundOperation operation, QPushButton* button,
                                      const QString& abortCaption, TransferRange range,
                                      bool clearRange) {
    if (!Idle(button != nullptr ? button->text() : QString())) {
        return;
    }
    // Set here, on the window's thread, so that a second click before the thread runs is
    // refused.
    busy_ = true;
    operation_ = operation;
    ecr_.abortRequested = false;
    startedButton_ = button;
    if (button != nullptr) {
        startedCaption_ = button->text();
        startedStyle_ = button->styleSheet();
        button->setText(abortCaption);
        button->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    }
    // The worker has a grid of its own; the rows it reads reach the window's grid in order.
    TableSet tables = CollectTableSet(form_, TableKind::kGoods);
    if (worker_.joinable()) {
        worker_.join();
    }
    goodsReport_ = {};
    goodsGuards_ = operation == BackgroundOperation::kGoodsWrite
                       ? MakeSafeguards(Utf8ToUpper(kGoodsTableName))
                       : nullptr;
    worker_ = std::thread([this, operation, range, clearRange, tables = std::move(tables)] {
        RunInBackground(operation, range, clearRange, tables);
    });
}

void TransferActions::RunInBackground(BackgroundOperation operation, TransferRange range,
                                      bool clearRange, TableSet tables) {
    WorkerUserInterface ui(form_.Ui(), closing_);
    const RegisterModel& model = form_.Model();
    if (operation == BackgroundOperation::kFiscalMemoryRead) {
        const FiscalReadRequest request{range.start, range.end, fiscalFile_, kProgramCaption};
        const FiscalReadResult read = kasa::ReadFiscalMemory(
            ecr_, ui, request, ecr_.abortRequested, [this](const std::vector<std::string>& lines) {
                QMetaObject::invokeMethod(
                    this,
                    [this, lines] {
                        if (fiscalLines_) {
                            fiscalLines_(lines);
                        }
                    },
                    Qt::QueuedConnection);
            });
        result_ = static_cast<int>(read == FiscalReadResult::kDone      ? TransferResult::kDone
                                   : read == FiscalReadResult::kAborted ? TransferResult::kAborted
                                                                        : TransferResult::kFailed);
    } else if (operation == BackgroundOperation::kGoodsDeleteChecked ||
               operation == BackgroundOperation::kGoodsDeleteUnchecked) {
        const bool deleted =
            DeleteDatabase(ui, kProgramCaption, ecr_, TableCode::kGoods, false, !closing_,
                           operation == BackgroundOperation::kGoodsDeleteChecked);
        result_ = static_cast<int>(deleted ? TransferResult::kDone : TransferResult::kFailed);
    } else {
        TransferRequest request;
        request.name = TransferName(model.Table(TableKind::kGoods),
                                    operation == BackgroundOperation::kGoodsWrite);
        request.range = range;
        request.clearRange = clearRange;
        // Cleared when the operation started on the window's thread: an abort asked for
        // since, even before this thread ran, stands.
        request.clearAbort = false;
        if (goodsGuards_ != nullptr) {
            request.observer = goodsGuards_->Observer();
        }
        result_ = static_cast<int>(
            TransferTable(ecr_, ui, model, tables, request, ecr_.abortRequested, closing_,
                          [this](TableKind kind, int row, const std::vector<std::string>& cells) {
                              QMetaObject::invokeMethod(
                                  this, [this, kind, row, cells] { ApplyRow(kind, row, cells); },
                                  Qt::QueuedConnection);
                          }));
        if (goodsGuards_ != nullptr) {
            const auto result = static_cast<TransferResult>(result_.load());
            goodsReport_ = goodsGuards_->Close(
                ecr_, result == TransferResult::kDone || result == TransferResult::kPassedOver);
            if (goodsGuards_->ReadBackAsked()) {
                ecr_.CloseTransmission();
            }
        }
    }
    QMetaObject::invokeMethod(
        this, [this] { BackgroundDone(); }, Qt::QueuedConnection);
}

void TransferActions::ApplyRow(TableKind kind, int row, const std::vector<std::string>& cells) {
    const std::string name(form_.Model().Table(kind).tableName);
    TextGrid* grid = form_.Grid(name);
    if (grid == nullptr) {
        return;
    }
    for (size_t c = 1; c < cells.size(); ++c) {
        grid->SetCell(static_cast<int>(c), row, cells[c]);
    }
    if (GridModel* model = form_.GridModelOf(name)) {
        model->CellsChanged(0, row, grid->ColCount() - 1, row);
    }
}

void TransferActions::BackgroundDone() {
    if (worker_.joinable()) {
        worker_.join();
    }
    const BackgroundOperation finished = operation_;
    if (!closing_) {
        if (startedButton_ != nullptr) {
            startedButton_->setText(startedCaption_);
            startedButton_->setStyleSheet(startedStyle_);
        }
        form_.Ui().SetProgress(0, 0);
        form_.LayOutGrid("PLU");
        const auto result = static_cast<TransferResult>(result_.load());
        if (goodsGuards_ != nullptr) {
            ShowSafeguards(goodsReport_, result == TransferResult::kDone
                                             ? std::string("Zapisano w kasie tabelę PLU.")
                                         : result == TransferResult::kAborted
                                             ? std::string("Przerwano operację na tabeli PLU.")
                                             : std::string());
        } else {
            ShowOutcome(finished, result);
        }
    }
    goodsGuards_.reset();
    startedButton_ = nullptr;
    operation_ = BackgroundOperation::kNone;
    ecr_.abortRequested = false;
    busy_ = false;
    emit backgroundFinished(finished);
    emit jobEnded();
}

void TransferActions::RestoreBackup(const std::string& path) {
    if (!Idle(QString::fromUtf8(kProgramCaption))) {
        return;
    }
    const RegisterModel& model = form_.Model();
    TableSet tables;
    // A backup of the other register type, or a damaged one, is refused here.
    const bool loaded =
        LoadAllFromPodFile(path, model, tables, form_.MinPlu(), form_.Ui(), kProgramCaption).ok();
    form_.Ui().SetProgress(0, 0);  // the load's bar tells of no work to come
    if (!loaded) {
        return;
    }
    std::vector<TableKind> kinds;
    std::string names;
    for (const TableKind kind :
         {TableKind::kPackaging, TableKind::kCashiers, TableKind::kDiscounts,
          TableKind::kSurcharges, TableKind::kKeys, TableKind::kPaymentForms, TableKind::kGoods}) {
        // Records the backup gives as empty are emptied again.
        if (tables.HoldsRecordsToWrite(kind)) {
            kinds.push_back(kind);
            names += (names.empty() ? "" : ", ") + std::string(model.Table(kind).tableName);
        }
    }
    const bool headerOrVat = tables.HoldsVatRates() || tables.HoldsHeader();
    const std::string file = path.substr(path.find_last_of("/\\") + 1);
    if (kinds.empty()) {
        form_.Ui().Message(kProgramCaption,
                           headerOrVat ? "Kopia " + file +
                                             " zawiera nagłówek lub stawki VAT: wczytaj ją "
                                             "„Ładuj wszystko z pliku” i zapisz je ich przyciskami."
                                       : "Kopia " + file + " nie zawiera rekordów.");
        return;
    }
    Settings settings;
    for (const TableKind kind : kinds) {
        const ValidationOutcome outcome =
            RunValidation(WriteCommandOf(kind), model, tables, form_.MinPlu(), settings);
        if (!outcome.Passed()) {
            std::string text = "Kopia " + file + " nie może być zapisana do kasy:\n";
            for (size_t i = 0; i < outcome.lines.size() && i < 10; ++i) {
                text += outcome.lines[i].text + "\n";
            }
            form_.Ui().Message(kProgramCaption, text);
            return;
        }
    }
    if (form_.Ui().Ask(
            kProgramCaption,
            kRestoreQuestionLead + file + "?\nTabele: " + names + "." +
                (headerOrVat ? "\nNagłówek i stawki VAT z kopii nie zostaną zapisane." : ""),
            Buttons::YesNo) != Answer::Yes) {
        return;
    }
    const std::unique_ptr<WriteSafeguards> guards = MakeSafeguards("przywrocenie");
    TransferResult result = TransferResult::kDone;
    WriteSafeguards::Report report;
    RunOffWindowThread([&](UserInterface& ui) {
        TransferRequest request;
        request.observer = guards->Observer();
        for (const TableKind kind : kinds) {
            request.name = TransferName(model.Table(kind), true);
            result = TransferTable(ecr_, ui, model, tables, request, ecr_.abortRequested, closing_);
            if (result != TransferResult::kDone && result != TransferResult::kPassedOver) {
                break;
            }
        }
        report = guards->Close(
            ecr_, result == TransferResult::kDone || result == TransferResult::kPassedOver);
        ecr_.CloseTransmission();
    });
    if (!closing_) {
        ShowSafeguards(report, result == TransferResult::kDone
                                   ? std::string("Przywrócono w kasie rekordy z kopii.")
                                   : std::string());
    }
}

std::unique_ptr<WriteSafeguards> TransferActions::MakeSafeguards(std::string_view job) const {
    const WriteGuardSettings settings = guardSettings_ ? guardSettings_() : WriteGuardSettings{};
    const std::string folder =
        settings.folder.empty() ? BackupFolder(BackupLocationOfThisProcess()) : settings.folder;
    return std::make_unique<WriteSafeguards>(form_.Model(), folder, job, settings.keep,
                                             settings.readBack);
}

void TransferActions::ShowSafeguards(const WriteSafeguards::Report& report,
                                     const std::string& done) {
    if (!report.ok()) {
        std::string text;
        for (const std::string& line : report.faults) {
            text += line + "\n";
        }
        form_.Ui().Message(kProgramCaption, text);
    }
    // "Info" has room for a short line: the backup's file is listed in "Plik / Kopie".
    const std::string outcome = report.ShortOutcome(done);
    if (!outcome.empty()) {
        form_.Ui().ShowOutcome(outcome);
    }
}

void TransferActions::ShowOutcome(BackgroundOperation operation, TransferResult result) {
    // Failures have told of themselves already; a finished job says what it did.
    const bool fiscal = operation == BackgroundOperation::kFiscalMemoryRead;
    if (result == TransferResult::kAborted) {
        form_.Ui().ShowOutcome(fiscal ? "Przerwano odczyt pamięci fiskalnej."
                                      : "Przerwano operację na tabeli PLU.");
        return;
    }
    if (result != TransferResult::kDone) {
        return;
    }
    switch (operation) {
        case BackgroundOperation::kFiscalMemoryRead:
            form_.Ui().ShowOutcome("Odczytano pamięć fiskalną.");
            break;
        case BackgroundOperation::kGoodsRead:
            form_.Ui().ShowOutcome("Odczytano z kasy tabelę PLU.");
            break;
        case BackgroundOperation::kGoodsWrite:
            form_.Ui().ShowOutcome("Zapisano w kasie tabelę PLU.");
            break;
        case BackgroundOperation::kGoodsDeleteChecked:
        case BackgroundOperation::kGoodsDeleteUnchecked:
            form_.Ui().ShowOutcome("Skasowano w kasie bazę PLU.");
            break;
        default:
            break;
    }
}

void TransferActions::StopForClosing() {
    closing_ = true;
    if (smallJobRunning_) {
        ecr_.abortRequested = true;  // it ends after its current row
    }
    if (!worker_.joinable()) {
        return;
    }
    ecr_.abortRequested = true;
    // The worker may wait for the window's thread (a row, a progress value): keep handling
    // events until it has finished.
    QEventLoop wait;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &wait, [this, &wait] {
        if (operation_ == BackgroundOperation::kNone) {
            wait.quit();
        }
    });
    connect(this, &TransferActions::backgroundFinished, &wait, &QEventLoop::quit);
    poll.start(20);
    if (operation_ != BackgroundOperation::kNone) {
        wait.exec();
    }
    if (worker_.joinable()) {
        worker_.join();
    }
}

}  // namespace kasa::gui
