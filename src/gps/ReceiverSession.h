#pragma once

#include <QObject>
#include <memory>

namespace trekora {

class GarminLink;

// The receiver's state in one place: the link, whether a receiver is
// connected, whether a transfer holds the link and whether real-time
// tracking runs. Commands ask it and change it; the window observes its
// signals and lets its labels and commands follow.
class ReceiverSession : public QObject {
    Q_OBJECT
public:
    enum class Connection { NotConnected, Connecting, Connected };

    explicit ReceiverSession(QObject* parent = nullptr);
    ~ReceiverSession() override;

    GarminLink& link() { return *m_link; }
    const GarminLink& link() const { return *m_link; }

    Connection connection() const { return m_connection; }
    // A receiver answered on the open link.
    bool connected() const { return m_connection == Connection::Connected; }
    void setConnection(Connection state);

    // A download or upload holds the link.
    bool transferBusy() const { return m_transferBusy; }
    void setTransferBusy(bool busy);
    // The last transfer has been brought to its end (quiet mode waits for it).
    bool transferFinished() const { return m_transferFinished; }
    void setTransferFinished(bool finished);
    // Waits, letting events run, until no transfer holds the link or
    // `timeoutMs` has passed; true when the link is free.
    bool waitUntilLinkFree(int timeoutMs) const;

    bool realTimeActive() const { return m_realTime; }
    void setRealTimeActive(bool active);
    // A screen image is being received: the periodic refresh stays away.
    bool screenShotBusy() const { return m_screenShot; }
    void setScreenShotBusy(bool busy) { m_screenShot = busy; }

signals:
    void connectionChanged(ReceiverSession::Connection state);
    // The link went away while connected; the session is not connected now
    // and no transfer holds the link.
    void connectionLost();
    void transferBusyChanged(bool busy);
    void transferFinishedChanged(bool finished);
    void realTimeChanged(bool active);

private:
    void onPortLost();

    std::unique_ptr<GarminLink> m_link;
    Connection m_connection = Connection::NotConnected;
    bool m_transferBusy = false;
    bool m_transferFinished = true;
    bool m_realTime = false;
    bool m_screenShot = false;
};

} // namespace trekora
