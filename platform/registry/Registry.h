#pragma once
// The platform's registry: keys and typed values in two hives kept as text
// files, reached through calls shaped like the desktop registry's API.
//
//   per-user hive:     ${XDG_CONFIG_HOME:-$HOME/.config}/registry/user.reg
//   machine-wide hive: $PLAT_MACHINE_HIVE, else /etc/registry/machine.reg
//
// HKEY_CLASSES_ROOT is a view: the per-user "Software\Classes" merged over the
// machine's; a key found in the per-user hive hides the machine's key of the
// same path, and everything written through it goes to the per-user hive.
// Key and value names compare without regard to case. Text values are kept
// as UTF-8 (the "ANSI" encoding of this platform), with their final NUL.
// Every name and value reads back exactly as it was set, line breaks and
// other control characters included; text that has no UTF-8 form (a lone
// surrogate) is refused with ERROR_INVALID_PARAMETER.

#include "platform/IntegerTypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>

namespace plat {

using HKEY = std::uint32_t;  // a root constant or a handle from an open call
using REGSAM = std::uint32_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

// The status the calls return, as a LONG: ERROR_SUCCESS or an error number.
enum RegStatus : LONG {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_MORE_DATA = 234,
    ERROR_NO_MORE_ITEMS = 259,
    ERROR_CANTWRITE = 1013,
    ERROR_REGISTRY_CORRUPT = 1015,
    ERROR_KEY_DELETED = 1018,
};

// Access rights asked for when a key is opened.
enum RegAccess : REGSAM {
    KEY_QUERY_VALUE = 0x0001,
    KEY_SET_VALUE = 0x0002,
    KEY_CREATE_SUB_KEY = 0x0004,
    KEY_ENUMERATE_SUB_KEYS = 0x0008,
    KEY_NOTIFY = 0x0010,
    KEY_CREATE_LINK = 0x0020,
    REG_DELETE = 0x00010000,
    READ_CONTROL = 0x00020000,
    WRITE_DAC = 0x00040000,
    WRITE_OWNER = 0x00080000,
    KEY_READ = 0x00020019,
    KEY_WRITE = 0x00020006,
    KEY_ALL_ACCESS = 0x000F003F,
    GENERIC_ALL = 0x10000000,
    GENERIC_WRITE = 0x40000000,
    GENERIC_READ = 0x80000000,
};
// Every right that lets a caller change the hive.
inline constexpr REGSAM KEY_WRITE_RIGHTS = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | REG_DELETE |
                                           WRITE_DAC | WRITE_OWNER | GENERIC_ALL | GENERIC_WRITE;

enum RegType : DWORD {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_LINK = 6,
    REG_MULTI_SZ = 7,
    REG_QWORD = 11,
};

enum RegDisposition : DWORD { REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2 };

// Opens an existing key below `key` (a root or an open handle); an empty
// subKey opens the key itself again. Asking for any write right on a hive the
// current user cannot write gives ERROR_ACCESS_DENIED. On failure *result is 0.
LONG RegOpenKeyEx(HKEY key, const QString& subKey, DWORD options, REGSAM samDesired, HKEY* result);

// Opens a key, creating it and its missing parents first.
LONG RegCreateKeyEx(HKEY key, const QString& subKey, DWORD options, REGSAM samDesired, HKEY* result,
                    DWORD* disposition = nullptr);

// Reads a value. With data == nullptr only the type and size are returned.
// A buffer smaller than the data gives ERROR_MORE_DATA with *size set to the
// size needed; the buffer is then left as it was.
LONG RegQueryValueEx(HKEY key, const QString& valueName, DWORD* type, std::uint8_t* data, DWORD* size);

LONG RegSetValueEx(HKEY key, const QString& valueName, DWORD type, const std::uint8_t* data, DWORD size);
LONG RegDeleteValue(HKEY key, const QString& valueName);

// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED otherwise).
LONG RegDeleteKey(HKEY key, const QString& subKey);
// Deletes a key with everything below it; an empty subKey empties `key`.
LONG RegDeleteTree(HKEY key, const QString& subKey);

// Enumeration by index; ERROR_NO_MORE_ITEMS past the end.
LONG RegEnumKeyEx(HKEY key, DWORD index, QString* name);
LONG RegEnumValue(HKEY key, DWORD index, QString* name, DWORD* type = nullptr);

// Closing 0 or a closed handle gives ERROR_INVALID_HANDLE and does nothing else.
LONG RegCloseKey(HKEY key);

// ---- Conveniences over the calls above ----------------------------------

// Text values are stored with their terminating NUL.
LONG RegSetStringValue(HKEY key, const QString& valueName, const QString& text);
LONG RegSetDwordValue(HKEY key, const QString& valueName, DWORD value);
// A REG_SZ or REG_EXPAND_SZ value of `subKey` below `root`, read-only open.
std::optional<QString> RegGetStringValue(HKEY root, const QString& subKey, const QString& valueName);
std::optional<DWORD> RegGetDwordValue(HKEY root, const QString& subKey, const QString& valueName);

// Why the hive behind `key` cannot be read now or, with forWriting, changed:
// a clause naming its file ("the registry hive ... is corrupt (line 9: ...);
// it reads as empty and was left unchanged", "no write access to ..."), for a
// caller to add to its own failure message. Empty when nothing is wrong.
// HKEY_CLASSES_ROOT reads both hives and writes the per-user one.
QString RegHiveProblem(HKEY key, bool forWriting = false);

// Gathers the changes the calling thread makes to the registry while it
// lives into one write of each hive file (registering a component sets
// dozens of values): the hives it changes stay locked against other
// processes meanwhile. Commit() writes; what is not committed is dropped.
// Inside another batch it does nothing; the outer one writes.
class RegBatch {
public:
    RegBatch();
    RegBatch(const RegBatch&) = delete;
    RegBatch& operator=(const RegBatch&) = delete;
    ~RegBatch();
    LONG Commit();

    struct State;  // the hives it holds locked, and which it changed

private:
    std::unique_ptr<State> state_;
};

// Owns an open key handle.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY handle) : handle_(handle) {}
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept : handle_(other.Detach()) {}
    RegKey& operator=(RegKey&& other) noexcept;
    ~RegKey() { Reset(); }

    HKEY Get() const { return handle_; }
    // For the out parameter of an open call: closes the current key first.
    HKEY* ReleaseAndGetAddressOf();
    HKEY Detach();
    void Reset();
    explicit operator bool() const { return handle_ != 0; }

private:
    HKEY handle_ = 0;
};

// Where the hives live; read from the environment on every call.
QString UserHivePath();
QString MachineHivePath();

}  // namespace plat
