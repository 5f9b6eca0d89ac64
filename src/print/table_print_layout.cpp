#include "print/table_print_layout.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "base/codepage.h"
#include "base/number_text.h"

namespace kasa {

namespace {

constexpr double kMmPerPoint = 25.4 / 72.0;
// The text font is monospaced: every character takes 0.6 of the font size.
constexpr double kCharWidthEm = 0.6;
constexpr double kLineHeightEm = 1.25;
constexpr double kTitlePoints = 10.0;
// Text shrinks to these sizes before a row is said not to fit.
constexpr double kFontPoints[] = {8.0, 7.0, 6.0};

double CharWidthMm(double points) {
    return points * kMmPerPoint * kCharWidthEm;
}
double LineHeightMm(double points) {
    return points * kMmPerPoint * kLineHeightEm;
}

int DigitCount(int value) {
    return static_cast<int>(DecimalText(value).size());
}

double ModuleMm(Symbology symbology) {
    return symbology == Symbology::kCode128 ? kCode128ModuleMm : kEan13ModuleMm;
}

// The widest symbol a column can need, quiet zones included.
double SymbolWidthMm(CellStyle style, int chars) {
    if (style == CellStyle::kEan13) {
        return (95 + 2 * QuietZoneModules(Symbology::kEan13)) * kEan13ModuleMm;
    }
    // Start, check and stop characters besides one character per letter.
    return (11 * chars + 35 + 2 * QuietZoneModules(Symbology::kCode128)) * kCode128ModuleMm;
}

struct ColumnPlan {
    PrintColumn column;
    double x = 0;
    double width = 0;
};

// Columns placed from the left margin; nullopt when the row is wider than the page.
std::optional<std::vector<ColumnPlan>> PlanColumns(const TablePrintRequest& request, double points,
                                                   double left, double usable) {
    const double gap = request.parameters.Millimetres(PrintParameter::kColumnSpacing);
    std::vector<ColumnPlan> plans;
    double x = left;
    for (const PrintColumn& column : request.columns) {
        const int chars = PrintColumnChars(*request.table, column.gridColumn);
        double width = chars * CharWidthMm(points);
        if (column.style != CellStyle::kText) {
            width = std::max(width, SymbolWidthMm(column.style, chars));
        }
        plans.push_back({column, x, width});
        x += width + gap;
    }
    if (x - gap - left > usable + 1e-9) {
        return std::nullopt;
    }
    return plans;
}

class PageWriter {
  public:
    PageWriter(const TablePrintRequest& request, std::vector<ColumnPlan> plans, double points,
               double width, double height)
        : request_(request), plans_(std::move(plans)), points_(points) {
        document_.width = width;
        document_.height = height;
        const PrintParameters& p = request.parameters;
        line_ = LineHeightMm(points);
        hasSymbols_ = std::any_of(plans_.begin(), plans_.end(), [](const ColumnPlan& c) {
            return c.column.style != CellStyle::kText;
        });
        rowHeight_ = line_ + (hasSymbols_ ? p.Millimetres(PrintParameter::kBarcodeHeight) : 0);
        rowSpacing_ = p.Millimetres(PrintParameter::kRowSpacing);
        bottom_ = document_.height - p.Millimetres(PrintParameter::kBottomMargin);
        left_ = p.Millimetres(PrintParameter::kLeftMargin);
        right_ = document_.width - p.Millimetres(PrintParameter::kRightMargin);
    }

    // False when not even one row fits below the titles.
    bool Write(const std::vector<int>& rows) {
        for (const int row : rows) {
            if (page_ == nullptr || y_ + rowHeight_ > bottom_ + 1e-9) {
                StartPage();
                if (y_ + rowHeight_ > bottom_ + 1e-9) {
                    return false;
                }
            }
            WriteRow(row);
            y_ += rowHeight_ + rowSpacing_;
        }
        NumberPages();
        return true;
    }

    PrintDocument Take() { return std::move(document_); }

  private:
    void StartPage() {
        document_.pages.emplace_back();
        page_ = &document_.pages.back();
        const double titleLine = LineHeightMm(kTitlePoints);
        page_->texts.push_back({left_, kPageTopMm, right_ - left_, titleLine, kTitlePoints, true,
                                false, "Tabela " + std::string(request_.table->tableName)});
        y_ = kPageTopMm + titleLine + line_ / 2;
        for (const ColumnPlan& plan : plans_) {
            Text(plan, y_, request_.grid->Cell(plan.column.gridColumn, 0), true, false);
        }
        y_ += line_ + rowSpacing_;
    }

    void NumberPages() {
        const int count = static_cast<int>(document_.pages.size());
        for (int i = 0; i < count; ++i) {
            const std::string text = "Strona " + DecimalText(i + 1) + " z " + DecimalText(count);
            const double width = static_cast<double>(text.size()) * CharWidthMm(kTitlePoints);
            document_.pages[static_cast<size_t>(i)].texts.push_back(
                {right_ - width, kPageTopMm, width, LineHeightMm(kTitlePoints), kTitlePoints, false,
                 false, text});
        }
    }

    void Text(const ColumnPlan& plan, double y, std::string_view text, bool bold, bool framed) {
        // The monospaced font puts a fixed number of characters in the column's width.
        const int chars = static_cast<int>(plan.width / CharWidthMm(points_) + 1e-6);
        page_->texts.push_back(
            {plan.x, y, plan.width, line_, points_, bold, framed, FitToColumn(text, chars)});
    }

    void WriteRow(int row) {
        for (const ColumnPlan& plan : plans_) {
            const std::string& cell = request_.grid->Cell(plan.column.gridColumn, row);
            if (plan.column.style == CellStyle::kText || cell.empty()) {
                Text(plan, y_, cell, false, false);
                continue;
            }
            const bool ean = plan.column.style == CellStyle::kEan13;
            Symbology symbology = Symbology::kCode128;
            std::optional<std::string> data;
            if (ean) {
                if (std::optional<EanSymbol> symbol = EanSymbolOf(cell)) {
                    symbology = symbol->symbology;
                    data = std::move(symbol->digits);
                }
            } else {
                data = Code128Text(cell);
            }
            std::optional<BarcodePattern> pattern;
            if (data) {
                pattern = EncodeBarcode(symbology, *data);
            }
            // Never a wrong symbol: a code that cannot be one stays text, marked.
            if (!pattern) {
                Text(plan, y_, cell, false, true);
                continue;
            }
            Text(plan, y_, cell, false, false);
            const double module = ModuleMm(symbology);
            BarcodeItem item{plan.x + QuietZoneModules(symbology) * module,
                             y_ + line_,
                             pattern->modules * module,
                             rowHeight_ - line_,
                             symbology,
                             std::move(*data),
                             {}};
            item.bars.reserve(pattern->bars.size());
            for (const Bar& bar : pattern->bars) {
                item.bars.push_back({bar.left * module, bar.width * module});
            }
            page_->barcodes.push_back(std::move(item));
        }
    }

    const TablePrintRequest& request_;
    std::vector<ColumnPlan> plans_;
    double points_;
    double line_ = 0;
    bool hasSymbols_ = false;
    double rowHeight_ = 0;
    double rowSpacing_ = 0;
    double bottom_ = 0;
    double left_ = 0;
    double right_ = 0;
    double y_ = 0;
    PrintDocument document_;
    PrintPage* page_ = nullptr;
};

}  // namespace

std::string FitToColumn(std::string_view text, int chars) {
    if (Utf8Length(text) <= static_cast<size_t>(std::max(chars, 0))) {
        return std::string(text);
    }
    if (chars <= 0) {
        return {};
    }
    return Utf8Prefix(text, static_cast<size_t>(chars - 1)) + std::string(kCutMark);
}

bool HasPageLayout(const TableDescriptor& table) {
    TableKind kind{};
    return TableKindOf(table, kind) && kind != TableKind::kHeader && kind != TableKind::kVat;
}

int PrintColumnChars(const TableDescriptor& table, int column) {
    const FieldDescriptor& field = table.fields[static_cast<size_t>(column)];
    int chars = 0;
    const FieldFormat f = field.format;
    if (f == kFormatRecordNumber) {
        chars = DigitCount(table.FirstNumber + table.RecordCount - 1);
    } else if (IsTextFormat(f)) {
        chars = f;
    } else if (IsNumberFormat(f)) {
        chars = NumberIntegerDigits(f) + NumberDecimals(f) + (NumberDecimals(f) > 0 ? 1 : 0);
    } else if (f == kFormatFlag) {
        chars = 3;
    } else {
        chars = 5;  // VAT rate, time, password
    }
    return std::max(chars, static_cast<int>(Utf8Length(field.title)));
}

std::vector<PrintColumn> AllTextColumns(const TableDescriptor& table) {
    std::vector<PrintColumn> columns;
    for (int c = 0; c < table.FieldCount(); ++c) {
        columns.push_back({c, CellStyle::kText});
    }
    return columns;
}

TableLayoutResult LayOutTable(const TablePrintRequest& given) {
    TableLayoutResult result;
    if (given.grid == nullptr || given.table == nullptr) {
        result.error = "Brak wskaźnika na tablicę do wydruku";
        return result;
    }
    if (!HasPageLayout(*given.table)) {
        result.error =
            "Strona nie została zdefiniowana w projekcie.\nProszę skontaktować się z KORVEX w "
            "celu przesłania\nodpowiedniej strony, albo ponownie zainstalować program.";
        return result;
    }
    const int fieldCount = std::min(given.table->FieldCount(), given.grid->ColCount());
    if (given.columns.size() > static_cast<size_t>(kMaxFields) ||
        std::any_of(given.columns.begin(), given.columns.end(), [&](const PrintColumn& c) {
            return c.gridColumn < 0 || c.gridColumn >= fieldCount;
        })) {
        result.error = "Tablica przekazana ma za dużo kolumn.";
        return result;
    }
    std::vector<int> rows;
    for (int r = 1; r < given.grid->RowCount(); ++r) {
        if (!given.grid->IsEmptyRecord(r)) {
            rows.push_back(r);
        }
    }
    if (given.columns.empty() || rows.empty()) {
        result.error = "Brak informacji do wydrukowania";
        return result;
    }
    TablePrintRequest request = given;
    request.parameters = ClampedPrintParameters(given.parameters);
    const double left = request.parameters.Millimetres(PrintParameter::kLeftMargin);
    const double margins = left + request.parameters.Millimetres(PrintParameter::kRightMargin);
    // Portrait first; a table too wide for it even in the smallest text turns the page.
    for (const bool landscape : {false, true}) {
        const double width = landscape ? kA4LongMm : kA4ShortMm;
        const double height = landscape ? kA4ShortMm : kA4LongMm;
        for (const double points : kFontPoints) {
            std::optional<std::vector<ColumnPlan>> plans =
                PlanColumns(request, points, left, width - margins);
            if (!plans) {
                continue;
            }
            PageWriter writer(request, std::move(*plans), points, width, height);
            if (!writer.Write(rows)) {
                break;
            }
            result.document = writer.Take();
            return result;
        }
    }
    result.error = "Dane nie mieszczą się w jednym wierszu.";
    return result;
}

bool ContinuePrinting(UserInterface& ui, int remainingPages) {
    const std::string title = "Kontyuacja wydruku.";
    const std::string question = "Zostało jeszcze do wydrukowania " + DecimalText(remainingPages) +
                                 " stron.\nKontynuować wydruk?";
    if (ui.Ask(title, question, Buttons::YesNo) == Answer::Yes) {
        return true;
    }
    ui.Message(title, "Zaniechano drukowania.");
    return false;
}

}  // namespace kasa
