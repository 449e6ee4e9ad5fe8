#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QQueue>
#include <functional>

class QSocketNotifier;

namespace trekora::sim {

class Pty;

// Models the time bytes need on a serial line. Every byte, in either
// direction, occupies the line for 10 bit times (8N1) at the speed the host
// set: what the host sends is handed on only when it would have arrived, and
// what the unit sends waits for the line to be free. Waits use a timerfd so
// that sub-millisecond spacing stays accurate; lateness does not accumulate.
// Without throttling bytes pass straight through.
class ThrottledLine : public QObject {
    Q_OBJECT
public:
    ThrottledLine(Pty& pty, bool throttle, QObject* parent = nullptr);
    ~ThrottledLine() override;

    // Bytes from the host (read from the pseudo-terminal).
    void input(const QByteArray& bytes);
    // Bytes to the host.
    void output(const QByteArray& bytes);
    void clear();
    bool throttled() const { return m_throttle; }

signals:
    void arrived(const QByteArray& bytes);

private:
    struct Chunk {
        bool fromHost;
        QByteArray bytes;
        qint64 dueNs = -1; // input: when it has fully arrived
    };

    qint64 bytesNs(qsizetype count) const;
    void pump();
    void armTimer(qint64 atNs);

    Pty& m_pty;
    bool m_throttle;
    QElapsedTimer m_clock;
    qint64 m_lineFreeNs = 0;
    QQueue<Chunk> m_chunks;
    int m_timerFd = -1;
    QSocketNotifier* m_timerNotifier = nullptr;
    bool m_pumping = false;
};

} // namespace trekora::sim
