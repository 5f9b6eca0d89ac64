#include "base/text_encoding.h"

#include <gtest/gtest.h>

namespace kasa {
namespace {

TEST(TextEncodingTest, DetectsAndDecodes) {
    struct Case {
        const char* what;
        std::string bytes;
        TextEncoding encoding;
        const char* text;
    };
    const Case cases[] = {
        // "STÓŁ" in Windows-1250 is D3 A3, a valid UTF-8 pair of a Cyrillic letter.
        {"cp1250 valid as utf8", "ST\xD3\xA3", TextEncoding::kWindows1250, "STÓŁ"},
        {"cp1250", "\xA3\xF3\x64\x9F", TextEncoding::kWindows1250, "Łódź"},
        {"utf8 Polish", "\xC5\x81\xC3\xB3\x64\xC5\xBA", TextEncoding::kUtf8, "Łódź"},
        {"utf8 bom",
         "\xEF\xBB\xBF"
         "Caf\xC3\xA9",
         TextEncoding::kUtf8, "Café"},
        {"utf16le bom", std::string("\xFF\xFEx\0\x42\x01", 6), TextEncoding::kUtf16Le, "xł"},
        {"utf16be bom", std::string("\xFE\xFF\0x\x01\x42", 6), TextEncoding::kUtf16Be, "xł"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DetectTextEncoding(c.bytes), c.encoding) << c.what;
        std::string bytes = c.bytes;
        EXPECT_TRUE(DecodeTextInPlace(bytes)) << c.what;
        EXPECT_EQ(bytes, c.text) << c.what;
    }
    std::string binary("PK\0\x01\x02\x03", 6);
    EXPECT_FALSE(DecodeTextInPlace(binary));
    EXPECT_EQ(binary, "");
    EXPECT_NE(NotTextFileMessage("/a/b.txt").find("/a/b.txt"), std::string::npos);
    // One control character in twenty characters, however many bytes the letters take.
    std::string letters;
    for (int i = 0; i < 10; ++i) {
        letters += "ą";
    }
    EXPECT_FALSE(LooksLikeText(letters + "\x01"));
    EXPECT_TRUE(LooksLikeText(letters + letters.substr(2) + "\x01"));
}

}  // namespace
}  // namespace kasa
