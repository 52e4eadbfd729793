// Plain value classes for scripts: the string, int and float vectors, the
// rectangles and the vectors of the geometry helpers.
#include <cstddef>
#include <stdexcept>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"
#include "engine/app/bind_scopes.h"

namespace vek::bind {

namespace {

// Sizes a script may ask for. Far beyond anything a screen script needs, and
// small enough that a negative count (which arrives as a huge unsigned)
// fails as a Lua error instead of exhausting memory.
constexpr unsigned kMaxElements = 1u << 24;

unsigned CheckedSize(unsigned size)
{
    if (size > kMaxElements) throw std::length_error("vector size too large");
    return size;
}

template <class V>
typename V::value_type At(const V& v, unsigned index)
{
    return v.at(index);
}

// Stores only inside the current size; anything else is ignored.
template <class V>
void Set(V& v, unsigned index, const typename V::value_type& value)
{
    if (index < v.size()) v[index] = value;
}

template <class V>
unsigned Size(const V& v)
{
    return static_cast<unsigned>(v.size());
}

template <class V>
void Resize(V& v, unsigned size)
{
    v.resize(CheckedSize(size));
}

template <class V>
bool Empty(const V& v)
{
    return v.empty();
}

template <class V>
void InitSized(const luabind::argument& self, unsigned size)
{
    Construct<V>(self, static_cast<size_t>(CheckedSize(size)));
}

} // namespace

luabind::scope ValueClasses()
{
    using luabind::class_;
    using luabind::constructor;
    using vecf = std::vector<float>;
    using veci = std::vector<int>;

    // strlist's set takes the engine's string explicitly: its elements are
    // vek::string, which Lua sees as a plain string.
    return class_<strlist>("strlist")
               .def(constructor<>())
               .def("size", &Size<strlist>)
               .def("at", &At<strlist>)
               .def("resize", &Resize<strlist>)
               .def("set", &Set<strlist>)
               .def("empty", &Empty<strlist>),
           class_<vecf>("vectorf")
               .def(constructor<>())
               .def("__init", &InitSized<vecf>)
               .def("at", &At<vecf>)
               .def("set", &Set<vecf>)
               .def("size", &Size<vecf>)
               .def("resize", &Resize<vecf>),
           class_<veci>("vectori")
               .def(constructor<>())
               .def("__init", &InitSized<veci>)
               .def("at", &At<veci>)
               .def("set", &Set<veci>)
               .def("size", &Size<veci>)
               .def("resize", &Resize<veci>),
           class_<recti>("recti").def(constructor<int, int, int, int>()),
           class_<rectf>("rectf").def(constructor<float, float, float, float>()),
           class_<vec2>("vec2")
               .def(constructor<>())
               .def(constructor<float, float>())
               .def_readwrite("x", &vec2::x)
               .def_readwrite("y", &vec2::y),
           class_<vec3>("vec3")
               .def(constructor<>())
               .def(constructor<float, float, float>())
               .def_readwrite("x", &vec3::x)
               .def_readwrite("y", &vec3::y)
               .def_readwrite("z", &vec3::z);
}

} // namespace vek::bind
