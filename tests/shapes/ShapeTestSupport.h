#pragma once

#include "shapes/CPart.h"
#include "shapes/ShapeError.h"
#include "shapes/ShapeNotice.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <cstring>
#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

// Small helpers shared by the shapefile and dBASE tests.
namespace trekora::test {

// A part made of the given (x, y) points.
inline CPartPtr part(std::initializer_list<std::pair<double, double>> points) {
    auto p = std::make_shared<CPart>();
    for (auto [x, y] : points)
        p->Add(std::make_shared<CPoint>(x, y));
    return p;
}

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

inline std::int32_t big32(const QByteArray& b, qsizetype at) {
    return qFromBigEndian<std::int32_t>(b.constData() + at);
}
inline std::int32_t little32(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<std::int32_t>(b.constData() + at);
}
inline double littleDouble(const QByteArray& b, qsizetype at) {
    const auto bits = qFromLittleEndian<std::uint64_t>(b.constData() + at);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}
inline void putBig32(QByteArray& b, qsizetype at, std::int32_t v) {
    qToBigEndian(v, b.data() + at);
}
inline void putLittle32(QByteArray& b, qsizetype at, std::int32_t v) {
    qToLittleEndian(v, b.data() + at);
}

// Runs `action`, expecting a ShapeError with this number and source (and
// description, when given).
template <class F>
void expectShapeError(F action, std::int32_t number, const QString& source,
                      const QString& description = {}) {
    try {
        action();
        ADD_FAILURE() << "no ShapeError raised";
    } catch (const ShapeError& e) {
        EXPECT_EQ(e.number(), number) << e.description().toStdString();
        EXPECT_EQ(e.source(), source);
        if (!description.isEmpty()) {
            EXPECT_EQ(e.description(), description);
        }
    }
}

// Records the library's notices while it lives; questions take the queued
// answers (std::nullopt: the default answer), then their defaults.
class RecordedNotices {
public:
    RecordedNotices() {
        setShapeNoticeHandler([this](const ShapeNotice& notice) {
            notices.push_back(notice);
            if (notice.kind != ShapeNotice::Kind::Question)
                return QString();
            if (answers.empty())
                return notice.defaultAnswer;
            const auto answer = answers.front();
            answers.pop_front();
            return answer.value_or(notice.defaultAnswer);
        });
    }
    ~RecordedNotices() { setShapeNoticeHandler({}); }
    RecordedNotices(const RecordedNotices&) = delete;
    RecordedNotices& operator=(const RecordedNotices&) = delete;

    QStringList texts() const {
        QStringList t;
        for (const ShapeNotice& n : notices)
            t << n.text;
        return t;
    }

    std::vector<ShapeNotice> notices;
    std::deque<std::optional<QString>> answers;
};

} // namespace trekora::test
