#include "gps/link/UsbLink.h"

#include <QtEndian>
#include <libusb.h>

namespace trekora::gps {

namespace {
constexpr std::uint16_t kStartSession = 5;
constexpr std::uint16_t kSessionStarted = 6;
constexpr std::uint16_t kDataAvailable = 2;
constexpr unsigned kWriteTimeoutMs = 2000;
constexpr unsigned kSessionTimeoutMs = 1000;
constexpr int kEventPollMs = 5;
} // namespace

UsbLink::UsbLink(QObject* parent) : PacketLink(parent) {
    m_eventTimer.setInterval(kEventPollMs);
    connect(&m_eventTimer, &QTimer::timeout, this, &UsbLink::handleEvents);
}

UsbLink::~UsbLink() {
    close();
}

bool UsbLink::open() {
    if (m_handle)
        return true;
    if (libusb_init(&m_context) != 0) {
        m_context = nullptr;
        m_error = QStringLiteral("The USB library could not start");
        return false;
    }
    m_handle = libusb_open_device_with_vid_pid(m_context, kVendorId, kProductId);
    if (!m_handle) {
        m_error = QStringLiteral("No GPS receiver found on USB");
        close();
        return false;
    }
    libusb_set_auto_detach_kernel_driver(m_handle, 1);
    if (libusb_claim_interface(m_handle, 0) != 0 || !findEndpoints() || !startSession()) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The GPS receiver on USB could not be claimed");
        close();
        return false;
    }
    m_interruptTransfer = libusb_alloc_transfer(0);
    m_bulkTransfer = libusb_alloc_transfer(0);
    submitInterruptRead();
    m_eventTimer.start();
    return true;
}

void UsbLink::close() {
    m_eventTimer.stop();
    releaseTransfers();
    if (m_handle) {
        libusb_release_interface(m_handle, 0);
        libusb_close(m_handle);
        m_handle = nullptr;
    }
    if (m_context) {
        libusb_exit(m_context);
        m_context = nullptr;
    }
}

void UsbLink::releaseTransfers() {
    // Cancel outstanding reads and let libusb deliver their cancellation
    // before the transfers are freed.
    for (libusb_transfer* t : {m_interruptTransfer, m_bulkTransfer}) {
        if (t && m_context)
            libusb_cancel_transfer(t);
    }
    if (m_context) {
        timeval tv{0, 100000};
        libusb_handle_events_timeout_completed(m_context, &tv, nullptr);
    }
    for (libusb_transfer** t : {&m_interruptTransfer, &m_bulkTransfer}) {
        if (*t) {
            libusb_free_transfer(*t);
            *t = nullptr;
        }
    }
    m_bulkPending = false;
}

bool UsbLink::findEndpoints() {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(libusb_get_device(m_handle), &config) != 0)
        return false;
    bool found = false;
    if (config->bNumInterfaces > 0 && config->interface[0].num_altsetting > 0) {
        const libusb_interface_descriptor& iface = config->interface[0].altsetting[0];
        for (int i = 0; i < iface.bNumEndpoints; ++i) {
            const libusb_endpoint_descriptor& ep = iface.endpoint[i];
            const int kind = ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK;
            const bool in = (ep.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN;
            if (kind == LIBUSB_TRANSFER_TYPE_BULK && in)
                m_bulkIn = ep.bEndpointAddress;
            else if (kind == LIBUSB_TRANSFER_TYPE_BULK) {
                m_bulkOut = ep.bEndpointAddress;
                m_maxPacketSize = ep.wMaxPacketSize > 0 ? ep.wMaxPacketSize : 64;
            } else if (kind == LIBUSB_TRANSFER_TYPE_INTERRUPT && in)
                m_interruptIn = ep.bEndpointAddress;
        }
        found = m_bulkIn && m_bulkOut && m_interruptIn;
    }
    libusb_free_config_descriptor(config);
    return found;
}

bool UsbLink::startSession() {
    UsbPacket start;
    start.type = UsbPacket::kProtocolLayer;
    start.packet.id = kStartSession;
    if (!writePacket(start))
        return false;
    UsbPacketDecoder decoder;
    for (int attempt = 0; attempt < 4; ++attempt) {
        int got = 0;
        const int rc = libusb_interrupt_transfer(m_handle, m_interruptIn, m_interruptBuffer,
                                                 sizeof m_interruptBuffer, &got, kSessionTimeoutMs);
        if (rc != 0 && rc != LIBUSB_ERROR_TIMEOUT)
            break;
        const auto packets =
            decoder.feed(QByteArrayView(reinterpret_cast<const char*>(m_interruptBuffer), got));
        for (const UsbPacket& p : packets) {
            if (p.type == UsbPacket::kProtocolLayer && p.packet.id == kSessionStarted) {
                if (p.packet.data.size() >= 4)
                    m_unitId = qFromLittleEndian<quint32>(p.packet.data.constData());
                return true;
            }
        }
    }
    m_error = QStringLiteral("The GPS receiver on USB did not answer");
    return false;
}

bool UsbLink::writePacket(const UsbPacket& packet) {
    QByteArray bytes = packet.encode();
    int done = 0;
    int rc =
        libusb_bulk_transfer(m_handle, m_bulkOut, reinterpret_cast<unsigned char*>(bytes.data()),
                             static_cast<int>(bytes.size()), &done, kWriteTimeoutMs);
    if (rc == 0 && bytes.size() % m_maxPacketSize == 0) {
        // A transfer that fills whole USB packets is ended by an empty one.
        rc = libusb_bulk_transfer(m_handle, m_bulkOut, nullptr, 0, &done, kWriteTimeoutMs);
    }
    if (rc != 0) {
        m_error = QString::fromLatin1(libusb_error_name(rc));
        return false;
    }
    return true;
}

void UsbLink::send(const Packet& packet) {
    if (!m_handle)
        return;
    UsbPacket p;
    p.packet = packet;
    if (!writePacket(p)) {
        fail(m_error);
        return;
    }
    emit idle();
}

void UsbLink::submitInterruptRead() {
    libusb_fill_interrupt_transfer(m_interruptTransfer, m_handle, m_interruptIn, m_interruptBuffer,
                                   sizeof m_interruptBuffer, &UsbLink::interruptCallback, this, 0);
    if (libusb_submit_transfer(m_interruptTransfer) != 0)
        fail(QStringLiteral("The GPS receiver on USB stopped answering"));
}

void UsbLink::submitBulkRead() {
    if (m_bulkPending)
        return;
    libusb_fill_bulk_transfer(m_bulkTransfer, m_handle, m_bulkIn, m_bulkBuffer, sizeof m_bulkBuffer,
                              &UsbLink::bulkCallback, this, 0);
    if (libusb_submit_transfer(m_bulkTransfer) == 0)
        m_bulkPending = true;
}

void UsbLink::handleEvents() {
    if (!m_context)
        return;
    timeval zero{0, 0};
    libusb_handle_events_timeout_completed(m_context, &zero, nullptr);
}

void UsbLink::interruptCallback(libusb_transfer* transfer) {
    static_cast<UsbLink*>(transfer->user_data)->onInterruptDone(transfer);
}

void UsbLink::bulkCallback(libusb_transfer* transfer) {
    static_cast<UsbLink*>(transfer->user_data)->onBulkDone(transfer);
}

void UsbLink::onInterruptDone(libusb_transfer* transfer) {
    if (transfer->status == LIBUSB_TRANSFER_CANCELLED)
        return;
    if (transfer->status == LIBUSB_TRANSFER_NO_DEVICE ||
        transfer->status == LIBUSB_TRANSFER_ERROR) {
        fail(QStringLiteral("The GPS receiver on USB went away"));
        return;
    }
    const auto packets = m_interruptDecoder.feed(
        QByteArrayView(reinterpret_cast<const char*>(transfer->buffer), transfer->actual_length));
    QList<UsbPacket> application;
    for (const UsbPacket& p : packets) {
        if (p.type == UsbPacket::kProtocolLayer && p.packet.id == kDataAvailable)
            submitBulkRead();
        else if (p.type == UsbPacket::kApplicationLayer)
            application.append(p);
    }
    dispatch(application);
    if (m_handle)
        submitInterruptRead();
}

void UsbLink::onBulkDone(libusb_transfer* transfer) {
    m_bulkPending = false;
    if (transfer->status == LIBUSB_TRANSFER_CANCELLED)
        return;
    if (transfer->status == LIBUSB_TRANSFER_NO_DEVICE ||
        transfer->status == LIBUSB_TRANSFER_ERROR) {
        fail(QStringLiteral("The GPS receiver on USB went away"));
        return;
    }
    if (transfer->actual_length == 0)
        return; // the unit has nothing more
    dispatch(m_bulkDecoder.feed(
        QByteArrayView(reinterpret_cast<const char*>(transfer->buffer), transfer->actual_length)));
    if (m_handle)
        submitBulkRead();
}

void UsbLink::dispatch(const QList<UsbPacket>& packets) {
    for (const UsbPacket& p : packets) {
        if (p.type == UsbPacket::kApplicationLayer)
            emit packetReceived(p.packet);
    }
}

void UsbLink::fail(const QString& reason) {
    if (!m_handle || m_failing)
        return;
    m_failing = true;
    m_error = reason;
    // Closing happens after libusb has returned from its callback.
    QTimer::singleShot(0, this, [this, reason] {
        close();
        m_failing = false;
        emit lost(reason);
    });
}

} // namespace trekora::gps
