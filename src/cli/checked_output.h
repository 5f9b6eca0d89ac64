// The command line's standard output, written so that a failed write is noticed with its
// cause, and the check every command's output passes at its end.
#pragma once

#include <cstdio>
#include <iosfwd>
#include <streambuf>
#include <string>

namespace kasa::cli {

// Writes to one of the program's standard streams (see WriteStandardStream) and keeps the
// system error of the first write that failed; every write after it fails too.
class CheckedFileBuffer : public std::streambuf {
  public:
    explicit CheckedFileBuffer(std::FILE* file) : file_(file) {}
    // The system error of the first failed write, 0 while none failed.
    int FirstError() const { return firstError_; }

  protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int_type overflow(int_type c) override;
    int sync() override;

  private:
    std::FILE* file_;
    int firstError_ = 0;
};

// The Polish cause of a failed write, by its system error.
std::string WriteFailureCause(int systemError);

// Flushes `out` and checks that everything written to it went out. When it did not, the
// cause goes to `err` and the result is the failure exit code (a failed command keeps its
// own); otherwise `code`.
int CheckedExit(std::ostream& out, std::ostream& err, int code);

}  // namespace kasa::cli
