// Registration, activation by class identifier and ProgID, early-bound calls
// and unloading of unused libraries.

#include "tests/platform/com/ComFixture.h"
#include "platform/runtime/Errors.h"

#include <QFileInfo>

using namespace plat;

namespace {

const QString ClassKey = QStringLiteral("Software\\Classes\\CLSID\\{C7B9CEA0-6549-4D38-BD4C-7DC4B0760342}");

std::optional<QString> UserValue(const QString& key, const QString& name = {})
{
    return RegGetStringValue(HKEY_CURRENT_USER, key, name);
}

}  // namespace

TEST_F(RegisteredProbe, RegistrationEntriesLandInThePerUserClasses)
{
    EXPECT_EQ(UserValue(ClassKey + "\\InprocServer32"), QFileInfo(ProbePath).absoluteFilePath());
    EXPECT_EQ(UserValue(ClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(UserValue(ClassKey + "\\ProgID"), "ProbeServer.clsProbe");
    EXPECT_EQ(UserValue(ClassKey + "\\TypeLib"), LIBID_ProbeServer.ToString());
    EXPECT_EQ(UserValue("Software\\Classes\\ProbeServer.clsProbe\\CLSID"), CLSID_clsProbe.ToString());
    EXPECT_EQ(UserValue("Software\\Classes\\TypeLib\\" + LIBID_ProbeServer.ToString() + "\\1b.0"), "ProbeServer");
    EXPECT_EQ(UserValue("Software\\Classes\\Interface\\" + _clsProbe::Iid.ToString()), "_clsProbe");
    // Nothing machine-wide was touched.
    EXPECT_FALSE(QFileInfo::exists(MachineHivePath()));

    // Seen through the merged classes root too.
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID("ProbeServer.clsProbe", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_clsProbe);
    QString progId;
    EXPECT_EQ(ProgIDFromCLSID(CLSID_clsProbe, &progId), S_OK);
    EXPECT_EQ(progId, "ProbeServer.clsProbe");
}

TEST_F(RegisteredProbe, CreateByClassIdAndByProgIdAndCallEarlyBound)
{
    ComPtr<_clsProbe> probe = CreateProbe();
    ASSERT_TRUE(probe);

    CLSID clsid;
    ASSERT_EQ(CLSIDFromString("ProbeServer.clsProbe", &clsid), S_OK);
    ComPtr<IDispatch> second;
    ASSERT_EQ(CoCreateInstance(clsid, &second), S_OK);
    ComPtr<_clsProbe> asProbe;
    EXPECT_EQ(second.As(&asProbe), S_OK);
    ComPtr<IClassFactory> notOne;
    EXPECT_EQ(second.As(&notOne), E_NOINTERFACE);

    BSTR raw = SysAllocString(u"hello");
    EXPECT_EQ(probe->Echo(&raw), S_OK);
    EXPECT_EQ(QStringFromBSTR(raw), "hello!");
    SysFreeString(raw);

    std::int16_t n = 21;
    EXPECT_EQ(probe->Twice(&n), S_OK);
    EXPECT_EQ(n, 42);
    VARIANT_BOOL flag = VARIANT_FALSE;
    EXPECT_EQ(probe->Toggle(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);
}

TEST_F(RegisteredProbe, FailingMethodReturnsItsStatus)
{
    ComPtr<_clsProbe> probe = CreateProbe();
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe->Fail(), E_FAIL);

    std::int16_t n = 20000;
    EXPECT_EQ(probe->Twice(&n), HResultFromRuntimeError(ErrOverflow)) << "Overflow as a run-time error status";
    EXPECT_EQ(n, 20000);
    // The object is fine afterwards.
    n = 2;
    EXPECT_EQ(probe->Twice(&n), S_OK);
    EXPECT_EQ(n, 4);
}

TEST_F(RegisteredProbe, UnregisteredClassCannotBeCreated)
{
    ASSERT_EQ(Unregister(), S_OK);
    ComPtr<_clsProbe> probe;
    EXPECT_EQ(CoCreateInstance(CLSID_clsProbe, &probe), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(probe);
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID("ProbeServer.clsProbe", &clsid), CO_E_CLASSSTRING);
    EXPECT_FALSE(UserValue(ClassKey));
    EXPECT_FALSE(UserValue("Software\\Classes\\TypeLib\\" + LIBID_ProbeServer.ToString()));
    EXPECT_FALSE(UserValue("Software\\Classes\\Interface\\" + _clsProbe::Iid.ToString()));
    EXPECT_EQ(Unregister(), S_OK) << "unregistering twice is harmless";
}

TEST_F(ComTest, RegistrationIntoAReadOnlyHiveFails)
{
    ASSERT_EQ(Register(), S_OK);
    ASSERT_EQ(Unregister(), S_OK);
    ASSERT_TRUE(QFile::setPermissions(UserHivePath(), QFile::ReadOwner));
    EXPECT_TRUE(FAILED(Register()));
    QFile::setPermissions(UserHivePath(), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(ComTest, MissingOrBrokenRegistrations)
{
    ComPtr<IDispatch> object;
    EXPECT_EQ(CoCreateInstance(CLSID_clsProbe, &object), REGDB_E_CLASSNOTREG);

    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, ClassKey + "\\InprocServer32", 0, KEY_ALL_ACCESS,
                             key.ReleaseAndGetAddressOf()),
              0);
    ASSERT_EQ(RegSetStringValue(key.Get(), "", dir.path() + "/gone.so"), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(CoCreateInstance(CLSID_clsProbe, &object), CO_E_DLLNOTFOUND);
    testing::internal::GetCapturedStderr();

    // A library that is not a component at all.
    void* self = dlopen(nullptr, RTLD_NOW);
    Dl_info info{};
    ASSERT_TRUE(dladdr(reinterpret_cast<void*>(&RegCloseKey), &info));
    dlclose(self);
    ASSERT_EQ(RegSetStringValue(key.Get(), "", QString::fromLocal8Bit(info.dli_fname)), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(CoCreateInstance(CLSID_clsProbe, &object), CO_E_ERRORINDLL);
    testing::internal::GetCapturedStderr();
}

TEST_F(RegisteredProbe, LibraryStaysWhileUsedAndGoesWhenFreed)
{
    ComPtr<_clsProbe> probe = CreateProbe();
    ASSERT_TRUE(probe);
    ASSERT_EQ(CoLoadedLibraries().size(), 1);
    void* loaded = dlopen(PROBE_SERVER, RTLD_NOW | RTLD_NOLOAD);
    auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(dlsym(loaded, "DllCanUnloadNow"));
    dlclose(loaded);  // the COM layer's own reference keeps it loaded
    ASSERT_TRUE(canUnload);
    EXPECT_EQ(canUnload(), S_FALSE);

    CoFreeUnusedLibraries();
    EXPECT_TRUE(ProbeLoaded()) << "an object is alive";
    std::int16_t n = 3;
    EXPECT_EQ(probe->Twice(&n), S_OK);

    // A server lock keeps it too.
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_clsProbe, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.ReleaseAndGetVoidAddress()),
              S_OK);
    EXPECT_EQ(factory->LockServer(1), S_OK);
    factory.Reset();
    probe.Reset();
    EXPECT_EQ(canUnload(), S_FALSE);
    CoFreeUnusedLibraries();
    EXPECT_TRUE(ProbeLoaded()) << "the server is locked";

    ASSERT_EQ(CoGetClassObject(CLSID_clsProbe, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.ReleaseAndGetVoidAddress()),
              S_OK);
    EXPECT_EQ(factory->LockServer(0), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnload(), S_OK);
    CoFreeUnusedLibraries();
    EXPECT_TRUE(CoLoadedLibraries().isEmpty());
    EXPECT_FALSE(ProbeLoaded());

    // And it comes back on the next creation.
    EXPECT_TRUE(CreateProbe());
    EXPECT_TRUE(ProbeLoaded());
}
