#include "ecr/header.h"

#include "ecr/record_codec.h"

namespace kasa {

bool ReadHeader(ECRClass& ecr, HeaderLines& lines) {
    if (!ecr.ReadAnswer('K', 'k')) {
        return false;
    }
    HeaderLines read{};
    const bool zen = ecr.modelCode == 1;
    const int count = zen ? kZenHeaderLines : kVesperHeaderLines;
    for (int i = 0; i < count; ++i) {
        bool complete = true;
        std::string text =
            DecodeField(ecr.answerBuffer, zen ? kFieldText20 : kFieldLineLf, &complete);
        if (!complete && ecr.answerBuffer.Empty() && text.empty()) {
            break;
        }
        HeaderLine& line = read[static_cast<size_t>(i)];
        if (!zen) {
            size_t skip = 0;
            while (skip < text.size() &&
                   (text[skip] == kHeavyCharacters || text[skip] == kDoubleHeight)) {
                (text[skip] == kHeavyCharacters ? line.bold : line.doubleHeight) = true;
                ++skip;
            }
            text.erase(0, skip);
        }
        line.centre = !text.empty() && text[0] == ' ';
        line.text = text;
    }
    lines = read;
    return true;
}

}  // namespace kasa
