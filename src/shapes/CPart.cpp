#include "shapes/CPart.h"

#include "shapes/ShapeError.h"

namespace trekora {

namespace {

const QString kSubscript = QStringLiteral("Subscript out of range");

} // namespace

CPointPtr CPart::Item(std::int32_t index) const {
    if (index < 1 || index > Count())
        throw ShapeError(shape_errors::kSubscriptOutOfRange, QStringLiteral("CPart::Item"),
                         kSubscript);
    return m_points[index - 1];
}

void CPart::Remove(std::int32_t index) {
    if (index < 1 || index > Count())
        throw ShapeError(shape_errors::kSubscriptOutOfRange, QStringLiteral("CPart::Remove"),
                         kSubscript);
    m_points.removeAt(index - 1);
    if (m_points.isEmpty())
        return;
    m_extent.Make(*m_points.first(), *m_points.first());
    for (qsizetype i = 1; i < m_points.size(); ++i)
        widen(*m_points[i]);
}

void CPart::Add(const GeometryObjectPtr& element) {
    auto point = std::dynamic_pointer_cast<CPoint>(element);
    if (!point || !isExactly<CPoint>(*element))
        throw ShapeError(shape_errors::kWrongElementClass, QStringLiteral("CPart::Add"),
                         QStringLiteral("CPart can only accept objects of type CPoint"));
    if (m_points.isEmpty())
        m_extent.Make(*point, *point);
    else
        widen(*point);
    m_points.append(std::move(point));
}

void CPart::widen(const CPoint& point) {
    if (point.X() < m_extent.Left())
        m_extent.SetLeft(point.X());
    else if (point.X() > m_extent.Right())
        m_extent.SetRight(point.X());
    if (point.Y() < m_extent.Bottom())
        m_extent.SetBottom(point.Y());
    else if (point.Y() > m_extent.Top())
        m_extent.SetTop(point.Y());
}

} // namespace trekora
