// The window "Sprawdzanie dokumentu wydrukowanego.": the user types a printed receipt,
// invoice or daily report with its control number, and the register judges it.
#pragma once

#include <QWidget>
#include <functional>

#include "base/user_interface.h"
#include "verify/document_grid.h"
#include "verify/document_request.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace kasa::gui {

class TDocumentControl_Form : public QWidget {
    Q_OBJECT
  public:
    // The register's verdict on a request.
    using VerifyOperation = std::function<DocumentVerdict(const DocumentRequest&)>;

    TDocumentControl_Form(UserInterface& ui, QWidget* parent = nullptr);

    // Opening from the main window: normal mode, the receipt, the operation attached.
    void OpenNormal(VerifyOperation verify);
    void EnterSpecialMode();
    void ChooseType(int type);
    // "Sprawdź" and "Przykład", public so tests can drive them as a click would.
    void Check();
    void NextExampleClicked();

    VerifyMode Mode() const { return mode_; }
    int Type() const { return type_; }
    int ExampleIndex() const { return example_; }
    DocumentFields Fields() const;
    void SetFields(const DocumentFields& fields);
    const DocumentGrid& Grid() const { return grid_; }
    QLabel* Picture() const { return picture_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QLineEdit* AddField(const char* name, const QString& label, const char* pattern);
    void EnterNoMode();
    void LayOut();
    void ShowGrid();
    void ShowPicture(int index);
    bool GridKey(int key, Qt::KeyboardModifiers modifiers, const QString& text);
    void ClearFields();

    UserInterface& ui_;
    VerifyOperation verify_;
    VerifyMode mode_ = VerifyMode::None;
    int type_ = kNoDocument;
    int example_ = -1;
    DocumentGrid grid_;
    bool showingGrid_ = false;

    QGroupBox* typeGroup_ = nullptr;
    QRadioButton* typeButtons_[4] = {};
    QLineEdit* controlNumber_ = nullptr;
    QLineEdit* uniqueNumber_ = nullptr;
    QLineEdit* date_ = nullptr;
    QLineEdit* time_ = nullptr;
    QLineEdit* documentNumber_ = nullptr;
    QLineEdit* reportNumber_ = nullptr;
    QLineEdit* receiptCount_ = nullptr;
    QLineEdit* vatTotal_ = nullptr;
    QLineEdit* totalDue_ = nullptr;
    QLabel* tableLabel_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* check_ = nullptr;
    QPushButton* exampleButton_ = nullptr;
    QLabel* picture_ = nullptr;
};

// Draws a printout's lines as a narrow receipt in a monospaced font.
QPixmap PrintoutPicture(const std::vector<std::string>& lines);

}  // namespace kasa::gui
