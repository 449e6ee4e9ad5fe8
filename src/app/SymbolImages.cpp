#include "app/SymbolImages.h"

#include "core/AppPaths.h"
#include "gps/SymbolCatalogue.h"

#include <QPixmap>

namespace trekora {

QHash<QString, QIcon> loadSymbolIcons() {
    QHash<QString, QIcon> icons;
    for (const SymbolEntry& entry : SymbolCatalogue::entries()) {
        QPixmap picture;
        if (picture.load(AppPaths::dataFile(SymbolCatalogue::iconFile(entry.code))))
            icons.insert(entry.key, QIcon(picture));
    }
    return icons;
}

} // namespace trekora
