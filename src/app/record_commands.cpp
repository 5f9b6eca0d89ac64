#include "app/record_commands.h"

#include "app/table_transfer.h"
#include "base/user_interface.h"
#include "ecr/database_commands.h"
#include "ecr/record_codec.h"
#include "ecr/row_transfer.h"

namespace kasa {

namespace {

const char* const kCashierOneKept = "Kasjer 1 nie jest usuwany z kasy.\nWiersz pozostaje w tabeli.";

// The register accepted the request only when it left status 0.
bool Accepted(const ECRClass& ecr, bool done) {
    return done && ecr.statusCode == 0;
}

bool Finish(ECRClass& ecr, UserInterface& ui, const std::string& caption, const TextGrid& grid,
            int row, bool done, bool write) {
    const bool accepted = Accepted(ecr, done);
    if (!accepted) {
        ui.Message(caption, RowFailureText(ecr, grid.Cell(0, row), write, !done));
    }
    ecr.CloseTransmission();
    return accepted;
}

}  // namespace

bool WriteRecordRow(ECRClass& ecr, UserInterface& ui, const std::string& caption,
                    const RegisterModel& model, TableKind kind, TextGrid& grid, int row) {
    RowTransfer transfer(ecr, grid, model.Table(kind).tableName, model);
    ecr.writtenRecords = 0;
    const bool done = transfer.Valid() && transfer.TransferRowOut(row);
    // An unchanged record is not sent and leaves no status of its own behind.
    if (done && ecr.writtenRecords == 0) {
        ecr.statusCode = 0;
    }
    return Finish(ecr, ui, caption, grid, row, done, true);
}

bool DeleteRecordRow(ECRClass& ecr, UserInterface& ui, const std::string& caption, TableKind kind,
                     TextGrid& grid, int row) {
    const auto number = static_cast<int32_t>(ParseInteger(grid.Cell(0, row)).value_or(0));
    if (kind == TableKind::kCashiers && number == 1) {
        ui.Message(caption, kCashierOneKept);
        return false;
    }
    const bool done = DeleteBaseRecord(ecr, number, TableCodeOfKind(kind), false);
    const bool accepted = Finish(ecr, ui, caption, grid, row, done, true);
    if (accepted) {
        grid.ClearRow(row);
    }
    return accepted;
}

bool ReadRecordRow(ECRClass& ecr, UserInterface& ui, const std::string& caption,
                   const RegisterModel& model, TableKind kind, TextGrid& grid, int row) {
    RowTransfer transfer(ecr, grid, model.Table(kind).tableName, model);
    const bool done = transfer.Valid() && transfer.TransferRowIn(row);
    return Finish(ecr, ui, caption, grid, row, done, false);
}

}  // namespace kasa
