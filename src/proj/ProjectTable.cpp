#include "proj/ProjectTable.h"

#include "core/TextConventions.h"
#include "core/UserInteraction.h"
#include "proj/CurrentProjection.h"
#include "proj/ProjectionBridge.h"
#include "table/GpsTable.h"

#include <charconv>
#include <cmath>
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
bool showProgressFor(int row, int rows) {
    if (rows <= 100)
        return true;
    return row == 1 || row == rows || row % (rows / 100) == 0;
}

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

} // namespace

QString coordinateText(double value) {
    if (!std::isfinite(value))
        value = 0;
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 8);
    if (result.ec != std::errc())
        return QStringLiteral("0.00000000");
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (text == QLatin1String("-0.00000000"))
        text.remove(0, 1);
    return text;
}

double coordinateValue(QStringView cell) {
    // The common case, a plain decimal number, without building any text.
    char ascii[48];
    const qsizetype length = cell.size();
    if (length > 0 && length < qsizetype(sizeof ascii)) {
        bool plain = true;
        for (qsizetype i = 0; i < length && plain; ++i) {
            const char16_t c = cell[i].unicode();
            plain = (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'e' || c == u'E' ||
                    c == u'+';
            ascii[i] = char(c);
        }
        if (plain && ascii[0] != '+') {
            double value = 0;
            const auto result = std::from_chars(ascii, ascii + length, value);
            if (result.ec == std::errc() && result.ptr == ascii + length && std::isfinite(value))
                return value;
        }
    }
    return text::isNumeric(cell) ? text::val(cell) : 0.0;
}

bool Project_Table(GpsTable& table, bool forward) {
    if (!table.hasHeader())
        return false;
    TableHost& host = table.host();
    BusyPointer busy(host);
    DataGrid& grid = table.grid();
    const Columns columns = forward ? Columns{table.FindColumn(QStringLiteral("long")),
                                              table.FindColumn(QStringLiteral("lat")),
                                              table.FindColumn(QStringLiteral("x_proj")),
                                              table.FindColumn(QStringLiteral("y_proj"))}
                                    : Columns{table.FindColumn(QStringLiteral("x_proj")),
                                              table.FindColumn(QStringLiteral("y_proj")),
                                              table.FindColumn(QStringLiteral("long")),
                                              table.FindColumn(QStringLiteral("lat"))};
    if (columns.sourceX < 1 || columns.sourceY < 1 || columns.targetX < 1 || columns.targetY < 1) {
        host.setMessage({});
        reportTableError(kErrorSubscript, QStringLiteral("Subscript out of range"));
        return false;
    }
    const QString prefix = forward ? QString() : QStringLiteral("Un");
    const int rows = grid.rows() - 1;

    std::vector<double> xs(size_t(std::max(rows, 0)));
    std::vector<double> ys(xs.size());
    const QString reading = prefix + QStringLiteral("Projecting Points: Reading Existing XY ");
    for (int r = 1; r <= rows; ++r) {
        if (showProgressFor(r, rows))
            host.setMessage(reading + QString::number(r));
        xs[size_t(r - 1)] = coordinateValue(grid.textView(r, columns.sourceX));
        ys[size_t(r - 1)] = coordinateValue(grid.textView(r, columns.sourceY));
    }

    host.setMessage(prefix + QStringLiteral("Projecting Points: Running Projection"));
    const auto definition = getProjectionDescription(false);
    if (!definition) {
        host.setMessage({});
        reportTableError(kErrorInvalidCall,
                         QStringLiteral("The projection ") + CurrentProjection::code() +
                             QStringLiteral(" is not in the projection catalogue"));
        return false;
    }
    if (!ProjectionBridge::instance().transform(*definition, forward, xs.data(), ys.data(),
                                                xs.size())) {
        host.setMessage({});
        userInteraction().message(QStringLiteral("Error projecting points to ") + *definition,
                                  QStringLiteral("Projection Error"));
        return false;
    }

    const QString writing = prefix + QStringLiteral("Projecting Points: Writing ") + prefix +
                            QStringLiteral("Projected XY ");
    for (int r = 1; r <= rows; ++r) {
        if (showProgressFor(r, rows))
            host.setMessage(writing + QString::number(r));
        grid.setText(r, columns.targetX, coordinateText(xs[size_t(r - 1)]));
        grid.setText(r, columns.targetY, coordinateText(ys[size_t(r - 1)]));
    }
    host.setMessage({});
    // Only the two written columns changed width.
    for (int col : {columns.targetX, columns.targetY})
        if (grid.colWidth(col) != 0)
            GpsTable::AutoFitColumn(grid, col);
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
