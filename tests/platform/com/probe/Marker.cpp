// A library that leaves a file behind the moment it is loaded (its
// constructor runs before anything else of it), so that a test can prove a
// library was never loaded. The file is named by PLAT_TEST_MARKER.

#include <cstdio>
#include <cstdlib>

namespace {

__attribute__((constructor)) void LeaveMarker()
{
    if (const char* path = std::getenv("PLAT_TEST_MARKER"))
        if (std::FILE* f = std::fopen(path, "w"))
            std::fclose(f);
}

}  // namespace

// Enough of a component to be asked for a class it does not have.
extern "C" __attribute__((visibility("default"))) int DllGetClassObject(const void*, const void*, void** ppv)
{
    *ppv = nullptr;
    return static_cast<int>(0x80040111u);  // class not available
}
