#include "shapes/CFileName.h"

#include "shapes/ShapeError.h"

namespace trekora {

namespace {

#ifdef Q_OS_WIN
constexpr bool kWindowsPaths = true;
#else
constexpr bool kWindowsPaths = false;
#endif

bool isSeparator(QChar c) {
    return c == '/' || (kWindowsPaths && c == '\\');
}

// Characters no path element may hold.
bool isForbidden(QChar c) {
    static const QString forbidden = QStringLiteral("?*|><:\"");
    return forbidden.contains(c) || (!kWindowsPaths && c == '\\');
}

// Characters a base name or an extension may not hold.
bool isValidPart(const QString& part) {
    static const QString forbidden = QStringLiteral("?*|/><:\\\"");
    if (part.isEmpty())
        return false;
    for (QChar c : part)
        if (forbidden.contains(c))
            return false;
    return true;
}

[[noreturn]] void raiseInvalid(const char* source) {
    throw ShapeError(shape_errors::kInvalidFileSpec, QString::fromLatin1(source),
                     QStringLiteral("The FileSpec is invalid"));
}

} // namespace

bool CFileName::isValidSpec(const QString& spec) {
    if (spec.isEmpty())
        return false;
    qsizetype bodyStart = 0;
    if constexpr (kWindowsPaths) {
        const QChar drive = spec[0];
        const bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
        if (!letter || spec.size() < 3 || spec[1] != ':' || !isSeparator(spec[2]))
            return false;
        bodyStart = 2;
    } else if (spec[0] != '/') {
        return false;
    }
    bool hasSeparator = false;
    bool hasDot = false;
    for (qsizetype i = bodyStart; i < spec.size(); ++i) {
        const QChar c = spec[i];
        if (isForbidden(c))
            return false;
        if (isSeparator(c)) {
            hasSeparator = true;
            if (i + 1 < spec.size() && isSeparator(spec[i + 1]))
                return false;
        }
        if (c == '.') {
            hasDot = true;
            if (i + 1 < spec.size() && spec[i + 1] == '.')
                return false;
        }
    }
    return hasSeparator && hasDot;
}

void CFileName::SetFileSpec(const QString& spec) {
    store(spec, "C_FileName::SetFileSpec");
}

void CFileName::store(const QString& spec, const char* source) {
    if (!isValidSpec(spec))
        raiseInvalid(source);
    m_spec = spec;
}

qsizetype CFileName::fileNameStart() const {
    for (qsizetype i = m_spec.size() - 1; i >= 0; --i)
        if (isSeparator(m_spec[i]))
            return i + 1;
    return 0;
}

qsizetype CFileName::extensionDot() const {
    const qsizetype dot = m_spec.lastIndexOf('.');
    return dot >= fileNameStart() ? dot : -1;
}

QString CFileName::GetBaseName() const {
    const qsizetype start = fileNameStart();
    const qsizetype dot = extensionDot();
    return dot < 0 ? m_spec.mid(start) : m_spec.mid(start, dot - start);
}

QString CFileName::GetExtension() const {
    const qsizetype dot = extensionDot();
    return dot < 0 ? QString() : m_spec.mid(dot + 1);
}

QString CFileName::GetDirectory() const {
    return m_spec.left(fileNameStart());
}

void CFileName::SetBaseName(const QString& name) {
    const char* source = "C_FileName::SetBaseName";
    if (!isValidPart(name))
        raiseInvalid(source);
    const qsizetype dot = extensionDot();
    const QString extension = dot < 0 ? QString() : m_spec.mid(dot);
    store(GetDirectory() + name + extension, source);
}

void CFileName::SetExtension(const QString& ext) {
    const char* source = "C_FileName::SetExtension";
    if (!isValidPart(ext))
        raiseInvalid(source);
    if (m_spec.isEmpty()) {
        m_spec = ext;
        return;
    }
    const qsizetype dot = extensionDot();
    const QString stem = dot < 0 ? m_spec : m_spec.left(dot);
    store(stem + '.' + ext, source);
}

} // namespace trekora
