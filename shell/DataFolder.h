// The data folder of --data-dir: where it is by default, making it, and moving the reminder files
// of earlier installs (kept in the home folder) into it. Standard library only, no windows.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

namespace tw {

// The files the program keeps in its working directory.
inline constexpr const char* DataFiles[] = {"rd.dt", "re.dt", "activity.csv"};

// getenv looks up an environment variable (nullptr when unset); on Windows it gives UTF-8.
using GetEnv = std::function<const char*(const char*)>;
// $XDG_DATA_HOME/tellwick (an absolute XDG_DATA_HOME only), else $HOME/.local/share/tellwick;
// %APPDATA%\Tellwick on Windows. Empty when the variables it needs are not set.
std::filesystem::path DefaultDataFolder(const GetEnv& getenv);
// $HOME; %USERPROFILE% on Windows. Empty when unset.
std::filesystem::path HomeFolder(const GetEnv& getenv);
// The process's environment, for the two above.
const char* SystemGetEnv(const char* name);

// Makes folder and its missing parents. Nothing when it exists or was made; otherwise the reason
// in one line, and every folder this call made is gone again.
std::optional<std::string> MakeDataFolder(const std::filesystem::path& folder);

struct Migration {
    std::filesystem::path workIn; // the folder to work in: the data folder, or home after a failed move
    int moved = 0;                // files moved
    std::string warning;          // why the move failed (one line), empty otherwise
};
// Moves one file, also to another file system (a copy under a temporary name, then the removal of
// the original): the target is never half a file. False with the reason in ec.
bool MoveDataFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& ec);
using FileMover = bool (*)(const std::filesystem::path&, const std::filesystem::path&, std::error_code&);
// Where folder holds none of DataFiles and home holds some, moves them from home into folder. If
// one cannot be moved, the ones already moved go back, and home is the folder to work in.
Migration MoveEarlierFiles(const std::filesystem::path& home, const std::filesystem::path& folder,
                           FileMover move = MoveDataFile);

} // namespace tw
