#include "app/table_transfer.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "app/table_file_dialog.h"
#include "base/user_interface.h"
#include "ecr/header.h"
#include "ecr/row_transfer.h"
#include "ecr/vat_totals.h"

namespace kasa {

namespace {

constexpr int kProgressMaximum = 100;

// The column whose filled cell makes a row a record to write: the name, or for keys the
// goods number the key sells.
int RecordColumn(const TableDescriptor& table, TableKind kind) {
    return table.ColumnOfKey(kind == TableKind::kKeys ? "PLU" : "NAZ");
}

// Every column of the row but the record number.
void ClearDataCells(TextGrid& grid, const TableDescriptor& table, int row) {
    const int count = table.FieldCount();
    for (int c = 0; c < count; ++c) {
        if (table.fields[static_cast<size_t>(c)].key != "NUM") {
            grid.SetCell(c, row, "");
        }
    }
}

void Report(const RowReport& onRow, TableKind kind, const TextGrid& grid, int row) {
    if (!onRow) {
        return;
    }
    std::vector<std::string> cells;
    cells.reserve(static_cast<size_t>(grid.ColCount()));
    for (int c = 0; c < grid.ColCount(); ++c) {
        cells.push_back(grid.Cell(c, row));
    }
    onRow(kind, row, cells);
}

// The kind of the table whose name the control's name holds.
const TableDescriptor* TableOfName(const RegisterModel& model, std::string_view name,
                                   TableKind& kind) {
    for (const TableDescriptor* table : model.tables) {
        if (!table->tableName.empty() && name.find(table->tableName) != std::string_view::npos &&
            TableKindOf(*table, kind)) {
            return table;
        }
    }
    return nullptr;
}

std::optional<int64_t> WholeNumber(std::string_view word) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

// A failure without the register's verdict on the data: no answer, an answer that did not
// come whole, or a request the register did not get intact (its codes 20 and 21). One
// such failure is worth one more try of the row.
bool TransmissionFault(const ECRClass& ecr) {
    return ecr.refusal.empty() &&
           (ecr.statusCode == -1 || ecr.statusCode == 20 || ecr.statusCode == 21);
}

bool NoAnswer(const ECRClass& ecr) {
    return ecr.refusal.empty() && ecr.statusCode == -1;
}

bool RowsInGrid(const TransferRange& range, int rowCount) {
    return range.Whole() || (range.start >= 1 && range.start <= range.end && range.end < rowCount);
}

}  // namespace

bool IsAbortCaption(std::string_view caption) {
    for (const std::string_view abort :
         {kAbortWriteCaption, kAbortReadCaption, kAbortDeleteCaption}) {
        if (caption == abort ||
            (abort != kAbortDeleteCaption && caption.size() == abort.size() + 1 &&
             caption.starts_with(abort) && caption.back() == '.')) {
            return true;
        }
    }
    return false;
}

std::string RangePrompt(const TransferRange& goodsNumbers) {
    return "Zakres: " + std::to_string(goodsNumbers.start) + " " +
           std::to_string(goodsNumbers.end) + "\nWpisz 2 liczby oddzielone\nspacją.";
}

RangeChoice GoodsRangeFromText(std::string_view text, const TableDescriptor& goods, int minPlu) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < text.size()) {
        const size_t start = text.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) {
            break;
        }
        const size_t end = std::min(text.find_first_of(" \t", start), text.size());
        words.push_back(text.substr(start, end - start));
        at = end;
    }
    RangeChoice choice;
    const std::optional<int64_t> first = words.size() == 2 ? WholeNumber(words[0]) : std::nullopt;
    const std::optional<int64_t> last = words.size() == 2 ? WholeNumber(words[1]) : std::nullopt;
    if (!first || !last) {
        choice.message = kRangeEmptyMessage;
        return choice;
    }
    if (*first == 0 && *last == 0) {
        return choice;
    }
    choice.numbers = {static_cast<int>(*first), static_cast<int>(*last)};
    if (*first > *last) {
        choice.message = kRangeOrderMessage;
        return choice;
    }
    const int firstShown = FirstShownNumber(goods, minPlu);
    const int rows = GridRowCount(goods, minPlu);
    const int lastShown = RecordNumberOfRow(goods, minPlu, rows - 1);
    if (*first < firstShown || *last > lastShown) {
        choice.message = kRangeOutsideMessage;
        return choice;
    }
    choice.rows = {static_cast<int>(*first - firstShown + 1),
                   static_cast<int>(*last - firstShown + 1)};
    return choice;
}

RangeChoice SelectedRowsRange(int topRow, int bottomRow, int rowCount) {
    RangeChoice choice;
    if (topRow < 1 || bottomRow < 1) {
        choice.message = kRangeEmptyMessage;
    } else if (topRow > bottomRow) {
        choice.message = kRangeOrderMessage;
    } else if (bottomRow >= rowCount) {
        choice.message = kRangeOutsideMessage;
    } else {
        choice.rows = {topRow, bottomRow};
    }
    return choice;
}

std::string TransferName(const TableDescriptor& table, bool write) {
    const std::string name(table.tableName);
    if (IsGoodsTable(table)) {
        return name + (write ? "_zapis" : "_odczyt");
    }
    return name + (write ? "_zapis_kasa" : "_odczyt_kasa");
}

bool QuestionErasesData(std::string_view question) {
    // The phrases by which the erasing questions speak of what goes.
    constexpr std::string_view kErasing[] = {
        "spowoduje skasowanie", "wykasowanie wszystkich danych", "Nie będzie możliwości cofnięcia",
        kOverwriteQuestionEnd, kRestoreQuestionLead};
    if (question == kCashierWriteQuestion || question.ends_with(kRowErrorQuestion)) {
        return true;
    }
    return std::any_of(std::begin(kErasing), std::end(kErasing), [&](std::string_view phrase) {
        return question.find(phrase) != std::string_view::npos;
    });
}

std::string RowErrorText(const ECRClass& ecr, const std::string& rowNumber, bool write,
                         bool commandFailed) {
    return RowFailureText(ecr, rowNumber, write, commandFailed) + kRowErrorQuestion;
}

std::string RowFailureText(const ECRClass& ecr, const std::string& rowNumber, bool write,
                           bool commandFailed) {
    std::string text = "Podczas transmisji wykryto błąd w wierszu " + rowNumber + ".\n";
    if (commandFailed) {
        text += write ? "Bład w transmisji.\n"
                      : "Bład w transmisji. Przyczyną może być brak papieru.\n";
    }
    if (ecr.statusCode != 0 || !ecr.refusal.empty()) {
        text += ecr.LastErrorText();
        text += write ? "\nZaleca się przed wysłaniem danych do kasy \nsprawdzić dane naciskając "
                        "klawisz <Sprawdź>\n"
                      : "\n";
    }
    return text;
}

TransferResult TransferTable(ECRClass& ecr, UserInterface& ui, const RegisterModel& model,
                             TableSet& tables, const TransferRequest& request,
                             std::atomic<bool>& abort, const std::atomic<bool>& closing,
                             const RowReport& onRow) {
    if (request.clearAbort) {
        abort = false;
    }
    const bool write = request.name.find("zapis") != std::string::npos;
    TableKind kind = TableKind::kGoods;
    const TableDescriptor* table = TableOfName(model, request.name, kind);
    TextGrid& grid = tables.Grid(kind);
    if (table != nullptr && kind != TableKind::kHeader &&
        !RowsInGrid(request.range, grid.RowCount())) {
        // Only an explicit 0 0 means the whole table: a range the grid does not hold is
        // refused rather than widened, so a clear never reaches rows nobody chose.
        ui.Message(request.caption, kRangeOutsideMessage);
        return TransferResult::kFailed;
    }
    bool ok = ecr.IsIdentified() && !ecr.ConfiguredPortName().empty() && table != nullptr &&
              kind != TableKind::kVat;
    bool declined = false;
    bool passedOver = false;
    // Set when the register stopped answering: the failure report then names the row.
    std::string silentRowText;
    if (ok) {
        RowTransfer transfer(ecr, grid, request.name, model);
        transfer.SetWriteObserver(request.observer);
        ecr.writtenRecords = 0;
        ui.SetProgress(0, kProgressMaximum);
        ui.SetStatusText("Ładowanie " + std::string(table->tableName));
        const int start = request.range.Whole() ? 1 : request.range.start;
        const int end = request.range.Whole() ? grid.RowCount() - 1 : request.range.end;
        const auto progress = [&](int row) {
            ui.SetProgress(kProgressMaximum * (row - start) / (end - start + 1), kProgressMaximum);
        };
        // One row, tried once more after a fault of the line rather than of the data.
        const auto attempt = [&](const auto& once) {
            bool done = once();
            if (!(done && ecr.statusCode == 0) && TransmissionFault(ecr) && !abort) {
                done = once();
            }
            return done;
        };
        int silentRows = 0;
        // A failed row asks whether to go on; Yes passes over it as if it had succeeded.
        // Rows that get no answer at all end the transfer once kSilentRowLimit came in a
        // row, without asking.
        const auto goOn = [&](int row, bool succeeded) {
            if (succeeded && ecr.statusCode == 0) {
                silentRows = 0;
                return true;
            }
            if (request.failedRows != nullptr) {
                request.failedRows->push_back(grid.Cell(0, row));
            }
            if (abort) {
                return false;  // the user stopped the job: this row asks nothing
            }
            silentRows = NoAnswer(ecr) ? silentRows + 1 : 0;
            if (silentRows >= kSilentRowLimit) {
                silentRowText = RowFailureText(ecr, grid.Cell(0, row), write, !succeeded);
                return false;
            }
            const bool goesOn =
                ui.Ask(request.caption, RowErrorText(ecr, grid.Cell(0, row), write, !succeeded),
                       Buttons::YesNo) == Answer::Yes;
            passedOver = passedOver || goesOn;
            return goesOn;
        };
        if (!write && kind == TableKind::kHeader) {
            ok = ReadHeader(ecr, tables.header);
        } else if (!write) {
            for (int row = start; ok && row <= end && !abort; ++row) {
                const bool read = attempt([&] { return transfer.TransferRowIn(row); });
                if (read) {
                    Report(onRow, kind, grid, row);
                }
                ok = goOn(row, read);
                progress(row);
            }
        } else if (kind != TableKind::kHeader) {
            const int totalsZero = TotalsAreZero(ecr);
            if (totalsZero < 0) {
                ok = false;  // one failure report below, not a dialog for every row
            } else if (totalsZero == 0 &&
                       (!request.interactive ||
                        ui.Ask(request.caption, kTotalsQuestion, Buttons::YesNo) != Answer::Yes)) {
                declined = true;
            }
            const int recordColumn = RecordColumn(*table, kind);
            for (int row = start; ok && !declined && row <= end && !abort; ++row) {
                if (request.clearRange) {
                    ClearDataCells(grid, *table, row);
                    Report(onRow, kind, grid, row);
                } else if (grid.Cell(recordColumn, row).empty()) {
                    // A record the file gave as empty (a backup's record that was empty
                    // before a write) is emptied in the register; other empty rows are not
                    // records at all.
                    if (!tables.givenEmpty[static_cast<size_t>(kind)].contains(row)) {
                        continue;
                    }
                    ClearDataCells(grid, *table, row);
                }
                ok = goOn(row, attempt([&] { return transfer.TransferRowOut(row); }));
                progress(row);
            }
        }
    }
    const bool aborted = abort;
    if (request.closeAfterwards || aborted) {
        ecr.CloseTransmission();
    }
    if (!closing) {
        if (!ok && !aborted && request.interactive) {
            const std::string failed = write ? kWriteFailedMessage : kReadFailedMessage;
            ui.Message(request.caption,
                       silentRowText.empty() ? failed : silentRowText + "\n" + failed);
        }
        ui.SetStatusText("");
        ui.SetProgress(0, 0);
    }
    if (declined) {
        return TransferResult::kDeclined;
    }
    if (aborted) {
        return TransferResult::kAborted;
    }
    if (!ok) {
        return TransferResult::kFailed;
    }
    return passedOver ? TransferResult::kPassedOver : TransferResult::kDone;
}

}  // namespace kasa
