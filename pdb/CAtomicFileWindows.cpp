// CAtomicFile on Windows: the same guarantees as on POSIX systems, with the wide file API so
// that any path works. The bytes go to a temporary file in the target's folder, which is
// flushed (FlushFileBuffers) and moved over the target (MoveFileExW, replacing it and
// writing through); a failure removes the temporary file and leaves the target as it was.
//
// A symbolic link (or other name surrogate) at the target is followed to the file it names,
// which is replaced; the link stays. A link that leads to no file is refused, since Windows
// gives no portable way to create the file it names. An existing target must be a file on a
// disk that the user may open for writing: a folder, a device, a read-only file or one that
// another program keeps from being written is refused as a plain create would be. The
// replacement takes over the target's attributes (archive, hidden, system, not indexed); a new
// file gets those of a plain create, and either gets the permissions its folder gives.
#include <windows.h>

#include <string>

#include "CAtomicFile.h"
#include "CPlatform.h"

namespace {

// The reasons of the commonest failures in the words the POSIX build uses.
std::string Reason(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return "No such file or directory";
        case ERROR_ACCESS_DENIED:
            return "Permission denied";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "No space left on device";
        default:
            return CPlatform::ErrorText(error);
    }
}

CAtomicFile::Result Refused(std::string reason) {
    return {CAtomicFile::Outcome::NotCreated, std::move(reason)};
}

// The folder part of a path with its separator ("" for a bare name, "C:" for "C:name").
std::wstring FolderOf(const std::wstring& path) {
    const size_t end = path.find_last_of(L"\\/:");
    return end == std::wstring::npos ? std::wstring() : path.substr(0, end + 1);
}

// The file a link at `path` leads to, as the system names it; false when it leads nowhere.
bool FollowLink(std::wstring& path, DWORD& error) {
    HANDLE handle =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    std::wstring resolved(MAX_PATH, L'\0');
    DWORD length =
        GetFinalPathNameByHandleW(handle, resolved.data(), static_cast<DWORD>(resolved.size()), 0);
    if (length >= resolved.size()) {
        resolved.resize(length);
        length = GetFinalPathNameByHandleW(handle, resolved.data(),
                                           static_cast<DWORD>(resolved.size()), 0);
    }
    error = GetLastError();
    CloseHandle(handle);
    if (length == 0 || length >= resolved.size()) {
        return false;
    }
    resolved.resize(length);
    path = resolved;
    return true;
}

bool WriteAll(HANDLE file, std::span<const uint8_t> bytes) {
    const uint8_t* data = bytes.data();
    size_t size = bytes.size();
    while (size > 0) {
        const DWORD chunk = size > (DWORD{1} << 30) ? DWORD{1} << 30 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

CAtomicFile::Result CAtomicFile::Replace(const std::string& path, std::span<const uint8_t> bytes) {
    if (path.empty()) {
        return Refused(Reason(ERROR_FILE_NOT_FOUND));
    }
    std::wstring target = CPlatform::Wide(path);
    DWORD error = 0;
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (!FollowLink(target, error)) {
            return Refused(Reason(error));
        }
        attributes = GetFileAttributesW(target.c_str());
    }

    // An existing target: a file on a disk that the user may write.
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            return Refused("Is a directory");
        }
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            return Refused(Reason(ERROR_ACCESS_DENIED));
        }
    }
    HANDLE existing = CreateFileW(target.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    if (existing != INVALID_HANDLE_VALUE) {
        const DWORD type = GetFileType(existing);
        CloseHandle(existing);
        if (type != FILE_TYPE_DISK) {
            return Refused("Not a regular file");
        }
    } else if ((error = GetLastError()) != ERROR_FILE_NOT_FOUND) {
        return Refused(Reason(error));
    } else {
        attributes = INVALID_FILE_ATTRIBUTES;  // a new file
    }

    // The temporary file, beside the target.
    const std::wstring folder = FolderOf(target);
    std::wstring temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    // A name made of the time, the process and the attempt; CREATE_NEW never takes an
    // existing file, so a name already there only costs another attempt.
    for (unsigned attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        const unsigned long long tag =
            (GetTickCount64() << 20) ^
            (static_cast<unsigned long long>(GetCurrentProcessId()) << 8) ^ attempt;
        temp = folder + L".quil-" + std::to_wstring(tag % 1000000007ULL);
        file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && (error = GetLastError()) != ERROR_FILE_EXISTS) {
            return Refused(Reason(error));
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return Refused(Reason(ERROR_FILE_EXISTS));
    }

    error = 0;
    const auto check = [&error](bool done) {
        if (!done && error == 0) {
            error = GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
        }
    };
    check(WriteAll(file, bytes));
    check(FlushFileBuffers(file) != 0);
    check(CloseHandle(file) != 0);
    if (error == 0 && attributes != INVALID_FILE_ATTRIBUTES) {
        const DWORD kept =
            attributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        SetFileAttributesW(temp.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
    }
    if (error == 0) {
        check(MoveFileExW(temp.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0);
    }
    if (error != 0) {
        DeleteFileW(temp.c_str());
        return {Outcome::NotWritten, Reason(error)};
    }
    return {};
}
