// The single-instance identifier made from the executable's path; the same on every platform.
#include "platform/SingleInstance.h"

#include <cctype>

namespace tw::platform {

std::string InstanceIdentifier(std::string_view executablePath) {
    std::string id;
    id.reserve(executablePath.size() + 13);
    for (const char c : executablePath) {
        if (c == '\\')
            id += '/';
        else
            id += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return id + ".OneInstance.";
}

} // namespace tw::platform
