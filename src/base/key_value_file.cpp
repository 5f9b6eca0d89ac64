#include "base/key_value_file.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>
#include <utility>

#include "base/codepage.h"
#include "base/file_path.h"
#include "base/number_text.h"
#include "base/text_encoding.h"

namespace kasa {

namespace {

constexpr std::string_view kDefaultSection = "DEFAULT";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

// Names match without regard to case; Polish capitals are folded as well.
std::string FoldName(std::string_view name) {
    name = Trim(name);
    std::string folded(name);
    bool ascii = true;
    for (char& c : folded) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
        } else if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 0x20);
        }
    }
    return ascii ? folded : Utf8ToUpper(folded);
}

std::string FoldSectionName(std::string_view name) {
    name = Trim(name);
    return name.empty() ? std::string(kDefaultSection) : FoldName(name);
}

std::string_view SectionNameAsWritten(std::string_view name) {
    name = Trim(name);
    return name.empty() ? kDefaultSection : name;
}

// A line break inside a key or value would split it into two lines of the file.
std::string OneLine(std::string_view text) {
    std::string line(Trim(text));
    std::replace(line.begin(), line.end(), '\r', ' ');
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

std::string_view CutComment(std::string_view value) {
    const size_t comment = value.find("//");
    if (comment != std::string_view::npos) {
        value = value.substr(0, comment);
    }
    return Trim(value);
}

}  // namespace

std::string ExpandPlaceholders(std::string_view fileName, const PathPlaceholders& folders) {
    std::string out;
    size_t pos = 0;
    while (pos < fileName.size()) {
        const size_t open = fileName.find('%', pos);
        if (open == std::string_view::npos) {
            out += fileName.substr(pos);
            break;
        }
        out += fileName.substr(pos, open - pos);
        const size_t close = fileName.find('%', open + 1);
        if (close == std::string_view::npos) {
            out += fileName.substr(open);
            break;
        }
        const std::string word = FoldName(fileName.substr(open + 1, close - open - 1));
        const std::string* replacement = nullptr;
        if (word == "APP") {
            replacement = &folders.appFolder;
        } else if (word == "WORK") {
            replacement = &folders.workFolder;
        } else if (word == "SYSTEM") {
            replacement = &folders.systemFolder;
        } else if (word == "NAME") {
            replacement = &folders.programName;
        }
        if (replacement != nullptr) {
            out += *replacement;
            pos = close + 1;
        } else {
            // The closing sign may open the next place-holder.
            out += '%';
            pos = open + 1;
        }
    }
    return out;
}

int32_t ParseLenientInteger(std::string_view value) {
    value = CutComment(value);
    size_t pos = 0;
    bool negative = false;
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-')) {
        negative = value[pos] == '-';
        ++pos;
    }
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos) {
        magnitude = std::min(magnitude * 10 + (value[pos] - '0'), kLimit);
    }
    const int64_t signedValue = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(std::clamp<int64_t>(
        signedValue, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

double ParseLenientDecimal(std::string_view value) {
    std::string text(CutComment(value));
    std::replace(text.begin(), text.end(), ',', '.');
    return ParseDouble(text).value_or(0.0);
}

KeyValueFile::KeyValueFile() = default;

KeyValueFile::KeyValueFile(std::string_view fileName) {
    Open(ExpandPlaceholders(fileName, PathPlaceholders::OfThisProcess()));
}

KeyValueFile::KeyValueFile(std::string_view fileName, const PathPlaceholders& folders) {
    Open(ExpandPlaceholders(fileName, folders));
}

KeyValueFile::KeyValueFile(LiteralFileName, std::string_view fileName) {
    Open(std::string(fileName));
}

KeyValueFile::~KeyValueFile() {
    if (modified_) {
        Flush();
    }
}

void KeyValueFile::Open(std::string fileName) {
    fileName_ = std::move(fileName);
    std::error_code error;
    const std::filesystem::file_status status =
        std::filesystem::status(PathFromUtf8(fileName_), error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return;
    }
    // Only a regular file is read: a folder or a device in its place is never taken for
    // an empty file, nor waited on.
    std::string bytes;
    if (!error && status.type() == std::filesystem::file_type::regular &&
        ReadWholeFile(fileName_, bytes)) {
        existed_ = true;
        if (DecodeTextInPlace(bytes)) {
            ParseText(bytes);
            return;
        }
        notText_ = true;
    }
    readFailed_ = true;
}

bool KeyValueFile::Parse(std::string_view bytes) {
    std::string text(bytes);
    notText_ = !DecodeTextInPlace(text);
    ParseText(text);
    return !notText_;
}

void KeyValueFile::ParseText(std::string_view text) {
    preamble_.clear();
    sections_.clear();
    sectionIndex_.clear();
    modified_ = false;
    unterminatedValue_ = nullptr;

    Section* current = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + pos, end - pos);
        pos = end;
        if (pos < text.size()) {
            pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
        }

        const std::string_view body = Trim(line);
        if (!body.empty() && body.front() == '[') {
            size_t close = body.find(']');
            if (close == std::string_view::npos) {
                close = body.size();
            }
            const std::string_view name = body.substr(1, close - 1);
            std::string folded = FoldSectionName(name);
            const auto found = sectionIndex_.find(folded);
            if (found != sectionIndex_.end()) {
                // A repeated section continues the first one, as lookups only see the first.
                current = sections_[found->second].get();
                continue;
            }
            auto section = std::make_unique<Section>();
            section->name = std::string(SectionNameAsWritten(name));
            section->headerRaw = std::string(line);
            current = section.get();
            sectionIndex_.emplace(std::move(folded), sections_.size());
            sections_.push_back(std::move(section));
            continue;
        }
        if (current == nullptr) {
            preamble_.emplace_back(line);
            continue;
        }
        Item item;
        const size_t equals = body.find('=');
        if (!body.empty() && body.front() != ';' && equals != std::string_view::npos &&
            !Trim(body.substr(0, equals)).empty()) {
            item.kind = Item::Kind::kEntry;
            item.key = std::string(Trim(body.substr(0, equals)));
            item.value = std::string(Trim(body.substr(equals + 1)));
            // Most lines read "key=value" exactly: only the others keep their own text, so
            // that a large file is not held twice.
            if (line.size() != item.key.size() + 1 + item.value.size() ||
                !line.starts_with(item.key) || line[item.key.size()] != '=') {
                item.raw = std::string(line);
            }
            // Only the first of repeated keys is ever read; the later ones are dropped.
            const bool first =
                current->index.emplace(FoldName(item.key), current->items.size()).second;
            item.erased = !first;
        } else {
            item.raw = std::string(line);
        }
        current->items.push_back(std::move(item));
        if (end == text.size()) {
            const Item& last = current->items.back();
            unterminatedValue_ =
                last.kind == Item::Kind::kEntry && !last.erased ? &last.value : nullptr;
        }
    }
}

std::string KeyValueFile::Serialize() const {
    std::string text;
    const auto addLine = [&text](std::string_view line) {
        text += line;
        text += "\r\n";
    };
    for (const std::string& line : preamble_) {
        addLine(line);
    }
    for (const auto& section : sections_) {
        if (section->headerRaw.empty()) {
            addLine("[" + section->name + "]");
        } else {
            addLine(section->headerRaw);
        }
        for (const Item& item : section->items) {
            if (item.erased) {
                continue;
            }
            if (item.kind == Item::Kind::kEntry && (item.edited || item.raw.empty())) {
                text += item.key;
                text += '=';
                text += item.value;
                text += "\r\n";
            } else {
                addLine(item.raw);
            }
        }
    }
    return Utf8ToWindows1250(text);
}

WriteResult KeyValueFile::Flush() {
    if (!modified_) {
        return WriteResult{true, 0, {}};
    }
    return Write();
}

WriteResult KeyValueFile::Write() {
    if (fileName_.empty()) {
        return WriteResult{false, 0, "Nie udało się zapisać pliku: brak nazwy pliku."};
    }
    if (notText_) {
        return WriteResult{false, 0,
                           NotTextFileMessage(fileName_) +
                               "\nZapis został przerwany, aby nie zniszczyć tego pliku."};
    }
    if (readFailed_) {
        return WriteResult{false, 0,
                           "Nie udało się zapisać pliku " + fileName_ +
                               ".\nNie można odczytać jego dotychczasowej treści, więc zapis "
                               "został przerwany, aby jej nie utracić."};
    }
    WriteResult result = WriteFileAtomically(fileName_, Serialize());
    if (result.ok) {
        modified_ = false;
        existed_ = true;
    }
    return result;
}

void KeyValueFile::RebuildSectionIndex() {
    sectionIndex_.clear();
    for (size_t i = 0; i < sections_.size(); ++i) {
        sectionIndex_.emplace(FoldSectionName(sections_[i]->name), i);
    }
}

const KeyValueFile::Section* KeyValueFile::FindSection(std::string_view section) const {
    const auto found = sectionIndex_.find(FoldSectionName(section));
    return found == sectionIndex_.end() ? nullptr : sections_[found->second].get();
}

KeyValueFile::Section& KeyValueFile::SectionForWriting(std::string_view section) {
    std::string folded = FoldSectionName(section);
    const auto found = sectionIndex_.find(folded);
    if (found != sectionIndex_.end()) {
        return *sections_[found->second];
    }
    // A blank line keeps the new section apart from the text before it.
    std::vector<Item>* lastItems = sections_.empty() ? nullptr : &sections_.back()->items;
    const bool endsBlank =
        lastItems != nullptr ? (lastItems->empty() || (lastItems->back().kind == Item::Kind::kRaw &&
                                                       Trim(lastItems->back().raw).empty()))
                             : (preamble_.empty() || Trim(preamble_.back()).empty());
    if (!endsBlank) {
        if (lastItems != nullptr) {
            lastItems->push_back(Item{});
        } else {
            preamble_.emplace_back();
        }
    }
    auto created = std::make_unique<Section>();
    created->name = OneLine(SectionNameAsWritten(section));
    Section& result = *created;
    sectionIndex_.emplace(std::move(folded), sections_.size());
    sections_.push_back(std::move(created));
    return result;
}

const KeyValueFile::Item* KeyValueFile::FindEntry(std::string_view section,
                                                  std::string_view key) const {
    const Section* found = FindSection(section);
    if (found == nullptr) {
        return nullptr;
    }
    const auto entry = found->index.find(FoldName(key));
    if (entry == found->index.end()) {
        return nullptr;
    }
    const Item& item = found->items[entry->second];
    return item.erased ? nullptr : &item;
}

bool KeyValueFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

bool KeyValueFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindEntry(section, key) != nullptr;
}

const std::string* KeyValueFile::Find(std::string_view section, std::string_view key) const {
    const Item* item = FindEntry(section, key);
    return item == nullptr ? nullptr : &item->value;
}

std::string KeyValueFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view fallback) const {
    const std::string* value = Find(section, key);
    return value == nullptr ? std::string(fallback) : *value;
}

int32_t KeyValueFile::ReadInteger(std::string_view section, std::string_view key,
                                  int32_t fallback) const {
    const std::string* value = Find(section, key);
    return value == nullptr ? fallback : ParseLenientInteger(*value);
}

bool KeyValueFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    const std::string* value = Find(section, key);
    return value == nullptr ? fallback : ParseLenientInteger(*value) != 0;
}

double KeyValueFile::ReadDecimal(std::string_view section, std::string_view key,
                                 double fallback) const {
    const std::string* value = Find(section, key);
    return value == nullptr ? fallback : ParseLenientDecimal(*value);
}

void KeyValueFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    const std::string keyLine = OneLine(key);
    if (keyLine.empty()) {
        return;
    }
    const std::string valueLine = OneLine(value);
    Section& target = SectionForWriting(section);
    std::string folded = FoldName(keyLine);
    const auto found = target.index.find(folded);
    if (found != target.index.end()) {
        Item& item = target.items[found->second];
        if (!item.erased && item.value == valueLine) {
            return;
        }
        // A deleted key written again takes back its old place.
        if (item.erased) {
            item.key = keyLine;
        }
        item.erased = false;
        item.edited = true;
        item.value = valueLine;
        modified_ = true;
        unterminatedValue_ = nullptr;
        return;
    }
    // New keys go after the section's last non-blank line, before the blank lines that
    // part it from the next section; those lines are never indexed.
    size_t at = target.items.size();
    while (at > 0 && target.items[at - 1].kind == Item::Kind::kRaw &&
           Trim(target.items[at - 1].raw).empty()) {
        --at;
    }
    Item item;
    item.kind = Item::Kind::kEntry;
    item.edited = true;
    item.key = keyLine;
    item.value = valueLine;
    target.items.insert(target.items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    target.index.emplace(std::move(folded), at);
    modified_ = true;
    unterminatedValue_ = nullptr;
}

void KeyValueFile::WriteInteger(std::string_view section, std::string_view key, int64_t value) {
    WriteString(section, key, DecimalText(value));
}

void KeyValueFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void KeyValueFile::WriteDecimal(std::string_view section, std::string_view key, double value,
                                int decimals) {
    const std::string format = "%." + DecimalText(std::clamp(decimals, 0, 15)) + "f";
    WriteString(section, key, FormatDouble(format, value));
}

bool KeyValueFile::DeleteKey(std::string_view section, std::string_view key) {
    const auto found = sectionIndex_.find(FoldSectionName(section));
    if (found == sectionIndex_.end()) {
        return false;
    }
    Section& target = *sections_[found->second];
    const auto entry = target.index.find(FoldName(key));
    if (entry == target.index.end() || target.items[entry->second].erased) {
        return false;
    }
    target.items[entry->second].erased = true;
    modified_ = true;
    unterminatedValue_ = nullptr;
    return true;
}

void KeyValueFile::EraseSection(std::string_view section) {
    const auto found = sectionIndex_.find(FoldSectionName(section));
    if (found == sectionIndex_.end()) {
        return;
    }
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(found->second));
    RebuildSectionIndex();
    modified_ = true;
    unterminatedValue_ = nullptr;
}

std::vector<std::string> KeyValueFile::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const auto& section : sections_) {
        names.push_back(section->name);
    }
    return names;
}

std::vector<std::string> KeyValueFile::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    const Section* found = FindSection(section);
    if (found == nullptr) {
        return names;
    }
    for (const Item& item : found->items) {
        if (item.kind == Item::Kind::kEntry && !item.erased) {
            names.push_back(item.key);
        }
    }
    return names;
}

}  // namespace kasa
