#pragma once
// Length-prefixed UTF-16 text: the pointer addresses the characters, a 32-bit
// byte count sits just before them and a NUL after them. A null BSTR is the
// empty text. A text longer than the 32-bit byte count can say (over
// 2^31 - 1 characters) is never made: those calls return null (false).

#include "platform/com/Types.h"

#include <QString>

namespace plat {

BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);  // text may be null: zero-filled
BSTR SysAllocStringByteLen(const char* bytes, UINT byteLength);
bool SysReAllocString(BSTR* target, const OLECHAR* text);
bool SysReAllocStringLen(BSTR* target, const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);      // characters
UINT SysStringByteLen(BSTR text);  // bytes

BSTR SysAllocQString(const QString& text);
// The text as it stands, every character kept: a leading U+FEFF or U+FFFE
// is a character of the text, not a byte-order mark.
QString QStringFromBSTR(BSTR text);
QString QStringFromOLESTR(const OLECHAR* text);  // up to its terminating nul

// Owns one BSTR.
class BStr {
public:
    BStr() = default;
    BStr(const QString& text) : p_(SysAllocQString(text)) {}
    BStr(const char16_t* text) : p_(SysAllocString(text)) {}
    // Takes over a text the caller already owns.
    static BStr Attach(BSTR owned);
    BStr(const BStr& other) : p_(SysAllocStringLen(other.p_, SysStringLen(other.p_))) {}
    BStr(BStr&& other) noexcept : p_(other.Detach()) {}
    BStr& operator=(BStr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }
    ~BStr() { SysFreeString(p_); }

    BSTR Get() const { return p_; }
    // For out parameters: frees the current text first.
    BSTR* ReleaseAndGetAddressOf();
    BSTR Detach();
    UINT Length() const { return SysStringLen(p_); }
    QString ToQString() const { return QStringFromBSTR(p_); }

private:
    BSTR p_ = nullptr;
};

}  // namespace plat
