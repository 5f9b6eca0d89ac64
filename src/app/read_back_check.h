// The proof of a write: every record a write sent is read back from the register once the
// write is over and compared, field by field, with what was sent. A register that accepts
// a write and keeps something else is caught here.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "comm/ecrclass.h"
#include "ecr/row_transfer.h"
#include "ecr/vat_totals.h"
#include "tables/catalogue.h"
#include "tables/pod_file.h"

namespace kasa {

// Several observers of one write, told in order; the first refusal is the answer and the
// later ones are not told of that record.
class RowWriteObservers : public RowWriteObserver {
  public:
    RowWriteObservers() = default;
    explicit RowWriteObservers(std::vector<RowWriteObserver*> observers)
        : observers_(std::move(observers)) {}
    void Add(RowWriteObserver* observer);
    std::string BeforeSend(const TableDescriptor& table, int row,
                           const std::vector<std::string>& before,
                           const std::vector<std::string>& after) override;

  private:
    std::vector<RowWriteObserver*> observers_;
};

// One field the register holds otherwise than it was sent.
struct ReadBackDifference {
    std::string table;   // the table's name ("PLU")
    std::string number;  // the record number
    std::string column;  // the column's title ("Cena")
    std::string sent;
    std::string read;

    bool operator==(const ReadBackDifference&) const = default;
};

struct ReadBackOutcome {
    size_t checked = 0;  // records read back
    std::vector<ReadBackDifference> differences;
    std::vector<std::string> unread;  // records that could not be read back ("PLU 20")

    bool Passed() const { return differences.empty() && unread.empty(); }
};

class ReadBackCheck : public RowWriteObserver {
  public:
    explicit ReadBackCheck(const RegisterModel& model) : model_(model) {}

    // Notes the record as it goes out; never refuses.
    std::string BeforeSend(const TableDescriptor& table, int row,
                           const std::vector<std::string>& before,
                           const std::vector<std::string>& after) override;
    // The header and the VAT rates as they went out (they are sent whole).
    void NoteHeader(const HeaderLines& sent) { header_ = sent; }
    void NoteVatRates(const VatRates& sent) { vatRates_ = sent; }
    size_t Count() const { return records_.size() + (header_ ? 1 : 0) + (vatRates_ ? 1 : 0); }
    // Reads every noted record back, in the order they were sent, and compares the fields
    // the write sent, as a read shows them.
    ReadBackOutcome Verify(ECRClass& ecr) const;

  private:
    struct Sent {
        const TableDescriptor* table;
        std::vector<std::string> cells;
    };
    void VerifyHeader(ECRClass& ecr, ReadBackOutcome& outcome) const;
    void VerifyVatRates(ECRClass& ecr, ReadBackOutcome& outcome) const;

    const RegisterModel& model_;
    std::optional<HeaderLines> header_;
    std::optional<VatRates> vatRates_;
    std::vector<Sent> records_;
    std::map<std::pair<const TableDescriptor*, std::string>, size_t> index_;
};

// The lines that tell the outcome: one per difference ("Odczyt kontrolny: PLU wiersz 20,
// kolumna Cena: wysłano 2.50, odczytano 2.00."), one per record not read back, and the
// verdict.
std::vector<std::string> ReadBackReport(const ReadBackOutcome& outcome);

}  // namespace kasa
