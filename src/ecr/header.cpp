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

bool WriteHeader(ECRClass& ecr, const HeaderLines& lines) {
    iBuffer& request = ecr.BeginRequest();
    request.AppendByte('X');
    if (ecr.modelCode == 1) {
        for (int i = 0; i < kZenHeaderLines; ++i) {
            EncodeField(request, kFieldLineCr20, lines[static_cast<size_t>(i)].text);
        }
        request.AppendByte(kZenHeaderEnd);
    } else {
        // The empty lines after the last filled one are not sent.
        int count = kVesperHeaderLines;
        while (count > 0 && lines[static_cast<size_t>(count - 1)].text.empty()) {
            --count;
        }
        for (int i = 0; i < count; ++i) {
            const HeaderLine& line = lines[static_cast<size_t>(i)];
            if (line.bold) {
                request.AppendByte(kHeavyCharacters);
            }
            if (line.doubleHeight) {
                request.AppendByte(kDoubleHeight);
            }
            EncodeField(request, kFieldLineLf, line.text);
        }
        request.AppendByte(kVesperHeaderEnd);
    }
    return ecr.Request(request);
}

}  // namespace kasa
