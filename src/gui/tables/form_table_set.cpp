#include "gui/tables/form_table_set.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QString>
#include <optional>

#include "gui/main/tecrform.h"
#include "gui/tables/grid_model.h"
#include "tables/header_line_centring.h"

namespace kasa::gui {

namespace {

QString HeaderControlName(const char* prefix, int number) {
    return QString::fromUtf8(prefix) + QString::number(number);
}

QString VatEditName(int index) {
    return QStringLiteral("E_Vat") + QLatin1Char(static_cast<char>('A' + index));
}

void CollectGrid(TECRForm& form, TableKind kind, TableSet& tables) {
    if (const TextGrid* grid = form.Grid(form.Model().Table(kind).tableName)) {
        tables.Grid(kind) = *grid;
    }
}

std::optional<bool> BoxState(const TECRForm& form, const char* prefix, int number) {
    const auto* box = form.ControlAs<QCheckBox>(HeaderControlName(prefix, number));
    return box != nullptr ? std::optional<bool>(box->isChecked()) : std::nullopt;
}

void CollectHeader(const TECRForm& form, HeaderLines& lines) {
    for (int n = 1; n <= kHeaderLineCount; ++n) {
        const auto* edit = form.ControlAs<QLineEdit>(HeaderControlName("Line", n));
        lines[static_cast<size_t>(n - 1)] = HeaderLineOfControls(
            edit != nullptr ? edit->text().toStdString() : std::string(),
            BoxState(form, "CLine", n), BoxState(form, "BLine", n), BoxState(form, "DLine", n));
    }
}

void CollectVat(const TECRForm& form, VatRateTexts& rates) {
    for (int i = 0; i < kVatRateCount; ++i) {
        const auto* edit = form.ControlAs<QLineEdit>(VatEditName(i));
        rates[static_cast<size_t>(i)] = edit != nullptr ? edit->text().toStdString() : "";
    }
}

void CollectKind(TECRForm& form, TableKind kind, TableSet& tables) {
    switch (kind) {
        case TableKind::kHeader:
            CollectHeader(form, tables.header);
            break;
        case TableKind::kVat:
            CollectVat(form, tables.vatRates);
            break;
        default:
            CollectGrid(form, kind, tables);
            break;
    }
}

void ApplyGrid(TECRForm& form, TableKind kind, const TextGrid& source) {
    const TableDescriptor& table = form.Model().Table(kind);
    GridModel* model = form.GridModelOf(table.tableName);
    if (model == nullptr) {
        return;
    }
    const int minPlu = form.MinPlu();
    model->ChangeWholeGrid([&](TextGrid& grid) {
        grid = source;
        SetUpGrid(grid, table, false, true, minPlu);
    });
    form.LayOutGrid(table.tableName);
}

void ApplyHeader(const TECRForm& form, const HeaderLines& lines) {
    for (int n = 1; n <= kHeaderLineCount; ++n) {
        const HeaderLine& line = lines[static_cast<size_t>(n - 1)];
        if (auto* edit = form.ControlAs<QLineEdit>(HeaderControlName("Line", n))) {
            edit->setText(QString::fromStdString(line.text));
        }
        if (auto* centre = form.ControlAs<QCheckBox>(HeaderControlName("CLine", n))) {
            centre->setChecked(line.centre);
        }
        if (auto* tall = form.ControlAs<QCheckBox>(HeaderControlName("BLine", n))) {
            tall->setChecked(line.doubleHeight);
        }
        if (auto* heavy = form.ControlAs<QCheckBox>(HeaderControlName("DLine", n))) {
            heavy->setChecked(line.bold);
        }
    }
}

void ApplyVat(const TECRForm& form, const VatRateTexts& rates) {
    for (int i = 0; i < kVatRateCount; ++i) {
        if (auto* edit = form.ControlAs<QLineEdit>(VatEditName(i))) {
            edit->setText(QString::fromStdString(rates[static_cast<size_t>(i)]));
        }
    }
}

}  // namespace

TableSet CollectTableSet(TECRForm& form) {
    TableSet tables;
    for (int i = 0; i < kTableKindCount; ++i) {
        CollectKind(form, static_cast<TableKind>(i), tables);
    }
    return tables;
}

TableSet CollectTableSet(TECRForm& form, TableKind kind) {
    TableSet tables;
    CollectKind(form, kind, tables);
    return tables;
}

void ApplyTableSet(TECRForm& form, const TableSet& tables, TableKind kind) {
    switch (kind) {
        case TableKind::kHeader:
            ApplyHeader(form, tables.header);
            break;
        case TableKind::kVat:
            ApplyVat(form, tables.vatRates);
            break;
        default:
            ApplyGrid(form, kind, tables.Grid(kind));
            break;
    }
}

void ApplyTableSet(TECRForm& form, const TableSet& tables) {
    for (int i = 0; i < kTableKindCount; ++i) {
        ApplyTableSet(form, tables, static_cast<TableKind>(i));
    }
}

}  // namespace kasa::gui
