#include "gui/dialogs/opis_bledow_form.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "comm/ecrclass.h"
#include "gui/main/window_place_keeper.h"

namespace kasa::gui {

TOpisBledowForm::TOpisBledowForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("OpisBledowForm");
    setWindowTitle(QStringLiteral("Opis błędów"));
    resize(420, 300);

    auto* label = new QLabel(QStringLiteral("Podaj kod błędu."), this);
    label->setObjectName("Label1");
    code_ = new QLineEdit(this);
    code_->setObjectName("KodBledu");
    code_->setMaxLength(kMaxCodeDigits);
    code_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), code_));
    label->setBuddy(code_);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("OpisBledu");
    text_->setReadOnly(true);
    close_ = new QPushButton(QStringLiteral("&Zamknij"), this);
    close_->setObjectName("Zamknij");

    connect(code_, &QLineEdit::textEdited, this, &TOpisBledowForm::CodeEdited);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);

    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(code_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(text_, 1);
    layout->addLayout(bottom);
}

void TOpisBledowForm::CodeEdited(const QString& text) {
    // A digit typed describes the new code; erasing digits only shortens the code.
    const bool digitTyped = text.size() >= typed_.size() && text != typed_;
    typed_ = text;
    if (!digitTyped || text.isEmpty()) {
        return;
    }
    bool ok = false;
    const int code = text.toInt(&ok);
    if (!ok) {
        return;
    }
    text_->appendPlainText(QString::fromStdString(ECRClass::ErrorText(code)));
}

void TOpisBledowForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    CentreOnScreen(*this);
}

}  // namespace kasa::gui
