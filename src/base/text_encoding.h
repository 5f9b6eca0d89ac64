// Every text file the program reads goes through here: it decides how the bytes are
// encoded and turns them into the program's UTF-8, or tells that they are not text at all.
#pragma once

#include <string>
#include <string_view>

namespace kasa {

enum class TextEncoding {
    kWindows1250,
    kUtf8,     // with or without a byte-order mark
    kUtf16Le,  // only with its byte-order mark
    kUtf16Be,
};

// UTF-16 needs its byte-order mark and UTF-8 takes a mark too. Unmarked bytes are UTF-8
// only when they are valid UTF-8 and hold at least one Polish letter written in it:
// Windows-1250 text often forms valid UTF-8 pairs by accident ("ÓŁ" is D3 A3, a Cyrillic
// letter in UTF-8), so validity alone proves nothing. Everything else is Windows-1250.
TextEncoding DetectTextEncoding(std::string_view bytes);

// True when the UTF-8 text holds a Polish letter with a diacritic.
bool HoldsPolishLetter(std::string_view utf8);

// True when a UTF-8 text reads as text: no NUL and at most a small share of control
// characters other than tab, line ends and form feed.
bool LooksLikeText(std::string_view utf8);

// Replaces `bytes` by their text in UTF-8 (the byte-order mark dropped). Returns false and
// leaves `bytes` empty when they are not text. Works in place, so a large file is not
// held twice when it needs no conversion.
bool DecodeTextInPlace(std::string& bytes);

// The Polish message for a file that is not text.
std::string NotTextFileMessage(std::string_view path);

}  // namespace kasa
