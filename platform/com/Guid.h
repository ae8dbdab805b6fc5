#pragma once
// 128-bit identifiers of classes, interfaces and type libraries, and their
// text form "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace plat {

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};

    // Accepts exactly the braced text form of ASCII hex digits (either case);
    // nothing for anything else, blanks around it included.
    static std::optional<GUID> Parse(QStringView text);
    QString ToString() const;  // upper-case hex, with braces

    // The 16-byte binary form: Data1..Data3 little-endian, then Data4.
    QByteArray ToBytes() const;
    static std::optional<GUID> FromBytes(const QByteArray& bytes);

    friend constexpr bool operator==(const GUID& a, const GUID& b)
    {
        if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
            return false;
        for (int i = 0; i < 8; ++i)
            if (a.Data4[i] != b.Data4[i])
                return false;
        return true;
    }
    friend bool operator<(const GUID& a, const GUID& b);
};

using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline constexpr GUID GUID_NULL{};
inline constexpr GUID IID_NULL{};

}  // namespace plat

template <>
struct std::hash<plat::GUID> {
    std::size_t operator()(const plat::GUID& g) const noexcept;
};
