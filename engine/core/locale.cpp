#include "engine/core/locale.h"

namespace vek {

cLocale& GetLocale()
{
    // Built on first use so that readers in other translation units' static
    // initialisers never see an unconstructed table.
    static cLocale s_Locale;
    return s_Locale;
}

cLocale& g_Locale = GetLocale();

} // namespace vek
