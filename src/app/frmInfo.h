#pragma once

#include "app/TransferState.h"

#include <QDialog>

class QLabel;

namespace trekora {

// "Garmin Info": the receiver's identification, date and time, link mode,
// data counts and capability table. Shows the texts the connection keeps.
class frmInfo : public QDialog {
    Q_OBJECT
public:
    explicit frmInfo(QWidget* parent = nullptr);
    void showInfo(const ReceiverInfo& info);

    QLabel* lblProductID = nullptr;
    QLabel* lblGPSDesc1 = nullptr;
    QLabel* lblGPSDesc2 = nullptr;
    QLabel* lbldate = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblMode1 = nullptr;
    QLabel* lblWaypointscnt = nullptr;
    QLabel* lblProxWaypointscnt = nullptr;
    QLabel* lblRoutePointscnt = nullptr;
    QLabel* lblTrackPointscnt = nullptr;
    QLabel* lblFormat1 = nullptr;
    QLabel* lblFormat2 = nullptr;
    QLabel* lblFormat3 = nullptr;
};

} // namespace trekora
