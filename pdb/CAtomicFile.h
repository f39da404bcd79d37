// The one place where the database writer meets the file system. A file is replaced in one
// step: its bytes go to a temporary file in the target's directory, which is flushed to disk
// and renamed over the target, so a failure never leaves a partial file and never damages the
// old one.
//
// A symbolic link at the target is followed (link by link, also when the file it names does
// not exist yet) and the file it names is replaced; the link stays. An existing target must
// be a regular file that the user may open for writing, as a plain create would need; it
// keeps its permissions, and on POSIX systems its owner and group where the user may give
// them; a new file gets those of a plain create. The replacement is a new file: hard links to
// the old one keep the old bytes, and its ACLs and extended attributes are not carried over.
#pragma once

#include <cstdint>
#include <span>
#include <string>

class CAtomicFile {
public:
    enum class Outcome {
        Written,
        NotCreated,  // the target is refused, or the temporary file cannot be made
        NotWritten,  // writing, flushing or renaming failed
    };
    struct Result {
        Outcome outcome = Outcome::Written;
        std::string reason;  // the system's reason when not written
    };

    static Result Replace(const std::string& path, std::span<const uint8_t> bytes);
};
