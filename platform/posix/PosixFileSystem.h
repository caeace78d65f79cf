// Reminder files on POSIX: plain reads, and replacement through a temporary file
// "<name>.tmp<pid>-<serial>" in the file's directory (the link target's, for a symbolic link) that
// is flushed to disk and renamed over the old one. Such files whose process has ended are removed
// at the next read or save.
#pragma once

#include "platform/FileSystem.h"

namespace tw::platform {

class PosixFileSystem : public FileSystem {
public:
    ReadResult readFile(const std::string& path, std::size_t maxBytes) override;
    int replaceFile(const std::string& path, const std::vector<std::uint8_t>& data) override;
};

// The program's I/O error code for an errno value.
int IoCodeFromErrno(int err);

} // namespace tw::platform
