// The sound manager as scripts see it: volumes, the table dump and the 3D
// settings.
#include "engine/sound/sound.h"
#include "engine/app/bind_scopes.h"

namespace vek::bind {

namespace {

cSoundManager* GetSoundManager() { return g_pSoundManager; }

} // namespace

luabind::scope SoundFunction()
{
    return luabind::def("GetSound", &GetSoundManager);
}

luabind::scope SoundClass()
{
    using luabind::class_;
    using luabind::pure_out_value;
    using luabind::value;

    return class_<cSoundManager>("cSoundManager")
        .enum_("constants")[value("e_All", cSoundManager::e_All),
                            value("e_Sound", cSoundManager::e_Sound),
                            value("e_Music", cSoundManager::e_Music)]
        .def("GetVolume", &cSoundManager::GetVolume)
        .def("SetVolume", &cSoundManager::SetVolume)
        .def("Dump", &cSoundManager::Dump)
        .def("GetSettings3D", &cSoundManager::Get3DSettings,
             pure_out_value(_2) + pure_out_value(_3) + pure_out_value(_4))
        .def("SetSettings3D", &cSoundManager::Set3DSettings);
}

} // namespace vek::bind
