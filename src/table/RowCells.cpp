#include "table/RowCells.h"

#include <algorithm>

namespace trekora {

QStringView RowCells::cell(int cols, int col) const {
    const std::uint32_t from = begin(col);
    return QStringView(m_data.data() + headerSize(cols) + from, qsizetype(end(col) - from));
}

void RowCells::setCell(int cols, int col, QStringView text) {
    const size_t base = headerSize(cols);
    const std::uint32_t from = begin(col);
    const std::uint32_t oldLength = end(col) - from;
    const size_t at = base + from;
    const auto newLength = std::uint32_t(text.size());
    if (at + oldLength == m_data.size()) {
        // The last non-empty cell: rows fill left to right, so this is the
        // common case and shifts nothing.
        m_data.resize(at);
        m_data.insert(m_data.end(), text.utf16(), text.utf16() + text.size());
    } else if (newLength == oldLength) {
        std::copy(text.utf16(), text.utf16() + text.size(), m_data.begin() + qsizetype(at));
    } else {
        // One move of the row's tail, then the new text in its place.
        const size_t tailFrom = at + oldLength;
        const size_t tailLength = m_data.size() - tailFrom;
        if (newLength > oldLength) {
            m_data.resize(m_data.size() + (newLength - oldLength));
            std::copy_backward(m_data.begin() + qsizetype(tailFrom),
                               m_data.begin() + qsizetype(tailFrom + tailLength), m_data.end());
        } else {
            std::copy(m_data.begin() + qsizetype(tailFrom), m_data.end(),
                      m_data.begin() + qsizetype(at + newLength));
            m_data.resize(m_data.size() - (oldLength - newLength));
        }
        std::copy(text.utf16(), text.utf16() + text.size(), m_data.begin() + qsizetype(at));
    }
    const std::int64_t delta = std::int64_t(newLength) - std::int64_t(oldLength);
    if (delta != 0)
        for (int c = col; c < cols; ++c)
            setEnd(c, std::uint32_t(std::int64_t(end(c)) + delta));
}

void RowCells::resize(int oldCols, int newCols) {
    std::vector<int> sources(static_cast<size_t>(std::max(newCols, 0)));
    for (int c = 0; c < newCols; ++c)
        sources[size_t(c)] = c < oldCols ? c : -1;
    rearrange(oldCols, sources);
}

void RowCells::rearrange(int oldCols, const std::vector<int>& sources) {
    const int newCols = int(sources.size());
    std::vector<char16_t> data(headerSize(newCols), 0);
    data.reserve(m_data.size() + headerSize(newCols));
    std::uint32_t end = 0;
    for (int c = 0; c < newCols; ++c) {
        const int old = sources[size_t(c)];
        if (old >= 0 && old < oldCols) {
            const QStringView text = cell(oldCols, old);
            data.insert(data.end(), text.utf16(), text.utf16() + text.size());
            end += std::uint32_t(text.size());
        }
        data[size_t(c) * 2] = char16_t(end & 0xffff);
        data[size_t(c) * 2 + 1] = char16_t(end >> 16);
    }
    m_data = std::move(data);
}

} // namespace trekora
