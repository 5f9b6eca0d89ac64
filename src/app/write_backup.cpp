#include "app/write_backup.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/register_tables.h"
#include "base/codepage.h"
#include "base/file_path.h"
#include "base/local_time.h"
#include "tables/header_rules.h"

namespace kasa {

namespace {

constexpr std::string_view kProgramFolder = "serwis-kas";
constexpr std::string_view kBackupFolder = "kopie";
constexpr std::string_view kExtension = ".pod";
// "2026-12-08_01-45-12_": the date and time that start every backup's name.
constexpr size_t kStampLength = 20;
constexpr int kMostSameSecond = 1000;

// Letters and digits only: the register's type and the table name become part of a file
// name on every system.
std::string NamePart(std::string_view text, bool upper) {
    std::string part;
    for (const char c : upper ? Utf8ToUpper(text) : std::string(text)) {
        const bool plain =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        part += plain ? c : '-';
    }
    return part;
}

std::string FoldKey(std::string_view text) {
    return Utf8ToUpper(text);
}

std::string CellsValue(const TableDescriptor& table, const std::vector<std::string>& cells) {
    std::string value;
    const int fields = table.FieldCount();
    for (int c = 0; c < fields; ++c) {
        if (c > 0) {
            value += table.separator;
        }
        if (static_cast<size_t>(c) < cells.size()) {
            value += cells[static_cast<size_t>(c)];
        }
    }
    return value;
}

bool CellsEmptyRecord(const std::vector<std::string>& cells) {
    return std::all_of(cells.begin() + (cells.empty() ? 0 : 1), cells.end(),
                       [](const std::string& cell) { return cell.empty(); });
}

bool SameHeader(const RegisterModel& model, const HeaderLines& a, const HeaderLines& b) {
    const int count = std::min(HeaderLineCountOf(model), kHeaderLineCount);
    for (int i = 0; i < count; ++i) {
        const HeaderLine& x = a[static_cast<size_t>(i)];
        const HeaderLine& y = b[static_cast<size_t>(i)];
        if (x.text != y.text || x.doubleHeight != y.doubleHeight || x.bold != y.bold) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string BackupFolder(const BackupLocationFacts& facts) {
    const std::string tail = std::string(kProgramFolder) + "/" + std::string(kBackupFolder) + "/";
    if (!facts.localAppData.empty()) {
        return facts.localAppData + "\\" + std::string(kProgramFolder) + "\\" +
               std::string(kBackupFolder) + "\\";
    }
    if (!facts.xdgDataHome.empty() && facts.xdgDataHome.front() == '/') {
        std::string base = facts.xdgDataHome;
        if (base.back() != '/') {
            base += '/';
        }
        return base + tail;
    }
    if (!facts.home.empty()) {
        std::string base = facts.home;
        if (base.back() != '/') {
            base += '/';
        }
        return base + ".local/share/" + tail;
    }
    return {};
}

std::string BackupFileName(std::time_t started, std::string_view registerType, std::string_view job,
                           int sequence) {
    const std::tm t = LocalTimeOf(started);
    std::array<char, 32> stamp{};
    std::snprintf(stamp.data(), stamp.size(), "%04d-%02d-%02d_%02d-%02d-%02d_",
                  (t.tm_year + 1900) % 10000, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min,
                  t.tm_sec);
    std::string name = stamp.data() + NamePart(registerType, true) + "_" + NamePart(job, false);
    if (sequence > 1) {
        name += "_" + std::to_string(sequence);
    }
    return name + std::string(kExtension);
}

bool IsBackupFileName(std::string_view name) {
    if (name.size() <= kStampLength + kExtension.size() || !name.ends_with(kExtension)) {
        return false;
    }
    constexpr std::string_view shape = "dddd-dd-dd_dd-dd-dd_";
    for (size_t i = 0; i < shape.size(); ++i) {
        const char c = name[i];
        if (shape[i] == 'd' ? (c < '0' || c > '9') : c != shape[i]) {
            return false;
        }
    }
    return true;
}

WriteBackup::WriteBackup(const RegisterModel& model, std::string folder,
                         std::string_view registerType, std::string_view job, int keep,
                         std::time_t started)
    : model_(model),
      folder_(std::move(folder)),
      registerType_(registerType),
      job_(job),
      keep_(std::max(keep, 1)),
      started_(started) {
    if (!folder_.empty() && folder_.back() != '/' && folder_.back() != '\\') {
        folder_ += '/';
    }
}

WriteBackup::~WriteBackup() {
    Finish();
}

std::string WriteBackup::BeforeSend(const TableDescriptor& table, int,
                                    const std::vector<std::string>& before,
                                    const std::vector<std::string>& after) {
    const std::string number = after.empty() ? std::string() : after[0];
    const std::string record = "Rekord " + number + " tabeli " + std::string(table.tableName);
    if (before.empty()) {
        return record +
               " nie został wysłany do kasy: nie udało się odczytać z kasy jego obecnej wartości "
               "do kopii przed zapisem.";
    }
    if (before == after) {
        return {};
    }
    const std::string key = std::string(table.keyPrefix) + before[0];
    const bool wasEmpty = CellsEmptyRecord(before);
    const std::string failure = Keep(table.sectionName, {{key, CellsValue(table, before)}});
    if (!failure.empty()) {
        return record +
               " nie został wysłany do kasy: nie udało się zapisać kopii rekordów sprzed "
               "zapisu.\n" +
               failure;
    }
    if (wasEmpty) {
        const std::string entry = std::string(table.tableName) + " " + number;
        if (std::find(emptyBefore_.begin(), emptyBefore_.end(), entry) == emptyBefore_.end()) {
            emptyBefore_.push_back(entry);
        }
    }
    return {};
}

std::string WriteBackup::BeforeHeaderWrite(const HeaderLines* current, const HeaderLines& sent) {
    if (current == nullptr) {
        return "Nagłówek nie został wysłany do kasy: nie udało się odczytać z kasy obecnego "
               "nagłówka do kopii przed zapisem.";
    }
    if (SameHeader(model_, *current, sent)) {
        return {};
    }
    const TableDescriptor& header = model_.Table(TableKind::kHeader);
    std::vector<std::pair<std::string, std::string>> entries;
    const int count = std::min(HeaderLineCountOf(model_), kHeaderLineCount);
    for (int i = 0; i < count; ++i) {
        const int number = header.FirstNumber + i;
        entries.emplace_back(PodKey(header, number),
                             PodHeaderValue(header, number, (*current)[static_cast<size_t>(i)]));
    }
    const std::string failure = Keep(header.sectionName, entries);
    return failure.empty() ? std::string()
                           : "Nagłówek nie został wysłany do kasy: nie udało się zapisać kopii "
                             "nagłówka sprzed zapisu.\n" +
                                 failure;
}

std::string WriteBackup::BeforeVatWrite(const VatRates* current, const VatRates& sent) {
    if (current == nullptr) {
        return "Stawki VAT nie zostały wysłane do kasy: nie udało się odczytać z kasy obecnych "
               "stawek do kopii przed zapisem.";
    }
    if (*current == sent) {
        return {};
    }
    const TableDescriptor& vat = model_.Table(TableKind::kVat);
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 0; i < kVatRateCount; ++i) {
        entries.emplace_back(
            PodKey(vat, vat.FirstNumber + i),
            PodVatValue(vat, i + 1, VatRateEditText((*current)[static_cast<size_t>(i)])));
    }
    const std::string failure = Keep(vat.sectionName, entries);
    return failure.empty() ? std::string()
                           : "Stawki VAT nie zostały wysłane do kasy: nie udało się zapisać kopii "
                             "stawek sprzed zapisu.\n" +
                                 failure;
}

std::string WriteBackup::Keep(std::string_view section,
                              const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string text;
    std::vector<std::pair<std::string, std::string>> added;
    for (const auto& [key, value] : entries) {
        std::pair<std::string, std::string> folded{FoldKey(section), FoldKey(key)};
        // A row tried once more is seen again: the first copy is the register's own.
        if (kept_.count(folded) != 0 ||
            std::find(added.begin(), added.end(), folded) != added.end()) {
            continue;
        }
        if (text.empty() && FoldKey(section) != FoldKey(section_)) {
            text += "[" + std::string(section) + "]\r\n";
        }
        text += key + "=" + value + "\r\n";
        added.push_back(std::move(folded));
    }
    if (text.empty()) {
        return {};
    }
    const std::string bytes = Utf8ToWindows1250(text);
    const std::string failure = file_.IsOpen() ? file_.Append(bytes).message : Create(bytes);
    if (!failure.empty()) {
        return failure;
    }
    section_ = std::string(section);
    kept_.insert(added.begin(), added.end());
    return {};
}

std::string WriteBackup::Create(const std::string& bytes) {
    if (!path_.empty()) {
        // The file was closed after a failed append; it is not started again.
        return file_.Append(bytes).message;
    }
    if (folder_.empty()) {
        return "Nie wiadomo, w którym folderze zapisać kopię: nie jest znany folder domowy "
               "użytkownika.";
    }
    std::error_code error;
    std::filesystem::create_directories(PathFromUtf8(folder_), error);
    std::string path;
    for (int sequence = 1; sequence <= kMostSameSecond; ++sequence) {
        path = folder_ + BackupFileName(started_, registerType_, job_, sequence);
        if (!std::filesystem::exists(PathFromUtf8(path), error)) {
            break;
        }
    }
    const WriteResult created = file_.Create(path, bytes);
    if (!created.ok) {
        return created.message;
    }
    path_ = path;
    Prune();
    return {};
}

void WriteBackup::Prune() const {
    std::error_code error;
    std::vector<std::filesystem::path> backups;
    for (std::filesystem::directory_iterator it(PathFromUtf8(folder_), error), end;
         !error && it != end; it.increment(error)) {
        const std::filesystem::path& file = it->path();
        if (it->is_regular_file(error) && IsBackupFileName(Utf8FromPath(file.filename()))) {
            backups.push_back(file);
        }
    }
    // The names begin with the date and time, so the newest sort last.
    std::sort(backups.begin(), backups.end(),
              [](const auto& a, const auto& b) { return a.filename() < b.filename(); });
    const std::filesystem::path made = PathFromUtf8(path_);
    size_t excess = backups.size() > static_cast<size_t>(keep_)
                        ? backups.size() - static_cast<size_t>(keep_)
                        : 0;
    for (const std::filesystem::path& file : backups) {
        if (excess == 0) {
            break;
        }
        if (file.filename() != made.filename()) {
            std::filesystem::remove(file, error);
            --excess;
        }
    }
}

WriteResult WriteBackup::Finish() {
    return file_.Close();
}

}  // namespace kasa
