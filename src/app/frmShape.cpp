#include "app/frmShape.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace trekora {

frmShape::frmShape(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Output Shape"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Please Define the Output Shape"));
    optPolygon = new QRadioButton(QStringLiteral("Polygon"));
    optLine = new QRadioButton(QStringLiteral("Line"));
    optPoint = new QRadioButton(QStringLiteral("Point"));
    optLine->setChecked(true);
    cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdOK->setDefault(true);
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, optPolygon, optLine, optPoint, cmdOK})
        layout->addWidget(w);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

QString frmShape::selectedShape() const {
    if (optPolygon->isChecked())
        return QStringLiteral("Polygon");
    if (optLine->isChecked())
        return QStringLiteral("Line");
    return QStringLiteral("Point");
}

std::optional<QString> frmShape::ask() {
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return selectedShape();
}

} // namespace trekora
