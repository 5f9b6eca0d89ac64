// Draws laid-out table pages with QPainter on any paged device (printer, preview, PDF):
// texts in an embedded monospaced font and barcode bars as filled rectangles, so the
// output stays sharp at every resolution.
#pragma once

#include <functional>

#include "print/table_print_layout.h"

class QPainter;
class QPagedPaintDevice;

namespace kasa::gui {

// Points the device at A4 in the document's orientation with no margins of its own: the
// layout keeps its own.
void PreparePagedDevice(QPagedPaintDevice& device, const PrintDocument& document);

// Draws every page; before each page after the first, `goOn` (when given) may stop the
// run with the number of pages left. Returns false when it was stopped.
bool PaintDocument(QPainter& painter, QPagedPaintDevice& device, const PrintDocument& document,
                   const std::function<bool(int remaining)>& goOn = {});

}  // namespace kasa::gui
