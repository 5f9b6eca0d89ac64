#include "gui/print/print_painter.h"

#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

namespace kasa::gui {

namespace {

// The layout measures text with this font's fixed advance of 0.6 em.
const char* const kPrintFontFamily = "DejaVu Sans Mono";

void PaintPage(QPainter& painter, const PrintPage& page, double pxPerMm) {
    const auto rect = [pxPerMm](double x, double y, double w, double h) {
        return QRectF(x * pxPerMm, y * pxPerMm, w * pxPerMm, h * pxPerMm);
    };
    for (const TextItem& item : page.texts) {
        QFont font(QString::fromUtf8(kPrintFontFamily));
        font.setStyleHint(QFont::Monospace);
        font.setPointSizeF(item.fontPoints);
        font.setBold(item.bold);
        painter.setFont(font);
        const QRectF box = rect(item.x, item.y, item.width, item.height);
        // The layout has cut what does not fit, with a visible mark; nothing is clipped
        // here without one.
        painter.drawText(box,
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                         QString::fromUtf8(item.text));
        if (item.framed) {
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect(item.x, item.y, item.width, item.height));
        }
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const BarcodeItem& item : page.barcodes) {
        for (const Bar& bar : item.bars) {
            painter.drawRect(rect(item.x + bar.left, item.y, bar.width, item.height));
        }
    }
    painter.setPen(QPen(Qt::black));
    painter.setBrush(Qt::NoBrush);
}

}  // namespace

void PreparePagedDevice(QPagedPaintDevice& device, const PrintDocument& document) {
    const auto orientation =
        document.width > document.height ? QPageLayout::Landscape : QPageLayout::Portrait;
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(0, 0, 0, 0),
                                     QPageLayout::Millimeter));
}

bool PaintDocument(QPainter& painter, QPagedPaintDevice& device, const PrintDocument& document,
                   const std::function<bool(int remaining)>& goOn) {
    // The painter's origin is the paper's corner: its full rectangle is the page.
    const QRectF paper = device.pageLayout().fullRectPixels(device.logicalDpiX());
    const double pxPerMm = paper.width() / document.width;
    const int count = static_cast<int>(document.pages.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            if (goOn && !goOn(count - i)) {
                return false;
            }
            device.newPage();
        }
        PaintPage(painter, document.pages[static_cast<size_t>(i)], pxPerMm);
    }
    return true;
}

}  // namespace kasa::gui
