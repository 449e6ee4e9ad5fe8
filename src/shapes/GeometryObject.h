#pragma once

#include <memory>
#include <typeinfo>

namespace trekora {

// Common root of every object of the geometry library. Containers and the
// shapefile writer accept any geometry object and decide by its exact class
// what to do with it, so that a wrong element is refused with the library's
// own error rather than by the compiler alone. Objects are shared: a
// container holds a reference to the element it was given, not a copy.
class GeometryObject {
public:
    virtual ~GeometryObject() = default;

protected:
    GeometryObject() = default;
    GeometryObject(const GeometryObject&) = default;
    GeometryObject& operator=(const GeometryObject&) = default;
};

using GeometryObjectPtr = std::shared_ptr<GeometryObject>;

// True when `object` is of class T itself, not of another class or a subclass.
template <class T> bool isExactly(const GeometryObject& object) {
    return typeid(object) == typeid(T);
}

} // namespace trekora
