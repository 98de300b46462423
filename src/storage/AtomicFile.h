#pragma once

// Whole-file replacement that never leaves half a file behind: the new bytes go to a temporary file in the
// same folder, are flushed to the disk, and only then renamed over the target. A crash, a full disk or a
// failing write leaves the previous file exactly as it was.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// Replaces the file at path with bytes, creating it when it does not exist.
// - A symbolic link is written through to its final target; the link itself stays a link.
// - The old file's permission bits are kept (and on POSIX its owner and group, where allowed).
// - Refused: a folder, anything that is not a regular file, and a file without any write permission bit
//   (a read-only file is a user's decision, even for an administrator who could override it).
// On failure the temporary file is removed, false is returned and, when error is given, a short reason
// is stored there ("No space left on device", "the file is read-only"); callers name the file themselves.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Test seam: while an object of this type lives, every atomic write stops with a failure after writing
// failAfterBytes bytes to its temporary file, as a full disk would. Scopes nest.
class ScopedAtomicWriteFailure {
  public:
    explicit ScopedAtomicWriteFailure(std::size_t failAfterBytes);
    ~ScopedAtomicWriteFailure();
    ScopedAtomicWriteFailure(const ScopedAtomicWriteFailure&) = delete;
    ScopedAtomicWriteFailure& operator=(const ScopedAtomicWriteFailure&) = delete;

  private:
    std::optional<std::size_t> previous_;
};

}  // namespace korvane
