#include "app/frmFields.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace trekora {

namespace {

QComboBox* addBox(QFormLayout* form, QLabel*& label, const QString& caption, const QString& tag) {
    label = new QLabel(caption);
    auto* combo = new QComboBox;
    combo->setEditable(false);
    combo->setProperty("tag", tag);
    form->addRow(label, combo);
    return combo;
}

} // namespace

frmFields::frmFields(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Identify Fields"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Select Required Fields "));
    layout->addWidget(Label1);

    cpDescription = new QGroupBox(QStringLiteral("Description Information:"));
    auto* description = new QFormLayout(cpDescription);
    cbxIdent = addBox(description, lblIdent, QStringLiteral("Ident:"), QStringLiteral("ident"));
    cbxComment =
        addBox(description, lblComment, QStringLiteral("Comment:"), QStringLiteral("comment"));
    layout->addWidget(cpDescription);

    cpSpatial = new QGroupBox(QStringLiteral("Spatial Information:"));
    auto* spatial = new QFormLayout(cpSpatial);
    cbxLat = addBox(spatial, lblLat, QStringLiteral("Lat:"), QStringLiteral("lat"));
    cbxLong = addBox(spatial, lblLong, QStringLiteral("Long:"), QStringLiteral("long"));
    cbxY_Proj = addBox(spatial, lblY_Proj, QStringLiteral("Y_Proj:"), QStringLiteral("y_proj"));
    cbxX_Proj = addBox(spatial, lblX_Proj, QStringLiteral("X_Proj:"), QStringLiteral("x_proj"));
    layout->addWidget(cpSpatial);

    auto* buttons = new QHBoxLayout;
    cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    cmdOK->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QComboBox* frmFields::box(RequiredField field) const {
    switch (field) {
    case RequiredField::Ident:
        return cbxIdent;
    case RequiredField::Comment:
        return cbxComment;
    case RequiredField::Lat:
        return cbxLat;
    case RequiredField::Long:
        return cbxLong;
    case RequiredField::XProj:
        return cbxX_Proj;
    case RequiredField::YProj:
        return cbxY_Proj;
    }
    return cbxIdent;
}

void frmFields::load(const FieldMappingRequest& request) {
    cpSpatial->setVisible(request.spatialVisible);
    lblComment->setVisible(request.commentVisible);
    cbxComment->setVisible(request.commentVisible);
    for (RequiredField field : kBoxOrder) {
        QComboBox* combo = box(field);
        const size_t i = size_t(field);
        combo->clear();
        // The coordinate boxes may stay empty: an empty first entry allows it.
        if (field != RequiredField::Ident && field != RequiredField::Comment)
            combo->addItem(QString());
        combo->addItems(request.items[i]);
        combo->setCurrentIndex(std::max(0, combo->findText(request.texts[i])));
    }
}

std::array<QString, 6> frmFields::texts() const {
    std::array<QString, 6> result;
    for (RequiredField field : kBoxOrder)
        result[size_t(field)] = box(field)->currentText();
    return result;
}

std::optional<std::array<QString, 6>> frmFields::choose(const FieldMappingRequest& request) {
    load(request);
    // Closing the window by its frame counts as Cancel.
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return texts();
}

} // namespace trekora
