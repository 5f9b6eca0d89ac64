#include "gui/tables/goods_tool_actions.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>

#include "ecr/vat_totals.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/tables/grid_key_handler.h"
#include "gui/tables/grid_model.h"
#include "tables/goods_tools.h"

namespace kasa::gui {

namespace {

class GoodsToolActions : public QObject {
  public:
    GoodsToolActions(TECRForm& form, std::function<bool()> busy, AskText ask)
        : QObject(&form), form_(form), busy_(std::move(busy)), ask_(std::move(ask)) {}

    void Bind() {
        form_.BindAction(QStringLiteral("Skróć &nazwy"), [this] { Shorten(); });
        form_.BindAction(QStringLiteral("&Mnożnik cen"), [this] { Multiply(); });
        form_.BindAction(QStringLiteral("Sortuj &A do Z"), [this] {
            Run(TableKind::kGoods, [](auto& t, TextGrid& g) { SortByName(t, g, false); });
        });
        form_.BindAction(QStringLiteral("Sortuj &Z do A"), [this] {
            Run(TableKind::kGoods, [](auto& t, TextGrid& g) { SortByName(t, g, true); });
        });
        form_.BindAction(QStringLiteral("&Kompaktuj"), [this] {
            Run(TableKind::kGoods, [](auto&, TextGrid& g) { CompactRecords(g); });
        });
        form_.BindAction(QStringLiteral("&Usuń znak + w kodach kreskowych"), [this] {
            Run(TableKind::kGoods, [](auto& t, TextGrid& g) { StripTrailingPlus(t, g); });
        });
        form_.BindAction(QStringLiteral("Ustaw sumę &EAN13"), [this] {
            Run(TableKind::kGoods, [](auto& t, TextGrid& g) { SetEan13CheckDigits(t, g); });
        });
        BindPage();
        // A register of another type rebuilds the pages with new buttons and fields.
        connect(&form_, &TECRForm::tablesRebuilt, this, [this] { BindPage(); });
    }

  private:
    void BindPage() {
        form_.BindButton(QStringLiteral("PLU_przelicz_baze"), [this] {
            const bool stock = Ticked("PLU_przelicz_tabela_magazyn");
            const bool sales = Ticked("PLU_przelicz_tabela_sprzedaz");
            Run(TableKind::kGoods, [stock, sales](auto& t, TextGrid& g) {
                RecalculateGoodsValues(t, g, stock, sales);
            });
        });
        form_.BindButton(QStringLiteral("Opakowania_przelicz_baze"), [this] { Balance(); });
        form_.BindButton(QStringLiteral("PLU_przelicz_pozycje"), [this] { RecalculateRecord(); });
        for (const char* field : {"PLU_ecena", "PLU_eilosc", "PLU_emil"}) {
            if (auto* edit = form_.ControlAs<QLineEdit>(QString::fromLatin1(field))) {
                connect(edit, &QLineEdit::textEdited, this, [this] { RecalculateRecord(); });
            }
        }
        if (GridModel* packaging = PackagingModel()) {
            connect(packaging, &QAbstractItemModel::dataChanged, this, [this] {
                if (Ticked("Opakowania_przeliczaj_saldo") && !inBalance_) {
                    Balance();
                }
            });
        }
    }

    bool Ticked(const char* name) const {
        auto* box = form_.ControlAs<QCheckBox>(QString::fromLatin1(name));
        return box != nullptr && box->isChecked();
    }

    GridModel* PackagingModel() const {
        return form_.GridModelOf(form_.Model().Table(TableKind::kPackaging).tableName);
    }

    // Runs `tool` on the grid of `kind`; what it changed becomes one undo step and is shown.
    template <typename Tool>
    void Run(TableKind kind, Tool tool) {
        if (busy_ && busy_()) {
            form_.Ui().Message(form_.windowTitle().toStdString(), kBusyMessage);
            return;
        }
        const TableDescriptor& table = form_.Model().Table(kind);
        TextGrid* grid = form_.Grid(table.tableName);
        GridModel* model = form_.GridModelOf(table.tableName);
        if (grid == nullptr || model == nullptr) {
            return;
        }
        const TextGrid before = *grid;
        tool(table, *grid);
        const auto changed =
            form_.GridKeys().Editor().RecordToolRun(table.tableName, before, *grid);
        if (!changed.empty()) {
            model->CellsChanged(1, changed.front().second, grid->ColCount() - 1,
                                changed.back().second);
        }
    }

    std::optional<QString> Ask(const QString& title, const QString& prompt,
                               const QString& proposal) {
        if (ask_) {
            return ask_(title, prompt, proposal);
        }
        bool ok = false;
        const QString text =
            QInputDialog::getText(&form_, title, prompt, QLineEdit::Normal, proposal, &ok);
        return ok ? std::optional<QString>(text) : std::nullopt;
    }

    void Shorten() {
        const int proposal = GoodsNameLength(form_.Model().Table(TableKind::kGoods));
        const std::optional<QString> answer =
            Ask(QStringLiteral("Przycięcie nazw"), QStringLiteral("Podaj ilość znaków: "),
                QString::number(proposal));
        bool number = false;
        const int length = answer ? answer->trimmed().toInt(&number) : 0;
        if (!answer || answer->trimmed().isEmpty() || length == 0) {
            return;
        }
        if (!number || length < 0) {
            form_.Ui().Message("Przycięcie nazw", "Ilość znaków musi być liczbą większą od zera.");
            return;
        }
        Run(TableKind::kGoods, [length](auto& t, TextGrid& g) { ShortenNames(t, g, length); });
    }

    void Multiply() {
        const std::optional<QString> answer =
            Ask(QStringLiteral("Mnożnik cen"), QStringLiteral("Podaj mnożnik cen: "), QString());
        if (!answer || answer->trimmed().isEmpty()) {
            return;
        }
        ToolOutcome outcome;
        const std::string factor = answer->toStdString();
        Run(TableKind::kGoods,
            [&](auto& t, TextGrid& g) { outcome = MultiplyPrices(t, g, factor); });
        if (!outcome.error.empty()) {
            form_.Ui().Message("Mnożnik cen", outcome.error);
        } else if (!outcome.skipped.empty()) {
            form_.Ui().Message("Mnożnik cen", SkippedPricesNote(outcome.skipped));
        }
    }

    void Balance() {
        inBalance_ = true;
        Run(TableKind::kPackaging, [](auto& t, TextGrid& g) { RecalculatePackagingBalance(t, g); });
        inBalance_ = false;
    }

    // The record being edited: its value fields from its price and quantities.
    void RecalculateRecord() {
        auto text = [this](const char* name) {
            auto* edit = form_.ControlAs<QLineEdit>(QString::fromLatin1(name));
            return edit != nullptr ? edit->text().toStdString() : std::string();
        };
        auto put = [this](const char* name, const std::string& value) {
            if (auto* edit = form_.ControlAs<QLineEdit>(QString::fromLatin1(name))) {
                edit->setText(QString::fromStdString(value));
            }
        };
        const std::string price = text("PLU_ecena");
        if (Ticked("PLU_przelicz_magazyn")) {
            put("PLU_emwa", RecalculatedValue(price, text("PLU_emil")));
        }
        if (Ticked("PLU_przelicz_sprzedaz")) {
            put("PLU_ewar", RecalculatedValue(price, text("PLU_eilosc")));
        }
    }

    TECRForm& form_;
    std::function<bool()> busy_;
    AskText ask_;
    bool inBalance_ = false;
};

}  // namespace

void BindGoodsToolActions(TECRForm& form, std::function<bool()> busy, AskText ask) {
    (new GoodsToolActions(form, std::move(busy), std::move(ask)))->Bind();
}

}  // namespace kasa::gui
