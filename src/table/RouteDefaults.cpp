#include "table/RouteDefaults.h"

#include "core/TextConventions.h"
#include "table/GpsTable.h"

#include <QHash>
#include <QSet>

namespace trekora {

void Set_RouteDefault(GpsTable& table) {
    DataGrid& grid = table.grid();
    const int ridentCol = table.FindColumn(QStringLiteral("rident"));
    const int identCol = table.FindColumn(QStringLiteral("ident"));
    const int latCol = table.FindColumn(QStringLiteral("lat"));
    const int longCol = table.FindColumn(QStringLiteral("long"));
    const int segCol = table.FindColumn(QStringLiteral("new_seg"));
    if (ridentCol < 0 || identCol < 0 || latCol < 0 || longCol < 0 || segCol < 0)
        return;

    QHash<QString, std::pair<QString, QString>> seenIdents; // ident → (lat, long)
    QSet<QString> seenRoutes;
    int j = 1;
    int i = 1;
    for (int r = 1; r < grid.rows(); ++r) {
        QString ident = grid.text(r, identCol);
        const std::pair<QString, QString> position{grid.text(r, latCol), grid.text(r, longCol)};
        if (ident.isEmpty()) {
            ident = QStringLiteral("Rte1");
            grid.setText(r, identCol, ident);
        }
        const auto seen = seenIdents.constFind(ident);
        if (seen == seenIdents.cend()) {
            seenIdents.insert(ident, position);
        } else if (*seen != position) {
            // Another place under a name already used: give it the next free one.
            while (seenIdents.contains(QStringLiteral("Rte%1").arg(j)))
                ++j;
            ident = QStringLiteral("Rte%1").arg(j);
            grid.setText(r, identCol, ident);
            seenIdents.insert(ident, position);
        }

        QString rident = grid.text(r, ridentCol);
        if (r == 1) {
            if (rident.isEmpty()) {
                rident = QStringLiteral("Route1");
                grid.setText(r, ridentCol, rident);
            }
            seenRoutes.insert(rident);
        } else if (!text::sameText(grid.textView(r, segCol), u"true")) {
            const QString above = grid.text(r - 1, ridentCol);
            if (rident != above)
                grid.setText(r, ridentCol, above);
        } else {
            if (rident.isEmpty() || seenRoutes.contains(rident)) {
                while (seenRoutes.contains(QStringLiteral("Route%1").arg(i)))
                    ++i;
                rident = QStringLiteral("Route%1").arg(i);
                grid.setText(r, ridentCol, rident);
            }
            seenRoutes.insert(rident);
        }
    }
}

} // namespace trekora
