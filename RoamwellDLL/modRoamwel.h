#pragma once
// The component's shared variables: one copy per thread that uses it, each
// starting empty or False, as its forms are one per thread too.

#include <QString>

namespace RoamwellDLL::modRoamwel {

// The address the browser window opens first, and the "Home" target.
extern thread_local QString StartAddress;
// Style of the loading indicator: True circle, False bar.
extern thread_local bool PacedialCircle;
// The web-page control was busy at the last poll: a page is loading.
extern thread_local bool Surfing;

// Folder of the component's own library file (not of the program using it).
QString ComponentFolder();

}  // namespace RoamwellDLL::modRoamwel
