// Key/value files and every table of both register types in them: the file itself and
// each table read from it come back the same after a write and a second read.
#include <array>

#include "fuzz_check.h"
#include "tables/pod_file.h"

using namespace kasa;

namespace {

// Grids are kept between runs (a grid is set up afresh by every load; a goods grid made
// anew each run would take most of the time); header lines and rates start empty.
TableSet& Tables(size_t slot, bool keep) {
    static std::array<TableSet, 4 * kTableKindCount> kept;
    static TableSet fresh;
    if (keep) {
        return kept[slot];
    }
    fresh = TableSet{};
    return fresh;
}

// Blanks and tabs around a value are not kept by the key/value file, so the last field of
// a row loses those at its end; the others are held in place by the separator after them.
void DropTrailingBlanksOfLastField(TextGrid& grid, int lastField) {
    for (int r = 1; r < grid.RowCount(); ++r) {
        const std::string& text = grid.Cell(lastField, r);
        const size_t end = text.find_last_not_of(" \t");
        const size_t kept = end == std::string::npos ? 0 : end + 1;
        if (kept < text.size()) {
            grid.SetCell(lastField, r, text.substr(0, kept));
        }
    }
}

bool HoldsSeparator(const TextGrid& grid, char separator) {
    for (int r = 0; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColCount(); ++c) {
            if (grid.Cell(c, r).find(separator) != std::string::npos) {
                return true;
            }
        }
    }
    return false;
}

void CheckTable(const KeyValueFile& file, const RegisterModel& model, TableKind kind, int minPlu,
                size_t slot) {
    const bool grid = kind != TableKind::kHeader && kind != TableKind::kVat;
    TableSet& read = Tables(2 * slot, grid);
    if (!LoadTableFromPod(file, model, kind, read, minPlu).ok()) {
        return;  // a file refused (cut lines, the other register type) carries no table
    }
    KeyValueFile saved;
    SaveTableToPod(saved, model, kind, read, minPlu);
    KeyValueFile reread;
    if (fuzz::MayBeMisread(saved.Serialize())) {
        return;
    }
    if (!reread.Parse(saved.Serialize())) {
        fuzz::Require(fuzz::MayBeRefused(saved.Serialize()), "a saved .pod is not text");
        return;
    }
    TableSet headerAndRates;
    TableSet& again = grid ? Tables(2 * slot + 1, true) : headerAndRates;
    if (!LoadTableFromPod(reread, model, kind, again, minPlu).ok()) {
        // Cells are not escaped: a cell that holds the separator gives its line more fields
        // than the table has, which the next load refuses rather than shift.
        fuzz::Require(grid && HoldsSeparator(read.Grid(kind), model.Table(kind).separator),
                      "a saved .pod table is refused");
        return;
    }
    if (!grid) {
        // Flags and rate states are normalised on saving; after that nothing changes.
        KeyValueFile savedAgain;
        SaveTableToPod(savedAgain, model, kind, again, minPlu);
        fuzz::RequireSameText(saved.Serialize(), savedAgain.Serialize(),
                              "a saved header or VAT table changed");
        return;
    }
    DropTrailingBlanksOfLastField(read.Grid(kind), model.Table(kind).FieldCount() - 1);
    fuzz::AsWritten(read.Grid(kind));
    fuzz::RequireSameGrid(read.Grid(kind), again.Grid(kind), "a .pod table changed on its way");
}

// Characters outside Windows-1250 are written as "?", so two section or key names that
// differ only in such characters become one on the next read: a repeated key's line is
// dropped and a repeated section's lines join the first. A loss of the same kind, once.
bool NamesMergeThroughWindows1250(const KeyValueFile& file) {
    KeyValueFile written;
    for (const std::string& section : file.SectionNames()) {
        const std::string sectionName = fuzz::ThroughWindows1250(section);
        if (written.SectionExists(sectionName)) {
            return true;
        }
        written.WriteString(sectionName, "=", "1");  // no key of a file holds "="
        for (const std::string& key : file.KeyNames(section)) {
            const std::string keyName = fuzz::ThroughWindows1250(key);
            if (written.ValueExists(sectionName, keyName)) {
                return true;
            }
            written.WriteString(sectionName, keyName, "1");
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int choice = fuzz::TakeChoice(data, size, 2 * kTableKindCount);
    KeyValueFile file;
    if (!file.Parse(fuzz::Text(data, size))) {
        return 0;
    }
    const std::string text = file.Serialize();
    if (fuzz::MayBeMisread(text)) {
        return 0;
    }
    KeyValueFile reread;
    if (!reread.Parse(text)) {
        fuzz::Require(fuzz::MayBeRefused(text), "a written key/value file is not text");
        return 0;
    }
    if (!NamesMergeThroughWindows1250(file)) {
        fuzz::RequireSameText(reread.Serialize(), text, "a key/value file changed on rewriting");
        for (const std::string& section : file.SectionNames()) {
            for (const std::string& key : file.KeyNames(section)) {
                const std::string* value =
                    reread.Find(fuzz::ThroughWindows1250(section), fuzz::ThroughWindows1250(key));
                fuzz::Require(value != nullptr, "a key was lost on rewriting");
                fuzz::RequireSameText(*value, fuzz::ThroughWindows1250(*file.Find(section, key)),
                                      "a value changed on rewriting");
            }
        }
    }

    const RegisterModel& model = choice % 2 == 0 ? ZenModel() : VesperModel();
    CheckTable(file, model, static_cast<TableKind>(choice / 2), choice % 4 == 1 ? 8 : 1,
               static_cast<size_t>(choice));
    return 0;
}
