// The main window's fixed parts: the information page, the header page and the frame
// around the pages.
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/main/tecrform.h"
#include "gui/main/tecrform_internal.h"

namespace kasa::gui {

QScrollArea* ScrollingPage(QWidget* content) {
    auto* area = new QScrollArea;
    area->setObjectName(content->objectName());
    content->setObjectName(content->objectName() + QStringLiteral("_tresc"));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(content);
    return area;
}

QLabel* NewField(const QString& objectName, QWidget* parent, int minimumWidth) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setMinimumWidth(minimumWidth);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPushButton* NewButton(const QString& objectName, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setEnabled(false);
    return button;
}

void TECRForm::BuildCentral() {
    auto* central = new QWidget(this);
    central->setObjectName("Panel1");
    tabs_ = new QTabWidget(central);
    tabs_->setObjectName("PageControl1");
    infoPage_ = ScrollingPage(BuildInformationPage());
    tabs_->addTab(infoPage_, QStringLiteral("Informacje o kasie"));
    headerPage_ = ScrollingPage(BuildHeaderPage());
    tabs_->addTab(headerPage_, QStringLiteral("Nagłówek"));

    // The communication and the commands that concern all tables, beside the pages.
    auto* side = new QWidget(central);
    side->setObjectName("PanelKomunikacja");
    commButton_ = NewButton(QStringLiteral("Komunikacja_Btn"), QString(), side);
    commButton_->setMinimumHeight(64);
    auto* all = NewButton(QStringLiteral("All"), QStringLiteral("Odczytaj\nwszystko"), side);
    all->setMinimumHeight(64);
    auto* verify = NewButton(QStringLiteral("Weryfikacja"), QStringLiteral("Weryfikacja"), side);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(commButton_);
    sideLayout->addWidget(all);
    sideLayout->addWidget(verify);
    sideLayout->addStretch();

    progress_ = new QProgressBar(central);
    progress_->setObjectName("Postep");
    progress_->setRange(0, 100);
    progress_->reset();
    info_ = new QLabel(central);
    info_->setObjectName("Info");
    info_->setMinimumWidth(300);

    auto* top = new QHBoxLayout;
    top->addWidget(tabs_, 1);
    top->addWidget(side);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(progress_, 1);
    bottom->addWidget(info_, 1);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    setCentralWidget(central);
}

QWidget* TECRForm::BuildInformationPage() {
    auto* page = new QWidget;
    page->setObjectName("Informacje_strona");

    // The register's identity, status flags and clock.
    auto* infoGroup = new QGroupBox(QStringLiteral("Informacje o kasie"), page);
    infoGroup->setObjectName("Informacje");
    auto* infoLayout = new QGridLayout(infoGroup);
    int row = 0;
    auto addField = [&](const QString& caption, const QString& name) {
        auto* label = new QLabel(caption, infoGroup);
        QLabel* field = NewField(name, infoGroup, 220);
        label->setBuddy(field);
        infoLayout->addWidget(label, row, 0);
        infoLayout->addWidget(field, row, 1, 1, 2);
        ++row;
    };
    addField(QStringLiteral("Typ kasy"), QStringLiteral("Kasa"));
    addField(QStringLiteral("Numer fabryczny"), QStringLiteral("NrFabryczny"));
    addField(QStringLiteral("Data i czas w kasie"), QStringLiteral("eClock"));
    struct Flag {
        const char* name;
        const char* caption;
    };
    const Flag flags[] = {{"ST_ErrorRS", "Error RS"},
                          {"ST_Fiscal", "Fiskalny"},
                          {"ST_Grosze", "grosze"},
                          {"ST_Trasmit", "Transmisja"},
                          {"ST_Online", "Online"}};
    auto* flagBox = new QWidget(infoGroup);
    auto* flagLayout = new QHBoxLayout(flagBox);
    flagLayout->setContentsMargins(0, 0, 0, 0);
    for (const Flag& flag : flags) {
        auto* box = new QCheckBox(QString::fromUtf8(flag.caption), flagBox);
        box->setObjectName(flag.name);
        box->setEnabled(false);  // the register's flags are shown, not set, here
        flagLayout->addWidget(box);
    }
    flagLayout->addStretch();
    infoLayout->addWidget(new QLabel(QStringLiteral("Status"), infoGroup), row, 0);
    infoLayout->addWidget(flagBox, row, 1, 1, 2);
    ++row;
    auto* lastPf = new QLabel(QStringLiteral("Ostatni zapis "), infoGroup);
    lastPf->setObjectName("ST_LastPF");
    infoLayout->addWidget(lastPf, row, 1, 1, 2);
    ++row;

    // Totals and counters since the last daily report.
    auto* totalsGroup = new QGroupBox(QStringLiteral("Totalizery"), page);
    totalsGroup->setObjectName("Totalizery");
    auto* totalsLayout = new QGridLayout(totalsGroup);
    for (int i = 0; i < 7; ++i) {
        const QChar letter = QLatin1Char(kVatLetters[i]);
        auto* label = new QLabel(letter, totalsGroup);
        QLabel* field = NewField(QStringLiteral("Tot_") + letter, totalsGroup);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(field);
        totalsLayout->addWidget(label, i, 0);
        totalsLayout->addWidget(field, i, 1);
    }
    struct Counter {
        const char* name;
        const char* caption;
    };
    const Counter counters[] = {{"NumerParagonu", "Numer paragonu"},
                                {"ZmianyBazy", "Zmiany bazy"},
                                {"AnulowaneParagony", "Anulowane paragony"},
                                {"KwotaAnulowanych", "Kwota anulowanych"}};
    int counterRow = 0;
    for (const Counter& counter : counters) {
        auto* label = new QLabel(QString::fromUtf8(counter.caption), totalsGroup);
        QLabel* field = NewField(QString::fromUtf8(counter.name), totalsGroup);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(field);
        totalsLayout->addWidget(label, counterRow, 2);
        totalsLayout->addWidget(field, counterRow, 3);
        ++counterRow;
    }

    // VAT rates: as read from the register, and the new ones to program.
    auto* vatGroup = new QGroupBox(QStringLiteral("Stawki VAT"), page);
    vatGroup->setObjectName("StawkiVAT");
    auto* vatLayout = new QGridLayout(vatGroup);
    vatLayout->addWidget(new QLabel(QStringLiteral("W kasie"), vatGroup), 0, 1);
    vatLayout->addWidget(new QLabel(QStringLiteral("Nowa stawka"), vatGroup), 0, 2);
    for (int i = 0; i < 7; ++i) {
        const QChar letter = QLatin1Char(kVatLetters[i]);
        auto* label = new QLabel(letter, vatGroup);
        QLabel* current = NewField(QStringLiteral("EVat") + letter, vatGroup, 80);
        current->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* edit = new QLineEdit(vatGroup);
        edit->setObjectName(QStringLiteral("E_Vat") + letter);
        edit->setMaximumWidth(120);
        label->setBuddy(edit);
        vatLayout->addWidget(label, i + 1, 0);
        vatLayout->addWidget(current, i + 1, 1);
        vatLayout->addWidget(edit, i + 1, 2);
    }
    auto* vatButtons = new QHBoxLayout;
    vatButtons->addWidget(NewButton(QStringLiteral("StawkiVAT_odczyt_kasa"),
                                    QStringLiteral("Odczyt z Kasy"), vatGroup));
    vatButtons->addWidget(NewButton(QStringLiteral("StawkiVAT_zapis_kasa"),
                                    QStringLiteral("Zapis do Kasy"), vatGroup));
    vatLayout->addLayout(vatButtons, 8, 0, 1, 3);

    auto* left = new QVBoxLayout;
    left->addWidget(infoGroup);
    left->addWidget(totalsGroup);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(vatGroup);
    right->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);
    return page;
}

QWidget* TECRForm::BuildHeaderPage() {
    auto* page = new QWidget;
    page->setObjectName("Naglowek_strona");
    auto* group = new QGroupBox(QStringLiteral("Nagłówek paragonu"), page);
    group->setObjectName("Naglowek");
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Tekst linii"), group), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Centr."), group), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Podw."), group), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Grub."), group), 0, 4);
    for (int n = 1; n <= kHeaderLineEdits; ++n) {
        auto* label = new QLabel(QStringLiteral("Linia %1").arg(n), group);
        label->setObjectName(QStringLiteral("LineLabel%1").arg(n));
        auto* edit = new QLineEdit(group);
        edit->setObjectName(QStringLiteral("Line%1").arg(n));
        edit->setMinimumWidth(400);
        label->setBuddy(edit);
        auto* centre = new QCheckBox(group);
        centre->setObjectName(QStringLiteral("CLine%1").arg(n));
        centre->setToolTip(QStringLiteral("Centrowanie linni."));
        auto* tall = new QCheckBox(group);
        tall->setObjectName(QStringLiteral("BLine%1").arg(n));
        tall->setToolTip(QStringLiteral("Zmiana wysokości linii na podwójną."));
        auto* heavy = new QCheckBox(group);
        heavy->setObjectName(QStringLiteral("DLine%1").arg(n));
        heavy->setToolTip(QStringLiteral("Zmiana grubości znaku."));
        grid->addWidget(label, n, 0);
        grid->addWidget(edit, n, 1);
        grid->addWidget(centre, n, 2);
        grid->addWidget(tall, n, 3);
        grid->addWidget(heavy, n, 4);
    }
    auto* total = new QLabel(group);
    total->setObjectName("Naglowek_suma");
    grid->addWidget(total, kHeaderLineEdits + 1, 1);

    auto* buttons = new QWidget(page);
    buttons->setObjectName("Naglowek_button");
    auto* buttonLayout = new QVBoxLayout(buttons);
    buttonLayout->addWidget(NewButton(QStringLiteral("Naglowek_odczyt_kasa"),
                                      QStringLiteral("Odczyt z Kasy"), buttons));
    buttonLayout->addWidget(
        NewButton(QStringLiteral("Naglowek_zapis_kasa"), QStringLiteral("Zapis do Kasy"), buttons));
    buttonLayout->addWidget(
        NewButton(QStringLiteral("Naglowek_formatuj"), QStringLiteral("Formatuj"), buttons));
    buttonLayout->addSpacing(12);
    buttonLayout->addWidget(NewButton(QStringLiteral("Naglowek_odczyt"),
                                      QStringLiteral("Odczytaj Bazę z pliku"), buttons));
    buttonLayout->addWidget(NewButton(QStringLiteral("Naglowek_zapis"),
                                      QStringLiteral("Zapisz Bazę do pliku"), buttons));
    buttonLayout->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(group);
    left->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addWidget(buttons);
    return page;
}

}  // namespace kasa::gui
