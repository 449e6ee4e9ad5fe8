#pragma once

#include <QStringView>
#include <cstdint>
#include <vector>

namespace trekora {

// The texts of one table row in a single block: first the end offset of
// every cell (32 bits each, as two 16-bit units), then the cells' texts back
// to back. Reading a cell touches one allocation, which keeps whole-table
// passes (projection, export) fast, and a full table compact. The column
// count is the grid's; every call passes it.
class RowCells {
public:
    explicit RowCells(int cols = 0) { clear(cols); }

    void clear(int cols) { m_data.assign(headerSize(cols), 0); }
    QStringView cell(int cols, int col) const;
    void setCell(int cols, int col, QStringView text);
    // Keeps the first min(oldCols, newCols) cells; new cells are empty.
    void resize(int oldCols, int newCols);
    // Rebuilds the row: new cell i is old cell sources[i], or empty when
    // sources[i] is outside 0 … oldCols-1.
    void rearrange(int oldCols, const std::vector<int>& sources);
    // Room for `chars` characters of text.
    void reserve(int cols, qsizetype chars) { m_data.reserve(headerSize(cols) + size_t(chars)); }

private:
    static size_t headerSize(int cols) { return size_t(cols) * 2; }
    std::uint32_t end(int col) const {
        return std::uint32_t(m_data[size_t(col) * 2]) |
               (std::uint32_t(m_data[size_t(col) * 2 + 1]) << 16);
    }
    void setEnd(int col, std::uint32_t value) {
        m_data[size_t(col) * 2] = char16_t(value & 0xffff);
        m_data[size_t(col) * 2 + 1] = char16_t(value >> 16);
    }
    std::uint32_t begin(int col) const { return col == 0 ? 0 : end(col - 1); }

    std::vector<char16_t> m_data;
};

} // namespace trekora
