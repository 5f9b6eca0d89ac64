// The sequence compiler: turns the small sequence language (text between `seq =` and
// `\<end>`, literals, escapes, date words, checksum regions) into the exact bytes that are
// sent to the device or saved as a `.bin` file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "comm/ibuffer.h"
#include "seq/compile_clock.h"
#include "seq/seq_messages.h"

namespace kasa {

class SeqCompileClass {
  public:
    // A compile stops after this many reported messages.
    static constexpr int kMessageLimit = 50;

    explicit SeqCompileClass(CompileClock clock = LocalClockNow);

    // Compiles the source lines (UTF-8 text). Each message goes to `messages`, when given, as
    // "<line>: <text>"; without a list messages are only counted. True when the source
    // compiled without an error into at least one byte, which are then in Output().
    bool Compile(const std::vector<std::string>& lines, std::vector<std::string>* messages);
    // Appends the description of the language, one line per piece.
    void Describe(std::vector<std::string>& lines) const;

    // The `.txt` file the source is loaded from and saved to.
    void SetSourceFileName(std::string path) { sourceFileName_ = std::move(path); }
    const std::string& SourceFileName() const { return sourceFileName_; }
    // Replaces `lines` by the lines of the source file. A file that cannot be read, is
    // larger than kSequenceFileLimitBytes or is not text gives no lines and false, and
    // `error`, when given, says which in Polish.
    bool LoadSource(std::vector<std::string>& lines, std::string* error = nullptr) const;
    // As LoadSource for the file `path`, which becomes the source file name only once it
    // has been read: a refused file keeps the name it had, so no later save writes the old
    // text over the file that was refused.
    bool LoadSourceFrom(const std::string& path, std::vector<std::string>& lines,
                        std::string* error = nullptr);
    WriteResult SaveSource(const std::vector<std::string>& lines) const;

    // The bytes of the last compile; valid for use only when Compile returned true.
    const iBuffer& Output() const { return output_; }
    int MessageCount() const { return messageCount_; }

  private:
    enum class Token {
        kEndOfInput,
        kBytes,
        kLineComment,
        kEnd,
        kChecksumStart,
        kChecksumInsert,
        kCommentStart,
        kCommentEnd,
        kUnrecognised,
    };

    void Reset();
    void PrepareInput(const std::vector<std::string>& lines);
    int ReadChar();
    void PushBack() { pushedBack_ = true; }
    bool InputExhausted() const { return !pushedBack_ && position_ >= length_; }
    std::string ReadUpToClosingBracket();

    // Outside a sequence: true when `seq =` started one, false at the end of input.
    bool ScanOutside();
    bool ReadSeqStart();
    bool SkipOuterCommentBlock();

    Token ReadToken();
    // Reads what follows a backslash; true when it appended bytes to the token and reading
    // goes on, else `token` is what the escape ends with.
    bool ReadEscape(Token& token);
    bool ReadWordEscape(Token& token);
    void ReadLiteral();
    void SkipInnerCommentBlock();

    void CompileLoop();
    void Report(SeqMessage message);
    void ReportText(const std::string& text);

    CompileClock clock_;
    std::string sourceFileName_;

    iBuffer source_;
    const uint8_t* data_ = nullptr;
    int32_t length_ = 0;
    int32_t position_ = 0;
    int lineCounter_ = 0;  // line ends read so far
    int lineCount_ = 0;    // lines of the source
    int current_ = 0;
    bool pushedBack_ = false;

    std::string token_;
    iBuffer checksum_;
    iBuffer output_;

    int messageCount_ = 0;
    std::vector<std::string>* messages_ = nullptr;
    bool inSequence_ = false;
    bool inCommentBlock_ = false;
    bool checksumOpen_ = false;

    std::string fullYear_;
    std::string shortYear_;
    std::string month_;
    std::string day_;
    std::string hour_;
    std::string minute_;
};

}  // namespace kasa
