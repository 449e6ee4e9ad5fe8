// The simulator's GPX reader.
#include "sim/GpxReader.h"

#include <QBuffer>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    buffer.open(QIODevice::ReadOnly);
    trekora::sim::SimData out;
    QString error;
    trekora::sim::GpxReader::read(buffer, out, &error);
    return 0;
}
