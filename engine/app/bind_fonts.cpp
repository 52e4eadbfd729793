// Fonts as scripts see them: the font scripts build each font by name and
// fill its glyphs; the font manager is reached through GetFonts.
#include "engine/graphics/font.h"
#include "engine/app/bind_scopes.h"

namespace vek::bind {

namespace {

cFontManager* GetFonts() { return g_pFontManager; }

// The container's members as the font manager's own.
unsigned FindFont(const cFontManager& fonts, const string& name) { return fonts.Find(name); }
unsigned CountFonts(const cFontManager& fonts) { return fonts.Count(); }
cFont* DefaultFont(const cFontManager& fonts) { return fonts.Default(); }
cFont* FontAt(const cFontManager& fonts, unsigned id) { return fonts.Get(id); }

} // namespace

luabind::scope FontClasses()
{
    using luabind::class_;
    using luabind::constructor;

    // A script-made font joins the font manager, which owns it: the caller
    // passes cFont through undelete_class_rep.
    return luabind::def("GetFonts", &GetFonts),
           class_<cFontManager>("cFontManager")
               .def("Find", &FindFont)
               .def("Count", &CountFonts)
               .def("Default", &DefaultFont)
               .def("GetAt", &FontAt),
           class_<cFont>("cFont")
               .def(constructor<const string&>())
               .def("Init", &cFont::Init)
               .def("Texture", &cFont::Texture)
               .def("Transform", &cFont::Transform)
               .def("Char", &cFont::Char)
               .def("GetName", &cFont::GetName);
}

} // namespace vek::bind
