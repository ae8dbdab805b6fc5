#pragma once
// Resources embedded in a component library: a directory of typed, numbered
// blobs (the type library, the version information, custom data) kept in the
// ELF section "plat_resources". A tool reads them from the file on disk; the
// library itself reads them from its own loaded image.
//
// Layout (little-endian): "PLATRES1", total size u32, count u32, then per
// resource: type length u16, type (UTF-8), id u32, size u32, data, padded to 4.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace plat {

inline constexpr const char* ResourceSection = "plat_resources";
inline constexpr const char* RT_TYPELIB = "TYPELIB";
inline constexpr const char* RT_VERSION = "VERSION";

struct Resource {
    QString type;  // "TYPELIB", "VERSION" or a custom type name
    std::uint32_t id = 1;
    QByteArray data;
};

class ResourceDirectory {
public:
    std::vector<Resource> entries;

    const Resource* Find(const QString& type, std::uint32_t id) const;  // type ignores case
    QByteArray Serialize() const;
    // Reads every directory in a section (the linker may have joined several).
    static std::optional<ResourceDirectory> Parse(const QByteArray& section, QString* error = nullptr);
};

// From a library or program file on disk.
std::optional<ResourceDirectory> ReadResourcesFromFile(const QString& path, QString* error = nullptr);
// From the loaded module whose code or data holds `address`.
std::optional<ResourceDirectory> ReadResourcesFromModule(const void* address, QString* error = nullptr);

// The version resource: fixed file and product versions and named texts.
struct VersionInfo {
    std::uint16_t fileVersion[4] = {};
    std::uint16_t productVersion[4] = {};
    std::vector<std::pair<QString, QString>> strings;

    std::optional<QString> Value(const QString& key) const;  // present, possibly empty
    static QString VersionText(const std::uint16_t (&v)[4]);  // "1.0.0.0"
    static bool ParseVersion(const QString& text, std::uint16_t (&v)[4]);

    QByteArray Serialize() const;
    static std::optional<VersionInfo> Parse(const QByteArray& bytes);
};

}  // namespace plat
