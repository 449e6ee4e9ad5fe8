#pragma once

#include "table/RowCells.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace trekora {

// A rectangular grid of text cells with the properties the table operations
// work on: row and column counts (header row and row-number column included),
// column widths and row heights in twips (0 = hidden / collapsed), a
// background colour per row's data cells, an optional picture key per cell,
// the current cell and the moving end of the selection.
//
// Each row keeps its cells in one block (RowCells), which keeps a full table
// (32,767 rows of 47 columns) compact and whole-table passes fast.
// A colour as 0xAARRGGBB, like QRgb, without needing QtGui here.
using Rgb = std::uint32_t;
constexpr Rgb rgb(int r, int g, int b) {
    return 0xff000000u | (std::uint32_t(r & 0xff) << 16) | (std::uint32_t(g & 0xff) << 8) |
           std::uint32_t(b & 0xff);
}

class DataGrid {
public:
    static constexpr int kRowNumberWidth = 400;
    static constexpr int kVisibleWidth = 1200;
    static constexpr int kRowHeight = 225;
    static constexpr int kMaxRows = 32768; // header row + 32,767 records

    DataGrid();

    int rows() const { return int(m_rows.size()); }
    int cols() const { return m_cols; }
    // Sets the counts; new rows and columns are blank, dropped ones lose their cells.
    void setRows(int rows);
    void setCols(int cols);
    // Appends one blank row and returns its index.
    int appendRow();
    void removeRow(int row);

    // The last column whose header cell (row 0) equals `name` without regard
    // to case, or -1. Answers from an index that is rebuilt only after the
    // header row changes, so lookups in tight loops stay cheap.
    int findHeader(QStringView name) const;

    QString text(int row, int col) const;
    QStringView textView(int row, int col) const;
    void setText(int row, int col, QStringView text);
    void setText(int row, int col, const char* utf8) { setText(row, col, QString::fromUtf8(utf8)); }
    bool isEmpty(int row, int col) const { return textView(row, col).isEmpty(); }
    // Room for `chars` characters of cell text in a row that is about to be filled.
    void reserveRowText(int row, qsizetype chars) {
        if (row >= 0 && row < rows())
            m_rows[size_t(row)].cells.reserve(m_cols, chars);
    }

    // Moves column `from` to position `to`, shifting the columns between; all
    // cells, widths and pictures travel with it.
    void moveColumn(int from, int to);

    int colWidth(int col) const { return m_widths[size_t(col)]; }
    void setColWidth(int col, int twips) { m_widths[size_t(col)] = twips; }
    int rowHeight(int row) const { return m_rows[size_t(row)].height; }
    void setRowHeight(int row, int twips) { m_rows[size_t(row)].height = twips; }

    // Background of the data cells (columns 1 … cols-1) of a row; no value
    // means the cells have no colour of their own.
    std::optional<Rgb> rowBackground(int row) const;
    void setRowBackground(int row, std::optional<Rgb> colour);

    // Picture key of a cell (a symbol icon key such as "*18"), empty if none.
    QString picture(int row, int col) const;
    void setPicture(int row, int col, const QString& key);

    // Clears text, colour and picture of every cell.
    void clearAll();

    // Rebuilds the columns in one pass: new column i takes the cells, width
    // and pictures of old column sources[i], or is blank when sources[i] < 0.
    void rearrangeColumns(const std::vector<int>& sources);
    // Puts the rows first … first+order.size()-1 in a new order: new row
    // first+i is old row order[i] (with its cells, colour, pictures, height).
    void reorderRows(int first, const std::vector<int>& order);

    // Current cell and the moving end of the selection.
    int row() const { return m_row; }
    int col() const { return m_col; }
    int rowSel() const { return m_rowSel; }
    int colSel() const { return m_colSel; }
    void setCurrent(int row, int col);
    void setSelection(int rowSel, int colSel);
    // Row under the last mouse click.
    int mouseRow() const { return m_mouseRow; }
    void setMouseRow(int row) { m_mouseRow = row; }

    // A grid that other code drives (the view) asks this to know what changed.
    // Counts every structural or content change, so views can refresh lazily.
    std::uint64_t revision() const { return m_revision; }
    void touch() { ++m_revision; }

private:
    struct Row {
        RowCells cells;
        std::vector<std::pair<int, QString>> pictures; // (column, key), usually none
        std::optional<Rgb> background;
        int height = kRowHeight;
    };
    Row blankRow() const;
    void clampCursor();

    std::vector<Row> m_rows;
    std::vector<int> m_widths;
    int m_cols = 0;
    int m_row = 0, m_col = 0, m_rowSel = 0, m_colSel = 0;
    int m_mouseRow = 0;
    std::uint64_t m_revision = 0;
    mutable std::vector<std::pair<QString, int>> m_headerIndex; // (lower-case name, column)
    mutable bool m_headerIndexValid = false;
};

} // namespace trekora
