#pragma once

#include "shapes/CRect.h"
#include "shapes/IShape.h"
#include "shapes/ShapeError.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

namespace trekora {

// The common body of CPolyLine, CPolygon (lists of CPart) and CMultiPoint
// (a list of CPoint): elements at positions 1 .. Count, an extent widened by
// every Add (and left as it was by Remove, so it may then exceed the
// content), and a null flag.
template <class Element> class ShapeList : public IShape {
public:
    using ElementPtr = std::shared_ptr<Element>;
    using List = QList<ElementPtr>;

    std::int32_t Count() const { return static_cast<std::int32_t>(m_elements.size()); }
    const List& NewEnum() const { return m_elements; }
    typename List::const_iterator begin() const { return m_elements.cbegin(); }
    typename List::const_iterator end() const { return m_elements.cend(); }

    // The element at 1-based `index`; outside 1 .. Count raises ShapeError 9.
    ElementPtr Item(std::int32_t index) const {
        if (index < 1 || index > Count())
            throw subscriptError(m_labels.item);
        return m_elements[index - 1];
    }

    // Appends `element` after widening the extent by its box. An object of any
    // other class raises ShapeError 0x8004020F and changes nothing.
    void Add(const GeometryObjectPtr& element) {
        auto typed = std::dynamic_pointer_cast<Element>(element);
        if (!typed || !isExactly<Element>(*element))
            throw ShapeError(shape_errors::kWrongElementClass, QString::fromLatin1(m_labels.add),
                             QString::fromLatin1(m_labels.addDescription));
        if (m_elements.isEmpty()) {
            m_extent.SetLeft(typed->Left());
            m_extent.SetRight(typed->Right());
            m_extent.SetBottom(typed->Bottom());
            m_extent.SetTop(typed->Top());
        } else {
            if (typed->Left() < m_extent.Left())
                m_extent.SetLeft(typed->Left());
            if (typed->Right() > m_extent.Right())
                m_extent.SetRight(typed->Right());
            if (typed->Bottom() < m_extent.Bottom())
                m_extent.SetBottom(typed->Bottom());
            if (typed->Top() > m_extent.Top())
                m_extent.SetTop(typed->Top());
        }
        m_elements.append(std::move(typed));
    }

    // Removes the element at 1-based `index`; the extent stays as it was.
    void Remove(std::int32_t index) {
        if (index < 1 || index > Count())
            throw subscriptError(m_labels.remove);
        m_elements.removeAt(index - 1);
    }

    // Direct setters for the shapefile reader.
    void SetNull(bool isNull) { m_null = isNull; }
    void SetLeft(double x) { m_extent.SetLeft(x); }
    void SetRight(double x) { m_extent.SetRight(x); }
    void SetTop(double y) { m_extent.SetTop(y); }
    void SetBottom(double y) { m_extent.SetBottom(y); }

    double Top() const override { return m_extent.Top(); }
    double Bottom() const override { return m_extent.Bottom(); }
    double Left() const override { return m_extent.Left(); }
    double Right() const override { return m_extent.Right(); }
    bool IsNull() const override { return m_null; }
    void MakeNull(bool isNull) override { m_null = isNull; }
    // Not implemented: shows "NOT IMPLEMENTED" and returns 0.
    double Distance(const IShape&) const override { return notImplementedDistance(); }

protected:
    // Error labels of the concrete class.
    struct Labels {
        const char* add;
        const char* addDescription;
        const char* remove;
        const char* item;
    };
    explicit ShapeList(Labels labels) : m_labels(labels) {}

private:
    static ShapeError subscriptError(const char* source) {
        return ShapeError(shape_errors::kSubscriptOutOfRange, QString::fromLatin1(source),
                          QStringLiteral("Subscript out of range"));
    }

    Labels m_labels;
    List m_elements;
    CRect m_extent;
    bool m_null = false;
};

} // namespace trekora
