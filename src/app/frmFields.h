#pragma once

#include "io/FieldMapping.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace trekora {

// "Identify Fields": asks which file fields supply the table's required
// fields when a file lacks some of them.
class frmFields : public QDialog, public FieldChooser {
    Q_OBJECT
public:
    explicit frmFields(QWidget* parent = nullptr);

    std::optional<std::array<QString, 6>> choose(const FieldMappingRequest& request) override;

    // Fills the boxes from a request without showing the dialog.
    void load(const FieldMappingRequest& request);
    // The boxes' texts in box order (ident, comment, lat, long, x_proj, y_proj).
    std::array<QString, 6> texts() const;

    QLabel* Label1 = nullptr;
    QGroupBox* cpDescription = nullptr;
    QLabel* lblIdent = nullptr;
    QComboBox* cbxIdent = nullptr;
    QLabel* lblComment = nullptr;
    QComboBox* cbxComment = nullptr;
    QGroupBox* cpSpatial = nullptr;
    QLabel* lblLat = nullptr;
    QComboBox* cbxLat = nullptr;
    QLabel* lblLong = nullptr;
    QComboBox* cbxLong = nullptr;
    QLabel* lblY_Proj = nullptr;
    QComboBox* cbxY_Proj = nullptr;
    QLabel* lblX_Proj = nullptr;
    QComboBox* cbxX_Proj = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    QComboBox* box(RequiredField field) const;
};

} // namespace trekora
