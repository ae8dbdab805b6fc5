#include "RoamwellDLL/modRoamwel.h"

#include "platform/runtime/App.h"

namespace RoamwellDLL::modRoamwel {

thread_local QString StartAddress;
thread_local bool PacedialCircle = false;
thread_local bool Surfing = false;

QString ComponentFolder()
{
    return plat::ModuleFolder(reinterpret_cast<const void*>(&ComponentFolder));
}

}  // namespace RoamwellDLL::modRoamwel
