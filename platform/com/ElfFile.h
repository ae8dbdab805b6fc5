#pragma once
// The layout of an ELF library or program read from its file, for the two
// readers that must not trust it: the check made before the dynamic loader
// maps a component library, and the search for a section by name. Every
// size and offset read from the file is checked against the file's size
// before anything is allocated or read, so a damaged or hostile file gives
// a reason, never a crash or a huge allocation.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace plat {

// Whether [offset, offset + length) lies inside [start, start + size),
// without overflow however large the numbers read from a file are.
inline bool SpanInside(std::uint64_t start, std::uint64_t size, std::uint64_t offset, std::uint64_t length)
{
    return offset >= start && offset - start <= size && length <= size - (offset - start);
}

struct ElfSection {
    std::uint64_t offset = 0;   // in the file
    std::uint64_t address = 0;  // in the image, before relocation
    std::uint64_t size = 0;
};

// True when the loader can map the file without touching bytes past its end:
// a whole ELF header, program headers and every segment's bytes inside the
// file, and the dynamic table's addresses inside the loaded segments.
// Otherwise false, with the reason (without the file's name) in *error.
bool CheckElfLibrary(const QString& path, QString* error);

// Finds the section of that name holding data in the file (not one that
// takes room only in memory): true with *found set, or empty when there is
// none; false, with the reason in *error, when the file is no ELF file or
// the headers that lead to the section are damaged. With `contents`, the
// section's bytes are read too, from the file whose headers placed them.
bool FindElfSection(const QString& path, const char* name, std::optional<ElfSection>* found, QString* error,
                    QByteArray* contents = nullptr);

}  // namespace plat
