// Reminder files in memory, with failures that tests can arm: a file that cannot be read, a read
// that stops part-way, a save that fails (the old contents stay, as with the real atomic save).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace tw::fake {

class FakeFileSystem : public platform::FileSystem {
public:
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::map<std::string, int> readError;           // whole read fails with this code
    std::map<std::string, std::size_t> readStopsAt; // read fails after this many bytes
    std::map<std::string, int> writeError;          // replaceFile fails with this code
    std::map<std::string, int> writes;              // successful replaceFile calls per file

    platform::ReadResult readFile(const std::string& path, std::size_t maxBytes) override {
        platform::ReadResult r;
        auto it = files.find(path);
        if (it == files.end())
            return r;
        r.exists = true;
        if (auto e = readError.find(path); e != readError.end()) {
            r.error = e->second;
            return r;
        }
        std::size_t n = std::min(maxBytes, it->second.size());
        if (auto s = readStopsAt.find(path); s != readStopsAt.end() && s->second < n) {
            n = s->second;
            r.error = 100;
        }
        r.data.assign(it->second.begin(), it->second.begin() + static_cast<std::ptrdiff_t>(n));
        return r;
    }

    int replaceFile(const std::string& path, const std::vector<std::uint8_t>& data) override {
        if (auto e = writeError.find(path); e != writeError.end())
            return e->second;
        files[path] = data;
        ++writes[path];
        return 0;
    }

    bool has(const std::string& path) const { return files.count(path) != 0; }
    int writeCount(const std::string& path) const {
        auto it = writes.find(path);
        return it == writes.end() ? 0 : it->second;
    }
};

} // namespace tw::fake
