// The sequence file formats shared by the editors, the file sender and the command line:
// `.txt` sources, `.sek` frame lines and `.bin` frames, and the conversions between them.
// Lines are UTF-8 text; the files hold Windows-1250 text and Mazovia frame bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_name.h"

namespace kasa {

inline constexpr char kFrameEscape = 0x1B;

// The largest sequence file the editors open and the file sender sends: a text area holding
// more is no editing any more, and a file that size takes hours on a 9600 baud line.
inline constexpr size_t kSequenceFileLimitBytes = 8u * 1024 * 1024;
inline constexpr size_t kSequenceFileLimitMegabytes = kSequenceFileLimitBytes / (1024 * 1024);
// Why the file `name` is refused: it is larger than the limit, which the text names.
// `purpose` completes "za duży", as "do edycji" or "do wysłania".
std::string SequenceFileTooLargeMessage(const std::string& name, const std::string& purpose);
// The bytes of a sequence file an editor opens; nullopt, with `error` saying why in Polish,
// when the file cannot be read or is larger than the limit.
std::optional<std::string> ReadEditableSequenceFile(const std::string& path, std::string& error);

// The text files are decoded by DecodeTextInPlace (base/text_encoding.h); bytes that are
// not text give no lines at all (nullopt).

// `.txt` source: a line ends at CR LF, at a lone CR or at a lone LF; a last line without
// an end counts when it is not empty.
std::optional<std::vector<std::string>> SourceLinesFromFile(std::string bytes);
// Each line in Windows-1250 followed by CR LF.
std::string SourceFileBytes(const std::vector<std::string>& lines);

// The checksum of a frame or of a compiler region: 0xFF XOR every byte, as two upper-case
// hexadecimal digits.
std::string ChecksumDigits(std::string_view bytes);

// The bytes a line stands for: Windows-1250 with Polish letters turned into Mazovia, then
// each [xHH] (digits in either case) decoded, so [xB9] is the byte 0xB9.
std::string LineToFrameContent(std::string_view line);
// ESC P, the content, its checksum digits, ESC backslash.
std::string LineToFrame(std::string_view line);
std::string LinesToFrames(const std::vector<std::string>& lines);

struct FramesAsLines {
    std::vector<std::string> lines;
    // Frames whose checksum digits do not match their content; they are read all the same.
    int checksumMismatches = 0;
    std::vector<size_t> mismatchedFrames;  // their numbers, counted from 1
};
// The line the editor's listing shows for a frame whose checksum does not match.
std::string ChecksumMismatchText(size_t frameNumber);
// Every complete frame of a `.bin` as one line: checksum dropped, Mazovia Polish letters
// as letters, other bytes below 0x20 or from 0x7F up written as [xHH]. Bytes outside
// frames and an unfinished last frame are ignored.
FramesAsLines FramesToLines(std::string_view bytes);

// `.sek`: lines end at LF (a CR before it dropped); reading stops at the first empty line.
std::optional<std::vector<std::string>> SekLinesFromFile(std::string bytes);
// Why the lines cannot be kept in a `.sek`: an empty line before the last one would end
// the reading there. Empty when they can.
std::string SekSaveRefusal(const std::vector<std::string>& lines);
// Each line in Windows-1250 followed by CR LF.
std::string SekFileBytes(const std::vector<std::string>& lines);

}  // namespace kasa
