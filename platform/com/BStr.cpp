#include "platform/com/BStr.h"

#include <cstdlib>
#include <cstring>

namespace plat {

namespace {

constexpr std::size_t kPrefix = sizeof(std::uint32_t);

std::uint32_t& ByteCount(BSTR text)
{
    return *reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(text) - kPrefix);
}

// Room for the prefix, the bytes and a two-byte NUL (one more when the byte
// count is odd, so the NUL stays aligned).
BSTR Allocate(std::uint32_t bytes)
{
    char* block = static_cast<char*>(std::malloc(kPrefix + bytes + 3));
    if (!block)
        return nullptr;
    auto text = reinterpret_cast<BSTR>(block + kPrefix);
    ByteCount(text) = bytes;
    std::memset(block + kPrefix + bytes, 0, 3);
    return text;
}

std::size_t Length(const OLECHAR* text)
{
    std::size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text)
{
    return text ? SysAllocStringLen(text, static_cast<UINT>(Length(text))) : nullptr;
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    BSTR out = Allocate(length * sizeof(OLECHAR));
    if (!out)
        return nullptr;
    if (text)
        std::memcpy(out, text, length * sizeof(OLECHAR));
    else
        std::memset(out, 0, length * sizeof(OLECHAR));
    return out;
}

BSTR SysAllocStringByteLen(const char* bytes, UINT byteLength)
{
    BSTR out = Allocate(byteLength);
    if (out && bytes)
        std::memcpy(out, bytes, byteLength);
    return out;
}

bool SysReAllocStringLen(BSTR* target, const OLECHAR* text, UINT length)
{
    if (!target)
        return false;
    BSTR fresh = SysAllocStringLen(text, length);
    if (!fresh)
        return false;
    SysFreeString(*target);
    *target = fresh;
    return true;
}

bool SysReAllocString(BSTR* target, const OLECHAR* text)
{
    return SysReAllocStringLen(target, text, text ? static_cast<UINT>(Length(text)) : 0);
}

void SysFreeString(BSTR text)
{
    if (text)
        std::free(reinterpret_cast<char*>(text) - kPrefix);
}

UINT SysStringByteLen(BSTR text)
{
    return text ? ByteCount(text) : 0;
}

UINT SysStringLen(BSTR text)
{
    return SysStringByteLen(text) / sizeof(OLECHAR);
}

BSTR SysAllocQString(const QString& text)
{
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.utf16()), static_cast<UINT>(text.size()));
}

QString QStringFromBSTR(BSTR text)
{
    return text ? QString::fromUtf16(text, SysStringLen(text)) : QString();
}

BStr BStr::Adopt(BSTR owned)
{
    BStr b;
    b.p_ = owned;
    return b;
}

BSTR* BStr::put()
{
    SysFreeString(p_);
    p_ = nullptr;
    return &p_;
}

BSTR BStr::release()
{
    BSTR p = p_;
    p_ = nullptr;
    return p;
}

}  // namespace plat
