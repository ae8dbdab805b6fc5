#include "platform/com/InprocServer.h"

#include "platform/com/Resources.h"
#include "platform/com/UnknownObject.h"
#include "platform/registry/Registry.h"

#include <QFileInfo>

#include <dlfcn.h>

#include <cstdio>

namespace plat {

QString TypeLibVersionKey(const TypeLibDesc& lib)
{
    // The registry's convention writes type library versions in hex.
    return QStringLiteral("%1.%2").arg(lib.major, 0, 16).arg(lib.minor, 0, 16);
}

InprocServer::InprocServer(ServerDescription description, const void* moduleAddress)
    : description_(std::move(description)), module_(moduleAddress)
{
}

QString InprocServer::LibraryPath() const
{
    Dl_info info{};
    if (!dladdr(module_, &info) || !info.dli_fname)
        return {};
    return QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath();
}

std::shared_ptr<const TypeLibDesc> InprocServer::TypeLib()
{
    std::call_once(typeLibOnce_, [this] {
        QString error;
        const auto resources = ReadResourcesFromModule(module_, &error);
        const Resource* r = resources ? resources->Find(QString::fromLatin1(RT_TYPELIB), 1) : nullptr;
        if (r) {
            if (auto lib = TypeLibDesc::Deserialize(r->data, &error))
                typeLib_ = std::make_shared<const TypeLibDesc>(std::move(*lib));
        } else if (resources) {
            error = QStringLiteral("no TYPELIB resource");
        }
        if (!typeLib_)
            std::fprintf(stderr, "%s: no usable type library: %s\n", qPrintable(description_.projectName),
                         qPrintable(error));
    });
    return typeLib_;
}

// ---- Class factory ------------------------------------------------------------

namespace {

class ClassFactory final : public UnknownObject<IClassFactory> {
public:
    ClassFactory(InprocServer& server, const ClassDescription& cls) : server_(server), class_(cls) { server_.Lock(); }

    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (!class_.create)
            return E_NOTIMPL;
        try {
            return class_.create(riid, ppv);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_UNEXPECTED;
        }
    }
    HRESULT LockServer(BOOL lock) override
    {
        if (lock)
            server_.Lock();
        else
            server_.Unlock();
        return S_OK;
    }

private:
    ~ClassFactory() override { server_.Unlock(); }
    InprocServer& server_;
    const ClassDescription& class_;
};

}  // namespace

HRESULT InprocServer::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (const ClassDescription& c : description_.classes) {
        if (c.clsid == clsid) {
            auto* factory = new (std::nothrow) ClassFactory(*this, c);
            if (!factory)
                return E_OUTOFMEMORY;
            const HRESULT hr = factory->QueryInterface(riid, ppv);
            factory->Release();
            return hr;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT InprocServer::CanUnloadNow() const
{
    return locks_ == 0 ? S_OK : S_FALSE;
}

// ---- Registration ---------------------------------------------------------------

namespace {

const QString ClassesKey = QStringLiteral("Software\\Classes\\");

// Creates HKCU\Software\Classes\<path> and sets its values; false on failure.
bool Write(const QString& path, const std::vector<std::pair<QString, QString>>& values)
{
    RegKey key;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, ClassesKey + path, 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()) !=
        ERROR_SUCCESS)
        return false;
    for (const auto& [name, text] : values)
        if (RegSetStringValue(key.Get(), name, text) != ERROR_SUCCESS)
            return false;
    return true;
}

bool Remove(const QString& path)
{
    const LONG rc = RegDeleteTree(HKEY_CURRENT_USER, ClassesKey + path);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool HasSubkeys(const QString& path)
{
    RegKey key;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, ClassesKey + path, 0, KEY_READ, key.ReleaseAndGetAddressOf()) != ERROR_SUCCESS)
        return false;
    QString name;
    return RegEnumKeyEx(key.Get(), 0, &name) == ERROR_SUCCESS;
}

}  // namespace

HRESULT InprocServer::RegisterServer()
{
    const auto lib = TypeLib();
    const QString path = LibraryPath();
    if (!lib || path.isEmpty())
        return SELFREG_E_TYPELIB;

    const QString libid = lib->libid.ToString();
    const QString version = TypeLibVersionKey(*lib);
    const QString typeLibKey = QStringLiteral("TypeLib\\%1\\%2").arg(libid, version);
    bool ok = Write(typeLibKey, {{QString(), lib->doc.isEmpty() ? lib->name : lib->doc}}) &&
              Write(typeLibKey + QStringLiteral("\\0\\elf"), {{QString(), path}}) &&
              Write(typeLibKey + QStringLiteral("\\FLAGS"), {{QString(), QStringLiteral("0")}}) &&
              Write(typeLibKey + QStringLiteral("\\HELPDIR"), {{QString(), QFileInfo(path).absolutePath()}});
    for (const InterfaceDesc& i : lib->interfaces) {
        const QString key = QStringLiteral("Interface\\") + i.iid.ToString();
        ok = ok && Write(key, {{QString(), i.name}}) &&
             Write(key + QStringLiteral("\\TypeLib"), {{QString(), libid}, {QStringLiteral("Version"), version}});
    }
    if (!ok)
        return SELFREG_E_TYPELIB;

    for (const ClassDescription& c : description_.classes) {
        const QString progid = ProgId(c);
        const QString text = c.description.isEmpty() ? progid : c.description;
        const QString key = QStringLiteral("CLSID\\") + c.clsid.ToString();
        ok = Write(key, {{QString(), text}}) &&
             Write(key + QStringLiteral("\\InprocServer32"),
                   {{QString(), path}, {QStringLiteral("ThreadingModel"), c.threadingModel}}) &&
             Write(key + QStringLiteral("\\ProgID"), {{QString(), progid}}) &&
             Write(key + QStringLiteral("\\TypeLib"), {{QString(), libid}}) &&
             Write(key + QStringLiteral("\\VERSION"), {{QString(), lib->VersionText()}}) &&
             Write(progid, {{QString(), text}}) && Write(progid + QStringLiteral("\\CLSID"), {{QString(), c.clsid.ToString()}});
        if (!ok)
            return SELFREG_E_CLASS;
    }
    return S_OK;
}

HRESULT InprocServer::UnregisterServer()
{
    bool ok = true;
    for (const ClassDescription& c : description_.classes) {
        ok = Remove(QStringLiteral("CLSID\\") + c.clsid.ToString()) && ok;
        // The ProgID may meanwhile name another class; that one stays.
        const auto owner = RegGetStringValue(HKEY_CURRENT_USER, ClassesKey + ProgId(c) + QStringLiteral("\\CLSID"), {});
        if (!owner || GUID::Parse(*owner) == c.clsid)
            ok = Remove(ProgId(c)) && ok;
    }
    if (const auto lib = TypeLib()) {
        const QString libKey = QStringLiteral("TypeLib\\") + lib->libid.ToString();
        ok = Remove(libKey + u'\\' + TypeLibVersionKey(*lib)) && ok;
        if (!HasSubkeys(libKey))
            ok = Remove(libKey) && ok;
        for (const InterfaceDesc& i : lib->interfaces)
            ok = Remove(QStringLiteral("Interface\\") + i.iid.ToString()) && ok;
    }
    return ok ? S_OK : SELFREG_E_CLASS;
}

}  // namespace plat
