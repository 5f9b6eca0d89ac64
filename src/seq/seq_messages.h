// The compiler's messages. The program shows them in Polish; the English texts stay beside
// them so that a language setting can select them one day.
#pragma once

#include <string>

namespace kasa {

enum class MessageLanguage { kPolish, kEnglish };

// The language of the compiler's messages; the program speaks Polish only.
inline constexpr MessageLanguage kSequenceMessageLanguage = MessageLanguage::kPolish;

enum class SeqMessage {
    kCommentBlockNotClosed,
    kSecondChecksumStart,
    kChecksumInsertWithoutStart,
    kUnrecognisedSequence,
    kNoErrors,
    kInputEmpty,
    kMissingEndMark,
};

std::string SeqMessageText(SeqMessage message, MessageLanguage language = kSequenceMessageLanguage);
// The closing line that counts the reported messages.
std::string SeqSummaryText(int count, MessageLanguage language = kSequenceMessageLanguage);

}  // namespace kasa
