#include "table/TableHost.h"

#include "core/TextConventions.h"

namespace trekora {

bool HeadlessTableHost::hasSymbolIcon(const QString& key) const {
    if (!symbolIcons.isEmpty())
        return symbolIcons.contains(key);
    // Without an icon list every plausible symbol number counts as present.
    if (!key.startsWith('*'))
        return false;
    bool ok = false;
    const int number = key.mid(1).toInt(&ok);
    return ok && number >= 0 && number <= 0xffff;
}

} // namespace trekora
