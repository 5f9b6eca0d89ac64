// Moving a whole table, or a range of its rows, between a grid and the register: the
// transfer that the window runs (the goods on a worker thread) and the command line runs
// on its own. It talks to the user only through UserInterface and hands every row it read
// or changed to a callback, so the window can apply it on its own thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "comm/ecrclass.h"
#include "ecr/row_transfer.h"
#include "tables/catalogue.h"
#include "tables/pod_file.h"

namespace kasa {

class UserInterface;

// The main window's caption, under which the transfer asks and reports.
inline constexpr const char* kProgramCaption = "Program serwisowy kas";

// The operation the background thread runs; kNone when none runs.
enum class BackgroundOperation : int32_t {
    kNone = 0,
    kFiscalMemoryRead = 1,
    kGoodsRead = 2,
    kGoodsWrite = 3,
    kGoodsDeleteChecked = 4,
    kGoodsDeleteUnchecked = 5,
};

// The captions a button shows while its operation runs; pressing it then aborts.
inline constexpr const char* kAbortWriteCaption = "Przerwij zapis";
inline constexpr const char* kAbortReadCaption = "Przerwij odczyt";
inline constexpr const char* kAbortDeleteCaption = "Przerwij kasowanie";
inline constexpr const char* kAbortAllCaption = "Przerwij";
// Whether a running operation's button shows one of its abort captions ("Przerwij zapis",
// "Przerwij zapis.", "Przerwij odczyt", "Przerwij odczyt." or "Przerwij kasowanie").
bool IsAbortCaption(std::string_view caption);

inline constexpr const char* kRangeCaption = "Podaj zakres";
inline constexpr const char* kRangeEmptyMessage = "Zakres nie może być pusty.";
inline constexpr const char* kRangeOrderMessage =
    "Wartość początkowa musi być mniejsza od końcowej.";
inline constexpr const char* kRangeOutsideMessage = "Podane wartości są poza zakresem.";
inline constexpr const char* kTotalsQuestion =
    "Totalizery kasy są niezerowe. Kontynuacja i zapis jest możliwy\ntylko przy niezmienionej "
    "bazie danych.\nAby nie było niniejszego komunikatu należy wykonać Raport Dobowy.\nChcesz "
    "kontynuować?";
// Asked before a cashier table is written: the register's sales records go with it.
inline constexpr const char* kCashierWriteQuestion =
    "Czy jesteś pewien zapisu?\nPrzed wykonaniem zapisu bazy danych\nkasjerów zaleca się jego "
    "odczytanie z kasy.\nProgram serwisowy zapisze wszystkie dane\nprezentowane na ekranie. "
    "Informacje o sprzedaży\nzawarte w kasie ulegną skasowaniu.";
// Ends the question after a row that failed: "Tak" goes on writing over the register's rows.
inline constexpr const char* kRowErrorQuestion = "\nChcesz kontunyować?";

// Whether "Tak" to a question erases or overwrites data, in the register or in the tables:
// the cashier write, the question after a failed row, the deletion of a table or of many
// cells, the change of register type and the replacement of a file. Such a question offers "Nie" as
// its default button, so that a stray Enter keeps the data.
// The question before a backup's records are written back over the register's.
inline constexpr const char* kRestoreQuestionLead = "Zapisać do kasy rekordy z kopii\n";
bool QuestionErasesData(std::string_view question);

inline constexpr const char* kReadFailedMessage =
    "Nie można odczytać bazy danych,\nlub nastapił błąd komunikacji.\nUruchom w kasie "
    "komunikację, lub ustaw w oknie\nKonfiguracja Programu parametry transmisji.";
inline constexpr const char* kWriteFailedMessage =
    "Nie można zapisać bazy danych,\nlub nastapił błąd komunikacji.\nUruchom w kasie "
    "komunikację, lub ustaw w oknie\n[Konfiguracja Programu] parametry transmisji.";

// Grid rows to transfer; 0 and 0 mean the whole table.
struct TransferRange {
    int start = 0;
    int end = 0;

    bool Whole() const { return start == 0 && end == 0; }
    bool operator==(const TransferRange&) const = default;
};

// A range the user gave, or why it is refused (one of the three range messages).
struct RangeChoice {
    TransferRange rows;
    TransferRange numbers;  // the goods numbers as the user gave them
    std::string message;

    bool Accepted() const { return message.empty(); }
};

// The input box's prompt for the current range (goods numbers as the user typed them).
std::string RangePrompt(const TransferRange& goodsNumbers);
// The input box's text: two goods numbers separated by spaces, "0 0" for the whole table.
// Both must lie among the goods numbers the grid shows (from `minPlu` to the last).
RangeChoice GoodsRangeFromText(std::string_view text, const TableDescriptor& goods, int minPlu);
// The selected rows of a grid of `rowCount` rows (titles included) as a range.
RangeChoice SelectedRowsRange(int topRow, int bottomRow, int rowCount);

// What a transfer is asked to do. `name` is the name of the control that starts it
// ("PLU_odczyt", "PLU_zapis", "Rabat_zapis_kasa", "Doplata_odczyt_kasa", ...): it holds the
// table's name and "odczyt" for a read or "zapis" for a write.
struct TransferRequest {
    std::string name;
    TransferRange range;
    // The goods range is written as empty records ("Czyść zakres PLU").
    bool clearRange = false;
    bool closeAfterwards = false;
    bool interactive = true;
    // The abort flag is cleared as the transfer starts; a caller that cleared it when the
    // operation began (on another thread) keeps an abort asked for since.
    bool clearAbort = true;
    std::string caption = kProgramCaption;
    // Told of every record a write is about to change (the backup and the read-back
    // check); none when null.
    RowWriteObserver* observer = nullptr;
    // Receives the record numbers (column 0) of the rows that failed, in order.
    std::vector<std::string>* failedRows = nullptr;
};

// Rows in a row that got no answer at all before a transfer stops asking and ends: the
// register is gone, and each further row would cost its time-outs.
inline constexpr int kSilentRowLimit = 3;

// The control name that reads (`write` false) or writes a grid table.
std::string TransferName(const TableDescriptor& table, bool write);

enum class TransferResult {
    kDone,        // every row went through
    kPassedOver,  // every row was tried, and the user chose to go on past a failed one
    kFailed,      // reported to the user when interactive
    kDeclined,    // the user did not go on past the day totals question
    kAborted,     // the abort flag stopped it between two rows
};

// Called with the grid's table, the row and all of its cells each time a row was read or
// changed; on the transfer's own thread.
using RowReport =
    std::function<void(TableKind table, int row, const std::vector<std::string>& cells)>;

// The transfer: runs on `tables` (the caller's own copy when it runs on a worker thread)
// with `model`'s tables. `abort` is tested before every row and is cleared at the start;
// `closing` (the window closes) suppresses the final messages. A header read lands in
// `tables.header`; the header is not written here.
TransferResult TransferTable(ECRClass& ecr, UserInterface& ui, const RegisterModel& model,
                             TableSet& tables, const TransferRequest& request,
                             std::atomic<bool>& abort, const std::atomic<bool>& closing,
                             const RowReport& onRow = {});

// What went wrong with one row: its number, the failed command and the register's status.
std::string RowFailureText(const ECRClass& ecr, const std::string& rowNumber, bool write,
                           bool commandFailed);
// The text of the dialog that asks whether to go on past a failed row.
std::string RowErrorText(const ECRClass& ecr, const std::string& rowNumber, bool write,
                         bool commandFailed);

}  // namespace kasa
