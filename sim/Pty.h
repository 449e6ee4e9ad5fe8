#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace trekora::sim {

// The master side of a pseudo-terminal. The simulator keeps the slave side
// open itself, so a host that closes the device does not end the session and
// the next host finds the same device. Reads arrive as signals; writes are
// buffered and never block.
class Pty : public QObject {
    Q_OBJECT
public:
    explicit Pty(QObject* parent = nullptr);
    ~Pty() override;

    bool open(qint32 baudRate, QString* error);
    void close();
    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    // The line speed the host set on the device (0 when unknown).
    qint32 baudRate() const;
    void write(const QByteArray& bytes);
    qsizetype pendingOutput() const { return m_output.size(); }

signals:
    void received(const QByteArray& bytes);

private:
    void onReadable();
    void flush();

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QByteArray m_output;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
};

} // namespace trekora::sim
