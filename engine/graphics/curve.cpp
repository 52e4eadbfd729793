#include "engine/graphics/curve.h"

namespace vek {

template class curve<vec2>;
template class curve<vec3>;
template class curve_Spline<vec2>;
template class curve_Spline<vec3>;
template class curve_CatmullRomSpline<vec2>;
template class curve_CatmullRomSpline<vec3>;

} // namespace vek
