#include "gps/ReceiverSession.h"

#include "gps/GarminLink.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace trekora {

ReceiverSession::ReceiverSession(QObject* parent)
    : QObject(parent), m_link(std::make_unique<GarminLink>()) {
    connect(m_link.get(), &GarminLink::PortLost, this, &ReceiverSession::onPortLost);
}

ReceiverSession::~ReceiverSession() {
    m_link->disconnect(this);
}

void ReceiverSession::setConnection(Connection state) {
    if (m_connection == state)
        return;
    m_connection = state;
    emit connectionChanged(state);
}

void ReceiverSession::setTransferBusy(bool busy) {
    if (m_transferBusy == busy)
        return;
    m_transferBusy = busy;
    emit transferBusyChanged(busy);
}

void ReceiverSession::setTransferFinished(bool finished) {
    if (m_transferFinished == finished)
        return;
    m_transferFinished = finished;
    emit transferFinishedChanged(finished);
}

void ReceiverSession::setRealTimeActive(bool active) {
    if (m_realTime == active)
        return;
    m_realTime = active;
    emit realTimeChanged(active);
}

bool ReceiverSession::waitUntilLinkFree(int timeoutMs) const {
    if (!m_transferBusy)
        return true;
    // Each wait has its own loop, so waits nested inside one another end in
    // turn; the loop ends when the transfer lets go of the link.
    const QPointer<const ReceiverSession> self(this);
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &ReceiverSession::transferBusyChanged, &loop, [&loop](bool busy) {
        if (!busy)
            loop.quit();
    });
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    timeout.start(timeoutMs);
    loop.exec();
    return self && !m_transferBusy;
}

void ReceiverSession::onPortLost() {
    // The transfer in progress cannot finish; it no longer holds the link,
    // but it has not finished either.
    setTransferBusy(false);
    setRealTimeActive(false);
    const bool wasUp = m_connection != Connection::NotConnected;
    setConnection(Connection::NotConnected);
    if (wasUp)
        emit connectionLost();
}

} // namespace trekora
