#include "app/HostPresence.h"

namespace trekora {

QString HostPresence::windowTitle() const {
    QString title = QStringLiteral("Orvane - Garmin ");
    if (arcView)
        title += QStringLiteral("/ Arcview ");
    if (landview)
        title += QStringLiteral("/ Landview ");
    if (arcExplorer)
        title += QStringLiteral("/ ArcExplorer ");
    if (arcMap)
        title += QStringLiteral("/ ArcMap ");
    return title;
}

} // namespace trekora
