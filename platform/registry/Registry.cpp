#include "platform/registry/Registry.h"

#include "platform/registry/HiveStore.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

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

const QString kClasses = QStringLiteral("Software\\Classes");

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
    return h.view == View::Classes ? Below(kClasses, h.path) : h.path;
}

// The key a handle reads from: in the classes view the per-user key hides
// the machine's.
struct Found {
    std::shared_ptr<const registry::Hive> hive;
    const Key* key = nullptr;
};

Found FindForRead(View view, const QString& path)
{
    auto look = [](HiveId id, const QString& p) {
        Found f{registry::ReadHive(id), nullptr};
        f.key = f.hive->find(p);
        return f;
    };
    switch (view) {
    case View::User: return look(HiveId::User, path);
    case View::Machine: return look(HiveId::Machine, path);
    case View::Classes: {
        Found f = look(HiveId::User, Below(kClasses, path));
        return f.key ? f : look(HiveId::Machine, Below(kClasses, path));
    }
    }
    return {};
}

bool Exists(View view, const QString& path)
{
    return path.isEmpty() || FindForRead(view, path).key;
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

// The key to change in a hive being edited; in the classes view a key seen
// only in the machine hive is copied into the per-user hive by creating it.
Key* KeyToChange(registry::Hive& hive, const Handle& h)
{
    return h.view == View::Classes ? &hive.create(WritePath(h)) : hive.find(h.path);
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
        hive.create(WritePath(target), &changed);
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
    const Found found = FindForRead(h->view, h->path);
    if (!found.key)
        return h->path.isEmpty() ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    const registry::Value* v = found.key->findValue(valueName);
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = v->type;
    const auto needed = static_cast<DWORD>(v->data.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        if (needed)
            std::memcpy(data, v->data.constData(), needed);
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
    if (!data && size)
        return ERROR_INVALID_PARAMETER;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    return registry::EditHive(WriteHive(h->view), [&](registry::Hive& hive, bool& changed) {
        Key* k = KeyToChange(hive, *h);
        if (!k)
            return LONG(ERROR_KEY_DELETED);
        registry::Value* v = k->findValue(valueName);
        if (!v) {
            k->values.push_back(registry::Value{valueName, type, bytes});
        } else {
            v->type = type;
            v->data = bytes;
        }
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
        Key* k = hive.find(WritePath(*h));
        if (!k)
            return LONG(h->view == View::Classes ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED);
        auto it = std::find_if(k->values.begin(), k->values.end(), [&](const registry::Value& v) {
            return v.name.compare(valueName, Qt::CaseInsensitive) == 0;
        });
        if (it == k->values.end())
            return LONG(ERROR_FILE_NOT_FOUND);
        k->values.erase(it);
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
        Key* k = hive.find(path);
        if (!k)
            return LONG(ERROR_FILE_NOT_FOUND);
        if (tree && subKey.isEmpty()) {  // empties the key itself
            changed = !k->subkeys.empty() || !k->values.empty();
            k->subkeys.clear();
            k->values.clear();
            return LONG(ERROR_SUCCESS);
        }
        if (target.path.isEmpty() || (!tree && !k->subkeys.empty()))
            return LONG(ERROR_ACCESS_DENIED);
        changed = hive.remove(path);
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

LONG RegEnumKeyEx(HKEY key, DWORD index, QString* name)
{
    const auto h = Resolve(key);
    if (!h)
        return ERROR_INVALID_HANDLE;
    QStringList names;
    auto add = [&](const Found& f) {
        if (!f.key)
            return;
        for (const Key& k : f.key->subkeys)
            if (!names.contains(k.name, Qt::CaseInsensitive))
                names << k.name;
    };
    if (h->view == View::Classes) {
        const QString p = Below(kClasses, h->path);
        add(Found{registry::ReadHive(HiveId::User), registry::ReadHive(HiveId::User)->find(p)});
        add(Found{registry::ReadHive(HiveId::Machine), registry::ReadHive(HiveId::Machine)->find(p)});
    } else {
        add(FindForRead(h->view, h->path));
    }
    names.sort(Qt::CaseInsensitive);
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
    const Found found = FindForRead(h->view, h->path);
    if (!found.key || index >= found.key->values.size())
        return ERROR_NO_MORE_ITEMS;
    const registry::Value& v = found.key->values[index];
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

std::optional<QByteArray> ReadRaw(HKEY root, const QString& subKey, const QString& valueName, DWORD* type)
{
    RegKey key;
    if (RegOpenKeyEx(root, subKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD size = 0;
    if (RegQueryValueEx(key.get(), valueName, type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    QByteArray data(static_cast<qsizetype>(size), '\0');
    if (RegQueryValueEx(key.get(), valueName, type, reinterpret_cast<std::uint8_t*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    data.resize(static_cast<qsizetype>(size));
    return data;
}

}  // namespace

std::optional<QString> RegGetStringValue(HKEY root, const QString& subKey, const QString& valueName)
{
    DWORD type = 0;
    auto data = ReadRaw(root, subKey, valueName, &type);
    if (!data || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    const qsizetype nul = data->indexOf('\0');
    return QString::fromUtf8(nul >= 0 ? data->left(nul) : *data);
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

RegKey& RegKey::operator=(RegKey&& other) noexcept
{
    if (this != &other) {
        reset();
        handle_ = other.release();
    }
    return *this;
}

HKEY* RegKey::put()
{
    reset();
    return &handle_;
}

HKEY RegKey::release()
{
    const HKEY h = handle_;
    handle_ = 0;
    return h;
}

void RegKey::reset()
{
    if (handle_)
        RegCloseKey(handle_);
    handle_ = 0;
}

}  // namespace plat
