#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// Lets GoogleTest print Qt strings readably in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{';
    for (const QString& s : list)
        *os << '"' << s.toStdString() << "\" ";
    *os << '}';
}
QT_END_NAMESPACE
