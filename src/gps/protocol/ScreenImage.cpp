#include "gps/protocol/ScreenImage.h"

#include "gps/protocol/ByteIO.h"

namespace trekora::gps {

namespace {
constexpr quint32 kHeader = 0;
constexpr quint32 kPixels = 1;
constexpr quint32 kPalette = 2;
} // namespace

void ScreenImageAssembler::reset() {
    *this = ScreenImageAssembler();
}

bool ScreenImageAssembler::add(QByteArrayView data) {
    ByteReader r(data);
    const quint32 section = r.u32();
    const quint32 offset = r.u32();
    if (r.failed())
        return false;
    const QByteArrayView body = data.sliced(8);
    if (section == kHeader)
        return addHeader(body);
    if (!m_haveHeader)
        return false;
    if (section == kPalette) {
        if (offset >= 256 || body.size() < 3)
            return false;
        if (m_palette.size() <= static_cast<qsizetype>(offset))
            m_palette.resize(offset + 1, qRgb(0, 0, 0));
        m_palette[offset] = qRgb(static_cast<quint8>(body[0]), static_cast<quint8>(body[1]),
                                 static_cast<quint8>(body[2]));
        return true;
    }
    if (section == kPixels) {
        if (offset > static_cast<quint32>(m_pixels.size()) ||
            body.size() > m_pixels.size() - static_cast<qsizetype>(offset))
            return false;
        std::copy(body.begin(), body.end(), m_pixels.begin() + offset);
        m_receivedBytes += body.size();
        return true;
    }
    return true; // sections we do not know are skipped
}

bool ScreenImageAssembler::addHeader(QByteArrayView data) {
    ByteReader r(data);
    const quint32 bytesPerRow = r.u32();
    const quint32 bitsPerPixel = r.u32();
    const quint32 width = r.u32();
    const quint32 height = r.u32();
    if (r.failed() || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return false;
    if (bitsPerPixel != 1 && bitsPerPixel != 2 && bitsPerPixel != 4 && bitsPerPixel != 8 &&
        bitsPerPixel != 24)
        return false;
    if (bytesPerRow < (width * bitsPerPixel + 7) / 8 || bytesPerRow > kMaxSide * 4)
        return false;
    reset();
    m_haveHeader = true;
    m_bytesPerRow = bytesPerRow;
    m_bitsPerPixel = bitsPerPixel;
    m_width = width;
    m_height = height;
    m_pixels = QByteArray(static_cast<qsizetype>(bytesPerRow) * height, '\0');
    return true;
}

int ScreenImageAssembler::percent() const {
    if (!m_haveHeader || m_pixels.isEmpty())
        return 0;
    const qsizetype done = std::min(m_receivedBytes, m_pixels.size());
    return static_cast<int>(done * 100 / m_pixels.size());
}

bool ScreenImageAssembler::complete() const {
    return m_haveHeader && m_receivedBytes >= m_pixels.size();
}

QRgb ScreenImageAssembler::colour(int index) const {
    if (index < m_palette.size())
        return m_palette[index];
    if (m_bitsPerPixel == 2) {
        static const QRgb greys[4] = {qRgb(255, 255, 255), qRgb(192, 192, 192), qRgb(128, 128, 128),
                                      qRgb(0, 0, 0)};
        return greys[index & 3];
    }
    const int levels = (1 << m_bitsPerPixel) - 1;
    const int grey = 255 - index * 255 / (levels ? levels : 1);
    return qRgb(grey, grey, grey);
}

QImage ScreenImageAssembler::image() const {
    if (!m_haveHeader)
        return {};
    QImage img(static_cast<int>(m_width), static_cast<int>(m_height), QImage::Format_RGB32);
    const auto* pixels = reinterpret_cast<const quint8*>(m_pixels.constData());
    for (quint32 y = 0; y < m_height; ++y) {
        const quint8* row = pixels + static_cast<qsizetype>(m_height - 1 - y) * m_bytesPerRow;
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(static_cast<int>(y)));
        for (quint32 x = 0; x < m_width; ++x) {
            if (m_bitsPerPixel == 24) {
                const quint8* p = row + x * 3;
                out[x] = qRgb(p[2], p[1], p[0]);
                continue;
            }
            const quint32 bit = x * m_bitsPerPixel;
            const quint8 byte = row[bit / 8];
            // The leftmost pixel sits in the lowest bits of each byte.
            const int shift = static_cast<int>(bit % 8);
            const int index = (byte >> shift) & ((1 << m_bitsPerPixel) - 1);
            out[x] = colour(index);
        }
    }
    return img;
}

} // namespace trekora::gps
