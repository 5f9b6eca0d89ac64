// A printed document kept in a small text file, one "key=value" line for each field and
// one "pozycja=" line for each grid row, so that it can be verified from a script.
#pragma once

#include <string>

#include "verify/document_request.h"

namespace kasa {

struct DocumentFile {
    DocumentFields fields;
    VerifyMode mode = VerifyMode::Normal;
};

// Reads the file's text (UTF-8); false with a Polish reason, naming the line, when a line
// is not understood.
bool ParseDocumentFile(const std::string& text, DocumentFile& file, std::string& error);
std::string DocumentFileText(const DocumentFile& file);

}  // namespace kasa
