#include "gps/ShortNames.h"

#include "gps/protocol/DataTypes.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace trekora::gps {

namespace {

bool allowed(QChar c) {
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

bool isVowel(QChar c) {
    return QStringLiteral("AEIOU").contains(c);
}

// Capital letters and digits only: accents come off their letters, lower
// case goes up, everything else goes.
QString cleaned(const QString& name) {
    QString out;
    for (QChar c : name.normalized(QString::NormalizationForm_D).toUpper())
        if (allowed(c))
            out += c;
    return out;
}

bool fits(const QString& name, int length) {
    return !name.isEmpty() && name.size() <= length && cleaned(name) == name;
}

// Drops vowels after the first letter, last ones first, then keeps the
// start and the trailing number, which is what tells names apart.
QString shortened(const QString& name, int length) {
    QString s = name;
    for (qsizetype i = s.size() - 1; i > 0 && s.size() > length; --i)
        if (isVowel(s[i]))
            s.remove(i, 1);
    if (s.size() <= length)
        return s;
    qsizetype digits = 0;
    while (digits < s.size() && s[s.size() - 1 - digits].isDigit())
        ++digits;
    if (digits == 0 || digits >= length)
        return s.left(length);
    return s.left(length - digits) + s.right(digits);
}

// The name with a number at its end that no other name has yet.
QString distinct(const QString& name, int length, const QSet<QString>& used) {
    if (!used.contains(name))
        return name;
    for (int n = 1;; ++n) {
        const QString suffix = QString::number(n);
        const QString candidate =
            name.left(std::max<qsizetype>(0, length - suffix.size())) + suffix;
        if (!used.contains(candidate))
            return candidate;
    }
}

} // namespace

int identLength(const QString& waypointType) {
    const int type = dataTypeNumber(waypointType);
    if ((type >= 100 && type <= 107) || (type >= 400 && type <= 403))
        return 6;
    return 0;
}

QStringList shortNames(const QStringList& names, int length) {
    if (length < 1)
        return names;
    QHash<QString, QString> given;
    QSet<QString> used;
    // Names that already fit are kept first, so that a shortened name never
    // takes the place of one the user chose.
    for (const QString& name : names)
        if (fits(name, length)) {
            given.insert(name, name);
            used.insert(name);
        }
    QStringList result;
    result.reserve(names.size());
    for (const QString& name : names) {
        auto known = given.constFind(name);
        if (known == given.constEnd()) {
            QString base = cleaned(name);
            if (base.isEmpty())
                base = QStringLiteral("WPT");
            const QString chosen = distinct(shortened(base, length), length, used);
            used.insert(chosen);
            known = given.insert(name, chosen);
        }
        result << *known;
    }
    return result;
}

} // namespace trekora::gps
