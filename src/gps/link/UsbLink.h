#pragma once

#include "gps/link/PacketLink.h"
#include "gps/link/UsbPacketCodec.h"

#include <QTimer>

struct libusb_context;
struct libusb_device_handle;
struct libusb_transfer;

namespace trekora::gps {

// The receiver's USB protocol through libusb: 12-byte packet headers, no
// framing, no checksums, no acknowledgements. The unit signals waiting data
// on the interrupt pipe; the bulk pipe is then read until an empty transfer.
// libusb's events are handled from a short timer on the owner's thread, so
// nothing blocks the user interface for long.
class UsbLink : public PacketLink {
    Q_OBJECT
public:
    static constexpr quint16 kVendorId = 0x091e;
    static constexpr quint16 kProductId = 0x0003;

    explicit UsbLink(QObject* parent = nullptr);
    ~UsbLink() override;

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_handle != nullptr; }
    void send(const Packet& packet) override;
    void clearPending() override {}
    bool acknowledges() const override { return false; }
    QString errorText() const override { return m_error; }

    quint32 unitId() const { return m_unitId; }

private:
    bool findEndpoints();
    bool startSession();
    bool writePacket(const UsbPacket& packet);
    void submitInterruptRead();
    void submitBulkRead();
    void handleEvents();
    void onInterruptDone(libusb_transfer* transfer);
    void onBulkDone(libusb_transfer* transfer);
    void dispatch(const QList<UsbPacket>& packets);
    void fail(const QString& reason);
    void releaseTransfers();

    static void interruptCallback(libusb_transfer* transfer);
    static void bulkCallback(libusb_transfer* transfer);

    libusb_context* m_context = nullptr;
    libusb_device_handle* m_handle = nullptr;
    libusb_transfer* m_interruptTransfer = nullptr;
    libusb_transfer* m_bulkTransfer = nullptr;
    unsigned char m_interruptBuffer[64] = {};
    unsigned char m_bulkBuffer[4096] = {};
    bool m_bulkPending = false;
    bool m_failing = false;
    unsigned char m_bulkIn = 0;
    unsigned char m_bulkOut = 0;
    unsigned char m_interruptIn = 0;
    int m_maxPacketSize = 64;
    quint32 m_unitId = 0;
    UsbPacketDecoder m_interruptDecoder;
    UsbPacketDecoder m_bulkDecoder;
    QTimer m_eventTimer;
    QString m_error;
};

} // namespace trekora::gps
