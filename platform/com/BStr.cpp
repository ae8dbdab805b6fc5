#include "platform/com/BStr.h"

#include <cstdlib>
#include <cstring>

namespace plat {

namespace {

constexpr std::size_t PrefixBytes = sizeof(std::uint32_t);

std::uint32_t& ByteCount(BSTR text)
{
    return *reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(text) - PrefixBytes);
}

// The byte count is 32 bits wide, so a text holds at most this many characters.
constexpr std::uint64_t MaxLength = UINT32_MAX / sizeof(OLECHAR);

// Room for the prefix, the bytes and a two-byte NUL (one more when the byte
// count is odd, so the NUL stays aligned); zero-filled when asked.
BSTR Allocate(std::uint32_t bytes, bool zeroed)
{
    const std::size_t total = PrefixBytes + std::size_t(bytes) + 3;
    char* block = static_cast<char*>(zeroed ? std::calloc(1, total) : std::malloc(total));
    if (!block)
        return nullptr;
    auto text = reinterpret_cast<BSTR>(block + PrefixBytes);
    ByteCount(text) = bytes;
    std::memset(block + PrefixBytes + bytes, 0, 3);
    return text;
}

std::size_t Length(const OLECHAR* text)
{
    std::size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

// A text of `length` characters, or null when its byte count cannot be
// represented or there is no memory for it.
BSTR AllocateText(const OLECHAR* text, std::uint64_t length)
{
    if (length > MaxLength)
        return nullptr;
    const auto bytes = static_cast<std::uint32_t>(length * sizeof(OLECHAR));
    BSTR out = Allocate(bytes, !text);
    if (out && text)
        std::memcpy(out, text, bytes);
    return out;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text)
{
    return text ? AllocateText(text, Length(text)) : nullptr;
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    return AllocateText(text, length);
}

BSTR SysAllocStringByteLen(const char* bytes, UINT byteLength)
{
    BSTR out = Allocate(byteLength, false);
    if (out && bytes)
        std::memcpy(out, bytes, byteLength);
    return out;
}

namespace {

// Puts a fresh text in place of the old one; leaves the old one when there is none.
bool Replace(BSTR* target, BSTR fresh)
{
    if (!fresh)
        return false;
    SysFreeString(*target);
    *target = fresh;
    return true;
}

}  // namespace

bool SysReAllocStringLen(BSTR* target, const OLECHAR* text, UINT length)
{
    return target && Replace(target, AllocateText(text, length));
}

bool SysReAllocString(BSTR* target, const OLECHAR* text)
{
    return target && Replace(target, AllocateText(text, text ? Length(text) : 0));
}

void SysFreeString(BSTR text)
{
    if (text)
        std::free(reinterpret_cast<char*>(text) - PrefixBytes);
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
    return AllocateText(reinterpret_cast<const OLECHAR*>(text.utf16()), static_cast<std::uint64_t>(text.size()));
}

QString QStringFromBSTR(BSTR text)
{
    return text ? QString(reinterpret_cast<const QChar*>(text), SysStringLen(text)) : QString();
}

QString QStringFromOLESTR(const OLECHAR* text)
{
    return text ? QString(reinterpret_cast<const QChar*>(text), -1) : QString();
}

BStr BStr::Attach(BSTR owned)
{
    BStr b;
    b.p_ = owned;
    return b;
}

BSTR* BStr::ReleaseAndGetAddressOf()
{
    SysFreeString(p_);
    p_ = nullptr;
    return &p_;
}

BSTR BStr::Detach()
{
    BSTR p = p_;
    p_ = nullptr;
    return p;
}

}  // namespace plat
