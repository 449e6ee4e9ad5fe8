#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

namespace trekora {

// The symbol image list: one icon per catalogue symbol, keyed "*" + code,
// read from the data directory's symbols folder. A symbol whose file is
// missing or unreadable gets no entry (the table then shows the "*18" icon).
QHash<QString, QIcon> loadSymbolIcons();

} // namespace trekora
