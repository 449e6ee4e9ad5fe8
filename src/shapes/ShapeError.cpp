#include "shapes/ShapeError.h"

namespace trekora {

ShapeError::ShapeError(std::int32_t number, QString source, QString description)
    : std::runtime_error(description.toStdString()), m_number(number), m_source(std::move(source)),
      m_description(std::move(description)) {}

ShapeError ShapeError::withSource(const QString& source) const {
    return ShapeError(m_number, source, m_description);
}

} // namespace trekora
