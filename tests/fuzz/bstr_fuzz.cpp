// Fuzz target: allocating, reallocating and freeing BSTRs.
//
// Input: operations on four slots. An operation is a byte naming it and its
// slot; the allocating ones then have a length n (four bytes, little-endian)
// and up to n UTF-16 code units of text (n bytes for SysAllocStringByteLen).
// The first operation has no byte of its own: it is SysAllocStringLen into
// slot 0, so that a length and its text alone make one allocation.
//   operation byte: the slot in bits 4-5, the operation in the low three bits:
//     0 SysAllocStringLen      1 SysAllocStringByteLen   2 SysAllocString
//     3 SysReAllocStringLen    4 SysReAllocString        (these take n and text)
//     5 SysFreeString          6 to QString and back     7 a BStr copy
// When the input holds all n units they are the text (SysAllocString and
// SysReAllocString stop at its first NUL; n = 0 passes no text at all). When
// it holds fewer: a length no BSTR can have (2^31 characters or more) comes
// with what there is, and must fail cleanly without reading it: a null
// result, or a reallocation that reports failure and keeps the old text. Any
// other length then comes with no text (zero-filled, or left unset by
// SysAllocStringByteLen), and is skipped rather than allocated from 64 Ki
// units on.
//
// Checks: every result has the length asked for, holds the text given (or
// zeros) and ends in a NUL; nothing is read or written outside a block;
// nothing leaks.

#include "platform/com/BStr.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

using namespace plat;

namespace {

constexpr std::uint64_t Largest = 1u << 16;            // units allocated when the input holds no text
constexpr std::uint64_t Unrepresentable = 1ull << 31;  // characters whose byte count overflows 32 bits

// `from` is the text given, null for zeros; `contentsSet` false when the
// call leaves the contents unset (SysAllocStringByteLen without bytes).
void CheckText(BSTR text, std::uint32_t byteCount, const void* from, const QString& what, bool contentsSet = true)
{
    fuzz::Expect(text != nullptr, "an allocation that fits gives a text", what);
    fuzz::Expect(SysStringByteLen(text) == byteCount, "a text has the length asked for", what);
    const char* bytes = reinterpret_cast<const char*>(text);
    fuzz::Expect(!contentsSet ||
                     (from ? std::memcmp(bytes, from, byteCount) == 0
                           : std::all_of(bytes, bytes + byteCount, [](char c) { return c == 0; })),
                 "a text holds what it was given, or zeros", what);
    fuzz::Expect(bytes[byteCount] == 0 && bytes[byteCount + 1] == 0, "a text ends in NUL", what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::array<BSTR, 4> held{};
    std::size_t at = 0;
    for (bool first = true; at < size; first = false) {
        int op = 0;
        int slotIndex = 0;
        if (!first) {
            op = data[at] & 7;
            slotIndex = (data[at] >> 4) & 3;
            ++at;
        }
        BSTR& slot = held[slotIndex];
        const QString what = QStringLiteral("operation %1 on slot %2").arg(op).arg(slotIndex);
        switch (op) {
        case 5:
            SysFreeString(slot);
            slot = nullptr;
            continue;
        case 6: {
            const QString q = QStringFromBSTR(slot);
            fuzz::Expect(q.size() == qsizetype(SysStringLen(slot)), "a text keeps its length as a QString", what);
            BSTR back = SysAllocQString(q);
            CheckText(back, SysStringByteLen(slot) & ~1u, slot, what);
            SysFreeString(back);
            continue;
        }
        case 7: {
            const BStr owner = BStr::Attach(SysAllocStringLen(slot, SysStringLen(slot)));
            const BStr copy = owner;
            fuzz::Expect(copy.Length() == SysStringLen(slot), "a BStr copies whole", what);
            continue;
        }
        default: break;
        }

        if (size - at < 4)
            break;
        std::uint32_t n = 0;
        std::memcpy(&n, data + at, 4);  // little-endian hosts
        at += 4;
        const std::size_t unit = op == 1 ? 1 : 2;
        const std::size_t taken = std::min<std::uint64_t>(n, (size - at) / unit);
        // A copy of exactly what the input holds (and a NUL), so that reading
        // past it is caught.
        std::vector<OLECHAR> text((taken * unit + 1) / 2 + 1);
        std::memcpy(text.data(), data + at, taken * unit);
        at += taken * unit;
        const bool whole = taken == n;
        const bool tooLarge = op != 1 && n >= Unrepresentable;
        if (!whole && !tooLarge && n > Largest)
            continue;
        const OLECHAR* chars = whole || tooLarge ? text.data() : nullptr;
        const QString sized = what + QStringLiteral(" with length %1").arg(n);

        switch (op) {
        case 0: {
            BSTR made = SysAllocStringLen(chars, n);
            if (tooLarge) {
                fuzz::Expect(made == nullptr, "a length no BSTR can have gives null", sized);
                continue;
            }
            SysFreeString(slot);
            slot = made;
            CheckText(slot, n * 2, chars, sized);
            break;
        }
        case 3: {
            const BSTR before = slot;
            const bool done = SysReAllocStringLen(&slot, chars, n);
            if (tooLarge) {
                fuzz::Expect(!done && slot == before,
                             "a reallocation to a length no BSTR can have fails and keeps the text", sized);
                continue;
            }
            fuzz::Expect(done, "a reallocation that fits succeeds", sized);
            CheckText(slot, n * 2, chars, sized);
            break;
        }
        case 1:
            SysFreeString(slot);
            slot = SysAllocStringByteLen(reinterpret_cast<const char*>(chars), n);
            CheckText(slot, n, chars, sized, chars != nullptr);
            break;
        case 2:
        case 4: {
            const OLECHAR* nulTerminated = n == 0 ? nullptr : text.data();
            std::uint32_t length = 0;
            while (nulTerminated && nulTerminated[length])
                ++length;
            if (op == 2) {
                SysFreeString(slot);
                slot = SysAllocString(nulTerminated);
            } else {
                fuzz::Expect(SysReAllocString(&slot, nulTerminated), "a reallocation that fits succeeds", sized);
            }
            if (nulTerminated)
                CheckText(slot, length * 2, nulTerminated, sized);
            break;
        }
        }
    }
    for (BSTR s : held)
        SysFreeString(s);
    return 0;
}
