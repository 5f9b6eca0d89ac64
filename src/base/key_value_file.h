// The program's section/key/value text file, used for config.cfg and the .pod table files:
// "[SECTION]" lines, "key=value" lines, ";" comments, Windows-1250 text with CR LF. The
// file is read whole once, edited in memory with a hash index per section, and written
// back whole and atomically, keeping the order of its lines and its comments.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/atomic_file.h"

namespace kasa {

// Folders that the place-holders of a file name stand for; each folder ends with its
// separator ("/", or a backslash on Windows).
struct PathPlaceholders {
    std::string appFolder;     // %app%: the program's folder
    std::string workFolder;    // %work%: the current folder
    std::string systemFolder;  // %system%: the system's configuration folder
    std::string programName;   // %name%: the program file's name without extension

    // The folders of the running process.
    static PathPlaceholders OfThisProcess();
};

// Replaces %app%, %work%, %system% and %name% (any case); other %words% stay as written.
std::string ExpandPlaceholders(std::string_view fileName, const PathPlaceholders& folders);

// Lenient integer of a settings value: leading blanks, an optional sign, then the digits
// up to the first other character; a "//" comment is cut off first. Nothing readable is
// 0; values beyond the 32-bit range stop at its ends.
int32_t ParseLenientInteger(std::string_view value);
// A decimal number with "." or "," as the separator, a "//" comment cut off; 0 when
// nothing is readable.
double ParseLenientDecimal(std::string_view value);

// Marks a file name taken as it is, without place-holders (names the user chose).
struct LiteralFileName {};

class KeyValueFile {
  public:
    // A file without a name: it only lives in memory and is never written.
    KeyValueFile();
    // Opens `fileName` (place-holders of this process expanded) and reads it whole. A
    // missing file opens empty.
    explicit KeyValueFile(std::string_view fileName);
    KeyValueFile(std::string_view fileName, const PathPlaceholders& folders);
    KeyValueFile(LiteralFileName, std::string_view fileName);
    // Writes the file back when it was changed and not flushed; a failure here cannot be
    // reported, so callers that must know call Flush() first.
    ~KeyValueFile();

    KeyValueFile(const KeyValueFile&) = delete;
    KeyValueFile& operator=(const KeyValueFile&) = delete;

    // The path after place-holders were replaced.
    const std::string& FileName() const { return fileName_; }
    // The file existed and was read.
    bool Existed() const { return existed_; }
    // The file exists but could not be read: it opened empty and writing it back is refused
    // so that its contents are never replaced by the few keys written since.
    bool ReadFailed() const { return readFailed_; }
    bool Modified() const { return modified_; }

    // The file exists but is not text; it opened empty and is never written over.
    bool NotText() const { return notText_; }

    // Replaces the contents by a file's bytes, in the encoding DecodeTextInPlace finds;
    // lines end with CR LF, LF or CR. Bytes that are not text give an empty file and false.
    bool Parse(std::string_view bytes);
    // The same for text already in UTF-8.
    void ParseText(std::string_view text);
    // The whole file as it is written: Windows-1250 with CR LF.
    std::string Serialize() const;
    // Writes the file atomically when it was changed; success when nothing was to write.
    WriteResult Flush();
    // Writes the file atomically whether changed or not, so that a save always leaves a
    // file, or reports why it could not.
    WriteResult Write();

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // The value of a key, or null when the key is missing; valid until the next change.
    const std::string* Find(std::string_view section, std::string_view key) const;
    // The value of the "key=value" line the text read ends in when no line end follows it:
    // that line may have been cut short. Null when the text ended with a line end, its last
    // line holds no value that is read, or the file was changed since.
    const std::string* UnterminatedValue() const { return unterminatedValue_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback = {}) const;
    // A present value is read leniently (see ParseLenientInteger); `fallback` only when
    // the key is missing.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback = 0) const;
    // Non-zero is true.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback = false) const;
    double ReadDecimal(std::string_view section, std::string_view key, double fallback = 0) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int64_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    // Written with `decimals` decimals and a "." separator.
    void WriteDecimal(std::string_view section, std::string_view key, double value, int decimals);

    // Returns true when the key was there.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes a section with all its lines.
    void EraseSection(std::string_view section);

    // Names as written in the file, in file order.
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;

  private:
    struct Item {
        enum class Kind : uint8_t { kRaw, kEntry };
        Kind kind = Kind::kRaw;
        bool erased = false;  // a deleted entry, kept so that its index stays valid
        bool edited = false;  // written since loading: the raw text is stale
        // The line as read (comments, blank and junk lines too); empty for an entry read
        // exactly as "key=value".
        std::string raw;
        std::string key;  // as written
        std::string value;
    };
    struct Section {
        std::string name;  // as written
        std::string headerRaw;
        std::vector<Item> items;
        std::unordered_map<std::string, size_t> index;  // folded key -> item
    };

    void Open(std::string fileName);
    const Section* FindSection(std::string_view section) const;
    void RebuildSectionIndex();
    Section& SectionForWriting(std::string_view section);
    const Item* FindEntry(std::string_view section, std::string_view key) const;

    std::string fileName_;
    bool existed_ = false;
    bool readFailed_ = false;
    bool notText_ = false;
    const std::string* unterminatedValue_ = nullptr;
    bool modified_ = false;
    std::vector<std::string> preamble_;  // lines before the first section
    std::vector<std::unique_ptr<Section>> sections_;
    std::unordered_map<std::string, size_t> sectionIndex_;  // folded name -> section
};

}  // namespace kasa
