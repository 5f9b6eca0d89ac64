// The print windows: the fixed print parameters (TParamDrukuj), the goods print choices
// (TPLU_wydrukForm), the cashier columns (TKAS_drukuj) and the plain table print window;
// the last three share the output buttons.
#pragma once

#include <QDialog>
#include <array>
#include <vector>

#include "print/print_choices.h"
#include "print/print_parameters.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;

namespace kasa::gui {

class TParamDrukuj : public QDialog {
    Q_OBJECT
  public:
    explicit TParamDrukuj(QWidget* parent);
    // Shows the values in millimetres with one decimal.
    void SetParameters(const PrintParameters& parameters);
    const PrintParameters& Parameters() const { return parameters_; }
    QLineEdit* Edit(PrintParameter p) const { return edits_[static_cast<size_t>(p)]; }

  signals:
    void closed();

  protected:
    // Every way of closing the window ends here (the close box and Escape too).
    void done(int result) override;

  private:
    PrintParameters parameters_;
    std::array<QLineEdit*, kPrintParameterCount> edits_{};
};

// A window that prints one table: its choices above, the output buttons below.
class PrintChoiceForm : public QDialog {
    Q_OBJECT
  public:
    PrintChoiceForm(QWidget* parent, const QString& caption, const QString& objectName);

  signals:
    void previewRequested();
    void printRequested();
    void pdfRequested();
    void closed();

  protected:
    QVBoxLayout* Choices() const { return choices_; }
    void done(int result) override;

  private:
    QVBoxLayout* choices_ = nullptr;
};

class TPLU_wydrukForm : public PrintChoiceForm {
    Q_OBJECT
  public:
    explicit TPLU_wydrukForm(QWidget* parent);
    // Builds the boxes for the goods table's columns and sets them from the flags.
    void Show(const TableDescriptor& goods, const PrintFlags& flags);
    // The flags as the radio buttons and boxes stand now.
    PrintFlags Flags() const;

  private:
    std::vector<std::pair<QRadioButton*, GoodsChoiceRadio>> radios_;
    std::vector<QCheckBox*> others_;
    QWidget* othersBox_ = nullptr;
    PrintFlags flags_{};
};

class TKAS_drukuj : public PrintChoiceForm {
    Q_OBJECT
  public:
    explicit TKAS_drukuj(QWidget* parent);
    void Show(const TableDescriptor& cashiers, const PrintFlags& flags);
    PrintFlags Flags() const;

  private:
    std::vector<QCheckBox*> boxes_;
    QWidget* boxesHolder_ = nullptr;
    PrintFlags flags_{};
};

}  // namespace kasa::gui
