#include "gui/main/header_page_actions.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPalette>
#include <QTimer>
#include <string>
#include <utility>

#include "app/header_commands.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/tables/form_table_set.h"
#include "tables/header_rules.h"

namespace kasa::gui {

namespace {

constexpr const char* kCaption = "Program serwisowy kas";
constexpr int kTotalTickMs = 1000;

QString HeaderControl(const char* prefix, int number) {
    return QString::fromLatin1(prefix) + QString::number(number);
}

class HeaderPageActions : public QObject {
  public:
    HeaderPageActions(TECRForm& form, HeaderPageBinding binding)
        : QObject(&form), form_(form), binding_(std::move(binding)) {
        setObjectName(QStringLiteral("HeaderPageActions"));
        form_.BindButton(QStringLiteral("Naglowek_odczyt_kasa"), [this] { ReadClicked(); });
        form_.BindButton(QStringLiteral("Naglowek_zapis_kasa"), [this] { WriteClicked(); });
        form_.BindButton(QStringLiteral("Naglowek_formatuj"), [this] { FormatClicked(); });
        for (int n = 1; n <= TECRForm::kHeaderLineEdits; ++n) {
            if (auto* edit = form_.ControlAs<QLineEdit>(HeaderControl("Line", n))) {
                connect(edit, &QLineEdit::textChanged, this, [this, n] { CheckLength(n); });
            }
            // The width halves with heavy characters, however the box gets ticked.
            if (auto* heavy = form_.ControlAs<QCheckBox>(HeaderControl("DLine", n))) {
                connect(heavy, &QCheckBox::toggled, this, [this, n] { CheckLength(n); });
            }
            const std::pair<const char*, HeaderBox> boxes[] = {{"CLine", HeaderBox::kCentre},
                                                               {"BLine", HeaderBox::kDoubleHeight},
                                                               {"DLine", HeaderBox::kHeavy}};
            for (const auto& [prefix, box] : boxes) {
                if (auto* check = form_.ControlAs<QCheckBox>(HeaderControl(prefix, n))) {
                    connect(check, &QCheckBox::clicked, this,
                            [this, n, which = box] { BoxClicked(n, which); });
                }
            }
        }
        timer_->setInterval(kTotalTickMs);
        connect(timer_, &QTimer::timeout, this, [this] { ShowTotal(); });
        timer_->start();
    }

  private:
    HeaderLines Lines() const { return CollectTableSet(form_, TableKind::kHeader).header; }

    HeaderLine LineOf(int number) const { return Lines()[static_cast<size_t>(number - 1)]; }

    void ReadClicked() {
        binding_.exclusive([this] {
            TableSet tables;
            tables.header = Lines();
            if (!ReadHeaderIntoLines(binding_.ecr, form_.Ui(), kCaption, binding_.busy(),
                                     tables.header)) {
                return;
            }
            ApplyTableSet(form_, tables, TableKind::kHeader);
            form_.Ui().ShowOutcome("Odczytano nagłówek z kasy.");
        });
    }

    void WriteClicked() {
        // The faults are listed before anything else happens, and "Ponów" comes back here.
        if (!binding_.validate([this] { WriteClicked(); })) {
            return;
        }
        binding_.exclusive([this] {
            // The lines passed just now, so the operation's own pass finds nothing either.
            ValidationOutcome validation;
            std::unique_ptr<WriteSafeguards> guards =
                binding_.safeguards ? binding_.safeguards() : nullptr;
            const bool written =
                ProgramHeader(binding_.ecr, form_.Ui(), kCaption, form_.Model(), binding_.settings,
                              binding_.busy(), binding_.fiscalChecked(), Lines(), validation,
                              guards != nullptr ? guards->HeaderHook() : HeaderBeforeSend{});
            if (guards == nullptr) {
                if (written) {
                    form_.Ui().ShowOutcome("Zapisano nagłówek w kasie.");
                }
                return;
            }
            const WriteSafeguards::Report report = guards->Close(binding_.ecr, written);
            if (guards->ReadBackAsked()) {
                binding_.ecr.CloseTransmission();
            }
            binding_.showSafeguards(report, written ? "Zapisano nagłówek w kasie." : "");
        });
    }

    void FormatClicked() {
        for (int n = 1; n <= TECRForm::kHeaderLineEdits; ++n) {
            if (form_.Control(HeaderControl("CLine", n)) != nullptr) {
                BoxClicked(n, HeaderBox::kCentre);
            }
        }
        for (int n = 1; n <= TECRForm::kHeaderLineEdits; ++n) {
            auto* edit = form_.ControlAs<QLineEdit>(HeaderControl("Line", n));
            const std::string hint = HeaderFormatHint(n, HeaderLineWidth(form_.Model(), LineOf(n)));
            if (edit != nullptr && !hint.empty()) {
                edit->setToolTip(QString::fromStdString(hint));
            }
        }
    }

    void BoxClicked(int number, HeaderBox box) {
        auto* edit = form_.ControlAs<QLineEdit>(HeaderControl("Line", number));
        if (edit == nullptr) {
            return;
        }
        const QString text =
            QString::fromStdString(HeaderTextAfterClick(form_.Model(), LineOf(number), box));
        if (text != edit->text()) {
            edit->setText(text);  // the change runs the length check
        } else {
            CheckLength(number);
        }
    }

    // A line longer than its width is shown in red; nothing is cut.
    void CheckLength(int number) {
        auto* edit = form_.ControlAs<QLineEdit>(HeaderControl("Line", number));
        if (edit == nullptr) {
            return;
        }
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Text, HeaderLineTooLong(form_.Model(), LineOf(number))
                                             ? QColor(Qt::red)
                                             : QApplication::palette(edit).color(QPalette::Text));
        edit->setPalette(palette);
    }

    void ShowTotal() {
        if (auto* label = form_.ControlAs<QLabel>(QStringLiteral("Naglowek_suma"))) {
            label->setText(QString::number(HeaderCharacterTotal(form_.Model(), Lines())));
        }
    }

    TECRForm& form_;
    HeaderPageBinding binding_;
    QTimer* timer_ = new QTimer(this);
};

}  // namespace

void BindHeaderPageActions(TECRForm& form, HeaderPageBinding binding) {
    new HeaderPageActions(form, std::move(binding));
}

}  // namespace kasa::gui
