// The program's pictures by resource name ("ICO_TRAY", "MAINICON", ...), each in 16, 32, 48 and
// 64 pixels (the application icon "MAINICON" also in 128), embedded from the XPM files beside this
// header (icons.qrc).
#pragma once

#include <QIcon>
#include <string_view>

namespace tw {

// The picture of that name; the null icon for a name that names none (such as " ").
QIcon LoadIconByName(std::string_view name);

} // namespace tw
