#include "app/GpsTableModel.h"

#include <QColor>

namespace trekora {

GpsTableModel::GpsTableModel(const DataGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), m_grid(grid) {
    m_rows = std::max(0, grid.rows() - 1);
    m_cols = std::max(0, grid.cols() - 1);
    m_headers = headerTexts();
    m_revision = grid.revision();
}

int GpsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int GpsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cols;
}

bool GpsTableModel::inGrid(int gridRow, int gridCol) const {
    // The grid may have shrunk before the next sync reaches the view.
    return gridRow >= 0 && gridRow < m_grid.rows() && gridCol >= 0 && gridCol < m_grid.cols();
}

QVariant GpsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int row = index.row() + 1, col = index.column() + 1;
    if (!inGrid(row, col))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_grid.text(row, col);
    case Qt::BackgroundRole: {
        const std::optional<Rgb> colour = m_grid.rowBackground(row);
        return colour ? QVariant(QColor::fromRgb(*colour)) : QVariant();
    }
    case Qt::DecorationRole: {
        if (!m_iconLookup)
            return {};
        const QString key = m_grid.picture(row, col);
        if (key.isEmpty())
            return {};
        const QIcon icon = m_iconLookup(key);
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    default:
        return {};
    }
}

QVariant GpsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return inGrid(0, section + 1) ? m_grid.text(0, section + 1) : QString();
    return inGrid(section + 1, 0) ? m_grid.text(section + 1, 0) : QString();
}

QStringList GpsTableModel::headerTexts() const {
    QStringList headers;
    headers.reserve(m_grid.cols());
    for (int c = 1; c < m_grid.cols(); ++c)
        headers << m_grid.text(0, c);
    return headers;
}

GpsTableModel::Change GpsTableModel::sync() {
    if (m_grid.revision() == m_revision)
        return Change::None;
    m_revision = m_grid.revision();
    const int rows = std::max(0, m_grid.rows() - 1);
    const int cols = std::max(0, m_grid.cols() - 1);
    const QStringList headers = headerTexts();

    if (cols != m_cols || rows < m_rows || headers != m_headers) {
        beginResetModel();
        m_rows = rows;
        m_cols = cols;
        m_headers = headers;
        endResetModel();
        return Change::Reset;
    }
    const int oldRows = m_rows;
    if (rows > oldRows) {
        beginInsertRows({}, oldRows, rows - 1);
        m_rows = rows;
        endInsertRows();
    }
    if (oldRows > 0 && m_cols > 0) {
        emit dataChanged(index(0, 0), index(oldRows - 1, m_cols - 1));
        emit headerDataChanged(Qt::Vertical, 0, oldRows - 1);
    }
    return rows > oldRows ? Change::Rows : Change::Content;
}

} // namespace trekora
