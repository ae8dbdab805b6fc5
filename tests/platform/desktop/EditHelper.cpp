// A program of its own for each editor test: GIO reads the desktop's folders
// once per process, so each case runs in a process whose environment the
// test has made. Opens its one argument in the text editor and says how
// that went.
#include "platform/runtime/Errors.h"
#include "platform/runtime/TextEditor.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: plat_edit_helper <file>\n");
        return 2;
    }
    try {
        plat::EditTextFile(QString::fromLocal8Bit(argv[1]));
        std::printf("started\n");
    } catch (const plat::RuntimeError& e) {
        std::printf("error %d\n", e.Number());
    }
    return 0;
}
