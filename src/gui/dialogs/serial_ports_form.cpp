#include "gui/dialogs/serial_ports_form.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QMenuBar>
#include <QVBoxLayout>

#include "comm/port_discovery.h"
#include "gui/main/tecrform.h"
#include "gui/main/window_place_keeper.h"

namespace kasa::gui {

TSerialPortsForm::TSerialPortsForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("SerialPortsForm"));
    setWindowTitle(QStringLiteral("Informacje o portach szeregowych"));
    resize(520, 420);
    auto* menu = new QMenuBar(this);
    menu->addAction(QStringLiteral("&Porty zainstalowane"), this, [this] { Scan(false); });
    menu->addAction(QStringLiteral("&Wszystkie porty"), this, [this] { Scan(true); });
    menu->addAction(QStringLiteral("&Zakończ"), this, &QWidget::close);
    list_ = new QListWidget(this);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
}

void TSerialPortsForm::Scan(bool all) {
    UsbClass scan;
    scan.AllDevices = all;
    scan.NumberedPortsOnly = true;
    list_->clear();
    if (!scan.ScanPorts()) {
        for (const std::string& line : ReportLines(scan.Error())) {
            list_->addItem(QString::fromStdString(line));
        }
        return;
    }
    scan.BuildReport();
    for (const std::string& line : ReportLines(scan.Report())) {
        list_->addItem(QString::fromStdString(line));
    }
}

void TSerialPortsForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    CentreOnScreen(*this);
}

void BindSerialPortsWindow(TECRForm& form) {
    auto* window = new TSerialPortsForm(&form);
    form.BindAction(QStringLiteral("&Porty szeregowe"), [window] {
        window->show();
        window->raise();
    });
}

}  // namespace kasa::gui
