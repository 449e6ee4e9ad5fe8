#include "app/frmQuietStatus.h"

#include <QLabel>
#include <QVBoxLayout>

namespace trekora {

frmQuietStatus::frmQuietStatus(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmQuietStatus"));
    setWindowTitle(QStringLiteral("Trekora Status Window"));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStatus);
}

void frmQuietStatus::setStatus(const QString& text) {
    lblStatus->setText(text);
}

QString frmQuietStatus::status() const {
    return lblStatus->text();
}

} // namespace trekora
