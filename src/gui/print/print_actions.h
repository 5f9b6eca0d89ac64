// The window's printing: the print parameters window, the goods and cashier print windows,
// every table's "Drukuj tabelę" button, and the outputs (preview, printer, PDF).
#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>
#include <string>

#include "app/settings.h"
#include "print/table_print_layout.h"

namespace kasa::gui {

// The size the preview asks for: a page in a readable size beside the preview's tool bar.
inline constexpr QSize kPreviewPreferredSize{900, 1000};
// The preview's client rectangle on a screen whose free area is `available` when the window
// manager's frame adds `frame` around it: the preferred size, made smaller where the area
// less the frame is smaller, and centred in the area, so the whole window with its title bar
// is on the screen.
QRect PreviewGeometry(const QRect& available, const QMargins& frame,
                      QSize preferred = kPreviewPreferredSize);

class TECRForm;
class TParamDrukuj;
class TPLU_wydrukForm;
class TKAS_drukuj;
class PrintChoiceForm;

class PrintActions : public QObject {
    Q_OBJECT
  public:
    // The windows live as long as this object; `settings` and `configPath` longer.
    PrintActions(TECRForm& form, Settings& settings, const std::string& configPath, QObject* owner);
    ~PrintActions() override;

    TParamDrukuj* ParametersWindow() const { return parameters_; }
    TPLU_wydrukForm* GoodsWindow() const { return goods_; }
    TKAS_drukuj* CashierWindow() const { return cashiers_; }
    PrintChoiceForm* TableWindow() const { return table_; }

    // The file "Zapisz jako PDF" writes; nullopt when the user cancels. Tests replace it.
    using PathChooser = std::function<std::optional<std::string>()>;
    void SetPdfPathChooser(PathChooser chooser) { choosePdf_ = std::move(chooser); }

    // The table laid out as the window that asks would print it; an error is shown.
    std::optional<PrintDocument> LayOut(TableKind kind);
    void Preview(TableKind kind);
    void Print(TableKind kind);
    void SavePdf(TableKind kind);

  private:
    void BindButtons();
    void ShowTableWindow(TableKind kind);
    void ConnectOutputs(PrintChoiceForm* window, std::function<TableKind()> kind);
    void WriteLayout();
    PrintParameters CurrentParameters() const;

    TECRForm& form_;
    Settings& settings_;
    const std::string& configPath_;
    TParamDrukuj* parameters_ = nullptr;
    TPLU_wydrukForm* goods_ = nullptr;
    TKAS_drukuj* cashiers_ = nullptr;
    PrintChoiceForm* table_ = nullptr;
    TableKind tableKind_ = TableKind::kPackaging;
    PathChooser choosePdf_;
};

}  // namespace kasa::gui
