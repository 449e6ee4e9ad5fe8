#pragma once

#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;
class QRadioButton;

namespace trekora {

// "Output Shape": whether a track or route goes to a shapefile as points,
// a line or a polygon. Keeps its choice between uses.
class frmShape : public QDialog {
    Q_OBJECT
public:
    explicit frmShape(QWidget* parent = nullptr);

    // Shows the dialog; the chosen shape ("Polygon", "Line" or "Point"), or
    // std::nullopt when it was closed without OK.
    std::optional<QString> ask();
    QString selectedShape() const;

    QLabel* Label1 = nullptr;
    QRadioButton* optPolygon = nullptr;
    QRadioButton* optLine = nullptr;
    QRadioButton* optPoint = nullptr;
    QPushButton* cmdOK = nullptr;
};

} // namespace trekora
