// The two file operations the reminder files need. Back ends report failures as the program's own
// I/O error codes (see store/IoError.h: 2 file not found, 3 invalid filename, 4 too many open files,
// 5 access denied, 100 read beyond end of file, 101 disk full, anything else the raw system code).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tw::platform {

struct ReadResult {
    bool exists = false;            // false: no such file (not an error for the reminder files)
    int error = 0;                  // 0 or an I/O error code; data holds what was read before the error
    std::vector<std::uint8_t> data; // at most maxBytes bytes from the start of the file
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Reads up to maxBytes bytes from the start of the file at path (relative to the working
    // directory). Temporary files that a killed save of this file left behind are removed first.
    virtual ReadResult readFile(const std::string& path, std::size_t maxBytes) = 0;
    // Replaces the file at path with data atomically, through a temporary file beside it: after any
    // failure the old file is still whole. A symbolic link is saved through: the file it leads to is
    // replaced in its own folder and the link stays. Where the folder takes no new file but the file
    // itself is writable, the file is written in place instead (not atomic, as a plain save).
    // Returns 0 or an I/O error code.
    virtual int replaceFile(const std::string& path, const std::vector<std::uint8_t>& data) = 0;
};

} // namespace tw::platform
