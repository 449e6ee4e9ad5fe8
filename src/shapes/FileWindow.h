#pragma once

#include <QByteArray>
#include <QFile>

namespace trekora {

// Bounded random reads from an open file through a block cache, so that
// walking the records of a file in order costs one system call per block
// rather than several per record. Reads never reach past `limit`, the size
// the file had when it was opened; data appended later is not read.
class FileWindow {
public:
    void attach(QFile* file, qint64 limit);
    void detach();
    qint64 limit() const { return m_limit; }

    // Copies `length` bytes at `position` into `out`; false when the range
    // lies outside 0 .. limit or the file cannot be read.
    bool read(qint64 position, qint64 length, char* out);
    // The same into a byte array sized to `length`.
    bool read(qint64 position, qint64 length, QByteArray& out);

private:
    static constexpr qint64 kBlockSize = 64 * 1024;

    QFile* m_file = nullptr;
    qint64 m_limit = 0;
    qint64 m_blockStart = -1;
    QByteArray m_block;
};

} // namespace trekora
