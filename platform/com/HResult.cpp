#include "platform/com/HResult.h"

namespace plat {

QString HResultText(HRESULT hr)
{
    struct Known {
        HRESULT hr;
        const char* text;
    };
    static const Known known[] = {
        {S_OK, "success"},
        {S_FALSE, "success (false)"},
        {E_NOTIMPL, "not implemented"},
        {E_NOINTERFACE, "no such interface supported"},
        {E_POINTER, "invalid pointer"},
        {E_ABORT, "operation aborted"},
        {E_FAIL, "unspecified failure"},
        {E_UNEXPECTED, "catastrophic failure"},
        {E_ACCESSDENIED, "access denied"},
        {E_OUTOFMEMORY, "out of memory"},
        {E_INVALIDARG, "invalid argument"},
        {CLASS_E_NOAGGREGATION, "class does not support aggregation"},
        {CLASS_E_CLASSNOTAVAILABLE, "class not available from this library"},
        {REGDB_E_READREGDB, "could not read the registry"},
        {REGDB_E_WRITEREGDB, "could not write the registry"},
        {REGDB_E_CLASSNOTREG, "class not registered"},
        {SELFREG_E_TYPELIB, "could not register the type library"},
        {SELFREG_E_CLASS, "could not register the class"},
        {CO_E_NOTINITIALIZED, "COM not initialized on this thread"},
        {CO_E_CLASSSTRING, "invalid class string"},
        {CO_E_DLLNOTFOUND, "library not found"},
        {CO_E_ERRORINDLL, "library is not a valid in-process server"},
        {CO_E_BAD_PATH, "the class's library is not registered by an absolute path"},
        {RPC_E_CHANGED_MODE, "thread already initialized in another mode"},
        {RPC_E_WRONG_THREAD, "object called from a thread other than its own"},
        {DISP_E_UNKNOWNINTERFACE, "unknown interface"},
        {DISP_E_MEMBERNOTFOUND, "member not found"},
        {DISP_E_PARAMNOTFOUND, "parameter not found"},
        {DISP_E_TYPEMISMATCH, "type mismatch"},
        {DISP_E_UNKNOWNNAME, "unknown name"},
        {DISP_E_NONAMEDARGS, "no named arguments"},
        {DISP_E_BADVARTYPE, "bad variable type"},
        {DISP_E_EXCEPTION, "exception occurred"},
        {DISP_E_OVERFLOW, "out of present range"},
        {DISP_E_BADINDEX, "invalid index"},
        {DISP_E_BADPARAMCOUNT, "invalid number of parameters"},
        {DISP_E_PARAMNOTOPTIONAL, "parameter not optional"},
        {TYPE_E_ELEMENTNOTFOUND, "element not found"},
        {TYPE_E_CANTLOADLIBRARY, "could not load the type library"},
    };
    QString text;
    for (const Known& k : known)
        if (k.hr == hr)
            text = QString::fromLatin1(k.text);
    if (text.isEmpty() && (static_cast<std::uint32_t>(hr) & 0xFFFF0000u) == 0x800A0000u)
        text = QStringLiteral("run-time error %1").arg(hr & 0xFFFF);
    if (text.isEmpty() && (static_cast<std::uint32_t>(hr) & 0xFFFF0000u) == 0x80070000u)
        text = QStringLiteral("system error %1").arg(hr & 0xFFFF);
    const QString code = QStringLiteral("0x%1").arg(static_cast<std::uint32_t>(hr), 8, 16, QLatin1Char('0')).toUpper()
                             .replace(QLatin1String("0X"), QLatin1String("0x"));
    return text.isEmpty() ? code : code + QStringLiteral(" (") + text + u')';
}

}  // namespace plat
