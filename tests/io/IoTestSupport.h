#pragma once

#include "io/FieldMapping.h"
#include "io/IoContext.h"
#include "support/TestEnvironment.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QFile>
#include <deque>

namespace trekora::test {

// A field-mapping dialog that records what it was shown and answers from a script.
class ScriptedChooser : public FieldChooser {
public:
    std::optional<std::array<QString, 6>> choose(const FieldMappingRequest& request) override {
        requests.push_back(request);
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        if (!answer)
            return std::nullopt;
        // An empty-answer box keeps what the dialog suggested.
        std::array<QString, 6> texts = request.texts;
        for (size_t i = 0; i < 6; ++i)
            if (!(*answer)[i].isNull())
                texts[i] = (*answer)[i];
        return texts;
    }
    std::deque<std::optional<std::array<QString, 6>>> answers;
    std::vector<FieldMappingRequest> requests;
};

class IoTest : public TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        FieldSettings::SetFieldSettings({});
    }
    int col(const char* name) const { return table.FindColumn(QString::fromLatin1(name)); }
    QString cell(int row, const char* name) const { return table.grid().text(row, col(name)); }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = scratchPath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    HeadlessTableHost host;
    GpsTable table{host};
    ScriptedChooser chooser;
    std::vector<bool> projections;                   // forward flags of the projection runs
    std::vector<std::pair<QString, bool>> prjWrites; // (base path, projected)
    IoContext io{table,
                 chooser,
                 [this](bool forward) {
                     projections.push_back(forward);
                     return true;
                 },
                 [this](const QString& base, bool projected) {
                     prjWrites.emplace_back(base, projected);
                     QFile prj(base + ".prj");
                     EXPECT_TRUE(prj.open(QIODevice::WriteOnly));
                 },
                 {}};
};

} // namespace trekora::test
