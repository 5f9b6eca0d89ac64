#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "base/atomic_file.h"

namespace kasa {

namespace {

WriteResult Failure(const std::string& path, int error) {
    std::string reason;
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            reason = "Brak miejsca na dysku.";
            break;
        case EACCES:
        case EPERM:
            reason = "Brak uprawnień do zapisu w tym folderze.";
            break;
        case EROFS:
            reason = "Nośnik jest tylko do odczytu.";
            break;
        case ENOENT:
        case ENOTDIR:
            reason = "Folder nie istnieje.";
            break;
        case EFBIG:
            reason = "Plik jest zbyt duży dla tego nośnika.";
            break;
        case EIO:
            reason = "Błąd zapisu na nośniku.";
            break;
        case EISDIR:
            reason = "W miejscu pliku jest folder.";
            break;
        default:
            reason = std::string("Błąd systemu: ") + std::strerror(error) + ".";
            break;
    }
    return WriteFailure(path, error, reason);
}

// Writes all of `bytes`, going on after a signal; 0, or the error that stopped it.
int WriteEvery(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : EIO;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

}  // namespace

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    // mkstemp replaces the six trailing X of its template with a unique name.
    std::string pattern =
        folder + (slash == std::string::npos ? "/." : ".") + base + "." + std::string(6, 'X');
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        return Failure(path, errno);
    }
    const std::string temporary(name.data());
    const auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return Failure(path, error);
    };
    // Keep the permissions of the file being replaced, else the usual ones.
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    ::fchmod(fd, mode);
    if (const int error = WriteEvery(fd, bytes); error != 0) {
        return fail(error);
    }
    if (::fsync(fd) != 0) {
        return fail(errno);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Failure(path, error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
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
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        return Failure(path, errno);
    }
    path_ = path;
    handle_ = fd;
    size_ = firstBytes.size();
    return created;
}

WriteResult AppendFile::Append(std::string_view bytes) {
    if (!IsOpen()) {
        return Failure(path_, EBADF);
    }
    const int fd = static_cast<int>(handle_);
    if (const int error = WriteEvery(fd, bytes); error != 0) {
        // The part of the piece that got in goes again, so the file ends where it did.
        if (::ftruncate(fd, static_cast<off_t>(size_)) != 0) {
            Close();
        }
        return Failure(path_, error);
    }
    size_ += bytes.size();
    return WriteResult{true, 0, {}};
}

WriteResult AppendFile::Close() {
    if (!IsOpen()) {
        return WriteResult{true, 0, {}};
    }
    const int fd = static_cast<int>(handle_);
    handle_ = kNoHandle;
    const int synced = ::fsync(fd);
    const int error = errno;
    if (::close(fd) != 0 || synced != 0) {
        return Failure(path_, synced != 0 ? error : errno);
    }
    return WriteResult{true, 0, {}};
}

}  // namespace kasa
