#include "table/GpsTable.h"

#include "core/Settings.h"
#include "core/TextConventions.h"
#include "table/FieldSettings.h"
#include "table/RouteDefaults.h"

#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <cstdlib>
#include <limits>

namespace trekora {

namespace {

constexpr int kOverflowError = 6;
constexpr int kSubscriptError = 9;
const QString kErrorSource = QStringLiteral("Trekora");

bool isTrue(QStringView cell) {
    return text::sameText(cell, u"true");
}

} // namespace

GpsTable::GpsTable(TableHost& host) : m_host(host) {}

// --- record types ------------------------------------------------------------

QString GpsTable::ReadTypeOption() const {
    const QStringList others = {RecordType::Track, RecordType::Route, RecordType::RealTime};
    return others.contains(m_typeOption) ? m_typeOption : RecordType::Waypoint;
}

void GpsTable::OptionClicked(const QString& typeKey) {
    m_typeOption = RecordType::all().contains(typeKey) ? typeKey : RecordType::Waypoint;
    m_host.showTypeOption(m_typeOption);
    m_recordType = m_typeOption;
    ChangeRecordType(m_typeOption);
    if (m_typeOption == RecordType::Route)
        Set_RouteDefault(*this);
}

// --- emptying and typing -----------------------------------------------------

void GpsTable::ResetTable() {
    m_recordCounter = 0;
    m_grid.clearAll();
    m_grid.setRows(2);
    for (int r = 0; r < m_grid.rows(); ++r)
        m_grid.setRowHeight(r, DataGrid::kRowHeight);
    ResetSelection();
    m_host.setControls(ControlState::TableEmptied);
    m_grid.setCols(30);
    for (int c = 1; c < m_grid.cols(); ++c)
        m_grid.setColWidth(c, DataGrid::kVisibleWidth);
    m_grid.setColWidth(0, DataGrid::kRowNumberWidth);
    m_grid.setCurrent(1, 1);
}

bool GpsTable::SetTableType(const QString& typeKey) {
    ResetTable();
    const QStringList names = fieldNames(typeKey);
    m_grid.setCols(int(names.size()) + 1);
    for (int i = 0; i < names.size(); ++i)
        m_grid.setText(0, i + 1, names[i]);
    ApplyFieldSettings(typeKey);
    OptionClicked(typeKey);
    return true;
}

// --- adding records ----------------------------------------------------------

bool GpsTable::AddRecord(const QString& values, const QString& columns, const QString&,
                         const QString& delimiter) {
    if (values.isEmpty())
        return addRow(nullptr, columns);
    const QString d = delimiter.isEmpty() ? QStringLiteral(";") : delimiter;
    const QList<QStringView> v = QStringView(values).split(d);
    return addRow(&v, columns);
}

bool GpsTable::AddRecordValues(const QList<QStringView>& values, const QString& columns) {
    return addRow(&values, columns);
}

bool GpsTable::addRow(const QList<QStringView>* values, const QString& columns) {
    if (!hasHeader()) {
        SetTableType(m_recordType);
        m_host.showTableArea();
    }
    const int segCol = FindColumn(QStringLiteral("new_seg"));

    int r = 1;
    if (hasRecords()) {
        r = m_grid.rows();
        if (r >= DataGrid::kMaxRows) {
            addRecordFailure(kOverflowError, QStringLiteral("Overflow"), true, 0, {});
            return false;
        }
        m_grid.appendRow();
    }
    m_grid.setText(r, 0, QString::number(r));

    if (values) {
        const QList<QStringView>& v = *values;
        qsizetype length = 16;
        for (QStringView value : v)
            length += value.size();
        m_grid.reserveRowText(r, length);
        const std::vector<int>& cols = columnList(columns);
        const int identCol = FindColumn(QStringLiteral("ident"));
        const int commentCol = FindColumn(QStringLiteral("comment"));
        const int symbolCol = FindColumn(QStringLiteral("symbol"));
        bool identSupplied = false;
        bool commentSupplied = false;
        for (size_t k = 0; k < cols.size() && k < size_t(v.size()); ++k) {
            const int c = cols[k];
            if (c <= 0)
                continue;
            const QStringView t = text::trim(v[qsizetype(k)]);
            if (c >= m_grid.cols()) {
                addRecordFailure(kSubscriptError, QStringLiteral("Subscript out of range"), false,
                                 c, t.toString());
                return false;
            }
            if (c == identCol)
                identSupplied = true;
            else if (c == commentCol)
                commentSupplied = true;
            else if (c == symbolCol && symbolCol != -1)
                m_grid.setPicture(r, c, GetSymbolPicture(t.toString()));
            m_grid.setText(r, c, t);
        }
        if (!identSupplied && identCol > 0)
            m_grid.setText(r, identCol, QString::number(r));
        if (!commentSupplied && commentCol > 0)
            m_grid.setText(r, commentCol,
                           text::formatDate(QDateTime::currentDateTime(), u"hh:mm dd-mmm-yy"));
        // The first row always starts a segment, whatever the values said.
        if (segCol >= 0 && (r == 1 || isTrue(m_grid.textView(r, segCol))))
            ColorSegments(r);
    } else {
        const QString upper = m_recordType.toUpper();
        const QStringList blank = {QString::number(r),
                                   upper,
                                   m_recordType.left(1) + QString::number(r),
                                   "0",
                                   "0",
                                   "0",
                                   "0"};
        for (int c = 0; c < blank.size() && c < m_grid.cols(); ++c)
            m_grid.setText(r, c, blank[c]);
        if (segCol >= 0)
            m_grid.setText(r, segCol, r == 1 ? QStringLiteral("True") : QStringLiteral("False"));
        const int symbolCol = FindColumn(QStringLiteral("Symbol"));
        if (symbolCol >= 0) {
            m_grid.setPicture(r, symbolCol, QStringLiteral("*18"));
            m_grid.setText(r, symbolCol, QStringLiteral("18"));
        }
    }

    if (m_recordCounter == std::numeric_limits<std::int16_t>::max()) {
        addRecordFailure(kOverflowError, QStringLiteral("Overflow"), true, 0, {});
        return false;
    }
    ++m_recordCounter;

    setStatus(QStringLiteral("Loaded ") + QString::number(m_recordCounter) +
              QStringLiteral(" records"));
    m_host.setControls(ControlState::TableHasRecords);
    showSelectionCount(0);
    if (m_grid.rows() == 2)
        AutoFitColumns(m_grid);
    ResetSelection();
    return true;
}

const std::vector<int>& GpsTable::columnList(const QString& columns) {
    // Loaders pass the same list with every record: parse it once.
    if (m_columnListValid && columns == m_columnListText &&
        (!columns.isEmpty() || m_columnListType == m_recordType))
        return m_columnList;
    m_columnList.clear();
    if (!columns.isEmpty()) {
        for (QStringView c : QStringView(columns).split(u';'))
            m_columnList.push_back(int(text::roundHalfEven(text::val(c))));
    } else {
        const qsizetype n = fieldNames(m_recordType).size();
        for (int c = 1; c <= n; ++c)
            m_columnList.push_back(c);
    }
    m_columnListText = columns;
    m_columnListType = m_recordType;
    m_columnListValid = true;
    return m_columnList;
}

void GpsTable::addRecordFailure(int errorNumber, const QString& description, bool tableFull,
                                int column, const QString& value) {
    if (m_host.realTimeRunning())
        return;
    TableStatus status{errorNumber, kErrorSource, description};
    if (tableFull)
        status.description += QStringLiteral(".  Table is Full.");
    status.description += QStringLiteral("Field: %1, Value: %2").arg(column).arg(value);
    m_host.reportError(status);
}

QString GpsTable::GetSymbolPicture(const QString& symbolNumber) const {
    const QString key = '*' + symbolNumber;
    return m_host.hasSymbolIcon(key) ? key : QStringLiteral("*18");
}

// --- deleting ----------------------------------------------------------------

void GpsTable::DeleteSelection() {
    const int first = m_selection.first;
    const int last = m_selection.last;
    const int colLow = std::min(m_grid.col(), m_grid.colSel());
    const int colHigh = std::max(m_grid.col(), m_grid.colSel());
    const int nRows = std::abs(m_grid.rowSel() - m_grid.row()) + 1;
    const int nCols = std::abs(m_grid.colSel() - m_grid.col()) + 1;

    if (nRows == m_grid.rows() - 1 && nCols == m_grid.cols() - 1) {
        ResetTable();
    } else if (nCols == m_grid.cols() - 1) {
        int deleted = 0;
        for (int i = 0; i < last - first + 1; ++i) {
            // The grid always keeps one record row.
            if (m_grid.rows() <= 2 || first < 1 || first >= m_grid.rows())
                break;
            m_grid.removeRow(first);
            ++deleted;
        }
        ResetSelection();
        renumberRows();
        ClearSelection();
        setStatus(QStringLiteral("Deleted %1 Row(s)").arg(deleted));
        ColorSegments(0);
        m_recordCounter = std::int16_t(m_grid.rows() - 1);
    } else if (nRows == m_grid.rows() - 1) {
        setStatus(QStringLiteral("%1 of %2 Columns Selected").arg(nCols).arg(m_grid.cols() - 1));
        for (int c = colLow; c <= colHigh; ++c)
            if (c > 0 && !kKeyFields.contains(m_grid.textView(0, c)))
                m_grid.setColWidth(c, 0);
        ClearSelection();
        if (m_saveFields)
            m_saveFields(m_recordType);
        else
            FieldSettings::SaveFields(m_recordType, m_grid);
        setStatus(QStringLiteral("Hid Column(s)"));
    } else {
        for (int r = std::max(first, 1); r <= last && r < m_grid.rows(); ++r)
            for (int c = std::max(colLow, 1); c <= colHigh; ++c)
                m_grid.setText(r, c, QString());
        ColorSegments(0);
        setStatus(QString());
    }
}

void GpsTable::renumberRows() {
    for (int r = 1; r < m_grid.rows(); ++r)
        m_grid.setText(r, 0, QString::number(r));
}

// --- segments ----------------------------------------------------------------

void GpsTable::ToggleSegmentRows(int row) {
    if (m_grid.rowBackground(row) != kSegmentColour)
        return;
    for (int r = row + 1; r < m_grid.rows(); ++r) {
        if (m_grid.rowBackground(r).has_value())
            break;
        m_grid.setRowHeight(r, m_grid.rowHeight(r) != 0 ? 0 : DataGrid::kRowHeight);
    }
    m_grid.setCurrent(row, m_grid.col());
}

void GpsTable::ColorSegments(int row) {
    const int segCol = FindColumn(QStringLiteral("new_seg"));
    if (segCol <= 0) {
        for (int r = 1; r < m_grid.rows(); ++r)
            m_grid.setRowBackground(r, kPlainColour);
        return;
    }
    const bool wholeTable = row < 1;
    const int from = wholeTable ? 1 : row;
    const int to = wholeTable ? m_grid.rows() - 1 : row;
    if (wholeTable)
        m_host.setBusy(true);
    const bool segmentType = text::sameText(m_recordType, RecordType::Track) ||
                             text::sameText(m_recordType, RecordType::Route);
    for (int i = from; i <= to && i < m_grid.rows(); ++i) {
        setStatus(QStringLiteral("Updating Color for Record ") + QString::number(i));
        if (i == 1)
            m_grid.setText(1, segCol, QStringLiteral("true"));
        else if (m_grid.isEmpty(i, segCol))
            m_grid.setText(i, segCol, QStringLiteral("false"));
        if (segmentType && isTrue(m_grid.textView(i, segCol)))
            m_grid.setRowBackground(i, kSegmentColour);
        else if (m_grid.rowBackground(i) == kSegmentColour)
            m_grid.setRowBackground(i, kPlainColour);
    }
    if (wholeTable)
        m_host.setBusy(false);
    if (ReadTypeOption() == RecordType::Route)
        Set_RouteDefault(*this);
    setStatus(QString());
}

// --- columns -----------------------------------------------------------------

void GpsTable::ApplyFieldSettings(const QString& typeKey) {
    m_recordType = typeKey.isEmpty() ? ReadTypeOption() : typeKey;
    QString s = Settings::get(QStringLiteral("fields"), m_recordType);
    if (!FieldSettings::isUsable(s)) {
        FieldSettings::SetFieldSettings(m_recordType);
        s = Settings::get(QStringLiteral("fields"), m_recordType);
    }
    if (!s.isEmpty()) {
        // Work out the final arrangement on the header names first, then move
        // the cells once: moving column by column would copy the table once
        // per field.
        std::vector<int> sources(static_cast<size_t>(m_grid.cols()));
        QStringList names;
        for (int c = 0; c < m_grid.cols(); ++c) {
            sources[size_t(c)] = c;
            names << m_grid.text(0, c);
        }
        std::vector<int> widths = {DataGrid::kRowNumberWidth};
        const QStringList items = s.split(',');
        for (int i = 1; i <= items.size(); ++i) {
            const QString& item = items[i - 1];
            const QString name = item.section(':', 0, 0);
            const QString flag = item.section(':', 1);
            int c = -1;
            for (int k = 0; k < names.size(); ++k)
                if (text::sameText(names[k], name))
                    c = k;
            if (c == -1) {
                sources.push_back(-1);
                names << name;
                c = int(names.size()) - 1;
            }
            if (c != i) {
                const int source = sources[size_t(c)];
                const QString movedName = names[c];
                sources.erase(sources.begin() + c);
                names.removeAt(c);
                const int at = std::min(i, int(names.size()));
                sources.insert(sources.begin() + at, source);
                names.insert(at, movedName);
            }
            widths.push_back(flag == QLatin1String("1") ? DataGrid::kVisibleWidth : 0);
        }
        sources.resize(size_t(items.size()) + 1, -1);
        names = names.mid(0, items.size() + 1);
        while (names.size() < qsizetype(sources.size()))
            names << QString();
        m_grid.rearrangeColumns(sources);
        for (int c = 0; c < m_grid.cols(); ++c) {
            if (sources[size_t(c)] < 0)
                m_grid.setText(0, c, names[c]);
            m_grid.setColWidth(c, widths[size_t(c)]);
        }
    }
    m_grid.setColWidth(0, DataGrid::kRowNumberWidth);
    AutoFitColumns(m_grid);
}

void GpsTable::ChangeRecordType(const QString& typeKey) {
    // Save, Upload and Empty Table are only offered while there are records.
    if (hasRecords())
        m_host.setControls(ControlState::TableHasRecords);
    if (!hasHeader() || typeKey.isEmpty())
        return;
    ApplyFieldSettings(typeKey);
    const QString upper = typeKey.toUpper();
    for (int r = 1; r < m_grid.rows(); ++r)
        m_grid.setText(r, 1, upper);
    ColorSegments(0);
    AutoFitColumns(m_grid);
}

int GpsTable::FindColumn(const QString& fieldName, const DataGrid& grid) {
    return grid.findHeader(fieldName);
}

QString GpsTable::GetFieldList(const QString& typeKey, bool visibleOnly) const {
    if (!visibleOnly)
        return trekora::GetFieldList(typeKey);
    QStringList names;
    for (int c = 1; c < m_grid.cols(); ++c)
        if (m_grid.colWidth(c) != 0)
            names << m_grid.text(0, c);
    return names.join(';');
}

QString GpsTable::GetRowValues(int row, bool visibleOnly) const {
    QString out;
    bool first = true;
    for (int c = 1; c < m_grid.cols(); ++c) {
        if (visibleOnly && m_grid.colWidth(c) <= 0)
            continue;
        QStringView t = m_grid.textView(row, c);
        if (row > 0) {
            const auto entry = catalogueEntry(m_grid.text(0, c));
            if (entry && entry->isNumeric() && !text::isNumeric(t))
                t = u"0";
        }
        if (!first)
            out += ';';
        out += t;
        first = false;
    }
    return out;
}

bool GpsTable::ColumnsFilled(const DataGrid& grid, const std::vector<int>& columns,
                             const QString& kind) const {
    const auto [first, last] = GetRowRange(grid);
    const bool numbers = kind == QLatin1String("number");
    for (int c : columns)
        if (c < 0 || c >= grid.cols())
            return false;
    for (int r = first; r <= last && r < grid.rows(); ++r) {
        for (int c : columns) {
            const QStringView t = grid.textView(r, c);
            if (t.trimmed().isEmpty() || (numbers && !text::isNumeric(t)))
                return false;
        }
    }
    return true;
}

void GpsTable::AutoFitColumns(DataGrid& grid) {
    for (int c = 0; c < grid.cols(); ++c)
        if (grid.colWidth(c) != 0)
            AutoFitColumn(grid, c);
}

namespace {
GpsTable::CharacterWidths& fontCharacterWidths() {
    static GpsTable::CharacterWidths widths;
    return widths;
}
} // namespace

void GpsTable::setCharacterWidths(CharacterWidths widths) {
    fontCharacterWidths() = std::move(widths);
}

void GpsTable::AutoFitColumn(DataGrid& grid, int col, int narrow, int wide) {
    const CharacterWidths& font = fontCharacterWidths();
    const bool byFont = font && narrow <= 0 && wide <= 0;
    narrow = narrow > 0 ? narrow : 88;
    wide = wide > 0 ? wide : 110;
    int widest = 0;
    for (int r = 0; r < grid.rows(); ++r) {
        int width = 0;
        for (QChar ch : grid.textView(r, col))
            width += byFont ? font(ch) : (ch >= 'a' && ch <= 'z') ? narrow : wide;
        widest = std::max(widest, width);
    }
    grid.setColWidth(col, widest < 2 ? 250 : widest + 250);
}

// --- selection ---------------------------------------------------------------

void GpsTable::ResetSelection() {
    m_selection = {1, m_grid.rows() - 1, 0};
}

std::array<int, 3> GpsTable::UpdateSelection() {
    const int first = std::min(m_grid.row(), m_grid.rowSel());
    const int last = std::max(m_grid.row(), m_grid.rowSel());
    int nRows = std::abs(m_grid.rowSel() - m_grid.row()) + 1;
    const int nCols = std::abs(m_grid.colSel() - m_grid.col()) + 1;
    if (nCols + 1 != m_grid.cols())
        nRows = 0;
    showSelectionCount(nRows);
    m_selection = {first, last, nRows};
    return {first, last, nRows};
}

std::array<int, 2> GpsTable::GetRowRange(const DataGrid& grid) const {
    if (m_selection.count < 1)
        return {1, grid.rows() - 1};
    return {m_selection.first, m_selection.last};
}

void GpsTable::ClearSelection() {
    m_grid.setCurrent(1, 1);
    setStatus(QStringLiteral("Selection Cleared"));
    showSelectionCount(0);
    ResetSelection();
}

QString GpsTable::selectionPanelText(int selected) const {
    return QString::number(selected) + QStringLiteral(" of ") + QString::number(m_grid.rows() - 1) +
           QStringLiteral(" Selected");
}

void GpsTable::showSelectionCount(int selected) {
    m_host.setSelectionPanel(selectionPanelText(selected));
}

double GpsTable::FirstNumber(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i].isDigit())
            return text::val(QStringView(text).mid(i));
    return 0.0;
}

// --- editing -----------------------------------------------------------------

void GpsTable::WriteBlock(int firstRow, int lastRow, int colLow, int colHigh, const QString& value,
                          const QString& picture) {
    if (firstRow > lastRow)
        std::swap(firstRow, lastRow);
    if (colLow > colHigh)
        std::swap(colLow, colHigh);
    for (int r = std::max(firstRow, 1); r <= lastRow && r < m_grid.rows(); ++r) {
        for (int c = std::max(colLow, 1); c <= colHigh && c < m_grid.cols(); ++c) {
            m_grid.setText(r, c, value);
            if (!picture.isEmpty())
                m_grid.setPicture(r, c, picture);
        }
    }
}

void GpsTable::SortByColumn(int col) {
    if (m_recordType != RecordType::Waypoint || col < 1 || col >= m_grid.cols() ||
        m_grid.rows() < 3)
        return;
    std::vector<int> order(size_t(m_grid.rows() - 1));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i) + 1;
    // The generic comparison: numbers by value when both cells are numbers,
    // otherwise text without regard to case.
    auto less = [this, col](int a, int b) {
        const QStringView ta = m_grid.textView(a, col);
        const QStringView tb = m_grid.textView(b, col);
        if (text::isNumeric(ta) && text::isNumeric(tb))
            return text::val(ta) < text::val(tb);
        return ta.compare(tb, Qt::CaseInsensitive) < 0;
    };
    if (m_sortDescending)
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(b, a); });
    else
        std::stable_sort(order.begin(), order.end(), less);
    m_sortDescending = !m_sortDescending;
    m_grid.reorderRows(1, order);
}

// --- clipboard ---------------------------------------------------------------

void GpsTable::CopySelection(const DataGrid& grid, const QString& fileNamePrefix) {
    const int rowLow = std::min(grid.row(), grid.rowSel());
    const int rowHigh = std::max(grid.row(), grid.rowSel());
    const int colLow = std::min(grid.col(), grid.colSel());
    const int colHigh = std::max(grid.col(), grid.colSel());
    const int fileNameCol = fileNamePrefix.isEmpty() ? -1 : FindColumn("FileName", grid);
    QString out;
    for (int r = rowLow; r <= rowHigh; ++r) {
        for (int c = colLow; c <= colHigh; ++c) {
            if (c > colLow)
                out += '\t';
            if (c == fileNameCol && r > 0)
                out += fileNamePrefix;
            out += grid.textView(r, c);
        }
        out += QStringLiteral("\r\n");
    }
    m_host.setClipboardText(QString());
    m_host.setClipboardText(out);
}

void GpsTable::PasteClipboard(DataGrid& grid) {
    const QString clip = m_host.clipboardText();
    if (clip.isEmpty())
        return;
    // Windows programs end lines with CR LF, editors on this desktop with LF.
    if (!clip.contains(u'\n')) {
        grid.setText(grid.row(), grid.col(), clip);
        return;
    }
    static const QRegularExpression lineEnd(QStringLiteral("\r?\n"));
    QStringList lines = clip.split(lineEnd);
    // The piece after the last line end is the empty rest of a text that ends
    // with one; a last line without its line end is pasted like the others.
    if (lines.last().isEmpty())
        lines.removeLast();
    int rowSkip = 0;
    for (int k = 0; k < lines.size(); ++k) {
        if (grid.rowSel() + k >= grid.rows())
            break;
        int target = grid.rowSel() + k + rowSkip;
        while (target < grid.rows() && grid.rowHeight(target) == 0) {
            ++rowSkip;
            ++target;
        }
        const QStringList cells = lines[k].split('\t');
        int colSkip = 0;
        for (int j = 0; j < cells.size(); ++j) {
            if (grid.colSel() + j >= grid.cols())
                break;
            int col = grid.colSel() + j + colSkip;
            while (col < grid.cols() && grid.colWidth(col) == 0) {
                ++colSkip;
                ++col;
            }
            grid.setText(target, col, cells[j]); // out of range is ignored
        }
    }
}

} // namespace trekora
