#include "seq/seq_messages.h"

#include "base/number_text.h"

namespace kasa {

std::string SeqMessageText(SeqMessage message, MessageLanguage language) {
    const bool polish = language == MessageLanguage::kPolish;
    switch (message) {
        case SeqMessage::kCommentBlockNotClosed:
            return polish ? "Niespodziewany koniec przed końcem bloku komentarza."
                          : "End before comment block ending.";
        case SeqMessage::kSecondChecksumStart:
            return polish ? "Podwójne rozpoczęcie badania sumy kontrolnej"
                          : "Second open control sum sequence.";
        case SeqMessage::kChecksumInsertWithoutStart:
            return polish ? "Zamknięcie sekwencji sumy bez jej rozpoczęcia."
                          : "Ending open control sum sequence before open.";
        case SeqMessage::kUnrecognisedSequence:
            return polish ? "Nierozpoznany znak lub sekwencja." : "Failure character or sequence.";
        case SeqMessage::kNoErrors:
            return polish ? "Koniec przetwarzania. Brak błędów." : "End of compile. No errors.";
        case SeqMessage::kInputEmpty:
            return polish ? "Źródło nie zawiera żadnej sekwencji do kompilacji."
                          : "The source holds no sequence to compile.";
        case SeqMessage::kMissingEndMark:
            return polish ? "Brak znacznika końca." : "Absence of end mark.";
    }
    return {};
}

std::string SeqSummaryText(int count, MessageLanguage language) {
    if (language == MessageLanguage::kPolish) {
        return "Wykryto " + CountText(count, "błąd", "błędy", "błędów") + ".";
    }
    return "There is " + DecimalText(count) + (count == 1 ? " error." : " errors.");
}

}  // namespace kasa
