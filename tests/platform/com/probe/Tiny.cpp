// The smallest loadable library with an embedded resource directory: built
// without the C library and stripped, about 1.5 KB, so that the tests can
// damage every header and table of a real library and keep small copies.

extern "C" {

// One resource, "TINY" 1, holding "seed": the directory's magic, total size
// 36 and count 1, then type length 4, "TINY", id 1, size 4, "seed", padding.
__attribute__((section("plat_resources"), used, aligned(4))) const unsigned char TinyResources[36] = {
    'P', 'L', 'A', 'T', 'R', 'E', 'S', '1', 36, 0, 0, 0, 1, 0, 0, 0, 4, 0,
    'T', 'I', 'N', 'Y', 1, 0, 0, 0, 4, 0, 0, 0, 's', 'e', 'e', 'd', 0, 0};

__attribute__((visibility("default"))) int DllCanUnloadNow()
{
    return 0;
}
}
