#include "gps/transport/SerialTransport.h"

#include <QStringList>

namespace trekora::gps {

SerialSettings SerialSettings::parse(const QString& text) {
    SerialSettings s;
    const QStringList parts = text.split(QLatin1Char(','));
    bool ok = false;
    if (!parts.isEmpty()) {
        const qint32 rate = parts[0].trimmed().toInt(&ok);
        if (ok && rate > 0)
            s.baudRate = rate;
    }
    if (parts.size() > 1) {
        const QString p = parts[1].trimmed().toUpper();
        if (p == QLatin1String("E"))
            s.parity = QSerialPort::EvenParity;
        else if (p == QLatin1String("O"))
            s.parity = QSerialPort::OddParity;
        else if (p == QLatin1String("M"))
            s.parity = QSerialPort::MarkParity;
        else if (p == QLatin1String("S"))
            s.parity = QSerialPort::SpaceParity;
    }
    if (parts.size() > 2) {
        const int bits = parts[2].trimmed().toInt(&ok);
        if (ok && bits >= 5 && bits <= 8)
            s.dataBits = static_cast<QSerialPort::DataBits>(bits);
    }
    if (parts.size() > 3) {
        const QString stop = parts[3].trimmed();
        if (stop == QLatin1String("2"))
            s.stopBits = QSerialPort::TwoStop;
        else if (stop == QLatin1String("1.5"))
            s.stopBits = QSerialPort::OneAndHalfStop;
    }
    return s;
}

QString SerialSettings::text() const {
    QString parityText = QStringLiteral("N");
    switch (parity) {
    case QSerialPort::EvenParity:
        parityText = QStringLiteral("E");
        break;
    case QSerialPort::OddParity:
        parityText = QStringLiteral("O");
        break;
    case QSerialPort::MarkParity:
        parityText = QStringLiteral("M");
        break;
    case QSerialPort::SpaceParity:
        parityText = QStringLiteral("S");
        break;
    default:
        break;
    }
    const QString stop = stopBits == QSerialPort::TwoStop          ? QStringLiteral("2")
                         : stopBits == QSerialPort::OneAndHalfStop ? QStringLiteral("1.5")
                                                                   : QStringLiteral("1");
    return QStringLiteral("%1,%2,%3,%4")
        .arg(baudRate)
        .arg(parityText)
        .arg(static_cast<int>(dataBits))
        .arg(stop);
}

SerialTransport::SerialTransport(const QString& devicePath, const SerialSettings& settings,
                                 QObject* parent)
    : ByteTransport(parent), m_settings(settings) {
    m_port.setPortName(devicePath);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialTransport::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
}

bool SerialTransport::open() {
    if (m_port.isOpen())
        return true;
    m_port.setBaudRate(m_settings.baudRate);
    m_port.setParity(m_settings.parity);
    m_port.setDataBits(m_settings.dataBits);
    m_port.setStopBits(m_settings.stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_error = m_port.errorString();
        return false;
    }
    // Whatever the device buffered before we came is not for us.
    m_port.clear();
    return true;
}

void SerialTransport::close() {
    if (m_port.isOpen())
        m_port.close();
}

bool SerialTransport::isOpen() const {
    return m_port.isOpen();
}

void SerialTransport::write(const QByteArray& bytes) {
    if (m_port.isOpen())
        m_port.write(bytes);
}

bool SerialTransport::setBaudRate(qint32 rate) {
    if (!m_port.isOpen()) {
        m_settings.baudRate = rate;
        return true;
    }
    m_port.flush();
    if (!m_port.setBaudRate(rate))
        return false;
    m_settings.baudRate = rate;
    return true;
}

qint32 SerialTransport::baudRate() const {
    return m_port.isOpen() ? m_port.baudRate() : m_settings.baudRate;
}

QString SerialTransport::errorText() const {
    return m_error;
}

void SerialTransport::onReadyRead() {
    const QByteArray bytes = m_port.readAll();
    if (!bytes.isEmpty())
        emit received(bytes);
}

void SerialTransport::onError(QSerialPort::SerialPortError error) {
    // Only errors that mean the device is gone end the link; a timeout or a
    // refused setting is reported by the call that caused it.
    if (error != QSerialPort::ResourceError && error != QSerialPort::DeviceNotFoundError &&
        error != QSerialPort::PermissionError)
        return;
    if (!m_port.isOpen())
        return;
    m_error = m_port.errorString();
    m_port.close();
    emit lost(m_error);
}

} // namespace trekora::gps
