#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "update/program_start.h"

extern char** environ;

namespace kasa {

bool StartDetachedProgram(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 ||
        ::chmod(path.c_str(), (status.st_mode & 07777) | S_IRWXU) != 0) {
        return false;
    }
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) {
        return false;
    }
    // A session of its own: the new program lives on when this one ends.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    char* const arguments[] = {const_cast<char*>(path.c_str()), nullptr};
    const int failed = posix_spawn(&child, path.c_str(), nullptr, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    return failed == 0;
}

ConnectionState CurrentConnectionState() {
    return ConnectionState::kLan;
}

}  // namespace kasa
