// Writes laid-out table pages as a PDF file, whole or not at all. Usable without a window:
// the command line calls it, and it starts the toolkit's offscreen platform when no
// application runs yet.
#pragma once

#include <string>

#include "base/atomic_file.h"
#include "print/table_print_layout.h"

namespace kasa::gui {

WriteResult WritePdfFile(const PrintDocument& document, const std::string& path);

}  // namespace kasa::gui
