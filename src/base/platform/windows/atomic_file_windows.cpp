#include <windows.h>

#include <algorithm>
#include <random>

#include "base/atomic_file.h"
#include "base/platform/windows/wide_text.h"

namespace kasa {

namespace {

WriteResult Failure(const std::string& path, DWORD error) {
    std::string reason;
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            reason = "Brak miejsca na dysku.";
            break;
        case ERROR_ACCESS_DENIED:
            reason = "Brak uprawnień do zapisu w tym folderze albo w miejscu pliku jest folder.";
            break;
        case ERROR_WRITE_PROTECT:
            reason = "Nośnik jest tylko do odczytu.";
            break;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
            reason = "Folder nie istnieje.";
            break;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            reason = "Plik jest otwarty w innym programie.";
            break;
        case ERROR_INVALID_NAME:
            reason = "Nazwa pliku jest niedozwolona.";
            break;
        default:
            reason = "Błąd systemu nr " + std::to_string(error) + ".";
            break;
    }
    return WriteFailure(path, static_cast<int>(error), reason);
}

// Writes all of `bytes` in pieces WriteFile takes; 0, or the error that stopped it.
DWORD WriteEvery(HANDLE file, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 24));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            const DWORD error = ::GetLastError();
            return error != 0 ? error : ERROR_WRITE_FAULT;
        }
        done += written;
    }
    return 0;
}

}  // namespace

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const size_t slash = path.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::random_device seed;
    std::mt19937 random(seed());
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    // A fresh name in the same folder; CREATE_NEW never takes over a file of that name.
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = WideFromUtf8(folder + "." + base + "." + std::to_string(random() % 1000000));
        file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return Failure(path, ::GetLastError());
    }
    const auto fail = [&](DWORD error) {
        ::CloseHandle(file);
        ::DeleteFileW(temporary.c_str());
        return Failure(path, error);
    };
    if (const DWORD error = WriteEvery(file, bytes); error != 0) {
        return fail(error);
    }
    if (!::FlushFileBuffers(file)) {
        return fail(::GetLastError());
    }
    ::CloseHandle(file);
    if (!::MoveFileExW(temporary.c_str(), WideFromUtf8(path).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(temporary.c_str());
        return Failure(path, error);
    }
    return WriteResult{true, 0, {}};
}

AppendFile::~AppendFile() {
    Close();
}

WriteResult AppendFile::Create(const std::string& path, std::string_view firstBytes) {
    Close();
    WriteResult created = WriteFileAtomically(path, firstBytes);
    if (!created.ok) {
        return created;
    }
    HANDLE file = ::CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return Failure(path, ::GetLastError());
    }
    path_ = path;
    handle_ = reinterpret_cast<intptr_t>(file);
    size_ = firstBytes.size();
    return created;
}

WriteResult AppendFile::Append(std::string_view bytes) {
    if (!IsOpen()) {
        return Failure(path_, ERROR_INVALID_HANDLE);
    }
    HANDLE file = reinterpret_cast<HANDLE>(handle_);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size_);
    const auto fail = [&](DWORD error) {
        // The part of the piece that got in goes again, so the file ends where it did.
        if (!::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) || !::SetEndOfFile(file)) {
            Close();
        }
        return Failure(path_, error);
    };
    if (!::SetFilePointerEx(file, end, nullptr, FILE_BEGIN)) {
        return fail(::GetLastError());
    }
    if (const DWORD error = WriteEvery(file, bytes); error != 0) {
        return fail(error);
    }
    size_ += bytes.size();
    return WriteResult{true, 0, {}};
}

WriteResult AppendFile::Close() {
    if (!IsOpen()) {
        return WriteResult{true, 0, {}};
    }
    HANDLE file = reinterpret_cast<HANDLE>(handle_);
    handle_ = kNoHandle;
    const bool flushed = ::FlushFileBuffers(file) != 0;
    const DWORD error = ::GetLastError();
    if (!::CloseHandle(file) || !flushed) {
        return Failure(path_, flushed ? ::GetLastError() : error);
    }
    return WriteResult{true, 0, {}};
}

}  // namespace kasa
