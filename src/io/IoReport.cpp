#include "io/IoReport.h"

#include "core/Settings.h"
#include "core/UserInteraction.h"

namespace trekora {

namespace {

int index(IoReport::Kind kind) {
    return kind == IoReport::Kind::RefusedRecord ? 0 : 1;
}

QString describe(const IoReport::Problem& p) {
    return QStringLiteral("record %1 %2 \"%3\" %4").arg(p.record).arg(p.field, p.value, p.reason);
}

} // namespace

void IoReport::refuseRecord(std::int64_t record, const QString& field, const QString& value,
                            const QString& reason) {
    if (m_counts[0]++ < kNamedProblems)
        m_named.push_back({Kind::RefusedRecord, record, field, value, reason});
}

void IoReport::valueNotWritten(std::int64_t record, const QString& field, const QString& value,
                               const QString& reason) {
    if (m_counts[1]++ < kNamedProblems)
        m_named.push_back({Kind::ValueNotWritten, record, field, value, reason});
}

std::int64_t IoReport::count(Kind kind) const {
    return m_counts[size_t(index(kind))];
}

void IoReport::clear() {
    m_counts = {0, 0};
    m_named.clear();
    m_ignored.clear();
}

QStringList IoReport::problemLines() const {
    QStringList lines;
    for (Kind kind : {Kind::RefusedRecord, Kind::ValueNotWritten}) {
        const std::int64_t n = count(kind);
        if (n == 0)
            continue;
        QStringList named;
        for (const Problem& p : m_named)
            if (p.kind == kind)
                named << describe(p);
        const QString what =
            kind == Kind::RefusedRecord
                ? (n == 1 ? QStringLiteral("record refused") : QStringLiteral("records refused"))
                : (n == 1 ? QStringLiteral("value not written")
                          : QStringLiteral("values not written"));
        QString line =
            QStringLiteral("%1 %2: ").arg(n).arg(what) + named.join(QStringLiteral("; "));
        if (n > named.size())
            line += QStringLiteral("; ...");
        lines << line;
    }
    return lines;
}

QString IoReport::ignoredFieldsLine() const {
    if (m_ignored.isEmpty())
        return {};
    return QStringLiteral("Input fields not loaded: ") + m_ignored.join(QStringLiteral(", "));
}

void showReport(const IoReport& report, const QString& title) {
    // Fields the table has no column for are usual in the window, where the
    // field list is the user's choice: only problems are worth a box.
    const QStringList lines = report.problemLines();
    if (lines.isEmpty())
        return;
    userInteraction().message(lines.join(QStringLiteral("\r\n")), title, Buttons::Ok,
                              Icon::Warning);
}

CodePage outputCodePageSetting() {
    return codepage::fromName(Settings::get(QStringLiteral("files"), QStringLiteral("encoding")))
        .value_or(CodePage::Windows1252);
}

void setOutputCodePageSetting(CodePage page) {
    Settings::set(QStringLiteral("files"), QStringLiteral("encoding"),
                  page == CodePage::Utf8 ? QStringLiteral("utf-8") : QStringLiteral("1252"));
}

} // namespace trekora
