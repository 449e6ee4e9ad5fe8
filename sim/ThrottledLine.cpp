#include "sim/ThrottledLine.h"

#include "sim/Pty.h"

#include <QSocketNotifier>
#include <sys/timerfd.h>
#include <unistd.h>

namespace trekora::sim {

namespace {
constexpr qint64 kBitsPerByte = 10; // start, 8 data, stop
constexpr qint64 kDefaultRate = 9600;
constexpr qint64 kLatenessCreditNs = 5'000'000;
} // namespace

ThrottledLine::ThrottledLine(Pty& pty, bool throttle, QObject* parent)
    : QObject(parent), m_pty(pty), m_throttle(throttle) {
    m_clock.start();
    if (!m_throttle)
        return;
    m_timerFd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_timerFd < 0) {
        m_throttle = false;
        return;
    }
    m_timerNotifier = new QSocketNotifier(m_timerFd, QSocketNotifier::Read, this);
    connect(m_timerNotifier, &QSocketNotifier::activated, this, [this] {
        uint64_t expirations = 0;
        [[maybe_unused]] const ssize_t n = ::read(m_timerFd, &expirations, sizeof expirations);
        pump();
    });
}

ThrottledLine::~ThrottledLine() {
    delete m_timerNotifier;
    if (m_timerFd >= 0)
        ::close(m_timerFd);
}

qint64 ThrottledLine::bytesNs(qsizetype count) const {
    qint64 rate = m_pty.baudRate();
    if (rate <= 0)
        rate = kDefaultRate;
    return count * kBitsPerByte * 1'000'000'000LL / rate;
}

void ThrottledLine::input(const QByteArray& bytes) {
    if (!m_throttle) {
        emit arrived(bytes);
        return;
    }
    m_chunks.enqueue({true, bytes, -1});
    pump();
}

void ThrottledLine::output(const QByteArray& bytes) {
    if (!m_throttle) {
        m_pty.write(bytes);
        return;
    }
    m_chunks.enqueue({false, bytes, -1});
    pump();
}

void ThrottledLine::clear() {
    m_chunks.clear();
}

void ThrottledLine::pump() {
    if (m_pumping)
        return; // re-entered from an arrived() handler: the loop below goes on
    m_pumping = true;
    while (!m_chunks.isEmpty()) {
        const qint64 now = m_clock.nsecsElapsed();
        Chunk& next = m_chunks.head();
        if (next.fromHost) {
            // The host's bytes start when the line is free and take their time.
            // An answer that comes a little after the line fell free counts
            // from that moment: this machine's scheduling delays are not line
            // time (the same bounded credit as for output below).
            if (next.dueNs < 0) {
                next.dueNs =
                    std::max(now - kLatenessCreditNs, m_lineFreeNs) + bytesNs(next.bytes.size());
                m_lineFreeNs = next.dueNs;
            }
            if (now < next.dueNs) {
                armTimer(next.dueNs);
                break;
            }
            const QByteArray bytes = m_chunks.dequeue().bytes;
            emit arrived(bytes);
            continue;
        }
        if (now < m_lineFreeNs) {
            armTimer(m_lineFreeNs);
            break;
        }
        const QByteArray bytes = m_chunks.dequeue().bytes;
        // The bytes start when the line fell free, not when this wake-up came:
        // a late timer does not stretch the line. The credit is bounded so an
        // idle line does not bank time.
        const qint64 start = std::max(m_lineFreeNs, now - kLatenessCreditNs);
        m_lineFreeNs = start + bytesNs(bytes.size());
        m_pty.write(bytes);
    }
    m_pumping = false;
}

void ThrottledLine::armTimer(qint64 atNs) {
    const qint64 delay = std::max<qint64>(atNs - m_clock.nsecsElapsed(), 1000);
    itimerspec when{};
    when.it_value.tv_sec = delay / 1'000'000'000LL;
    when.it_value.tv_nsec = delay % 1'000'000'000LL;
    timerfd_settime(m_timerFd, 0, &when, nullptr);
}

} // namespace trekora::sim
