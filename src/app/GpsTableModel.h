#pragma once

#include "table/DataGrid.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>
#include <functional>

namespace trekora {

// Shows a DataGrid through Qt's model/view: the grid's header row becomes the
// horizontal header, its row-number column the vertical header, and record
// row r / field column c is model index (r - 1, c - 1). The model reads the
// grid's cells on demand; `sync` tells the view what changed since the last
// call, using the grid's revision counter so an unchanged grid costs nothing.
class GpsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using IconLookup = std::function<QIcon(const QString& key)>;

    explicit GpsTableModel(const DataGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The icon of a picture key (a symbol icon); a null icon draws nothing.
    void setIconLookup(IconLookup lookup) { m_iconLookup = std::move(lookup); }

    enum class Change { None, Content, Rows, Reset };
    // Brings the model in line with the grid and says how much changed.
    Change sync();

    const DataGrid& grid() const { return m_grid; }

private:
    QStringList headerTexts() const;
    bool inGrid(int gridRow, int gridCol) const;

    const DataGrid& m_grid;
    IconLookup m_iconLookup;
    int m_rows = 0;
    int m_cols = 0;
    QStringList m_headers;
    std::uint64_t m_revision = 0;
};

} // namespace trekora
