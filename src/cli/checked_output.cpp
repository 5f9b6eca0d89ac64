#include "cli/checked_output.h"

#include <cerrno>
#include <ostream>

#include "base/number_text.h"
#include "cli/command_line.h"
#include "cli/console.h"

namespace kasa::cli {

std::streamsize CheckedFileBuffer::xsputn(const char* text, std::streamsize count) {
    if (firstError_ != 0) {
        return 0;
    }
    firstError_ = WriteStandardStream(file_, std::string_view(text, static_cast<size_t>(count)));
    return firstError_ == 0 ? count : 0;
}

CheckedFileBuffer::int_type CheckedFileBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

int CheckedFileBuffer::sync() {
    if (firstError_ != 0) {
        return -1;
    }
    firstError_ = FlushStandardStream(file_);
    return firstError_ == 0 ? 0 : -1;
}

std::string WriteFailureCause(int systemError) {
    switch (systemError) {
        case ENOSPC:
            return "brak miejsca na dysku";
        case EPIPE:
            return "odbiorca wyniku zakończył pracę (zamknięty potok)";
        case EBADF:
            return "standardowe wyjście jest zamknięte";
        case EFBIG:
            return "plik jest zbyt duży dla tego nośnika";
        case EACCES:
        case EPERM:
            return "brak uprawnień do zapisu";
        case EIO:
            return "błąd zapisu na urządzeniu";
        case 0:
            return "nieznana przyczyna";
        default:
            return "błąd systemu nr " + DecimalText(systemError);
    }
}

int CheckedExit(std::ostream& out, std::ostream& err, int code) {
    errno = 0;
    out.flush();
    if (!out.fail()) {
        return code;
    }
    int error = errno;
    if (const auto* checked = dynamic_cast<const CheckedFileBuffer*>(out.rdbuf())) {
        // The error of the first failed write: later ones may have been refused silently.
        error = checked->FirstError() != 0 ? checked->FirstError() : error;
    }
    err << "Nie można zapisać wyniku na standardowe wyjście: " << WriteFailureCause(error) << ".\n";
    err.flush();
    return code == kExitSuccess ? kExitFailure : code;
}

}  // namespace kasa::cli
