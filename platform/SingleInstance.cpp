// The single-instance identifier made from the executable's path; the same on every platform.
#include "platform/SingleInstance.h"

#include <cctype>
#include <cstdint>

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

std::string NameHash(const std::string& name) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : name) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    static const char digits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4)
        out[static_cast<std::size_t>(i)] = digits[h & 0xf];
    return out;
}

} // namespace tw::platform
