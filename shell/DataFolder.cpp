// The data folder: its default place, its making, and the move of earlier installs' files.
#include "shell/DataFolder.h"

#include <cstdlib>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace tw {

namespace {

bool set(const char* value) {
    return value != nullptr && *value != '\0';
}

fs::path fromUtf8(const char* s) {
    const std::string text(s);
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string toUtf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

std::string reason(const std::error_code& ec) {
    std::string text = ec.message();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.'))
        text.pop_back();
    return text;
}

} // namespace

bool MoveDataFile(const fs::path& from, const fs::path& to, std::error_code& ec) {
    fs::rename(from, to, ec);
    if (!ec || ec != std::errc::cross_device_link)
        return !ec;
    ec.clear();
    fs::path part = to;
    part += ".part";
    if (!fs::copy_file(from, part, fs::copy_options::overwrite_existing, ec)) {
        std::error_code ignored;
        fs::remove(part, ignored);
        return false;
    }
    fs::rename(part, to, ec);
    if (!ec)
        fs::remove(from, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(part, ignored);
        fs::remove(to, ignored);
        return false;
    }
    return true;
}

const char* SystemGetEnv(const char* name) {
#ifdef _WIN32
    // The wide environment, as UTF-8: user names outside the ANSI code page survive.
    static thread_local std::string value;
    const std::wstring wide(name, name + std::char_traits<char>::length(name));
    const wchar_t* w = ::_wgetenv(wide.c_str());
    if (w == nullptr)
        return nullptr;
    value = toUtf8(fs::path(w));
    return value.c_str();
#else
    return std::getenv(name);
#endif
}

fs::path DefaultDataFolder(const GetEnv& getenv) {
#ifdef _WIN32
    const char* appData = getenv("APPDATA");
    return set(appData) ? fromUtf8(appData) / "Tellwick" : fs::path();
#else
    const char* dataHome = getenv("XDG_DATA_HOME");
    if (set(dataHome) && dataHome[0] == '/')
        return fromUtf8(dataHome) / "tellwick";
    const char* home = getenv("HOME");
    return set(home) ? fromUtf8(home) / ".local" / "share" / "tellwick" : fs::path();
#endif
}

fs::path HomeFolder(const GetEnv& getenv) {
#ifdef _WIN32
    const char* home = getenv("USERPROFILE");
#else
    const char* home = getenv("HOME");
#endif
    return set(home) ? fromUtf8(home) : fs::path();
}

std::optional<std::string> MakeDataFolder(const fs::path& folder) {
    const std::string name = "\"" + toUtf8(folder) + "\"";
    if (folder.empty())
        return std::string("no data folder: neither XDG_DATA_HOME nor HOME is set");
    std::error_code ec;
    // The folders to make, innermost last.
    std::vector<fs::path> missing;
    for (fs::path p = fs::absolute(folder, ec); !ec && !p.empty(); p = p.parent_path()) {
        const fs::file_status st = fs::status(p, ec);
        if (ec && st.type() != fs::file_type::not_found)
            return "cannot make the data folder " + name + ": " + reason(ec);
        ec.clear();
        if (fs::exists(st)) {
            if (!fs::is_directory(st))
                return "cannot make the data folder " + name + ": " + toUtf8(p) + " is not a folder";
            break;
        }
        missing.push_back(p);
        if (p == p.parent_path())
            break;
    }
    if (ec)
        return "cannot make the data folder " + name + ": " + reason(ec);
    // Outermost first; on failure the ones made go again, innermost first.
    for (std::size_t i = missing.size(); i-- > 0;) {
        if (fs::create_directory(missing[i], ec) || !ec)
            continue;
        const std::string why = reason(ec);
        for (std::size_t k = i + 1; k < missing.size(); ++k) {
            std::error_code ignored;
            fs::remove(missing[k], ignored);
        }
        return "cannot make the data folder " + name + ": " + why;
    }
    return std::nullopt;
}

Migration MoveEarlierFiles(const fs::path& home, const fs::path& folder, FileMover move) {
    Migration m{folder, 0, {}};
    std::error_code ec;
    if (home.empty() || fs::equivalent(home, folder, ec))
        return m;
    for (const char* f : DataFiles)
        if (fs::exists(fs::symlink_status(folder / f, ec)))
            return m;
    std::vector<const char*> moved;
    for (const char* f : DataFiles) {
        const fs::path from = home / f;
        if (!fs::exists(fs::symlink_status(from, ec)))
            continue;
        if (move(from, folder / f, ec)) {
            moved.push_back(f);
            continue;
        }
        m.warning = "could not move " + toUtf8(from) + " into " + toUtf8(folder) + " (" + reason(ec) +
                    "); the files in " + toUtf8(home) + " are used";
        for (const char* back : moved) {
            std::error_code ignored;
            move(folder / back, home / back, ignored);
        }
        m.workIn = home;
        return m;
    }
    m.moved = static_cast<int>(moved.size());
    return m;
}

} // namespace tw
