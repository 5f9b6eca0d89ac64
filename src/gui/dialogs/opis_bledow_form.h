// The error codes window "Opis błędów": every digit typed into the code field extends the
// code, and the register's description of that code is added as a line below.
#pragma once

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kasa::gui {

class TOpisBledowForm : public QWidget {
    Q_OBJECT
  public:
    // Long enough for every code the register sends and short of an int's overflow.
    static constexpr int kMaxCodeDigits = 9;

    explicit TOpisBledowForm(QWidget* parent = nullptr);

    QLineEdit* CodeField() const { return code_; }
    QPlainTextEdit* Descriptions() const { return text_; }
    QPushButton* CloseButton() const { return close_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void CodeEdited(const QString& text);

    QLineEdit* code_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QPushButton* close_ = nullptr;
    QString typed_;
};

}  // namespace kasa::gui
