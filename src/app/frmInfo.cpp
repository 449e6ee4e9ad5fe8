#include "app/frmInfo.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace trekora {

namespace {

// A capability column: 10 characters wide in a fixed-pitch font, so that
// every 10-character cell stands on a line of its own.
QLabel* formatLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamily(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFixedWidth(QFontMetrics(font).horizontalAdvance(QString(10, QLatin1Char('M'))) + 2);
    return label;
}

QLabel* plainLabel(QWidget* parent, const char* name, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

frmInfo::frmInfo(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral("Garmin Info"));
    setModal(true);
    lblProductID = plainLabel(this, "lblProductID");
    lblGPSDesc1 = plainLabel(this, "lblGPSDesc1");
    lblGPSDesc2 = plainLabel(this, "lblGPSDesc2");
    lbldate = plainLabel(this, "lbldate");
    lblTime = plainLabel(this, "lblTime");
    lblMode1 = plainLabel(this, "lblMode1", QStringLiteral("Garmin"));
    lblWaypointscnt = plainLabel(this, "lblWaypointscnt");
    lblProxWaypointscnt = plainLabel(this, "lblProxWaypointscnt");
    lblRoutePointscnt = plainLabel(this, "lblRoutePointscnt");
    lblTrackPointscnt = plainLabel(this, "lblTrackPointscnt");
    lblFormat1 = formatLabel(this, "lblFormat1");
    lblFormat2 = formatLabel(this, "lblFormat2");
    lblFormat3 = formatLabel(this, "lblFormat3");

    auto* form = new QFormLayout;
    form->addRow(lblProductID);
    form->addRow(lblGPSDesc1);
    form->addRow(lblGPSDesc2);
    form->addRow(QStringLiteral("Date"), lbldate);
    form->addRow(QStringLiteral("UTC"), lblTime);
    form->addRow(QStringLiteral("Mode"), lblMode1);
    form->addRow(new QLabel(QStringLiteral("GPS Data Counts:"), this));
    form->addRow(QStringLiteral("Waypoints"), lblWaypointscnt);
    form->addRow(QStringLiteral("Proximity Waypoints"), lblProxWaypointscnt);
    form->addRow(QStringLiteral("Route Points"), lblRoutePointscnt);
    form->addRow(QStringLiteral("Track Points"), lblTrackPointscnt);
    auto* formats = new QHBoxLayout;
    formats->addWidget(lblFormat1);
    formats->addWidget(lblFormat2);
    formats->addWidget(lblFormat3);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(formats);
    layout->addWidget(buttons);
}

void frmInfo::showInfo(const ReceiverInfo& info) {
    lblProductID->setText(info.productId);
    lblGPSDesc1->setText(info.desc1);
    lblGPSDesc2->setText(info.desc2);
    lbldate->setText(info.date);
    lblTime->setText(info.time);
    lblMode1->setText(info.mode);
    lblWaypointscnt->setText(info.waypoints);
    lblProxWaypointscnt->setText(info.proximityWaypoints);
    lblRoutePointscnt->setText(info.routePoints);
    lblTrackPointscnt->setText(info.trackPoints);
    lblFormat1->setText(info.format1);
    lblFormat2->setText(info.format2);
    lblFormat3->setText(info.format3);
}

} // namespace trekora
