#include "CAtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// Links followed before giving up, as the system does.
constexpr int kMaxLinks = 40;

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

CAtomicFile::Result Refused(int error) {
    return {CAtomicFile::Outcome::NotCreated, std::strerror(error)};
}

// Follows the symbolic links at `path` to the name of the file they lead to, which need not
// exist. False with `error` set when a link cannot be read or the chain does not end.
bool ResolveLinks(std::string& path, int& error) {
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0) {
            error = errno;
            return error == ENOENT;  // a file still to be created
        }
        if (!S_ISLNK(info.st_mode)) {
            return true;
        }
        std::vector<char> target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0) {
            error = errno;
            return false;
        }
        const std::string text(target.data(), static_cast<size_t>(length));
        path = text.starts_with('/') ? text : DirectoryOf(path) + "/" + text;
    }
    error = ELOOP;
    return false;
}

// Gives the file `owner` and `group` as far as the user may: only root may give a file away,
// and others only to a group they belong to; what is not allowed stays the user's. True when
// the group is kept (and the owner, where allowed).
bool KeepOwner(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group) == 0 ||
           (errno == EPERM && ::fchown(fd, static_cast<uid_t>(-1), group) == 0);
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    const uint8_t* data = bytes.data();
    size_t size = bytes.size();
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

CAtomicFile::Result CAtomicFile::Replace(const std::string& path, std::span<const uint8_t> bytes) {
    if (path.empty()) {
        return Refused(ENOENT);
    }
    std::string target = path;
    int error = 0;
    if (!ResolveLinks(target, error)) {
        return Refused(error);
    }

    // A plain create gives 0666 less the process's umask; an existing file keeps its mode.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    // An existing file's owner and group, kept where the user may give them.
    uid_t owner = static_cast<uid_t>(-1);
    gid_t group = static_cast<gid_t>(-1);
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            return Refused(EISDIR);
        }
        if (!S_ISREG(existing.st_mode)) {
            return {Outcome::NotCreated, "Not a regular file"};
        }
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            return Refused(errno);
        }
        mode = existing.st_mode & 0777;
        owner = existing.st_uid;
        group = existing.st_gid;
    }

    std::string temp = DirectoryOf(target) + "/.quil-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return Refused(errno);
    }
    int failure = 0;
    const auto check = [&failure](bool done) {
        if (!done && failure == 0) {
            failure = errno != 0 ? errno : EIO;
        }
    };
    if (owner != static_cast<uid_t>(-1)) {
        KeepOwner(fd, owner, group);  // before the mode: a change of owner may clear mode bits
    }
    check(::fchmod(fd, mode) == 0);
    check(WriteAll(fd, bytes));
    check(::fsync(fd) == 0);
    check(::close(fd) == 0);
    if (failure == 0) {
        check(::rename(temp.c_str(), target.c_str()) == 0);
    }
    if (failure != 0) {
        ::unlink(temp.c_str());
        return {Outcome::NotWritten, std::strerror(failure)};
    }
    return {};
}
