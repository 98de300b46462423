#include "storage/AtomicFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#if defined(__unix__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvane {

namespace fs = std::filesystem;

namespace {

std::optional<std::size_t> g_failAfterBytes;

bool fail(std::string* error, const std::string& reason) {
    if (error) {
        *error = reason;
    }
    return false;
}

// What the system said about a failed call, so that the user learns why (a full disk, no permission)
// rather than only that it failed.
std::string systemReason(int number) {
    return number != 0 ? std::string(std::strerror(number)) : std::string("the file could not be written");
}

// Follows symbolic links to the file that is really written, so that replacing it keeps the link. A
// relative link target is relative to the link's own folder.
bool resolveLinks(fs::path& path, std::string* error) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        fs::file_status status = fs::symlink_status(path, ec);
        if (!fs::is_symlink(status)) {
            return true;
        }
        fs::path target = fs::read_symlink(path, ec);
        if (ec) {
            return fail(error, "cannot read the link " + path.string());
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return fail(error, "too many levels of symbolic links");
}

std::string randomSuffix() {
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::uint64_t value = generator();
    std::string text;
    for (int i = 0; i < 12; ++i) {
        text += digits[value & 0xF];
        value >>= 4;
    }
    return text;
}

// Creates a new, empty file beside the target; never opens an existing one. errno tells why it failed.
std::FILE* createTemporary(const fs::path& folder, const fs::path& target, fs::path& created) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        fs::path candidate = folder / ("." + target.filename().string() + "." + randomSuffix() + ".tmp");
        errno = 0;
        if (std::FILE* file = std::fopen(candidate.string().c_str(), "wbx")) {
            created = candidate;
            return file;
        }
        if (errno != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

// On failure errno holds the system's reason.
bool writeAll(std::FILE* file, std::string_view bytes) {
    std::size_t length = bytes.size();
    bool injectedFailure = g_failAfterBytes.has_value();
    if (injectedFailure && *g_failAfterBytes < length) {
        length = *g_failAfterBytes;
    }
    errno = 0;
    if (length > 0 && std::fwrite(bytes.data(), 1, length, file) != length) {
        return false;
    }
    if (injectedFailure) {
        std::fflush(file);
        errno = ENOSPC;  // as the disk that ran full would say
        return false;
    }
    if (std::fflush(file) != 0) {
        return false;
    }
#if defined(__unix__)
    if (::fsync(::fileno(file)) != 0) {
        return false;
    }
#endif
    return true;
}

void keepOwner([[maybe_unused]] std::FILE* file, [[maybe_unused]] const fs::path& original) {
#if defined(__unix__)
    struct stat info {};
    if (::stat(original.c_str(), &info) == 0) {
        // Only an administrator may hand a file to someone else; for everyone else this is a no-op.
        [[maybe_unused]] int ignored = ::fchown(::fileno(file), info.st_uid, info.st_gid);
    }
#endif
}

void syncFolder([[maybe_unused]] const fs::path& folder) {
#if defined(__unix__)
    // Makes the rename itself durable; a failure here does not undo the completed replacement.
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

}  // namespace

ScopedAtomicWriteFailure::ScopedAtomicWriteFailure(std::size_t failAfterBytes) : previous_(g_failAfterBytes) {
    g_failAfterBytes = failAfterBytes;
}

ScopedAtomicWriteFailure::~ScopedAtomicWriteFailure() {
    g_failAfterBytes = previous_;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    if (path.empty()) {
        return fail(error, "no file name");
    }
    fs::path target(path);
    if (!resolveLinks(target, error)) {
        return false;
    }

    std::error_code ec;
    fs::file_status status = fs::status(target, ec);
    bool replacing = fs::exists(status);
    if (replacing) {
        if (fs::is_directory(status)) {
            return fail(error, "it is a folder");
        }
        if (!fs::is_regular_file(status)) {
            return fail(error, "it is not a regular file");
        }
        constexpr fs::perms anyWrite =
            fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if ((status.permissions() & anyWrite) == fs::perms::none) {
            return fail(error, "the file is read-only");
        }
#if defined(__unix__)
        if (::access(target.c_str(), W_OK) != 0) {
            return fail(error, systemReason(errno));
        }
#endif
    }

    fs::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    fs::path temporary;
    std::FILE* file = createTemporary(folder, target, temporary);
    if (!file) {
        return fail(error, "cannot create a file in " + folder.string() + ": " + systemReason(errno));
    }

    bool written = writeAll(file, bytes);
    int why = written ? 0 : errno;
    if (written && replacing) {
        keepOwner(file, target);
    }
    errno = 0;
    bool closed = std::fclose(file) == 0;
    if (written && !closed) {
        why = errno;  // a full disk may only show when the last buffer goes out
    }
    if (written && closed && replacing) {
        fs::permissions(temporary, status.permissions(), fs::perm_options::replace, ec);
        written = !ec;
        why = ec.value();
    }
    if (written && closed) {
        fs::rename(temporary, target, ec);
        if (!ec) {
            syncFolder(folder);
            return true;
        }
        why = ec.value();
    }
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return fail(error, systemReason(why));
}

}  // namespace korvane
