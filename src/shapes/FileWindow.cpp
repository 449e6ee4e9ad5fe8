#include "shapes/FileWindow.h"

#include <cstring>

namespace trekora {

void FileWindow::attach(QFile* file, qint64 limit) {
    m_file = file;
    m_limit = limit;
    m_blockStart = -1;
    m_block.clear();
}

void FileWindow::detach() {
    attach(nullptr, 0);
}

bool FileWindow::read(qint64 position, qint64 length, char* out) {
    if (!m_file || position < 0 || length < 0 || position > m_limit || length > m_limit - position)
        return false;
    if (length == 0)
        return true;
    const bool cached = m_blockStart >= 0 && position >= m_blockStart &&
                        position + length <= m_blockStart + m_block.size();
    if (!cached) {
        if (length > kBlockSize) {
            // Large reads go straight to the file.
            return m_file->seek(position) && m_file->read(out, length) == length;
        }
        const qint64 blockLength = std::min(kBlockSize, m_limit - position);
        m_block.resize(blockLength);
        m_blockStart = -1;
        if (!m_file->seek(position) || m_file->read(m_block.data(), blockLength) != blockLength)
            return false;
        m_blockStart = position;
    }
    std::memcpy(out, m_block.constData() + (position - m_blockStart), size_t(length));
    return true;
}

bool FileWindow::read(qint64 position, qint64 length, QByteArray& out) {
    if (length < 0 || length > m_limit)
        return false;
    out.resize(length);
    return read(position, length, out.data());
}

} // namespace trekora
