// Loads the embedded pictures. The resources live in a static library, so they are registered
// here explicitly before the first look-up.
#include "resources/icons/Icons.h"

#include <QFile>
#include <QString>

static void registerIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace tw {

QIcon LoadIconByName(std::string_view name) {
    static const bool registered = (registerIconResources(), true);
    (void)registered;
    const QString base =
        QStringLiteral(":/icons/") + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        const QString file = base + QLatin1Char('-') + QString::number(size) + QStringLiteral(".xpm");
        // Names with a slash or similar could reach other resources: only our own files count.
        if (!name.empty() && name.find('/') == std::string_view::npos && QFile::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

} // namespace tw
