// CSV and text table files of every table of both register types: the grid read from any
// file, written and read again, is the same grid.
#include <array>

#include "fuzz_check.h"
#include "tables/table_text_file.h"

using namespace kasa;

namespace {

constexpr TableKind kGridKinds[] = {
    TableKind::kPackaging,  TableKind::kKeys,         TableKind::kCashiers, TableKind::kDiscounts,
    TableKind::kSurcharges, TableKind::kPaymentForms, TableKind::kGoods};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int choice = fuzz::TakeChoice(data, size, 2 * 7 * 3);
    const RegisterModel& model = choice % 2 == 0 ? ZenModel() : VesperModel();
    const TableDescriptor& table = model.Table(kGridKinds[choice / 2 % 7]);
    const char separators[] = {0, kCsvSeparator, kTxtSeparator};
    const char separator = separators[choice / 14];
    const int minPlu = fuzz::TakeChoice(data, size, 3) * 7 + 1;

    // Grids are kept between runs: every read sets its grid up afresh, and a large goods
    // grid made anew each run would take most of the time.
    static std::array<TextGrid, 2 * 7 * 3 * 3> readGrids;
    static std::array<TextGrid, 2 * 7 * 3 * 3> againGrids;
    const size_t slot = static_cast<size_t>(choice * 3 + minPlu / 7);
    TableFileReader reader;
    TextGrid& read = readGrids[slot];
    const int status = reader.ReadBytes(fuzz::Text(data, size), table, read, minPlu, separator);
    if (status == kLoadIsPodFile) {
        return 0;
    }
    const char written = reader.Separator() != 0 ? reader.Separator() : kCsvSeparator;
    TextGrid& again = againGrids[slot];
    const std::string bytes = TableTextFileBytes(read, table, written);
    if (fuzz::MayBeMisread(bytes)) {
        return 0;
    }
    if (TableFileReader().ReadBytes(bytes, table, again, minPlu, written) == kLoadNotText) {
        fuzz::Require(fuzz::MayBeRefused(bytes), "a written table file is not text");
        return 0;
    }
    fuzz::AsWritten(read);
    fuzz::RequireSameGrid(read, again, "a table changed on its way through a file");
    return 0;
}
