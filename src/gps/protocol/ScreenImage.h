#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QRgb>

namespace trekora::gps {

// Puts a screen image together from the unit's screen packets (kind 69):
// each starts with a section (0 header, 1 pixel data, 2 colour table) and an
// offset. Pixel rows come bottom-up, each padded to 4 bytes.
class ScreenImageAssembler {
public:
    static constexpr int kMaxSide = 1024;

    void reset();
    // Takes one packet's data; false when it makes no sense (the image is
    // then abandoned).
    bool add(QByteArrayView data);
    // 0 ... 100; 100 once every pixel byte has arrived.
    int percent() const;
    bool complete() const;
    bool started() const { return m_haveHeader; }
    QImage image() const;

private:
    bool addHeader(QByteArrayView data);
    QRgb colour(int index) const;

    bool m_haveHeader = false;
    quint32 m_bytesPerRow = 0;
    quint32 m_bitsPerPixel = 0;
    quint32 m_width = 0;
    quint32 m_height = 0;
    QByteArray m_pixels;
    qsizetype m_receivedBytes = 0;
    QList<QRgb> m_palette;
};

} // namespace trekora::gps
