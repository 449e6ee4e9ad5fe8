#include "gps/link/FrameCodec.h"
#include "gps/protocol/DataTypes.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace trekora;
using namespace trekora::gps;

namespace {

struct Collected : FrameSink {
    QList<Packet> packets;
    QList<QByteArray> lines;
    QList<FrameError> errors;
    void onPacket(std::uint8_t id, QByteArrayView data) override {
        packets.append(Packet{id, data.toByteArray()});
    }
    void onLine(QByteArrayView line) override { lines.append(line.toByteArray()); }
    void onFrameError(FrameError error, std::uint8_t) override { errors.append(error); }
};

// The binary part of a capture: everything after the leading comment lines.
QByteArray captureBytes(const QString& name) {
    QFile file(test::testData(QStringLiteral("nmea/") + name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray all = file.readAll();
    qsizetype pos = 0;
    while (pos < all.size() && all[pos] == '#') {
        const auto end = all.indexOf('\n', pos);
        pos = end < 0 ? all.size() : end + 1;
    }
    return all.mid(pos);
}

} // namespace

TEST(FrameCodec, RecordedBinaryCaptureDecodesCleanly) {
    const QByteArray bytes = captureBytes(QStringLiteral("garmin18x-bin.log"));
    ASSERT_FALSE(bytes.isEmpty());
    ASSERT_TRUE(bytes.contains(QByteArray("\x10\x10", 2))) << "the capture has stuffed DLEs";

    Collected sink;
    FrameDecoder decoder(sink);
    decoder.feed(bytes);
    EXPECT_TRUE(sink.errors.isEmpty());
    ASSERT_EQ(sink.packets.size(), 58);
    int pvts = 0;
    for (const Packet& p : sink.packets) {
        EXPECT_TRUE(p.id == 51 || p.id == 114) << p.id;
        if (p.id == 51) {
            EXPECT_EQ(p.data.size(), 64);
            ++pvts;
        }
    }
    EXPECT_GT(pvts, 0);

    // Fed one byte at a time, the decoder finds the same packets.
    Collected slow;
    FrameDecoder byteWise(slow);
    for (char c : bytes)
        byteWise.feed(QByteArrayView(&c, 1));
    EXPECT_EQ(slow.packets, sink.packets);

    const auto first = std::find_if(sink.packets.begin(), sink.packets.end(),
                                    [](const Packet& p) { return p.id == 51; });
    PvtRecord pvt;
    ASSERT_TRUE(decodePvt(800, first->data, pvt));
    EXPECT_EQ(pvt.fix, 3);
    EXPECT_NEAR(pvt.latitude, 29.44557, 1e-5);
    EXPECT_NEAR(pvt.longitude, -98.60664, 1e-5);
    EXPECT_NEAR(pvt.alt, 219.97, 0.01);
    EXPECT_EQ(pvt.leap_scnds, 18);
    EXPECT_EQ(pvt.wn_days, 3773u);
}

TEST(FrameCodec, EncodedFramesStuffDleAndDecodeBack) {
    // Data, size and checksum all may hold DLE; each must be doubled.
    const QList<Packet> cases = {
        {35, QByteArray()},
        {35, QByteArray("\x10\x10\x03\x10", 4)},
        {51, QByteArray(16, '\x10')},
        {34, QByteArray(255, 'A')},
        {10, QByteArray("\x07\x00", 2)},
    };
    for (const Packet& p : cases) {
        const QByteArray frame = encodeFrame(static_cast<std::uint8_t>(p.id), p.data);
        // Unstuffed, the frame is 6 bytes longer than its data.
        QByteArray inner = frame.mid(2, frame.size() - 4);
        EXPECT_EQ(inner.count(QByteArray("\x10", 1)) % 2, 0) << "every DLE doubled";
        Collected sink;
        FrameDecoder decoder(sink);
        decoder.feed(frame);
        ASSERT_EQ(sink.packets.size(), 1);
        EXPECT_EQ(sink.packets[0], p);
        Packet back;
        ASSERT_TRUE(packetFromBytes(packetBytes(p), back));
        EXPECT_EQ(back, p);
        ASSERT_TRUE(packetFromBytes(frame, back));
        EXPECT_EQ(back, p);
    }
}

TEST(FrameCodec, DamagedInputIsReportedAndTheNextFrameFound) {
    const QByteArray good = encodeFrame(35, QByteArray("abc"));
    QByteArray badChecksum = good;
    badChecksum[6] = char(badChecksum[6] ^ 0x01);
    const QByteArray cut = good.left(4); // a frame that stops short
    QByteArray stream = QByteArray("noise\x03\xff", 7) + badChecksum + cut + good +
                        QByteArray("$GPGGA,1,2*00\r\n") + good;
    Collected sink;
    FrameDecoder decoder(sink);
    decoder.feed(stream);
    EXPECT_EQ(sink.packets.size(), 2);
    EXPECT_TRUE(sink.errors.contains(FrameSink::FrameError::BadChecksum));
    EXPECT_TRUE(sink.errors.contains(FrameSink::FrameError::BadStuffing));
    ASSERT_EQ(sink.lines.size(), 1);
    EXPECT_EQ(sink.lines[0], QByteArray("$GPGGA,1,2*00"));
}

TEST(FrameCodec, NmeaLinesPassThroughAndOverlongLinesAreDropped) {
    const QByteArray text = captureBytes(QStringLiteral("foretrex-201.log"));
    ASSERT_FALSE(text.isEmpty());
    Collected sink;
    FrameDecoder decoder(sink);
    decoder.feed(text);
    EXPECT_GT(sink.lines.size(), 10);
    for (const QByteArray& line : sink.lines) {
        EXPECT_TRUE(line.startsWith('$'));
        EXPECT_FALSE(line.endsWith('\r'));
    }
    Collected longLine;
    FrameDecoder d2(longLine);
    d2.feed(QByteArray("$") + QByteArray(100000, 'x') + "\n$GPOK\n");
    EXPECT_EQ(longLine.lines, QList<QByteArray>{QByteArray("$GPOK")});
    EXPECT_TRUE(longLine.errors.contains(FrameSink::FrameError::LineTooLong));
}
