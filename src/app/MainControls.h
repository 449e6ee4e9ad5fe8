#pragma once

#include "app/MainMenus.h"
#include "table/RecordKind.h"

#include <QSize>
#include <QString>
#include <array>

class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace trekora {

class DataGrid;
class GpsTableView;

// The controls of the main window's client area: the record-type options,
// the data-table and editing buttons, the live position labels and the
// table view. Building registers each under its control name.
struct MainControls {
    // Creates the controls as children of `area`, the view showing `grid`.
    void build(QWidget& area, DataGrid& grid, const MainMenus::Registrar& registerControl);
    // Places the controls for a window of `windowSize`.
    void layout(QSize windowSize, int fontHeight);

    // The option button of a record type.
    QRadioButton* option(RecordKind kind) const;
    // The button the table area's visibility shows on.
    static const QString kTableHiddenCaption;
    static const QString kTableShownCaption;

    QRadioButton* optWpt = nullptr;
    QRadioButton* optTrk = nullptr;
    QRadioButton* optRte = nullptr;
    QRadioButton* optRTWpt = nullptr;
    QPushButton* cmdAdvanced = nullptr;
    QPushButton* cmdAddRec = nullptr;
    QPushButton* cmdDeleteSel = nullptr;
    QPushButton* cmdClearSel = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdPaste = nullptr;
    QLabel* lblGPSDesc1 = nullptr;
    QLabel* lbllat = nullptr;
    QLabel* lbllon = nullptr;
    QLabel* lblAlt = nullptr;
    QLabel* lblepe = nullptr;
    GpsTableView* MSFlexGrid1 = nullptr;
};

} // namespace trekora
