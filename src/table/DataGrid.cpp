#include "table/DataGrid.h"

#include <algorithm>

namespace trekora {

DataGrid::DataGrid() {
    setCols(30);
    setRows(2);
    m_widths[0] = kRowNumberWidth;
}

DataGrid::Row DataGrid::blankRow() const {
    Row row;
    row.cells.clear(m_cols);
    return row;
}

void DataGrid::setRows(int rows) {
    rows = std::clamp(rows, 1, kMaxRows);
    m_rows.resize(size_t(rows), blankRow());
    m_headerIndexValid = false;
    clampCursor();
    touch();
}

void DataGrid::setCols(int cols) {
    cols = std::max(cols, 1);
    if (cols == m_cols)
        return;
    for (Row& row : m_rows) {
        if (cols < m_cols)
            std::erase_if(row.pictures, [cols](const auto& p) { return p.first >= cols; });
        row.cells.resize(m_cols, cols);
    }
    m_widths.resize(size_t(cols), kVisibleWidth);
    m_cols = cols;
    m_headerIndexValid = false;
    clampCursor();
    touch();
}

int DataGrid::appendRow() {
    if (rows() >= kMaxRows)
        return -1;
    m_rows.push_back(blankRow());
    touch();
    return rows() - 1;
}

void DataGrid::removeRow(int row) {
    if (row < 0 || row >= rows() || rows() <= 1)
        return;
    m_rows.erase(m_rows.begin() + row);
    m_headerIndexValid = m_headerIndexValid && row != 0;
    clampCursor();
    touch();
}

QStringView DataGrid::textView(int row, int col) const {
    if (row < 0 || row >= rows() || col < 0 || col >= m_cols)
        return {};
    return m_rows[size_t(row)].cells.cell(m_cols, col);
}

int DataGrid::findHeader(QStringView name) const {
    if (!m_headerIndexValid) {
        m_headerIndex.clear();
        // Later columns overwrite earlier ones: the last match wins.
        for (int c = 0; c < m_cols; ++c) {
            const QString key = textView(0, c).toString().toLower();
            auto it = std::find_if(m_headerIndex.begin(), m_headerIndex.end(),
                                   [&](const auto& entry) { return entry.first == key; });
            if (it != m_headerIndex.end())
                it->second = c;
            else
                m_headerIndex.emplace_back(key, c);
        }
        m_headerIndexValid = true;
    }
    for (const auto& [key, col] : m_headerIndex)
        if (key.size() == name.size() && QStringView(key).compare(name, Qt::CaseInsensitive) == 0)
            return col;
    return -1;
}

QString DataGrid::text(int row, int col) const {
    return textView(row, col).toString();
}

void DataGrid::setText(int row, int col, QStringView text) {
    if (row < 0 || row >= rows() || col < 0 || col >= m_cols)
        return;
    m_rows[size_t(row)].cells.setCell(m_cols, col, text);
    if (row == 0)
        m_headerIndexValid = false;
    touch();
}

void DataGrid::moveColumn(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= m_cols || to >= m_cols)
        return;
    std::vector<int> order(static_cast<size_t>(m_cols));
    for (int c = 0; c < m_cols; ++c)
        order[size_t(c)] = c;
    order.erase(order.begin() + from);
    order.insert(order.begin() + to, from);
    rearrangeColumns(order);
}

void DataGrid::rearrangeColumns(const std::vector<int>& sources) {
    const int newCols = std::max(int(sources.size()), 1);
    std::vector<int> padded = sources;
    padded.resize(size_t(newCols), -1);
    for (Row& row : m_rows) {
        row.cells.rearrange(m_cols, padded);
        std::vector<std::pair<int, QString>> pictures;
        for (auto& [col, key] : row.pictures) {
            const auto it = std::find(sources.begin(), sources.end(), col);
            if (it != sources.end())
                pictures.emplace_back(int(it - sources.begin()), std::move(key));
        }
        row.pictures = std::move(pictures);
    }
    std::vector<int> widths(size_t(newCols), kVisibleWidth);
    for (int c = 0; c < newCols && c < int(sources.size()); ++c)
        if (sources[size_t(c)] >= 0 && sources[size_t(c)] < m_cols)
            widths[size_t(c)] = m_widths[size_t(sources[size_t(c)])];
    m_widths = std::move(widths);
    m_cols = newCols;
    m_headerIndexValid = false;
    clampCursor();
    touch();
}

void DataGrid::reorderRows(int first, const std::vector<int>& order) {
    if (first < 0 || first + int(order.size()) > rows())
        return;
    std::vector<Row> moved;
    moved.reserve(order.size());
    for (int old : order)
        moved.push_back(std::move(m_rows[size_t(old)]));
    std::move(moved.begin(), moved.end(), m_rows.begin() + first);
    m_headerIndexValid = m_headerIndexValid && first > 0;
    touch();
}

std::optional<Rgb> DataGrid::rowBackground(int row) const {
    if (row < 0 || row >= rows())
        return std::nullopt;
    return m_rows[size_t(row)].background;
}

void DataGrid::setRowBackground(int row, std::optional<Rgb> colour) {
    if (row < 0 || row >= rows())
        return;
    m_rows[size_t(row)].background = colour;
    touch();
}

QString DataGrid::picture(int row, int col) const {
    if (row < 0 || row >= rows())
        return {};
    for (const auto& [c, key] : m_rows[size_t(row)].pictures)
        if (c == col)
            return key;
    return {};
}

void DataGrid::setPicture(int row, int col, const QString& key) {
    if (row < 0 || row >= rows() || col < 0 || col >= m_cols)
        return;
    auto& pictures = m_rows[size_t(row)].pictures;
    std::erase_if(pictures, [col](const auto& p) { return p.first == col; });
    if (!key.isEmpty())
        pictures.emplace_back(col, key);
    touch();
}

void DataGrid::clearAll() {
    m_headerIndexValid = false;
    for (Row& row : m_rows) {
        row.cells.clear(m_cols);
        row.pictures.clear();
        row.background.reset();
    }
    touch();
}

void DataGrid::setCurrent(int row, int col) {
    m_row = m_rowSel = std::clamp(row, 0, rows() - 1);
    m_col = m_colSel = std::clamp(col, 0, m_cols - 1);
    touch();
}

void DataGrid::setSelection(int rowSel, int colSel) {
    m_rowSel = std::clamp(rowSel, 0, rows() - 1);
    m_colSel = std::clamp(colSel, 0, m_cols - 1);
    touch();
}

void DataGrid::clampCursor() {
    const int lastRow = std::max(rows() - 1, 0);
    const int lastCol = std::max(m_cols - 1, 0);
    m_row = std::min(m_row, lastRow);
    m_rowSel = std::min(m_rowSel, lastRow);
    m_col = std::min(m_col, lastCol);
    m_colSel = std::min(m_colSel, lastCol);
}

} // namespace trekora
