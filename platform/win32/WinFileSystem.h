// Reminder files on Windows: plain reads, and replacement through a temporary file
// "<name>.tmp<pid>-<serial>" in the file's folder (the link target's, for a symbolic link) that is
// written, flushed to disk (FlushFileBuffers) and moved over the old one with MoveFileExW, so that
// after any failure the old file is still whole. Such files whose process has ended are removed at
// the next read or save. Paths are UTF-8.
#pragma once

#include <cstdint>

#include "platform/FileSystem.h"

namespace tw::platform {

class WinFileSystem : public FileSystem {
public:
    ReadResult readFile(const std::string& path, std::size_t maxBytes) override;
    int replaceFile(const std::string& path, const std::vector<std::uint8_t>& data) override;
};

// The program's I/O error code (store/IoError.h) for a GetLastError value.
int IoCodeFromWinError(std::uint32_t error);

} // namespace tw::platform
