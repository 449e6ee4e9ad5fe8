#include "gps/link/SerialLink.h"
#include "gps/link/FrameCodec.h"
#include "gps/link/UsbPacketCodec.h"
#include "gps/transport/MemoryTransport.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace trekora::gps;

namespace {

// The receiver's end of an in-memory line: records the frames the link
// sends and answers as the test tells it.
struct FakeUnit : FrameSink {
    MemoryTransport wire;
    FrameDecoder decoder{*this};
    QList<Packet> received;
    bool autoAck = true;
    int nakFirst = 0;

    FakeUnit() {
        wire.open();
        QObject::connect(&wire, &ByteTransport::received,
                         [this](const QByteArray& b) { decoder.feed(b); });
    }
    void onPacket(std::uint8_t id, QByteArrayView data) override {
        received.append(Packet{id, data.toByteArray()});
        if (id == 6 || id == 21)
            return;
        const char answer[2] = {char(id), 0};
        if (nakFirst > 0) {
            --nakFirst;
            wire.write(encodeFrame(21, QByteArrayView(answer, 2)));
        } else if (autoAck) {
            wire.write(encodeFrame(6, QByteArrayView(answer, 2)));
        }
    }
    void onLine(QByteArrayView) override {}
    void onFrameError(FrameError, std::uint8_t) override {}
    int count(std::uint16_t id) const {
        return static_cast<int>(std::count_if(received.begin(), received.end(),
                                              [id](const Packet& p) { return p.id == id; }));
    }
};

struct LinkFixture {
    FakeUnit unit;
    MemoryTransport* hostEnd = new MemoryTransport;
    SerialLink link{std::unique_ptr<ByteTransport>(hostEnd)};
    LinkFixture() {
        MemoryTransport::connectPair(*hostEnd, unit.wire);
        link.setAckTimeout(50);
        link.setRetries(2);
        link.open();
    }
};

} // namespace

TEST(SerialLink, SendsOnePacketAtATimeAndMovesOnWithEachAck) {
    LinkFixture f;
    QSignalSpy acks(&f.link, &PacketLink::acknowledged);
    f.link.send(Packet{27, QByteArray("\x02\x00", 2)});
    f.link.send(Packet{35, QByteArray("one")});
    f.link.send(Packet{12, QByteArray("\x07\x00", 2)});
    EXPECT_TRUE(f.link.busy());
    ASSERT_TRUE(QTest::qWaitFor([&] { return acks.size() == 3; }, 2000));
    EXPECT_EQ(acks[0][0].toUInt(), 27u);
    EXPECT_EQ(acks[2][0].toUInt(), 12u);
    EXPECT_EQ(f.unit.received.size(), 3) << "no packet repeated";
    EXPECT_FALSE(f.link.busy());
}

TEST(SerialLink, ResendsOnNakAndOnSilenceThenGivesUp) {
    {
        LinkFixture f;
        f.unit.nakFirst = 2; // refused twice, then taken
        QSignalSpy acks(&f.link, &PacketLink::acknowledged);
        f.link.send(Packet{35, QByteArray("wpt")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return acks.size() == 1; }, 2000));
        EXPECT_EQ(f.unit.count(35), 3);
    }
    {
        LinkFixture f;
        f.unit.nakFirst = 100;
        QSignalSpy failed(&f.link, &PacketLink::sendFailed);
        f.link.send(Packet{35, QByteArray("wpt")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return failed.size() == 1; }, 2000));
        EXPECT_EQ(failed[0][0].value<PacketLink::SendFailure>(), PacketLink::SendFailure::Rejected);
        EXPECT_EQ(f.unit.count(35), 3) << "first try and two retries";
    }
    {
        LinkFixture f;
        f.unit.autoAck = false;
        QSignalSpy failed(&f.link, &PacketLink::sendFailed);
        f.link.send(Packet{35, QByteArray("wpt")});
        f.link.send(Packet{12, QByteArray("\x07\x00", 2)});
        ASSERT_TRUE(QTest::qWaitFor([&] { return failed.size() == 2; }, 3000));
        EXPECT_EQ(failed[0][0].value<PacketLink::SendFailure>(),
                  PacketLink::SendFailure::NotAcknowledged);
        EXPECT_EQ(failed[0][1].value<Packet>().id, 35);
        EXPECT_EQ(f.unit.count(35), 3);
    }
}

TEST(SerialLink, AcknowledgesIncomingPacketsAndRefusesDamagedOnes) {
    LinkFixture f;
    QSignalSpy packets(&f.link, &PacketLink::packetReceived);
    QSignalSpy lines(&f.link, &PacketLink::lineReceived);
    QByteArray damaged = encodeFrame(35, QByteArray("bad"));
    damaged[damaged.size() - 3] = char(damaged[damaged.size() - 3] ^ 0x20);
    f.unit.wire.write(damaged);
    f.unit.wire.write(encodeFrame(35, QByteArray("good")));
    f.unit.wire.write(QByteArray("$GPRMC,1*00\r\n"));
    // An old unit's one-byte ACK for nothing in flight is ignored quietly.
    f.unit.wire.write(encodeFrame(6, QByteArray("\x23", 1)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return packets.size() == 1 && lines.size() == 1; }, 2000));
    EXPECT_EQ(packets[0][0].value<Packet>().data, QByteArray("good"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.unit.received.size() == 2; }, 2000));
    EXPECT_EQ(f.unit.received[0].id, 21) << "NAK for the damaged frame";
    EXPECT_EQ(f.unit.received[0].data.at(0), 35);
    EXPECT_EQ(f.unit.received[1].id, 6);
}

TEST(SerialLink, ReportsAVanishedDevice) {
    LinkFixture f;
    QSignalSpy lost(&f.link, &PacketLink::lost);
    f.link.send(Packet{35, QByteArray("x")});
    f.hostEnd->vanish();
    EXPECT_EQ(lost.size(), 1);
    EXPECT_FALSE(f.link.busy());
}

TEST(UsbPacketCodec, PacketsSurviveAnySplitAndBadSizesAreRefused) {
    UsbPacket a;
    a.packet = Packet{255, QByteArray("eTrex\0", 6)};
    UsbPacket b;
    b.type = UsbPacket::kProtocolLayer;
    b.packet = Packet{6, QByteArray("\x01\x02\x03\x04", 4)};
    UsbPacket big;
    big.packet = Packet{34, QByteArray(600, 'x')}; // USB allows more than 255 bytes
    const QByteArray stream = a.encode() + b.encode() + big.encode();
    for (qsizetype split :
         {qsizetype(1), qsizetype(5), qsizetype(12), qsizetype(19), stream.size() - 1}) {
        UsbPacketDecoder decoder;
        auto got = decoder.feed(QByteArrayView(stream).first(split));
        got += decoder.feed(QByteArrayView(stream).sliced(split));
        ASSERT_EQ(got.size(), 3) << split;
        EXPECT_EQ(got[0].type, UsbPacket::kApplicationLayer);
        EXPECT_EQ(got[0].packet, a.packet);
        EXPECT_EQ(got[1].type, UsbPacket::kProtocolLayer);
        EXPECT_EQ(got[1].packet, b.packet);
        EXPECT_EQ(got[2].packet, big.packet);
    }
    QByteArray huge(12, '\0');
    huge[8] = char(0xFF);
    huge[9] = char(0xFF);
    huge[10] = char(0xFF);
    UsbPacketDecoder decoder;
    EXPECT_TRUE(decoder.feed(huge + QByteArray(100, 'x')).isEmpty());
    EXPECT_TRUE(decoder.damaged());
}
