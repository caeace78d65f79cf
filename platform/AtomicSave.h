// AtomicReplace: the steps of FileSystem::replaceFile that every platform takes alike, written once
// over a few primitives that each platform's file back end gives (PosixFileSystem, WinFileSystem).
#pragma once

#include <cstdint>
#include <vector>

namespace tw::platform {

// What a try to create the temporary file gave.
enum class TempCreate {
    Created,   // the file is open for writing
    NameTaken, // a file of that name exists: the next name is tried
    Refused,   // the folder takes no new file (no permission)
    Failed,    // any other error
};

// Replaces the file at path with data. Steps is a platform's set of primitives:
//   Path, File                           the path type and an open temporary file
//   int resolveLinks(path, Path& target) the end of path's symbolic links; 0 or a system error
//   void removeLeftovers(target)         deletes temporary files of killed saves to target
//   int checkTarget(target, bool& exists) 0, or a system error when target must stay as it is
//   Path tempName(target)                a fresh "<name>.tmp<pid>-<serial>" beside target
//   TempCreate createTemp(tmp, File&, int& error)
//   int nameTakenError()                 the system error for "every name was taken"
//   int writeAndClose(File&, data)       writes, flushes to disk and closes; 0 or a system error
//   int writeInPlace(target, data)       the plain save of a folder that takes no new file; an I/O code
//   int moveOver(tmp, target)            the atomic rename over target; 0 or a system error
//   void removeTemp(tmp)                 deletes the temporary file after a failure
//   void moveDone(target)                makes the rename durable where the system needs a step for it
//   int ioCode(systemError)              the program's I/O error code
// Returns 0 or an I/O error code. After any failure the old file is whole, but for the in-place save.
template <class Steps>
int AtomicReplace(Steps& steps, const typename Steps::Path& path, const std::vector<std::uint8_t>& data) {
    // Through symbolic links: the file at the end of the chain is replaced, in its own folder, and
    // the links keep pointing at it.
    typename Steps::Path target;
    if (const int err = steps.resolveLinks(path, target))
        return steps.ioCode(err);
    steps.removeLeftovers(target);

    bool exists = false;
    if (const int err = steps.checkTarget(target, exists))
        return steps.ioCode(err);

    // A fresh name beside the target, so that the rename stays on one volume and replaces atomically.
    typename Steps::Path tmp;
    typename Steps::File file;
    bool created = false;
    for (int attempt = 0; attempt < 100 && !created; ++attempt) {
        tmp = steps.tempName(target);
        int err = 0;
        switch (steps.createTemp(tmp, file, err)) {
        case TempCreate::Created:
            created = true;
            break;
        case TempCreate::NameTaken:
            break;
        case TempCreate::Refused:
            // A writable file in a folder that takes no new files is written where it is.
            if (exists)
                return steps.writeInPlace(target, data);
            return steps.ioCode(err);
        case TempCreate::Failed:
            return steps.ioCode(err);
        }
    }
    if (!created)
        return steps.ioCode(steps.nameTakenError());
    auto fail = [&](int err) {
        steps.removeTemp(tmp);
        return steps.ioCode(err);
    };
    if (const int err = steps.writeAndClose(file, data))
        return fail(err);
    if (const int err = steps.moveOver(tmp, target))
        return fail(err);
    steps.moveDone(target);
    return 0;
}

} // namespace tw::platform
