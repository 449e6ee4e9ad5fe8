#pragma once

#include "table/GpsTable.h"

#include <array>

namespace trekora {

// The rows an export writes: the selection, or every row. An empty table
// still shows one blank row; it is not a record, and nothing of it is
// written (a file of it would hold a phantom record at 0,0).
inline std::array<int, 2> rowsToExport(const GpsTable& table) {
    if (!table.hasRecords())
        return {1, 0};
    return table.GetRowRange();
}

} // namespace trekora
