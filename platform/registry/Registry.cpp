#include "platform/registry/Registry.h"

#include "platform/registry/Hive.h"
#include "platform/registry/HiveStore.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

namespace plat {

using registry::HiveId;
using registry::Key;
using registry::SplitPath;

QString UserHivePath()
{
    return registry::HivePath(HiveId::User);
}

QString MachineHivePath()
{
    return registry::HivePath(HiveId::Machine);
}

namespace {

enum class View { User, Machine, Classes };

struct Handle {
    View view;
    QString path;  // below the view's root
    REGSAM access;
};

std::mutex handleMutex;
std::map<HKEY, Handle> handles;
HKEY nextHandle = 1;

const QString ClassesKey = QStringLiteral("Software\\Classes");

std::optional<Handle> Resolve(HKEY key)
{
    switch (key) {
    case HKEY_CLASSES_ROOT: return Handle{View::Classes, {}, KEY_ALL_ACCESS};
    case HKEY_CURRENT_USER: return Handle{View::User, {}, KEY_ALL_ACCESS};
    case HKEY_LOCAL_MACHINE: return Handle{View::Machine, {}, KEY_ALL_ACCESS};
    default: break;
    }
    std::lock_guard lock(handleMutex);
    auto it = handles.find(key);
    if (it == handles.end())
        return std::nullopt;
    return it->second;
}

HKEY NewHandle(const Handle& h)
{
    std::lock_guard lock(handleMutex);
    while (nextHandle == 0 || nextHandle >= HKEY_CLASSES_ROOT || handles.count(nextHandle))
        nextHandle = nextHandle >= HKEY_CLASSES_ROOT ? 1 : nextHandle + 1;
    handles[nextHandle] = h;
    return nextHandle++;
}

QString Join(const QString& a, const QString& b)
{
    return (SplitPath(a) + SplitPath(b)).join(u'\\');
}

QString Below(const QString& prefix, const QString& path)
{
    return path.isEmpty() ? prefix : prefix + u'\\' + path;
}

REGSAM Expand(REGSAM sam)
{
    if (sam & GENERIC_ALL)
        sam |= KEY_ALL_ACCESS;
    if (sam & GENERIC_WRITE)
        sam |= KEY_WRITE;
    if (sam & GENERIC_READ)
        sam |= KEY_READ;
    return sam;
}

HiveId WriteHive(View v)
{
    return v == View::Machine ? HiveId::Machine : HiveId::User;
}

QString WritePath(const Handle& h)
{
    return h.view == View::Classes ? Below(ClassesKey, h.path) : h.path;
}

// The key a handle reads from, with its values: in the classes view the
// per-user key hides the machine's.
std::shared_ptr<const Key> FindForRead(View view, const QString& path)
{
    switch (view) {
    case View::User: return registry::ReadKey(HiveId::User, path);
    case View::Machine: return registry::ReadKey(HiveId::Machine, path);
    case View::Classes: {
        auto key = registry::ReadKey(HiveId::User, Below(ClassesKey, path));
        return key ? key : registry::ReadKey(HiveId::Machine, Below(ClassesKey, path));
    }
    }
    return nullptr;
}

bool Exists(View view, const QString& path)
{
    if (path.isEmpty())
        return true;
    switch (view) {
    case View::User: return registry::KeyExists(HiveId::User, path);
    case View::Machine: return registry::KeyExists(HiveId::Machine, path);
    case View::Classes:
        return registry::KeyExists(HiveId::User, Below(ClassesKey, path)) ||
               registry::KeyExists(HiveId::Machine, Below(ClassesKey, path));
    }
    return false;
}

LONG Open(const Handle& base, const QString& subKey, REGSAM samDesired, HKEY* result)
{
    const QString path = Join(base.path, subKey);
    if (!Exists(base.view, path))
        return ERROR_FILE_NOT_FOUND;
    const REGSAM access = Expand(samDesired);
    if ((access & KEY_WRITE_RIGHTS) && !registry::HiveWritable(WriteHive(base.view)))
        return ERROR_ACCESS_DENIED;
    *result = NewHandle(Handle{base.view, path, access});
    return ERROR_SUCCESS;
}

// The value named in the key a handle reads.
LONG ReadValue(const Handle& h, const QString& valueName, registry::Value* value)
{
    const auto found = FindForRead(h.view, h.path);
    if (!found)
        return h.path.isEmpty() ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    const registry::Value* v = found->FindValue(valueName);
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    *value = *v;
    return ERROR_SUCCESS;
}

// A name or text that cannot be stored exactly (a lone half of a surrogate
// pair has no UTF-8 form) is refused rather than changed on the way.
bool Storable(const QString& text)
{
    return text.isValidUtf16();
}

// The key to change in a hive being edited; in the classes view a key seen
// only in the machine hive is copied into the per-user hive by creating it.
Key* KeyToChange(registry::Hive& hive, const Handle& h)
{
    return h.view == View::Classes ? &hive.Create(WritePath(h)) : hive.Find(h.path);
}

}  // namespace

LONG RegOpenKeyEx(HKEY key, const QString& subKey, DWORD /*options*/, REGSAM samDesired, HKEY* result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    const auto base = Resolve(key);
    if (!base)
        return ERROR_INVALID_HANDLE;
    return Open(*base, subKey, samDesired, result);
}

LONG RegCreateKeyEx(HKEY key, const QString& subKey, DWORD /*options*/, REGSAM samDesired, HKEY* result,
                    DWORD* disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    const auto base = Resolve(key);
    if (!base)
        return ERROR_INVALID_HANDLE;
    if (!Storable(subKey))
        return ERROR_INVALID_PARAMETER;
    const QString path = Join(base->path, subKey);
    if (Exists(base->view, path)) {
        if (disposition)
            *disposition = REG_OPENED_EXISTING_KEY;
        return Open(*base, subKey, samDesired, result);
    }
    if (!(base->access & KEY_CREATE_SUB_KEY))
        return ERROR_ACCESS_DENIED;
    const Handle target{base->view, path, Expand(samDesired)};
    const LONG rc = registry::EditHive(WriteHive(base->view), [&](registry::Hive& hive, bool& changed) {
        hive.Create(WritePath(target), &changed);
        return LONG(ERROR_SUCCESS);
    });
    if (rc != ERROR_SUCCESS)
        return rc;
    if (disposition)
        *disposition = REG_CREATED_NEW_KEY;
    *result = NewHandle(target);
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, const QString& valueName, DWORD* type, std::uint8_t* data, DWORD* size)
{
    const auto h = Resolve(key);
    if (!h)
        return ERROR_INVALID_HANDLE;
    if (!(h->access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    registry::Value v;
    if (const LONG rc = ReadValue(*h, valueName, &v); rc != ERROR_SUCCESS)
        return rc;
    if (type)
        *type = v.type;
    const auto needed = static_cast<DWORD>(v.data.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        if (needed)
            std::memcpy(data, v.data.constData(), needed);
    }
    if (size)
        *size = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY key, const QString& valueName, DWORD type, const std::uint8_t* data, DWORD size)
{
    const auto h = Resolve(key);
    if (!h)
        return ERROR_INVALID_HANDLE;
    if (!(h->access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    if ((!data && size) || !Storable(valueName))
        return ERROR_INVALID_PARAMETER;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    return registry::EditHive(WriteHive(h->view), [&](registry::Hive& hive, bool& changed) {
        Key* k = KeyToChange(hive, *h);
        if (!k)
            return LONG(ERROR_KEY_DELETED);
        k->SetValue(registry::Value{valueName, type, bytes});
        changed = true;
        return LONG(ERROR_SUCCESS);
    });
}

LONG RegDeleteValue(HKEY key, const QString& valueName)
{
    const auto h = Resolve(key);
    if (!h)
        return ERROR_INVALID_HANDLE;
    if (!(h->access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    return registry::EditHive(WriteHive(h->view), [&](registry::Hive& hive, bool& changed) {
        Key* k = hive.Find(WritePath(*h));
        if (!k)
            return LONG(h->view == View::Classes ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED);
        if (!k->RemoveValue(valueName))
            return LONG(ERROR_FILE_NOT_FOUND);
        changed = true;
        return LONG(ERROR_SUCCESS);
    });
}

namespace {

LONG DeleteKey(HKEY key, const QString& subKey, bool tree)
{
    const auto base = Resolve(key);
    if (!base)
        return ERROR_INVALID_HANDLE;
    const Handle target{base->view, Join(base->path, subKey), 0};
    const QString path = WritePath(target);
    return registry::EditHive(WriteHive(base->view), [&](registry::Hive& hive, bool& changed) {
        Key* k = hive.Find(path);
        if (!k)
            return LONG(ERROR_FILE_NOT_FOUND);
        if (tree && subKey.isEmpty()) {  // empties the key itself
            changed = !k->Subkeys().empty() || !k->Values().empty();
            k->Clear();
            return LONG(ERROR_SUCCESS);
        }
        if (target.path.isEmpty() || (!tree && !k->Subkeys().empty()))
            return LONG(ERROR_ACCESS_DENIED);
        changed = hive.Remove(path);
        return LONG(ERROR_SUCCESS);
    });
}

}  // namespace

LONG RegDeleteKey(HKEY key, const QString& subKey)
{
    return DeleteKey(key, subKey, false);
}

LONG RegDeleteTree(HKEY key, const QString& subKey)
{
    return DeleteKey(key, subKey, true);
}

namespace {

// The sorted subkey names of the key last enumerated on this thread, kept
// while the hives they came from are unchanged, so that walking every
// subkey by index costs one listing, not one per index.
struct Enumeration {
    HKEY key = 0;
    View view = View::User;
    QString path;
    std::shared_ptr<const registry::Hive> user, machine;
    QStringList names;
};
thread_local Enumeration lastEnumeration;

const QStringList& SubkeyNames(HKEY key, const Handle& h)
{
    const bool classes = h.view == View::Classes;
    const QString path = classes ? Below(ClassesKey, h.path) : h.path;
    auto user = h.view == View::Machine ? nullptr : registry::ReadHive(HiveId::User);
    auto machine = h.view == View::User ? nullptr : registry::ReadHive(HiveId::Machine);
    Enumeration& e = lastEnumeration;
    if (e.key == key && e.view == h.view && e.path == h.path && e.user == user && e.machine == machine)
        return e.names;

    // In case-insensitive order; where both hives hold a name, the per-user
    // spelling wins.
    std::set<QString, registry::NameLess> merged;
    for (const auto& hive : {user, machine}) {
        const Key* k = hive ? hive->Find(path) : nullptr;
        if (!k)
            continue;
        for (const auto& entry : k->Subkeys())
            merged.insert(merged.end(), entry.first);
    }
    e = Enumeration{key, h.view, h.path, std::move(user), std::move(machine), {}};
    e.names.reserve(static_cast<qsizetype>(merged.size()));
    for (const QString& name : merged)
        e.names << name;
    return e.names;
}

}  // namespace

LONG RegEnumKeyEx(HKEY key, DWORD index, QString* name)
{
    const auto h = Resolve(key);
    if (!h)
        return ERROR_INVALID_HANDLE;
    const QStringList& names = SubkeyNames(key, *h);
    if (index >= static_cast<DWORD>(names.size()))
        return ERROR_NO_MORE_ITEMS;
    if (name)
        *name = names[static_cast<qsizetype>(index)];
    return ERROR_SUCCESS;
}

LONG RegEnumValue(HKEY key, DWORD index, QString* name, DWORD* type)
{
    const auto h = Resolve(key);
    if (!h)
        return ERROR_INVALID_HANDLE;
    const auto found = FindForRead(h->view, h->path);
    if (!found || index >= found->Values().size())
        return ERROR_NO_MORE_ITEMS;
    const registry::Value& v = found->Values()[index];
    if (name)
        *name = v.name;
    if (type)
        *type = v.type;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE)
        return ERROR_SUCCESS;
    std::lock_guard lock(handleMutex);
    return handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

// ---- Conveniences -------------------------------------------------------

LONG RegSetStringValue(HKEY key, const QString& valueName, const QString& text)
{
    if (!Storable(text))
        return ERROR_INVALID_PARAMETER;
    const QByteArray bytes = text.toUtf8() + '\0';
    return RegSetValueEx(key, valueName, REG_SZ, reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                         static_cast<DWORD>(bytes.size()));
}

LONG RegSetDwordValue(HKEY key, const QString& valueName, DWORD value)
{
    std::uint8_t bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return RegSetValueEx(key, valueName, REG_DWORD, bytes, 4);
}

namespace {

// What opening the key for reading and querying the value would give, read
// from the hive once: asking for the size first and then the data would
// read the key twice, and a handle would be made only to be closed.
std::optional<QByteArray> ReadRaw(HKEY root, const QString& subKey, const QString& valueName, DWORD* type)
{
    const auto base = Resolve(root);
    if (!base)
        return std::nullopt;
    registry::Value v;
    if (ReadValue(Handle{base->view, Join(base->path, subKey), KEY_READ}, valueName, &v) != ERROR_SUCCESS)
        return std::nullopt;
    *type = v.type;
    return v.data;
}

}  // namespace

std::optional<QString> RegGetStringValue(HKEY root, const QString& subKey, const QString& valueName)
{
    DWORD type = 0;
    auto data = ReadRaw(root, subKey, valueName, &type);
    if (!data || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    const qsizetype nul = data->indexOf('\0');
    return registry::TextFromUtf8(nul >= 0 ? data->left(nul) : *data);
}

std::optional<DWORD> RegGetDwordValue(HKEY root, const QString& subKey, const QString& valueName)
{
    DWORD type = 0;
    auto data = ReadRaw(root, subKey, valueName, &type);
    if (!data || type != REG_DWORD || data->size() != 4)
        return std::nullopt;
    DWORD n = 0;
    for (int i = 3; i >= 0; --i)
        n = (n << 8) | static_cast<unsigned char>((*data)[i]);
    return n;
}

QString RegHiveProblem(HKEY key, bool forWriting)
{
    const auto h = Resolve(key);
    if (!h)
        return {};
    const QString mine = registry::HiveProblem(WriteHive(h->view), forWriting);
    if (forWriting || h->view != View::Classes || !mine.isEmpty())
        return mine;
    return registry::HiveProblem(HiveId::Machine, false);
}

RegKey& RegKey::operator=(RegKey&& other) noexcept
{
    if (this != &other) {
        Reset();
        handle_ = other.Detach();
    }
    return *this;
}

HKEY* RegKey::ReleaseAndGetAddressOf()
{
    Reset();
    return &handle_;
}

HKEY RegKey::Detach()
{
    const HKEY h = handle_;
    handle_ = 0;
    return h;
}

void RegKey::Reset()
{
    if (handle_)
        RegCloseKey(handle_);
    handle_ = 0;
}

}  // namespace plat
