#include "gui/register/document_control_form.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/main/window_place_keeper.h"
#include "verify/document_examples.h"

namespace kasa::gui {

namespace {

constexpr const char* kAmountPattern = "[-+0-9.,]*";
constexpr const char* kDigitsPattern = "[0-9]*";
constexpr int kMinHeight = 590;
constexpr int kPictureMargin = 50;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

const char* DateLabel(int type) {
    switch (type) {
        case kReceipt:
            return "Data wystawienia paragonu RRRR-MM-DD";
        case kInvoice:
            return "Data wystawienia faktury RRRR-MM-DD";
        default:
            return "Data wykonania Raportu RRRR-MM-DD";
    }
}

const char* TableInstruction(int type) {
    switch (type) {
        case kReceipt:
            return "Wpisz nazwy towarów z paragonu i litery stawek PTU (A..G).";
        case kInvoice:
            return "Wpisz nazwy towarów z faktury i litery stawek VAT (A..G).";
        case kDailyReport:
        case kDailyReportWithInvoices:
            return "Wpisz kwoty z raportu; pozycje, których nie ma na wydruku, zostaw puste.";
        default:
            return "Wpisz dokument";
    }
}

}  // namespace

QPixmap PrintoutPicture(const std::vector<std::string>& lines) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(8);
    const QFontMetrics metrics(font);
    const int margin = 10;
    const int width = metrics.horizontalAdvance(QString(kPrintoutWidth, QLatin1Char('M')));
    QPixmap picture(width + 2 * margin,
                    static_cast<int>(lines.size()) * metrics.lineSpacing() + 2 * margin);
    picture.fill(QColor(252, 251, 245));
    QPainter painter(&picture);
    painter.setPen(QColor(200, 200, 190));
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.setFont(font);
    int y = margin + metrics.ascent();
    for (const std::string& line : lines) {
        painter.drawText(margin, y, Q(line));
        y += metrics.lineSpacing();
    }
    return picture;
}

TDocumentControl_Form::TDocumentControl_Form(UserInterface& ui, QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(ui) {
    setObjectName("TDocumentControl_Form");
    setWindowTitle(QString::fromUtf8(kDocumentControlCaption));

    typeGroup_ = new QGroupBox(QStringLiteral("Typ dokumentu"), this);
    typeGroup_->setObjectName("TypDokumentu");
    typeGroup_->setToolTip(QStringLiteral(
        "Jesteś w specjalnym trybie.\nPodwójne kliknięcie na ten obszar spowoduje,\nże można "
        "będzie weryfikować dowolny dokument\nna dowolnym urządzeniu KORVEX.\nKasowanie po "
        "ponownym wyborze okna.\nMożesz również wybrać rodzaj dokumentu."));
    typeGroup_->installEventFilter(this);
    auto* groupLayout = new QVBoxLayout(typeGroup_);
    const char* const names[4][2] = {{"RParagon", "Paragon"},
                                     {"RFaktura", "Faktura"},
                                     {"RRaport", "Raport Dobowy"},
                                     {"RRaportFaktury", "Raport Dobowy z Fakturami"}};
    for (int i = 0; i < 4; ++i) {
        typeButtons_[i] = new QRadioButton(QString::fromUtf8(names[i][1]), typeGroup_);
        typeButtons_[i]->setObjectName(names[i][0]);
        groupLayout->addWidget(typeButtons_[i]);
        connect(typeButtons_[i], &QRadioButton::clicked, this, [this, i] { ChooseType(i + 1); });
    }

    auto* left = new QVBoxLayout;
    left->addWidget(typeGroup_);
    auto* fields = new QWidget(this);
    fields->setObjectName("Pola");
    left->addWidget(fields);
    auto* fieldLayout = new QVBoxLayout(fields);
    fieldLayout->setContentsMargins(0, 0, 0, 0);
    setLayout(new QHBoxLayout);
    layout()->addItem(left);
    const auto add = [&](const char* name, const char* label, const char* pattern) {
        QLineEdit* edit = AddField(name, QString::fromUtf8(label), pattern);
        fieldLayout->addWidget(edit->property("label").value<QLabel*>());
        fieldLayout->addWidget(edit);
        return edit;
    };
    controlNumber_ = add("ENumerKontrolny", "Numer kontrolny dokumentu", nullptr);
    controlNumber_->setToolTip(
        QStringLiteral("Numer kontrolny 40 znakowy umieszczony na dole dokumentu."));
    uniqueNumber_ = add("ENumerUnikatowy", "Numer Unikatowy", nullptr);
    uniqueNumber_->setToolTip(QStringLiteral("Wpisać numer unikatowy urządzenia."));
    date_ = add("EDataWydruku", DateLabel(kReceipt), nullptr);
    time_ = add("EGodzinaWydruku", "Godzina wydruku w formacie HH:MM", nullptr);
    documentNumber_ = add("ENumerDokumentu", "Numer domumentu", kDigitsPattern);
    reportNumber_ = add("ENumerRaportu", "Numer raportu", kDigitsPattern);
    reportNumber_->setToolTip(QStringLiteral(
        "Numer Raportu Dobowego umieszczony obok daty Nr ????.\nWpisywać dokładnie to co jest "
        "na wydruku łacznie z\nnieznaczącymi zerami."));
    receiptCount_ = add("EIloscParagonow", "ILOŚĆ PARAGONÓW", kDigitsPattern);
    receiptCount_->setToolTip(QStringLiteral(
        "Ilość z pozycji ILOŚĆ PARAGONÓW.\nWpisywać łącznie z zerami na początku\njeśli są one "
        "na wydruku."));
    vatTotal_ = add("ESumaPtu", "Suma PTU", kAmountPattern);
    vatTotal_->setToolTip(QStringLiteral(
        "Jeśli sprzedaż w jednej stawce PTU\n(jedna pozycja na paragonie), to należy\nwpisać "
        "wartość 0,00."));
    totalDue_ = add("ELacznaNaleznosc", "Suma PLN lub Suma EU", kAmountPattern);

    tableLabel_ = new QLabel(fields);
    tableLabel_->setObjectName("LTabela");
    tableLabel_->setWordWrap(true);
    fieldLayout->addWidget(tableLabel_);
    table_ = new QTableWidget(0, 2, fields);
    table_->setObjectName("TTabela");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setVisible(false);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setColumnWidth(0, 230);
    table_->setMinimumHeight(160);
    table_->installEventFilter(this);
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (!showingGrid_ && row >= 0) {
            grid_.row = row;
            grid_.column = column;
        }
    });
    fieldLayout->addWidget(table_, 1);

    auto* buttons = new QHBoxLayout;
    check_ = new QPushButton(QStringLiteral("Sprawdź"), fields);
    check_->setObjectName("BWykonaj");
    exampleButton_ = new QPushButton(QStringLiteral("Przykład"), fields);
    exampleButton_->setObjectName("Przyklad");
    exampleButton_->setToolTip(QStringLiteral(
        "Naciśnij ten przycisk, jesli chcesz zobaczyć przykłady\nróżnych wydruków. Kolejne "
        "naciśnięcie tego przycisku wywołuje\nnastępne przykłady, lub czyści wszystkie pola."));
    buttons->addWidget(check_);
    buttons->addWidget(exampleButton_);
    fieldLayout->addLayout(buttons);
    connect(check_, &QPushButton::clicked, this, [this] { Check(); });
    connect(exampleButton_, &QPushButton::clicked, this, [this] { NextExampleClicked(); });

    picture_ = new QLabel(this);
    picture_->setObjectName("Obraz");
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture_->hide();
    static_cast<QHBoxLayout*>(layout())->addWidget(picture_, 0, Qt::AlignTop);
    static_cast<QHBoxLayout*>(layout())->addStretch(1);
    fields->setFixedWidth(380);
    EnterNoMode();
}

QLineEdit* TDocumentControl_Form::AddField(const char* name, const QString& label,
                                           const char* pattern) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    auto* caption = new QLabel(label, this);
    caption->setObjectName(QStringLiteral("L") + QString::fromUtf8(name + 1));
    caption->setBuddy(edit);
    edit->setProperty("label", QVariant::fromValue(caption));
    if (pattern != nullptr) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QString::fromUtf8(pattern)), edit));
    }
    return edit;
}

void TDocumentControl_Form::OpenNormal(VerifyOperation verify) {
    verify_ = std::move(verify);
    mode_ = VerifyMode::Normal;
    ChooseType(kReceipt);
    show();
    CentreOnScreen(*this);
}

void TDocumentControl_Form::EnterSpecialMode() {
    if (mode_ == VerifyMode::Special) {
        return;
    }
    mode_ = VerifyMode::Special;
    ChooseType(type_ == kNoDocument ? kReceipt : type_);
}

void TDocumentControl_Form::EnterNoMode() {
    mode_ = VerifyMode::None;
    type_ = kNoDocument;
    example_ = -1;
    ClearFields();
    grid_ = DocumentGrid::ForType(kReceipt);
    LayOut();
}

void TDocumentControl_Form::ChooseType(int type) {
    if (mode_ == VerifyMode::None) {
        return;
    }
    if (type != type_) {
        type_ = type;
        example_ = -1;
        grid_ = DocumentGrid::ForType(type);
        picture_->hide();
    }
    LayOut();
}

void TDocumentControl_Form::LayOut() {
    const bool active = mode_ != VerifyMode::None;
    const bool special = mode_ == VerifyMode::Special;
    for (int i = 0; i < 4; ++i) {
        typeButtons_[i]->setVisible(special || i == 0 || i == 2);
        typeButtons_[i]->setEnabled(active);
        typeButtons_[i]->setChecked(type_ == i + 1);
    }
    check_->setEnabled(active);
    exampleButton_->setEnabled(active);
    const bool report = type_ == kDailyReport || type_ == kDailyReportWithInvoices;
    for (QLineEdit* edit : {documentNumber_, reportNumber_, receiptCount_}) {
        edit->setVisible(report);
        edit->property("label").value<QLabel*>()->setVisible(report);
    }
    vatTotal_->setVisible(!report);
    vatTotal_->property("label").value<QLabel*>()->setVisible(!report);
    date_->property("label").value<QLabel*>()->setText(QString::fromUtf8(DateLabel(type_)));
    auto* vatLabel = vatTotal_->property("label").value<QLabel*>();
    auto* dueLabel = totalDue_->property("label").value<QLabel*>();
    vatLabel->setText(type_ == kInvoice ? QStringLiteral("Wartość VAT -> Suma")
                                        : QStringLiteral("Suma PTU"));
    dueLabel->setText(report              ? QStringLiteral("ŁĄCZNA NALEŻNOŚĆ")
                      : type_ == kInvoice ? QStringLiteral("Wartość Brutto -> Suma")
                                          : QStringLiteral("Suma PLN lub Suma EU"));
    tableLabel_->setText(QString::fromUtf8(TableInstruction(type_)));
    ShowGrid();
}

void TDocumentControl_Form::ShowGrid() {
    showingGrid_ = true;
    table_->setRowCount(static_cast<int>(grid_.cells.size()));
    for (int r = 0; r < table_->rowCount(); ++r) {
        for (int c = 0; c < 2; ++c) {
            auto* item = new QTableWidgetItem(
                Q(grid_.cells[static_cast<size_t>(r)][static_cast<size_t>(c)]));
            if (r == 0) {
                item->setBackground(palette().button());
            }
            table_->setItem(r, c, item);
        }
    }
    table_->setCurrentCell(grid_.row, grid_.column);
    showingGrid_ = false;
}

void TDocumentControl_Form::ClearFields() {
    for (QLineEdit* edit : {controlNumber_, uniqueNumber_, date_, time_, documentNumber_,
                            reportNumber_, receiptCount_, vatTotal_, totalDue_}) {
        edit->clear();
    }
}

DocumentFields TDocumentControl_Form::Fields() const {
    DocumentFields fields;
    fields.type = type_;
    fields.controlNumber = controlNumber_->text().toStdString();
    fields.uniqueNumber = uniqueNumber_->text().toStdString();
    fields.date = date_->text().toStdString();
    fields.time = time_->text().toStdString();
    fields.documentNumber = documentNumber_->text().toStdString();
    fields.reportNumber = reportNumber_->text().toStdString();
    fields.receiptCount = receiptCount_->text().toStdString();
    fields.vatTotal = vatTotal_->text().toStdString();
    fields.totalDue = totalDue_->text().toStdString();
    for (size_t r = 1; r < grid_.cells.size(); ++r) {
        fields.rows.push_back({grid_.cells[r][0], grid_.cells[r][1]});
    }
    return fields;
}

void TDocumentControl_Form::SetFields(const DocumentFields& fields) {
    controlNumber_->setText(Q(fields.controlNumber));
    uniqueNumber_->setText(Q(fields.uniqueNumber));
    date_->setText(Q(fields.date));
    time_->setText(Q(fields.time));
    documentNumber_->setText(Q(fields.documentNumber));
    reportNumber_->setText(Q(fields.reportNumber));
    receiptCount_->setText(Q(fields.receiptCount));
    vatTotal_->setText(Q(fields.vatTotal));
    totalDue_->setText(Q(fields.totalDue));
    grid_ = DocumentGrid::ForType(fields.type);
    grid_.cells.resize(1);
    for (const DocumentRow& row : fields.rows) {
        grid_.cells.push_back({row.name, row.value});
    }
    ShowGrid();
}

void TDocumentControl_Form::Check() {
    if (mode_ == VerifyMode::None) {
        return;
    }
    const DocumentRequest request = BuildDocumentRequest(Fields(), mode_);
    const std::string caption = kDocumentControlCaption;
    if (request.noType) {
        EnterNoMode();
        return;
    }
    if (!request.Valid()) {
        ui_.Message(caption, request.error);
        return;
    }
    const DocumentVerdict verdict = verify_ ? verify_(request) : DocumentVerdict{};
    if (const std::string message = VerdictMessage(verdict); !message.empty()) {
        if (verdict.code == 1) {
            ui_.Notice(caption, message);
        } else {
            ui_.Message(caption, message);
        }
    }
}

void TDocumentControl_Form::NextExampleClicked() {
    example_ = NextExample(example_, type_, mode_);
    if (example_ < 0) {
        ClearFields();
        grid_ = DocumentGrid::ForType(type_);
        ShowGrid();
        picture_->hide();
        return;
    }
    const DocumentExample& example = DocumentExamples()[static_cast<size_t>(example_)];
    SetFields(ExampleFields(example));
    ShowPicture(example_);
}

void TDocumentControl_Form::ShowPicture(int index) {
    const DocumentExample& example = DocumentExamples()[static_cast<size_t>(index)];
    picture_->setPixmap(PrintoutPicture(ExamplePrintout(example)));
    picture_->setFixedSize(picture_->pixmap().size());
    picture_->setAccessibleName(Q(example.PictureName()));
    picture_->show();
    layout()->activate();
    const QRect place = picture_->geometry();
    const QSize size = picture_->pixmap().size();
    resize(place.left() + size.width() + kPictureMargin,
           std::max(kMinHeight, place.top() + size.height() + kPictureMargin));
}

bool TDocumentControl_Form::GridKey(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    bool changed = false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        changed = grid_.Key(DocumentGridKey::Enter);
    } else if (key == Qt::Key_Tab) {
        changed = grid_.Key(DocumentGridKey::Tab);
    } else if (key == Qt::Key_Backspace) {
        changed = grid_.Key(DocumentGridKey::Backspace);
    } else if ((modifiers & Qt::ControlModifier) && key == Qt::Key_C) {
        changed = grid_.Key(DocumentGridKey::Copy);
    } else if ((modifiers & Qt::ControlModifier) && key == Qt::Key_V) {
        changed = grid_.Key(DocumentGridKey::Paste);
    } else if (!text.isEmpty() && !(modifiers & Qt::ControlModifier)) {
        changed = grid_.Type(text.toStdString());
    } else {
        return false;  // arrows and the other keys move as the view does
    }
    if (changed) {
        ShowGrid();
    }
    return true;
}

bool TDocumentControl_Form::eventFilter(QObject* watched, QEvent* event) {
    if (watched == typeGroup_ && event->type() == QEvent::MouseButtonDblClick) {
        if (mode_ != VerifyMode::None) {
            EnterSpecialMode();
        }
        return true;
    }
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        return GridKey(key->key(), key->modifiers(), key->text());
    }
    return QWidget::eventFilter(watched, event);
}

void TDocumentControl_Form::closeEvent(QCloseEvent* event) {
    EnterNoMode();
    picture_->hide();
    QWidget::closeEvent(event);
}

}  // namespace kasa::gui
