#include "proj/ProjectTable.h"

#include "proj/CurrentProjection.h"
#include "proj/ProjectionBridge.h"
#include "table/GpsTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace trekora {

namespace {

const QString kSource = QStringLiteral("Project_Table");
// The numbers the classic run-time errors of these steps carry.
constexpr int kErrorInvalidCall = 5;
constexpr int kErrorSubscript = 9;

struct Columns {
    int sourceX, sourceY, targetX, targetY;
};

// Progress on the status line: every row of a short table, about a hundred
// steps of a long one, so the status costs nothing next to the conversion.
class Progress {
public:
    Progress(TableHost& host, QString text, int rows)
        : m_host(host), m_text(std::move(text)), m_rows(rows), m_step(rows <= 100 ? 1 : rows / 100),
          m_next(m_step) {}

    void at(int row) {
        if (row != m_next && row != 1 && row != m_rows)
            return;
        if (row == m_next)
            m_next += m_step;
        m_host.setMessage(m_text + QString::number(row));
        ProjectionBridge::clearVectorState();
    }

private:
    TableHost& m_host;
    const QString m_text;
    const int m_rows;
    const int m_step;
    int m_next;
};

class BusyPointer {
public:
    explicit BusyPointer(TableHost& host) : m_host(host) { m_host.setBusy(true); }
    ~BusyPointer() { m_host.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    TableHost& m_host;
};

// Fits a written column as AutoFitColumn would, without walking every row:
// the column now holds only numbers, so its longest text is its widest.
void fitWrittenColumn(DataGrid& grid, int col, qsizetype longest) {
    if (grid.colWidth(col) == 0)
        return;
    DataGrid sample;
    sample.setCols(1);
    sample.setRows(2);
    sample.setText(0, 0, grid.text(0, col));
    sample.setText(1, 0, QString(longest, u'0'));
    GpsTable::AutoFitColumn(sample, 0);
    grid.setColWidth(col, sample.colWidth(0));
}

// Rows are converted in blocks: each block is read, converted and written
// while its rows are still in the processor's cache. A table of up to one
// block goes through the classic order of reading all, converting, writing all.
constexpr int kBlockRows = 2048;

class TableConversion {
public:
    TableConversion(GpsTable& table, const Columns& columns, bool forward, TableProjection& result)
        : m_host(table.host()), m_grid(table.grid()), m_columns(columns), m_forward(forward),
          m_result(result), m_rows(m_grid.rows() - 1),
          m_prefix(forward ? QString() : QStringLiteral("Un")),
          m_reading(m_host, m_prefix + QStringLiteral("Projecting Points: Reading Existing XY "),
                    m_rows),
          m_writing(m_host,
                    m_prefix + QStringLiteral("Projecting Points: Writing ") + m_prefix +
                        QStringLiteral("Projected XY "),
                    m_rows) {}

    bool run() {
        m_result.rows = m_rows;
        for (int first = 1; first <= m_rows; first += kBlockRows) {
            const int last = std::min(m_rows, first + kBlockRows - 1);
            read(first, last);
            m_host.setMessage(m_prefix + QStringLiteral("Projecting Points: Running Projection"));
            if (!ProjectionBridge::instance().transform(m_result.definition, m_forward, m_x.data(),
                                                        m_y.data(), m_x.size()))
                return false;
            write(first, last);
        }
        m_host.setMessage({});
        fitWrittenColumn(m_grid, m_columns.targetX, m_longestX);
        fitWrittenColumn(m_grid, m_columns.targetY, m_longestY);
        return true;
    }

private:
    // Rows live in memory blocks of their own. A first pass that only asks
    // where each row's cells are keeps many of those loads in flight at once,
    // instead of waiting for them one row at a time.
    void touchRows(int first, int last) const {
        for (int r = first; r <= last; ++r)
            __builtin_prefetch(m_grid.textView(r, m_columns.sourceX).data());
    }

    void note(int& count, std::vector<FailedRow>& named, int row) const {
        ++count;
        if (int(named.size()) < TableProjection::kNamedRows)
            named.push_back(
                {row, m_grid.text(row, m_columns.sourceX), m_grid.text(row, m_columns.sourceY)});
    }

    // A row without numeric source cells is marked unread and passed over:
    // no position is made up for a point nobody gave.
    void read(int first, int last) {
        m_x.resize(size_t(last - first + 1));
        m_y.resize(m_x.size());
        m_unread.assign(m_x.size(), false);
        touchRows(first, last);
        ProjectionBridge::clearVectorState();
        for (int r = first; r <= last; ++r) {
            m_reading.at(r);
            const auto x = coordinateNumber(m_grid.textView(r, m_columns.sourceX));
            const auto y = coordinateNumber(m_grid.textView(r, m_columns.sourceY));
            const size_t i = size_t(r - first);
            m_unread[i] = !x || !y;
            m_x[i] = m_unread[i] ? 0.0 : *x;
            m_y[i] = m_unread[i] ? 0.0 : *y;
        }
    }

    void write(int first, int last) {
        ProjectionBridge::clearVectorState();
        for (int r = first; r <= last; ++r) {
            m_writing.at(r);
            const double x = m_x[size_t(r - first)];
            const double y = m_y[size_t(r - first)];
            if (m_unread[size_t(r - first)]) {
                note(m_result.unreadRows, m_result.firstUnread, r);
                continue;
            }
            if (!std::isfinite(x) || !std::isfinite(y)) {
                note(m_result.failedRows, m_result.firstFailed, r);
                m_grid.setText(r, m_columns.targetX, QString());
                m_grid.setText(r, m_columns.targetY, QString());
                continue;
            }
            writeCoordinateText(x, m_text);
            m_longestX = std::max(m_longestX, m_text.size());
            m_grid.setText(r, m_columns.targetX, m_text);
            writeCoordinateText(y, m_text);
            m_longestY = std::max(m_longestY, m_text.size());
            m_grid.setText(r, m_columns.targetY, m_text);
        }
    }

    TableHost& m_host;
    DataGrid& m_grid;
    const Columns m_columns;
    const bool m_forward;
    TableProjection& m_result;
    const int m_rows;
    const QString m_prefix;
    Progress m_reading, m_writing;
    std::vector<double> m_x, m_y;
    std::vector<bool> m_unread;
    QString m_text;
    qsizetype m_longestX = 0, m_longestY = 0;
};

Columns columnsFor(const GpsTable& table, bool forward) {
    const int lon = table.FindColumn(QStringLiteral("long"));
    const int lat = table.FindColumn(QStringLiteral("lat"));
    const int x = table.FindColumn(QStringLiteral("x_proj"));
    const int y = table.FindColumn(QStringLiteral("y_proj"));
    return forward ? Columns{lon, lat, x, y} : Columns{x, y, lon, lat};
}

TableProjection refused(TableProjectionError error, int number, const QString& description,
                        QString definition = {}) {
    TableProjection result;
    result.error = error;
    result.status = ProjectionStatus::failure(number, kSource, description);
    result.definition = std::move(definition);
    return result;
}

bool hasColumns(const Columns& c) {
    return c.sourceX >= 1 && c.sourceY >= 1 && c.targetX >= 1 && c.targetY >= 1;
}

QString rowList(const std::vector<FailedRow>& rows, int count, int offset) {
    QStringList named;
    for (const FailedRow& row : rows)
        named << QStringLiteral("row %1 (%2, %3)").arg(row.row + offset).arg(row.x, row.y);
    if (count > int(rows.size()))
        named << QStringLiteral("...");
    return named.join(QStringLiteral(", "));
}

} // namespace

TableProjection projectTableRows(GpsTable& table, bool forward, const QString& definition) {
    if (!table.hasHeader())
        return refused(TableProjectionError::NoHeader, kErrorInvalidCall,
                       QStringLiteral("The table has no header"));
    TableHost& host = table.host();
    BusyPointer busy(host);
    const Columns columns = columnsFor(table, forward);
    if (!hasColumns(columns)) {
        host.setMessage({});
        return refused(TableProjectionError::MissingColumns, kErrorSubscript,
                       QStringLiteral("Subscript out of range"));
    }
    // The definition is tried before any cell is touched, so a failure
    // leaves the table as it was.
    if (!ProjectionBridge::instance().transform(definition, forward, nullptr, nullptr, 0)) {
        host.setMessage({});
        return refused(TableProjectionError::Rejected, kErrorInvalidCall, definition, definition);
    }
    TableProjection result;
    result.definition = definition;
    if (!TableConversion(table, columns, forward, result).run()) {
        host.setMessage({});
        return refused(TableProjectionError::Rejected, kErrorInvalidCall, definition, definition);
    }
    return result;
}

TableProjection projectTableRows(GpsTable& table, bool forward) {
    if (!table.hasHeader())
        return refused(TableProjectionError::NoHeader, kErrorInvalidCall,
                       QStringLiteral("The table has no header"));
    if (!hasColumns(columnsFor(table, forward)))
        return refused(TableProjectionError::MissingColumns, kErrorSubscript,
                       QStringLiteral("Subscript out of range"));
    const auto definition = getProjectionDescription(false);
    if (!definition)
        return refused(TableProjectionError::NotInCatalogue, kErrorInvalidCall,
                       QStringLiteral("The projection ") + CurrentProjection::code() +
                           QStringLiteral(" is not in the projection catalogue"));
    return projectTableRows(table, forward, *definition);
}

QString describeUnfilledRows(const TableProjection& result, bool forward, int firstRowNumber) {
    const int offset = firstRowNumber - 1;
    QStringList parts;
    if (result.failedRows > 0)
        parts << QStringLiteral("%1 rows could not be %2: %3")
                     .arg(result.failedRows)
                     .arg(forward ? QStringLiteral("projected") : QStringLiteral("unprojected"))
                     .arg(rowList(result.firstFailed, result.failedRows, offset));
    if (result.unreadRows > 0)
        parts << QStringLiteral("%1 rows have no numeric %2: %3")
                     .arg(result.unreadRows)
                     .arg(forward ? QStringLiteral("long/lat") : QStringLiteral("x_proj/y_proj"))
                     .arg(rowList(result.firstUnread, result.unreadRows, offset));
    return parts.join(QStringLiteral("; "));
}

} // namespace trekora
