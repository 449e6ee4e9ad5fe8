#pragma once

#include "core/CodePage.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace trekora {

// What a load or a save could not carry over as it stood, for the user to be
// told: records refused whole (a coordinate that is no number or out of
// range) and single values that were not written as they stood (a number too
// wide for its field, a character the output code page lacks), and input
// fields that no table column takes. Nothing here is silent: the window shows
// the lines, the headless modes print them and end with the "partial" status.
class IoReport {
public:
    enum class Kind { RefusedRecord, ValueNotWritten };

    struct Problem {
        Kind kind;
        std::int64_t record; // 1-based record (row) number
        QString field;
        QString value;
        QString reason;
    };

    void refuseRecord(std::int64_t record, const QString& field, const QString& value,
                      const QString& reason);
    void valueNotWritten(std::int64_t record, const QString& field, const QString& value,
                         const QString& reason);
    // Input fields that no column of the table takes.
    void setIgnoredFields(const QStringList& fields) { m_ignored = fields; }

    std::int64_t count(Kind kind) const;
    // Refused records or values not written: the result is partial.
    bool hasProblems() const { return m_counts[0] + m_counts[1] > 0; }
    const QStringList& ignoredFields() const { return m_ignored; }
    void clear();

    // One line per kind of problem: its count and the first few by record,
    // field and value, for example
    //   2 records refused: record 3 lat "abc" is not a number; record 7 ...
    QStringList problemLines() const;
    // "Input fields not loaded: a, b", or empty.
    QString ignoredFieldsLine() const;

    // How many problems of each kind are kept by number, field and value.
    static constexpr int kNamedProblems = 5;

private:
    std::array<std::int64_t, 2> m_counts = {0, 0};
    std::vector<Problem> m_named;
    QStringList m_ignored;
};

// Shows the report's problem lines in one message box titled `title`, when
// there are any.
void showReport(const IoReport& report, const QString& title);

// The code page the user chose for new dBASE tables (setting "files" /
// "encoding": "utf-8", else Windows-1252).
CodePage outputCodePageSetting();
void setOutputCodePageSetting(CodePage page);

} // namespace trekora
