#include "seq/seqcompileclass.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string_view>

#include "base/codepage.h"
#include "base/number_text.h"
#include "base/text_encoding.h"
#include "seq/seq_language_description.h"
#include "seq/sequence_files.h"

namespace kasa {

namespace {

constexpr int kEndOfInput = -1;
constexpr int kCr = 0x0D;
constexpr int kBlank = 0x20;
constexpr int kApostrophe = 0x27;
constexpr int kBackslash = 0x5C;

// Windows-1250 bytes with Polish letters replaced by their Mazovia codes.
std::array<uint8_t, 256> MakeMazoviaTable() {
    std::array<uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        table[b] = static_cast<uint8_t>(b);
    }
    for (const auto& row : PolishLetterTable) {
        table[row[kWindows1250]] = row[kMazovia];
    }
    return table;
}

const std::array<uint8_t, 256> kToMazovia = MakeMazoviaTable();

int AsciiLower(int c) {
    return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
}

bool IsAsciiLetterOrDigit(int c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexDigitValue(int c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string LowerCase(std::string_view word) {
    std::string lower(word);
    for (char& c : lower) {
        c = static_cast<char>(AsciiLower(static_cast<uint8_t>(c)));
    }
    return lower;
}

bool IsCommentStartWord(std::string_view word) {
    const std::string lower = LowerCase(word);
    return lower == "comment" || lower == "c";
}

bool IsCommentEndWord(std::string_view word) {
    const std::string lower = LowerCase(word);
    return lower == "end_comment" || lower == "e";
}

}  // namespace

SeqCompileClass::SeqCompileClass(CompileClock clock) : clock_(std::move(clock)) {}

void SeqCompileClass::Reset() {
    position_ = 0;
    lineCounter_ = 0;
    current_ = 0;
    pushedBack_ = false;
    messageCount_ = 0;
    inSequence_ = false;
    inCommentBlock_ = false;
    checksumOpen_ = false;
    token_.clear();
    checksum_.Clear();
    output_.Clear();

    const ClockReading now = clock_ ? clock_() : LocalClockNow();
    fullYear_ = DecimalText(now.year);
    shortYear_ = DecimalText(now.year - 2000);
    month_ = DecimalText(now.month);
    day_ = DecimalText(now.day);
    hour_ = DecimalText(now.hour);
    minute_ = DecimalText(now.minute);
}

void SeqCompileClass::PrepareInput(const std::vector<std::string>& lines) {
    source_.Clear();
    size_t total = 0;
    for (const std::string& line : lines) {
        total += line.size() + 1;
    }
    source_.Reserve(static_cast<int32_t>(std::min<size_t>(total, INT32_MAX / 4)));
    for (const std::string& line : lines) {
        source_.Append(Utf8ToWindows1250(line));
        source_.AppendByte(kCr);
    }
    data_ = source_.Data();
    length_ = source_.Length();
    lineCount_ = static_cast<int>(lines.size());
}

int SeqCompileClass::ReadChar() {
    if (pushedBack_) {
        pushedBack_ = false;
        return current_;
    }
    current_ = position_ < length_ ? data_[position_++] : kEndOfInput;
    if (current_ == kCr) {
        ++lineCounter_;
    }
    return current_;
}

std::string SeqCompileClass::ReadUpToClosingBracket() {
    std::string word;
    for (int c = ReadChar(); c != kEndOfInput && c != '>'; c = ReadChar()) {
        word += static_cast<char>(c);
    }
    return word;
}

bool SeqCompileClass::ScanOutside() {
    for (;;) {
        const int c = ReadChar();
        if (c == kEndOfInput) {
            return false;
        }
        if (c == kBackslash) {
            if (ReadChar() != '<') {
                // Only a backslash and "<" open a word; the other character is scanned anew.
                PushBack();
                continue;
            }
            if (IsCommentStartWord(ReadUpToClosingBracket()) && !SkipOuterCommentBlock()) {
                return false;
            }
        } else if (c == 's') {
            PushBack();
            if (ReadSeqStart()) {
                return true;
            }
        }
    }
}

bool SeqCompileClass::ReadSeqStart() {
    int c = ReadChar();
    while (c == kBlank) {
        c = ReadChar();
    }
    std::string word;
    while (IsAsciiLetterOrDigit(c)) {
        word += static_cast<char>(c);
        c = ReadChar();
    }
    // The word must be "seq" with a lower-case "s"; the rest may be in either case.
    if (word.size() != 3 || word[0] != 's' || AsciiLower(word[1]) != 'e' ||
        AsciiLower(word[2]) != 'q') {
        PushBack();
        return false;
    }
    while (c == kBlank) {
        c = ReadChar();
    }
    if (c == '=') {
        return true;
    }
    PushBack();
    return false;
}

bool SeqCompileClass::SkipOuterCommentBlock() {
    for (;;) {
        const int c = ReadChar();
        if (c == kEndOfInput) {
            return false;
        }
        if (c != kBackslash) {
            continue;
        }
        if (ReadChar() != '<') {
            PushBack();
            continue;
        }
        if (IsCommentEndWord(ReadUpToClosingBracket())) {
            return true;
        }
    }
}

SeqCompileClass::Token SeqCompileClass::ReadToken() {
    token_.clear();
    for (;;) {
        const int c = ReadChar();
        if (c == kEndOfInput) {
            return token_.empty() ? Token::kEndOfInput : Token::kBytes;
        }
        if (c == kBlank) {
            continue;
        }
        if (c < 0x20 || c >= 0x80) {
            // Line ends, other control bytes and bytes from 0x80 up never enter a token.
            if (!token_.empty()) {
                return Token::kBytes;
            }
            continue;
        }
        if (c == kApostrophe) {
            if (!token_.empty()) {
                PushBack();
                return Token::kBytes;
            }
            ReadLiteral();
            return Token::kBytes;
        }
        if (c == kBackslash) {
            if (!token_.empty()) {
                PushBack();
                return Token::kBytes;
            }
            Token ended = Token::kBytes;
            if (!ReadEscape(ended)) {
                return ended;
            }
            continue;
        }
        token_ += static_cast<char>(c);
    }
}

void SeqCompileClass::ReadLiteral() {
    for (int c = ReadChar(); c != kEndOfInput && c != kApostrophe; c = ReadChar()) {
        token_ += static_cast<char>(kToMazovia[static_cast<uint8_t>(c)]);
    }
}

bool SeqCompileClass::ReadEscape(Token& token) {
    const int c = ReadChar();
    switch (AsciiLower(c)) {
        case kBackslash:
            token_ += '\\';
            return true;
        case 'e':
            token_ += '\x1B';
            return true;
        case 'r':
            token_ += '\r';
            return true;
        case 'n':
            token_ += '\n';
            return true;
        case 'f':
            token_ += '\xFF';
            return true;
        case 'x': {
            const int high = HexDigitValue(ReadChar());
            const int low = HexDigitValue(ReadChar());
            if (high < 0) {
                token = Token::kUnrecognised;
                return false;
            }
            // A single digit followed by another character stands for that digit alone.
            token_ += static_cast<char>(low < 0 ? high : high * 16 + low);
            return true;
        }
        case ';':
            for (int skipped = ReadChar(); skipped != kEndOfInput && skipped != kCr;
                 skipped = ReadChar()) {
            }
            token = Token::kLineComment;
            return false;
        case '<':
            return ReadWordEscape(token);
        default:
            token = Token::kUnrecognised;
            return false;
    }
}

bool SeqCompileClass::ReadWordEscape(Token& token) {
    const std::string word = LowerCase(ReadUpToClosingBracket());
    if (!word.empty() && word[0] >= '0' && word[0] <= '9') {
        // Only the low 8 bits of the number count, however long it is.
        unsigned value = 0;
        for (size_t i = 0; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
            value = (value * 10 + static_cast<unsigned>(word[i] - '0')) & 0xFFu;
        }
        token_ += static_cast<char>(value);
        return true;
    }
    struct Word {
        std::string_view name;
        Token token;
    };
    static constexpr std::array<Word, 7> kTokenWords = {{
        {"check_start", Token::kChecksumStart},
        {"check_insert", Token::kChecksumInsert},
        {"end", Token::kEnd},
        {"comment", Token::kCommentStart},
        {"c", Token::kCommentStart},
        {"end_comment", Token::kCommentEnd},
        {"e", Token::kCommentEnd},
    }};
    for (const Word& w : kTokenWords) {
        if (word == w.name) {
            token = w.token;
            return false;
        }
    }
    struct ByteWord {
        std::string_view name;
        std::string_view bytes;
    };
    const std::array<ByteWord, 11> byteWords = {{
        {"esc", "\x1B"},
        {"cr", "\r"},
        {"lf", "\n"},
        {"ff", "\xFF"},
        {"spc", " "},
        {"y", shortYear_},
        {"ly", fullYear_},
        {"m", month_},
        {"d", day_},
        {"h", hour_},
        {"min", minute_},
    }};
    for (const ByteWord& w : byteWords) {
        if (word == w.name) {
            token_ += w.bytes;
            return true;
        }
    }
    token = Token::kUnrecognised;
    return false;
}

void SeqCompileClass::SkipInnerCommentBlock() {
    // Everything is read and discarded, errors included, until the block's end.
    for (;;) {
        const Token token = ReadToken();
        if (token == Token::kCommentEnd) {
            inCommentBlock_ = false;
            return;
        }
        if (token == Token::kEndOfInput) {
            Report(SeqMessage::kCommentBlockNotClosed);
            return;
        }
    }
}

void SeqCompileClass::CompileLoop() {
    while (!InputExhausted() && messageCount_ < kMessageLimit) {
        if (inCommentBlock_) {
            SkipInnerCommentBlock();
            continue;
        }
        if (!inSequence_) {
            inSequence_ = ScanOutside();
            continue;
        }
        switch (ReadToken()) {
            case Token::kEndOfInput:
            case Token::kLineComment:
            case Token::kCommentEnd:
                break;
            case Token::kEnd:
                inSequence_ = false;
                break;
            case Token::kChecksumStart:
                if (checksumOpen_) {
                    Report(SeqMessage::kSecondChecksumStart);
                } else {
                    checksumOpen_ = true;
                    checksum_.Clear();
                }
                break;
            case Token::kChecksumInsert:
                if (!checksumOpen_) {
                    Report(SeqMessage::kChecksumInsertWithoutStart);
                } else {
                    checksumOpen_ = false;
                    output_.Append(ChecksumDigits(checksum_.View()));
                }
                break;
            case Token::kCommentStart:
                inCommentBlock_ = true;
                break;
            case Token::kBytes:
                if (checksumOpen_) {
                    checksum_.AppendBytes(token_.data(), token_.size());
                }
                output_.AppendBytes(token_.data(), token_.size());
                break;
            case Token::kUnrecognised:
                Report(SeqMessage::kUnrecognisedSequence);
                break;
        }
    }
}

bool SeqCompileClass::Compile(const std::vector<std::string>& lines,
                              std::vector<std::string>* messages) {
    Reset();
    messages_ = messages;
    PrepareInput(lines);
    CompileLoop();

    bool success = false;
    if (inSequence_) {
        Report(SeqMessage::kMissingEndMark);
        ReportText(SeqSummaryText(messageCount_));
    } else if (messageCount_ == 0 && !output_.Empty()) {
        Report(SeqMessage::kNoErrors);
        success = true;
    } else if (messageCount_ == 0) {
        Report(SeqMessage::kInputEmpty);
        ReportText(SeqSummaryText(messageCount_));
    } else {
        ReportText(SeqSummaryText(messageCount_));
    }
    messages_ = nullptr;
    // The source copy is not needed between compiles.
    source_.Clear();
    data_ = nullptr;
    length_ = 0;
    return success;
}

void SeqCompileClass::Report(SeqMessage message) {
    ReportText(SeqMessageText(message));
}

void SeqCompileClass::ReportText(const std::string& text) {
    if (messages_ != nullptr) {
        // The editor counts lines from 1. Messages made once the input is over (the missing
        // end mark, the summary) follow the last line's end and belong to that line.
        const int line = std::max(1, std::min(lineCounter_ + 1, lineCount_));
        messages_->push_back(DecimalText(line) + ": " + text);
    }
    ++messageCount_;
}

void SeqCompileClass::Describe(std::vector<std::string>& lines) const {
    std::string_view text = SequenceLanguageDescription();
    for (;;) {
        const size_t cr = text.find('\r');
        lines.emplace_back(text.substr(0, cr));
        if (cr == std::string_view::npos) {
            break;
        }
        text.remove_prefix(cr + 1);
    }
}

namespace {

bool ReadSourceFile(const std::string& path, std::vector<std::string>& lines, std::string* error) {
    lines.clear();
    std::string reason;
    std::optional<std::string> bytes = ReadEditableSequenceFile(path, reason);
    std::optional<std::vector<std::string>> read;
    if (bytes) {
        read = SourceLinesFromFile(std::move(*bytes));
        if (!read) {
            reason = NotTextFileMessage(path);
        }
    }
    if (!read) {
        if (error != nullptr) {
            *error = std::move(reason);
        }
        return false;
    }
    lines = std::move(*read);
    return true;
}

}  // namespace

bool SeqCompileClass::LoadSource(std::vector<std::string>& lines, std::string* error) const {
    return ReadSourceFile(sourceFileName_, lines, error);
}

bool SeqCompileClass::LoadSourceFrom(const std::string& path, std::vector<std::string>& lines,
                                     std::string* error) {
    if (!ReadSourceFile(path, lines, error)) {
        return false;
    }
    sourceFileName_ = path;
    return true;
}

WriteResult SeqCompileClass::SaveSource(const std::vector<std::string>& lines) const {
    return WriteFileAtomically(sourceFileName_, SourceFileBytes(lines));
}

}  // namespace kasa
