#include "sim/Pty.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace trekora::sim {

namespace {

struct SpeedEntry {
    speed_t speed;
    qint32 rate;
};

constexpr SpeedEntry kSpeeds[] = {
    {B1200, 1200},   {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},
    {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
};

speed_t speedFor(qint32 rate) {
    for (const auto& e : kSpeeds)
        if (e.rate == rate)
            return e.speed;
    return B9600;
}

} // namespace

Pty::Pty(QObject* parent) : QObject(parent) {}

Pty::~Pty() {
    close();
}

bool Pty::open(qint32 baudRate, QString* error) {
    close();
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        close();
        return false;
    }
    char name[256] = {};
    if (ptsname_r(m_master, name, sizeof name) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        close();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        close();
        return false;
    }
    // A raw line like a serial port, until a host sets its own mode.
    termios tio{};
    tcgetattr(m_slave, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, speedFor(baudRate));
    cfsetospeed(&tio, speedFor(baudRate));
    tcsetattr(m_slave, TCSANOW, &tio);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &Pty::onReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &Pty::flush);
    return true;
}

void Pty::close() {
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
    m_output.clear();
}

qint32 Pty::baudRate() const {
    if (m_slave < 0)
        return 0;
    termios tio{};
    if (tcgetattr(m_slave, &tio) != 0)
        return 0;
    const speed_t speed = cfgetospeed(&tio);
    for (const auto& e : kSpeeds)
        if (e.speed == speed)
            return e.rate;
    return 0;
}

void Pty::write(const QByteArray& bytes) {
    if (m_master < 0)
        return;
    m_output.append(bytes);
    // Nobody reads the line: like a real serial line, old bytes are lost.
    constexpr qsizetype kMaxBacklog = 256 * 1024;
    if (m_output.size() > kMaxBacklog)
        m_output.remove(0, m_output.size() - kMaxBacklog);
    flush();
}

void Pty::flush() {
    while (m_master >= 0 && !m_output.isEmpty()) {
        const ssize_t n =
            ::write(m_master, m_output.constData(), static_cast<size_t>(m_output.size()));
        if (n > 0) {
            m_output.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // the host is not reading: try again when there is room
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_output.isEmpty());
}

void Pty::onReadable() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            emit received(QByteArray(buffer, n));
            if (m_master < 0)
                return;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return;
    }
}

} // namespace trekora::sim
