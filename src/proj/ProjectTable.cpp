#include "proj/ProjectTable.h"

#include "core/TextConventions.h"
#include "core/UserInteraction.h"
#include "proj/CurrentProjection.h"
#include "proj/ProjectionBridge.h"
#include "table/GpsTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace trekora {

namespace {

const QString kTableErrorTitle = QStringLiteral("Use menu option File-Set Projection");
// The numbers the classic run-time errors of these steps carry.
constexpr int kErrorInvalidCall = 5;
constexpr int kErrorSubscript = 9;

struct Columns {
    int sourceX, sourceY, targetX, targetY;
};

void reportTableError(int number, const QString& description) {
    userInteraction().message(QStringLiteral("Project_Table Error #") + QString::number(number) +
                                  QStringLiteral(" -- ") + description,
                              kTableErrorTitle);
}

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

bool rowHasNumbers(const DataGrid& grid, int row, int colA, int colB) {
    return text::isNumeric(grid.textView(row, colA)) && text::isNumeric(grid.textView(row, colB));
}

bool everyRowInRangeHasNumbers(const GpsTable& table, const QString& fieldA,
                               const QString& fieldB) {
    const int colA = table.FindColumn(fieldA);
    const int colB = table.FindColumn(fieldB);
    if (colA < 1 || colB < 1 || !table.hasRecords())
        return false;
    return table.ColumnsFilled(table.grid(), {colA, colB}, QStringLiteral("number"));
}

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
    TableConversion(GpsTable& table, const Columns& columns, bool forward, QString definition)
        : m_host(table.host()), m_grid(table.grid()), m_columns(columns), m_forward(forward),
          m_definition(std::move(definition)), m_rows(m_grid.rows() - 1),
          m_prefix(forward ? QString() : QStringLiteral("Un")),
          m_reading(m_host, m_prefix + QStringLiteral("Projecting Points: Reading Existing XY "),
                    m_rows),
          m_writing(m_host,
                    m_prefix + QStringLiteral("Projecting Points: Writing ") + m_prefix +
                        QStringLiteral("Projected XY "),
                    m_rows) {}

    bool run() {
        for (int first = 1; first <= m_rows; first += kBlockRows) {
            const int last = std::min(m_rows, first + kBlockRows - 1);
            read(first, last);
            m_host.setMessage(m_prefix + QStringLiteral("Projecting Points: Running Projection"));
            if (!ProjectionBridge::instance().transform(m_definition, m_forward, m_x.data(),
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

    void read(int first, int last) {
        m_x.resize(size_t(last - first + 1));
        m_y.resize(m_x.size());
        touchRows(first, last);
        ProjectionBridge::clearVectorState();
        for (int r = first; r <= last; ++r) {
            m_reading.at(r);
            m_x[size_t(r - first)] = coordinateValue(m_grid.textView(r, m_columns.sourceX));
            m_y[size_t(r - first)] = coordinateValue(m_grid.textView(r, m_columns.sourceY));
        }
    }

    void write(int first, int last) {
        ProjectionBridge::clearVectorState();
        for (int r = first; r <= last; ++r) {
            m_writing.at(r);
            writeCoordinateText(m_x[size_t(r - first)], m_text);
            m_longestX = std::max(m_longestX, m_text.size());
            m_grid.setText(r, m_columns.targetX, m_text);
            writeCoordinateText(m_y[size_t(r - first)], m_text);
            m_longestY = std::max(m_longestY, m_text.size());
            m_grid.setText(r, m_columns.targetY, m_text);
        }
    }

    TableHost& m_host;
    DataGrid& m_grid;
    const Columns m_columns;
    const bool m_forward;
    const QString m_definition;
    const int m_rows;
    const QString m_prefix;
    Progress m_reading, m_writing;
    std::vector<double> m_x, m_y;
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

} // namespace

bool Project_Table(GpsTable& table, bool forward) {
    if (!table.hasHeader())
        return false;
    TableHost& host = table.host();
    BusyPointer busy(host);
    const Columns columns = columnsFor(table, forward);
    if (columns.sourceX < 1 || columns.sourceY < 1 || columns.targetX < 1 || columns.targetY < 1) {
        host.setMessage({});
        reportTableError(kErrorSubscript, QStringLiteral("Subscript out of range"));
        return false;
    }
    // The projection is checked before any cell is touched, so a failure
    // leaves the table as it was.
    const auto definition = getProjectionDescription(false);
    if (!definition) {
        host.setMessage({});
        reportTableError(kErrorInvalidCall,
                         QStringLiteral("The projection ") + CurrentProjection::code() +
                             QStringLiteral(" is not in the projection catalogue"));
        return false;
    }
    if (!ProjectionBridge::instance().transform(*definition, forward, nullptr, nullptr, 0) ||
        !TableConversion(table, columns, forward, *definition).run()) {
        host.setMessage({});
        userInteraction().message(QStringLiteral("Error projecting points to ") + *definition,
                                  QStringLiteral("Projection Error"));
        return false;
    }
    return true;
}

bool ProjectCoordinates(GpsTable& table) {
    if (!everyRowInRangeHasNumbers(table, QStringLiteral("lat"), QStringLiteral("long"))) {
        userInteraction().message(
            QStringLiteral("Projection Error: Invalid Lat and/or Long values exist."), QString());
        return false;
    }
    return Project_Table(table, true);
}

bool UnprojectCoordinates(GpsTable& table) {
    const DataGrid& grid = table.grid();
    const int colY = table.FindColumn(QStringLiteral("y_proj"));
    const int colX = table.FindColumn(QStringLiteral("x_proj"));
    bool anyProjected = false;
    if (colY >= 1 && colX >= 1)
        for (int r = 1; r < grid.rows() && !anyProjected; ++r)
            anyProjected = rowHasNumbers(grid, r, colY, colX);
    if (!anyProjected) {
        userInteraction().message(
            QStringLiteral("Unprojection Error: No valid Projected X/Y values exist."), QString());
        return false;
    }
    return Project_Table(table, false);
}

bool CheckLatLongBeforeUpload(GpsTable& table) {
    if (everyRowInRangeHasNumbers(table, QStringLiteral("lat"), QStringLiteral("long")))
        return true;
    if (everyRowInRangeHasNumbers(table, QStringLiteral("y_proj"), QStringLiteral("x_proj"))) {
        const Answer answer = userInteraction().question(
            QStringLiteral("Lat/Long fields must contain valid values.  Would you like the "
                           "Lat/Long ") +
                QStringLiteral("to be generated from your projected XY values?"),
            QString());
        return answer == Answer::Yes && Project_Table(table, false);
    }
    userInteraction().message(
        QStringLiteral("Lat/Long fields must contain valid values.  Please set Lat/Long values ") +
            QStringLiteral("and try again."),
        QString());
    return false;
}

} // namespace trekora
