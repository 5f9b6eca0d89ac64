#include "app/file_sender.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/communication_session.h"
#include "base/atomic_file.h"
#include "base/file_name.h"
#include "base/file_path.h"
#include "seq/sequence_files.h"

namespace kasa {

namespace {

namespace fs = std::filesystem;

constexpr const char* kEmptyOrMissing = "Podany plik jest pusty lub brak pliku.";

bool Readable(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
}

fs::path EntryPath(const std::string& folder, const std::string& name) {
    return PathFromUtf8(folder) / PathFromUtf8(name);
}

}  // namespace

std::string SenderFolder(const std::string& senderFile) {
    return Utf8FromPath(PathFromUtf8(senderFile).parent_path());
}

std::optional<std::vector<std::string>> SenderFileNames(const std::string& folder) {
    std::error_code error;
    fs::directory_iterator entries(PathFromUtf8(folder), error);
    if (error) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    // A folder that goes away while it is read ends the listing with what was found.
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        if (error) {
            break;
        }
        const fs::directory_entry& entry = *entries;
        const std::string name = Utf8FromPath(entry.path().filename());
        if (name.starts_with(".") || UpperExtensionOf(name) != "BIN" ||
            !entry.is_regular_file(error) || !Readable(entry.path())) {
            continue;
        }
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string SenderFileRefusal(const std::string& folder, const std::string& name) {
    if (name.empty()) {
        return "Wybrany wiersz jest pusty.";
    }
    std::error_code error;
    const uintmax_t size = fs::file_size(EntryPath(folder, name), error);
    if (error || size == 0) {
        return kEmptyOrMissing;
    }
    if (size > kSequenceFileLimitBytes) {
        return SequenceFileTooLargeMessage(name, "do wysłania");
    }
    return {};
}

SenderFileRead ReadSenderFile(const std::string& folder, const std::string& name) {
    SenderFileRead read;
    read.message = SenderFileRefusal(folder, name);
    if (!read.message.empty()) {
        return read;
    }
    if (!ReadWholeFile(Utf8FromPath(EntryPath(folder, name)), read.bytes) || read.bytes.empty()) {
        read.bytes.clear();
        read.message = kEmptyOrMissing;
    } else if (read.bytes.size() > kSequenceFileLimitBytes) {
        // It grew after its size was looked at.
        read.bytes.clear();
        read.message = SequenceFileTooLargeMessage(name, "do wysłania");
    }
    return read;
}

SenderSendResult SendSenderFile(ECRClass& ecr, UserInterface& ui, const std::string& folder,
                                const std::string& name) {
    SenderFileRead read = ReadSenderFile(folder, name);
    if (!read.message.empty()) {
        ui.Message(kSenderCaption, read.message);
        return SenderSendResult::kRefused;
    }
    iBuffer bytes;
    bytes.AppendBytes(read.bytes.data(), read.bytes.size());
    read.bytes.clear();
    if (SendSequence(ecr, ui, kSenderCaption, false, bytes, false)) {
        return SenderSendResult::kSent;
    }
    return ecr.abortRequested ? SenderSendResult::kAborted : SenderSendResult::kFailed;
}

std::string SenderDeleteQuestion(const std::string& name) {
    return "Chcesz skasować plik o nazwie:\n" + name + "\nKontynuować?";
}

std::string DeleteSenderFile(const std::string& folder, const std::string& name) {
    std::error_code error;
    if (fs::remove(EntryPath(folder, name), error) && !error) {
        return {};
    }
    return "Nie udało się skasować pliku " + name + ".";
}

}  // namespace kasa
