#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace trekora::gps {

// A byte stream to the receiver: a serial device, or an in-memory pipe in
// tests. Reads arrive as signals on the owner's thread; nothing blocks.
class ByteTransport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void write(const QByteArray& bytes) = 0;
    // Sets the line speed; false when the device refuses it.
    virtual bool setBaudRate(qint32 rate) = 0;
    // The line speed in use, 0 when unknown.
    virtual qint32 baudRate() const = 0;
    virtual QString errorText() const = 0;

signals:
    void received(const QByteArray& bytes);
    // The device went away or stopped working while open.
    void lost(const QString& reason);
};

} // namespace trekora::gps
