#include "proj/ProjectionCatalogue.h"

#include <algorithm>

namespace trekora {

ProjectionCatalogue& ProjectionCatalogue::instance() {
    static ProjectionCatalogue catalogue;
    return catalogue;
}

void ProjectionCatalogue::clear() {
    m_groups.clear();
    m_groupIndex.clear();
    m_codes.clear();
    m_codeOrder.clear();
    m_touchCounter = 0;
}

void ProjectionCatalogue::parse(const QByteArray& text) {
    clear();
    QString group;
    QString description;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        qsizetype stop = end;
        if (stop > start && text.at(stop - 1) == '\r')
            --stop;
        const QString line = QString::fromUtf8(text.constData() + start, stop - start);
        start = end + 1;

        if (line.startsWith(u'#')) {
            const QString header = line.mid(1);
            const qsizetype slash = header.indexOf(u'/');
            group = (slash < 0 ? header : header.left(slash)).trimmed();
            const QString second = slash < 0 ? QString() : header.mid(slash + 1).trimmed();
            description = second.isEmpty() ? QString::fromLatin1(kNoProjection) : second;
            continue;
        }
        if (!line.startsWith(u'<') || line.indexOf(u'>') < 1)
            continue; // blank or foreign line
        addDefinition(line, group, description);
        // A definition without a header of its own falls under an empty group.
        group.clear();
        description.clear();
    }
}

void ProjectionCatalogue::addDefinition(const QString& line, const QString& group,
                                        const QString& description) {
    const QString code = line.mid(1, line.indexOf(u'>') - 1);
    if (!m_codes.contains(code)) {
        m_codes.insert(code, CatalogueCode{code, group, description});
        m_codeOrder.append(code);
    }
    auto found = m_groupIndex.constFind(group);
    int index;
    if (found == m_groupIndex.cend()) {
        index = int(m_groups.size());
        m_groups.push_back(Group{group, {}, {}, 0});
        m_groupIndex.insert(group, index);
    } else {
        index = found.value();
    }
    Group& entry = m_groups[size_t(index)];
    entry.lastTouched = ++m_touchCounter;
    if (!entry.descriptionIndex.contains(description)) {
        entry.descriptionIndex.insert(description, int(entry.descriptions.size()));
        entry.descriptions.emplace_back(description, line);
    }
}

std::optional<CatalogueCode> ProjectionCatalogue::findCode(const QString& code) const {
    auto found = m_codes.constFind(code);
    if (found == m_codes.cend())
        return std::nullopt;
    return found.value();
}

QStringList ProjectionCatalogue::groups() const {
    std::vector<const Group*> ordered;
    ordered.reserve(m_groups.size());
    for (const auto& group : m_groups)
        ordered.push_back(&group);
    std::sort(ordered.begin(), ordered.end(),
              [](const Group* a, const Group* b) { return a->lastTouched < b->lastTouched; });
    QStringList names;
    names.reserve(qsizetype(ordered.size()));
    for (const Group* group : ordered)
        names.append(group->name);
    return names;
}

QStringList ProjectionCatalogue::descriptions(const QString& group) const {
    QStringList names;
    auto found = m_groupIndex.constFind(group);
    if (found == m_groupIndex.cend())
        return names;
    for (const auto& [description, line] : m_groups[size_t(found.value())].descriptions)
        names.append(description);
    return names;
}

QString ProjectionCatalogue::definitionLine(const QString& group,
                                            const QString& description) const {
    auto found = m_groupIndex.constFind(group);
    if (found == m_groupIndex.cend())
        return {};
    const Group& entry = m_groups[size_t(found.value())];
    auto at = entry.descriptionIndex.constFind(description);
    if (at == entry.descriptionIndex.cend())
        return {};
    return entry.descriptions[size_t(at.value())].second;
}

QString ProjectionCatalogue::parametersOf(const QString& definitionLine) {
    QStringList parameters;
    for (const QString& piece : definitionLine.split(u' '))
        if (piece.startsWith(u'+'))
            parameters.append(piece);
    return parameters.join(u' ');
}

} // namespace trekora
