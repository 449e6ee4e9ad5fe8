#pragma once

#include "gps/transport/ByteTransport.h"

#include <QSerialPort>

namespace trekora::gps {

// Serial settings as the program stores them: "9600,N,8,1".
struct SerialSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    // Reads "rate,parity,data,stop"; missing or bad parts keep their defaults.
    static SerialSettings parse(const QString& text);
    QString text() const;
};

// A serial device (tty, USB-serial adapter, pseudo-terminal) through QSerialPort.
class SerialTransport : public ByteTransport {
    Q_OBJECT
public:
    SerialTransport(const QString& devicePath, const SerialSettings& settings,
                    QObject* parent = nullptr);

    bool open() override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray& bytes) override;
    bool setBaudRate(qint32 rate) override;
    qint32 baudRate() const override;
    QString errorText() const override;

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    SerialSettings m_settings;
    QString m_error;
};

} // namespace trekora::gps
