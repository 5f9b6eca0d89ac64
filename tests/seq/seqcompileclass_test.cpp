#include "seq/seqcompileclass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/text_encoding.h"
#include "support/bytes.h"
#include "support/scratch_folder.h"

namespace kasa {
namespace {

using Lines = std::vector<std::string>;

using testing::Bytes;

// 5 March 2026, 09:07.
ClockReading FixedClock() {
    return ClockReading{2026, 3, 5, 9, 7};
}

std::string OutputOf(const SeqCompileClass& compiler) {
    return std::string(compiler.Output().View());
}

struct BytesCase {
    const char* name;
    Lines source;
    std::string expected;
};

class CompiledBytes : public ::testing::TestWithParam<BytesCase> {};

TEST_P(CompiledBytes, GivesExactBytes) {
    const BytesCase& c = GetParam();
    SeqCompileClass compiler(FixedClock);
    Lines messages;
    EXPECT_TRUE(compiler.Compile(c.source, &messages));
    EXPECT_EQ(OutputOf(compiler), c.expected);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              std::to_string(c.source.size()) + ": Koniec przetwarzania. Brak błędów.");
}

INSTANTIATE_TEST_SUITE_P(
    SeqCompile, CompiledBytes,
    ::testing::Values(
        BytesCase{"ChecksumExample",
                  {"seq = \\<check_start>'AB'\\<check_insert>\\r \\<end>"},
                  Bytes({0x41, 0x42, 0x46, 0x43, 0x0D})},
        BytesCase{"BlanksVanishUnlessQuoted", {"seq=A B C 'A B' \\<end>"}, "ABCA B"},
        BytesCase{"UpperCaseAfterFirstLetter", {"sEQ = 'A' \\<end>"}, "A"},
        // € is 0x80 and ˙ is 0xFF in Windows-1250; unquoted, they and Polish letters drop.
        BytesCase{"HighBytesDropped", {"seq = AąB€C˙D \\<end>"}, "ABCD"},
        BytesCase{"CharacterOutsideCodePageReplaced", {"seq = A★ \\<end>"}, "A?"},
        BytesCase{"AllPolishLettersInMazovia",
                  {"seq = 'ĄĆĘŁŃÓŚŹŻąćęłńóśźż' \\<end>"},
                  Bytes({0x8F, 0x95, 0x90, 0x9C, 0xA5, 0xA3, 0x98, 0xA0, 0xA1, 0x86, 0x8D, 0x91,
                         0x92, 0xA4, 0xA2, 0x9E, 0xA6, 0xA7})},
        BytesCase{"LiteralsBetweenBytes", {"seq = A'B'C''D'EF' \\<end>"}, "ABCDEF"},
        BytesCase{"LiteralOverLines", {"seq = 'A", "B' \\<end>"}, Bytes({0x41, 0x0D, 0x42})},
        BytesCase{"TabKeptInQuotesOnly", {"seq = A\tB'\t' \\<end>"}, "AB\t"},
        BytesCase{"DeleteByteKept", {"seq = A\x7F \\<end>"}, Bytes({0x41, 0x7F})},
        BytesCase{"NumberWords",
                  {"seq = \\<0>\\<255>\\<256>\\<65x>\\<99999999999999999999999> \\<end>"},
                  // 10^23 - 1 leaves 255 modulo 256.
                  Bytes({0x00, 0xFF, 0x00, 0x41, 0xFF})},
        BytesCase{
            "ControlWordSpellings",
            {"seq = \\<ESC>\\e\\E\\f\\F\\<Ff>\\r\\R\\<CR>\\n\\N\\<lf>\\\\\\<spc>\\<SPC> \\<end>"},
            Bytes({0x1B, 0x1B, 0x1B, 0xFF, 0xFF, 0xFF, 0x0D, 0x0D, 0x0D, 0x0A, 0x0A, 0x0A, 0x5C,
                   0x20, 0x20})},
        BytesCase{"HexBytes",
                  {"seq = \\x1b\\X4A\\xfF\\x00\\x7G \\<end>"},
                  Bytes({0x1B, 0x4A, 0xFF, 0x00, 0x07})},
        BytesCase{
            "EscapeContinuesToken", {"seq = \\eAB\\r \\<end>"}, Bytes({0x1B, 0x41, 0x42, 0x0D})},
        BytesCase{"DateWordsAnyCase",
                  {"seq = \\<Y>\\<lY>\\<LY>\\<M>\\<D>\\<H>\\<Min>\\<MIN> \\<end>"},
                  "262026202635977"},
        BytesCase{"Comments",
                  {"seq = A \\; B 'C' \\<end>", "D \\<comment> \\q \\<end> \\<end_comment> E \\<c>",
                   "F", "\\<E> G \\<end_comment> H \\<end>"},
                  "ADEGH"},
        BytesCase{"CommentBlockOutside",
                  {"\\<Comment> seq = 'X' \\<end> \\<e>", "seq = 'Y' \\<end>"},
                  "Y"},
        BytesCase{"BackslashOutsideKeepsNextCharacter", {"\\seq = 'X' \\<end>"}, "X"},
        BytesCase{"SeveralSequences", {"seq = 'A' \\<end> junk", "seq = 'B' \\<end>"}, "AB"},
        BytesCase{"SeqWithoutEqualsIgnored",
                  {"seq 'A' \\<end> seq1 = 'C' \\<end> seq = 'B' \\<end>"},
                  "B"},
        BytesCase{"SeqInsideWordOutside", {"this seq = 'B' \\<end>"}, "B"},
        BytesCase{"UpperCaseSeqIgnored",
                  {"SEQ = 'A' \\<end> Seq = 'B' \\<end>", "seq = 'C' \\<end>"},
                  "C"},
        BytesCase{"EmptyRegionGivesFF",
                  {"seq = 'A'\\<check_start>\\<check_insert> \\<end>"},
                  Bytes({0x41, 0x46, 0x46})},
        BytesCase{"ChecksumDigitsNotInNextRegion",
                  {"seq = \\<check_start>'A'\\<check_insert>\\<check_start>'B'\\<check_insert> "
                   "\\<end>"},
                  // FF^41 = BE; FF^42 = BD.
                  "ABEBBD"},
        BytesCase{
            "RegionSpansSequences",
            {"seq = \\<check_start> 'A' \\<end> between", "seq = 'C' \\<check_insert> \\<end>"},
            // FF^41^43 = FD.
            "ACFD"},
        BytesCase{"RegionLeftOpen", {"seq = \\<check_start> 'A' \\<end>"}, "A"}),
    [](const ::testing::TestParamInfo<BytesCase>& param) { return std::string(param.param.name); });

struct MessagesCase {
    const char* name;
    Lines source;
    Lines expected;
};

class CompileMessages : public ::testing::TestWithParam<MessagesCase> {};

TEST_P(CompileMessages, FailsWithExactMessages) {
    const MessagesCase& c = GetParam();
    SeqCompileClass compiler(FixedClock);
    Lines messages;
    EXPECT_FALSE(compiler.Compile(c.source, &messages));
    EXPECT_EQ(messages, c.expected);
    EXPECT_EQ(compiler.MessageCount(), static_cast<int>(c.expected.size()));
}

INSTANTIATE_TEST_SUITE_P(
    SeqCompile, CompileMessages,
    ::testing::Values(
        MessagesCase{
            "NoSequence",
            {"abc"},
            {"1: Źródło nie zawiera żadnej sekwencji do kompilacji.", "1: Wykryto 1 błąd."}},
        // An empty text area still shows one line.
        MessagesCase{
            "NoLines",
            {},
            {"1: Źródło nie zawiera żadnej sekwencji do kompilacji.", "1: Wykryto 1 błąd."}},
        MessagesCase{
            "EmptySequence",
            {"seq = \\<end>"},
            {"1: Źródło nie zawiera żadnej sekwencji do kompilacji.", "1: Wykryto 1 błąd."}},
        // What is missing at the end is told at the last line, not at a line after it.
        MessagesCase{
            "MissingEnd", {"seq = 'A'", ""}, {"2: Brak znacznika końca.", "2: Wykryto 1 błąd."}},
        MessagesCase{"InsertWithoutStart",
                     {"seq = 'A' \\<check_insert> \\<end>"},
                     {"1: Zamknięcie sekwencji sumy bez jej rozpoczęcia.", "1: Wykryto 1 błąd."}},
        MessagesCase{"SecondStart",
                     {"seq = \\<check_start>", "\\<check_start> 'A' \\<check_insert> \\<end>"},
                     {"2: Podwójne rozpoczęcie badania sumy kontrolnej", "2: Wykryto 1 błąd."}},
        MessagesCase{"CommentBlockNotClosed",
                     {"seq = 'A' \\<comment> 'B'"},
                     {"1: Niespodziewany koniec przed końcem bloku komentarza.",
                      "1: Brak znacznika końca.", "1: Wykryto 2 błędy."}},
        MessagesCase{
            "UnrecognisedEscapes",
            {"seq = \\q 'A'", "\\<foo> \\< end> \\<check> \\<endx> \\<end>"},
            {"1: Nierozpoznany znak lub sekwencja.", "2: Nierozpoznany znak lub sekwencja.",
             "2: Nierozpoznany znak lub sekwencja.", "2: Nierozpoznany znak lub sekwencja.",
             "2: Nierozpoznany znak lub sekwencja.", "2: Wykryto 5 błędów."}},
        MessagesCase{"HexWithoutDigits",
                     {"seq = 'A' \\xZZ \\x 1 \\<end>"},
                     {"1: Nierozpoznany znak lub sekwencja.",
                      "1: Nierozpoznany znak lub sekwencja.", "1: Wykryto 2 błędy."}},
        MessagesCase{"HexAtEndOfInput",
                     {"seq = 'A' \\<end> seq = \\x"},
                     {"1: Nierozpoznany znak lub sekwencja.", "1: Brak znacznika końca.",
                      "1: Wykryto 2 błędy."}},
        MessagesCase{"ErrorsInCommentBlockNotReported",
                     {"seq = 'A' \\<c> \\q \\<check_insert> \\<e> \\q \\<end>"},
                     {"1: Nierozpoznany znak lub sekwencja.", "1: Wykryto 1 błąd."}}),
    [](const ::testing::TestParamInfo<MessagesCase>& param) {
        return std::string(param.param.name);
    });

TEST(SeqCompile, UnclosedLiteralTakesRestOfInput) {
    SeqCompileClass compiler(FixedClock);
    Lines messages;
    EXPECT_FALSE(compiler.Compile({"seq = 'AB", "C \\<end>"}, &messages));
    EXPECT_EQ(OutputOf(compiler),
              Bytes({0x41, 0x42, 0x0D, 0x43, 0x20, 0x5C, 0x3C, 0x65, 0x6E, 0x64, 0x3E, 0x0D}));
    EXPECT_EQ(messages, (Lines{"2: Brak znacznika końca.", "2: Wykryto 1 błąd."}));
}

struct LimitCase {
    int errors;
    Lines tail;  // the messages after the reported errors
};

class CompileMessageLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(CompileMessageLimit, StopsAfterFiftyMessages) {
    const LimitCase& c = GetParam();
    // One unrecognised escape per line after the first, then the end mark.
    Lines source{"seq ="};
    for (int i = 0; i < c.errors; ++i) {
        source.push_back("\\q");
    }
    source.push_back("\\<end>");
    SeqCompileClass compiler(FixedClock);
    Lines messages;
    EXPECT_FALSE(compiler.Compile(source, &messages));
    const int reported = std::min(c.errors, 50);
    ASSERT_EQ(messages.size(), static_cast<size_t>(reported) + c.tail.size());
    for (int i = 0; i < reported; ++i) {
        // Error i stands on line i + 2, after the line "seq =".
        EXPECT_EQ(messages[i], std::to_string(i + 2) + ": Nierozpoznany znak lub sekwencja.");
    }
    EXPECT_EQ(Lines(messages.begin() + reported, messages.end()), c.tail);
}

INSTANTIATE_TEST_SUITE_P(
    SeqCompile, CompileMessageLimit,
    ::testing::Values(LimitCase{49, {"51: Wykryto 49 błędów."}},
                      LimitCase{50, {"51: Brak znacznika końca.", "51: Wykryto 51 błędów."}}));

TEST(SeqCompile, WithoutMessageListOnlyCounts) {
    SeqCompileClass compiler(FixedClock);
    EXPECT_FALSE(compiler.Compile({"seq = \\q \\<end>"}, nullptr));
    EXPECT_EQ(compiler.MessageCount(), 2);
    EXPECT_TRUE(compiler.Compile({"seq = 'A' \\<end>"}, nullptr));
    EXPECT_EQ(compiler.MessageCount(), 1);
    EXPECT_EQ(OutputOf(compiler), "A");
}

TEST(SeqCompile, EachCompileStartsFromScratch) {
    SeqCompileClass compiler(FixedClock);
    // A region and a sequence left open must not leak into the next compile.
    EXPECT_FALSE(compiler.Compile({"seq = \\<check_start> \\<comment> 'A'"}, nullptr));
    EXPECT_TRUE(compiler.Compile({"x seq = \\<check_start>'B'\\<check_insert> \\<end>"}, nullptr));
    EXPECT_EQ(OutputOf(compiler), "BBD");
}

TEST(SeqCompile, ClockReadOnceAtStartOfEachCompile) {
    int calls = 0;
    int minute = 7;
    SeqCompileClass compiler([&] {
        ++calls;
        return ClockReading{2031, 12, 31, 23, minute++};
    });
    const Lines source{"seq = \\<min>\\<min>", "\\<ly>\\<y>\\<m>\\<d>\\<h>\\<min> \\<end>"};
    EXPECT_TRUE(compiler.Compile(source, nullptr));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(OutputOf(compiler), "772031311231237");
    EXPECT_TRUE(compiler.Compile(source, nullptr));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(OutputOf(compiler), "882031311231238");
}

TEST(SeqCompile, EnglishMessagesKeptBehindLanguage) {
    EXPECT_EQ(SeqMessageText(SeqMessage::kMissingEndMark), "Brak znacznika końca.");
    EXPECT_EQ(SeqMessageText(SeqMessage::kMissingEndMark, MessageLanguage::kEnglish),
              "Absence of end mark.");
    EXPECT_EQ(SeqSummaryText(1, MessageLanguage::kEnglish), "There is 1 error.");
    EXPECT_EQ(SeqSummaryText(2, MessageLanguage::kEnglish), "There is 2 errors.");
    // The Polish count takes the noun's form its number asks for.
    EXPECT_EQ(SeqSummaryText(1), "Wykryto 1 błąd.");
    EXPECT_EQ(SeqSummaryText(2), "Wykryto 2 błędy.");
    EXPECT_EQ(SeqSummaryText(4), "Wykryto 4 błędy.");
    EXPECT_EQ(SeqSummaryText(5), "Wykryto 5 błędów.");
    EXPECT_EQ(SeqSummaryText(12), "Wykryto 12 błędów.");
    EXPECT_EQ(SeqSummaryText(22), "Wykryto 22 błędy.");
}

TEST(SeqCompile, DescribeListsEscapesInOrder) {
    Lines lines{"earlier line"};
    SeqCompileClass().Describe(lines);
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(lines[0], "earlier line");
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find('\r'), std::string::npos);
        EXPECT_FALSE(line.empty());
    }
    const std::vector<std::string> order = {"\\;",   "\\<ESC>",         "\\<Y>",
                                            "\\xHH", "\\<check_start>", "\\<end>"};
    size_t next = 1;
    for (const std::string& escape : order) {
        while (next < lines.size() && lines[next].rfind(escape, 0) != 0) {
            ++next;
        }
        ASSERT_LT(next, lines.size()) << "no line for " << escape << " in order";
        ++next;
    }
}

// The compiler's source file goes through the sequence file rules (tested with them); here
// its own wiring: saved and loaded back, Windows-1250 that looks like UTF-8, and refusals.
TEST(SeqSourceFile, SavedLoadedAndRefused) {
    testing::ScratchFolder folder;
    SeqCompileClass compiler;
    compiler.SetSourceFileName(folder.Path("a.txt"));
    ASSERT_TRUE(compiler.SaveSource({"seq = 'zażółć'", "\\<end>"}).ok);
    Lines lines{"old"};
    EXPECT_TRUE(compiler.LoadSource(lines));
    EXPECT_EQ(lines, (Lines{"seq = 'zażółć'", "\\<end>"}));

    // "STÓŁ" in Windows-1250 is valid UTF-8 by accident; the letters must reach Mazovia.
    ASSERT_TRUE(WriteFileAtomically(folder.Path("b.txt"), "seq = 'ST\xD3\xA3'\r\n\\<end>").ok);
    compiler.SetSourceFileName(folder.Path("b.txt"));
    EXPECT_TRUE(compiler.LoadSource(lines));
    EXPECT_TRUE(compiler.Compile(lines, nullptr));
    EXPECT_EQ(OutputOf(compiler), Bytes({0x53, 0x54, 0xA3, 0x9C}));

    compiler.SetSourceFileName(folder.Path("missing.txt"));
    EXPECT_FALSE(compiler.LoadSource(lines));
    EXPECT_TRUE(lines.empty());
    // Binary content is refused with its cause, not compiled into nothing.
    ASSERT_TRUE(WriteFileAtomically(folder.Path("bin.txt"), std::string("seq\0\x01\x02", 6)).ok);
    compiler.SetSourceFileName(folder.Path("bin.txt"));
    std::string error;
    EXPECT_FALSE(compiler.LoadSource(lines, &error));
    EXPECT_EQ(error, NotTextFileMessage(folder.Path("bin.txt")));
}

}  // namespace
}  // namespace kasa
