#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace trekora {

// Where a catalogue code belongs: its group (datum or geographic system, or
// a whole ESRI system name) and description (projection name, or
// "No Projection").
struct CatalogueCode {
    QString code;
    QString group;
    QString description;
};

// The projection catalogue read from one of the files "epsg" or "esri":
// the group table (group → description → definition line, first one wins,
// descriptions in file order) and the code table (code → group and
// description of its first definition).
class ProjectionCatalogue {
public:
    static constexpr auto kNoProjection = "No Projection";

    // The program's catalogue, rebuilt by LoadProjections.
    static ProjectionCatalogue& instance();

    void clear();
    // Builds both tables from the text of a catalogue file. Lines that are
    // neither a "#" header nor a "<code> ..." definition are skipped.
    void parse(const QByteArray& text);

    // "epsg" or "esri": the file the tables were last read from.
    const QString& fileName() const { return m_fileName; }
    void setFileName(const QString& name) { m_fileName = name; }
    bool isEsri() const { return m_fileName == QLatin1String("esri"); }

    bool isEmpty() const { return m_codeOrder.empty(); }
    std::optional<CatalogueCode> findCode(const QString& code) const;
    // Every group, in table order (a group moves to the end each time one of
    // its definitions is read).
    QStringList groups() const;
    // The descriptions of a group in file order; empty for an unknown group.
    QStringList descriptions(const QString& group) const;
    // The whole definition line of (group, description); empty if unknown.
    QString definitionLine(const QString& group, const QString& description) const;
    // Every code in the order first read.
    const QStringList& codes() const { return m_codeOrder; }

    // The PROJ parameters of a definition line: its "+" pieces joined with
    // single blanks.
    static QString parametersOf(const QString& definitionLine);

private:
    struct Group {
        QString name;
        std::vector<std::pair<QString, QString>> descriptions; // (description, line)
        QHash<QString, int> descriptionIndex;
        quint64 lastTouched = 0;
    };
    void addDefinition(const QString& line, const QString& group, const QString& description);

    QString m_fileName;
    std::vector<Group> m_groups;
    QHash<QString, int> m_groupIndex;
    QHash<QString, CatalogueCode> m_codes;
    QStringList m_codeOrder;
    quint64 m_touchCounter = 0;
};

} // namespace trekora
