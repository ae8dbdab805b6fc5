// Type libraries and the resources embedded in a component library.

#include "tests/platform/com/ComFixture.h"

#include "platform/com/Resources.h"
#include "platform/com/TypeLib.h"

using namespace plat;

namespace {

QByteArray Lib(const char* interfaces, const char* coclasses = "[]")
{
    return QByteArray(R"({"name":"L","libid":"{ACE59642-4C4C-4970-8C09-407DBE654C84}","version":"1.2",)") +
           "\"interfaces\":" + interfaces + ",\"coclasses\":" + coclasses + "}";
}

std::optional<TypeLibDesc> ProbeTypeLib()
{
    const auto resources = ReadResourcesFromFile(ProbePath);
    const Resource* r = resources ? resources->Find("TYPELIB", 1) : nullptr;
    return r ? TypeLibDesc::Deserialize(r->data) : std::nullopt;
}

}  // namespace

TEST(TypeLib, ProbeLibraryIsEmbeddedWhole)
{
    const auto lib = ProbeTypeLib();
    ASSERT_TRUE(lib);
    EXPECT_EQ(lib->name, "ProbeServer");
    EXPECT_EQ(lib->VersionText(), "27.0");
    EXPECT_EQ(lib->imports, QStringList{"stdole2.tlb"});
    ASSERT_EQ(lib->interfaces.size(), 1u);
    ASSERT_EQ(lib->coclasses.size(), 1u);

    const InterfaceDesc& i = lib->interfaces[0];
    EXPECT_EQ(i.iid, _clsProbe::Iid);
    EXPECT_EQ(i.flags, TYPEFLAG_FDUAL | TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION);
    const FuncDesc* repeat = i.Find("REPEAT");
    ASSERT_TRUE(repeat);
    EXPECT_EQ(repeat->memid, 0x60030003);
    ASSERT_EQ(repeat->params.size(), 3u);
    EXPECT_EQ(repeat->params[1].vt, VT_BOOL);
    EXPECT_TRUE(repeat->params[1].byRef);
    EXPECT_TRUE(i.Find(0x60030005)->HasRetval());

    const CoClassDesc& c = lib->coclasses[0];
    EXPECT_EQ(c.clsid, CLSID_clsProbe);
    EXPECT_EQ(c.defaultInterface, _clsProbe::Iid);
    EXPECT_EQ(c.flags, TYPEFLAG_FCANCREATE);

    // What is written reads back the same.
    const auto again = TypeLibDesc::Deserialize(lib->Serialize());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Serialize(), lib->Serialize());
}

TEST(TypeLib, MistakesAreReportedNotGuessed)
{
    QString error;
    EXPECT_TRUE(TypeLibDesc::Deserialize(Lib("[]"), &error)) << error.toStdString();

    const char* sameDispId = R"([{"name":"I","iid":"{1034CCB5-CFE4-4076-B15B-C833C313FB05}","methods":[
        {"name":"A","dispid":1},{"name":"B","dispid":1}]}])";
    EXPECT_FALSE(TypeLibDesc::Deserialize(Lib(sameDispId), &error));
    EXPECT_TRUE(error.contains("used twice")) << error.toStdString();

    const char* unknownType = R"([{"name":"I","iid":"{1034CCB5-CFE4-4076-B15B-C833C313FB05}","methods":[
        {"name":"A","dispid":1,"params":[{"name":"x","type":"quaternion"}]}]}])";
    EXPECT_FALSE(TypeLibDesc::Deserialize(Lib(unknownType), &error));
    EXPECT_TRUE(error.contains("quaternion")) << error.toStdString();

    const char* missingDefault = R"([{"name":"C","clsid":"{C7B9CEA0-6549-4D38-BD4C-7DC4B0760342}","default":"_Nope"}])";
    EXPECT_FALSE(TypeLibDesc::Deserialize(Lib("[]", missingDefault), &error));
    EXPECT_TRUE(error.contains("_Nope")) << error.toStdString();

    EXPECT_FALSE(TypeLibDesc::Deserialize("{not json", &error));
}

TEST(TypeLib, HostileLibrariesAreRefusedWithoutCrashOrGuess)
{
    QString error;
    // Nesting a hundred thousand deep is refused by the JSON reader's own limit.
    EXPECT_FALSE(TypeLibDesc::Deserialize(QByteArray(100000, '[') + QByteArray(100000, ']'), &error));
    EXPECT_FALSE(TypeLibDesc::Deserialize(Lib(QByteArray(100000, '[') + QByteArray(100000, ']')), &error));

    // Dispatch identifiers written as numbers must be whole 32-bit values.
    for (const char* dispid : {"1e300", "-1e300", "4294967296", "-2147483649", "1.5"}) {
        const QByteArray methods = QByteArray(R"([{"name":"I","iid":"{1034CCB5-CFE4-4076-B15B-C833C313FB05}","methods":[
            {"name":"A","dispid":)") + dispid + "}]}]";
        EXPECT_FALSE(TypeLibDesc::Deserialize(Lib(methods), &error)) << dispid;
        EXPECT_TRUE(error.contains("bad dispatch identifier")) << error.toStdString();
    }
    const auto highest = TypeLibDesc::Deserialize(Lib(R"([{"name":"I","iid":"{1034CCB5-CFE4-4076-B15B-C833C313FB05}",
        "methods":[{"name":"A","dispid":4294967295},{"name":"B","dispid":-2147483648}]}])"));
    ASSERT_TRUE(highest);
    EXPECT_EQ(highest->interfaces[0].funcs[0].memid, -1);

    // Many methods: a name declared twice (in another case, same kind) is
    // still caught at the very end; a property's get and put may share one.
    QByteArray methods = R"([{"name":"I","iid":"{1034CCB5-CFE4-4076-B15B-C833C313FB05}","methods":[)";
    for (int i = 0; i < 20000; ++i)
        methods += QStringLiteral(R"({"name":"M%1","dispid":%1},)").arg(i).toUtf8();
    const QByteArray shared = methods + R"({"name":"m7","dispid":20001,"kind":"propget"},{"name":"M7x","dispid":20002}]}])";
    EXPECT_TRUE(TypeLibDesc::Deserialize(Lib(shared), &error)) << error.toStdString();
    const QByteArray twice = methods + R"({"name":"m19999","dispid":20001}]}])";
    EXPECT_FALSE(TypeLibDesc::Deserialize(Lib(twice), &error));
    EXPECT_TRUE(error.contains("I.m19999: declared twice")) << error.toStdString();

    // Classes name their interfaces without regard to case; an unknown one is refused.
    const char* iface = R"([{"name":"_Thing","iid":"{1034CCB5-CFE4-4076-B15B-C833C313FB05}"}])";
    const auto lib = TypeLibDesc::Deserialize(
        Lib(iface, R"([{"name":"C","clsid":"{C7B9CEA0-6549-4D38-BD4C-7DC4B0760342}","interfaces":["_THING"],"default":"_thing"}])"),
        &error);
    ASSERT_TRUE(lib) << error.toStdString();
    EXPECT_EQ(lib->coclasses[0].defaultInterface, _clsProbe::Iid);
    EXPECT_TRUE(lib->Describe().contains("coclass C {C7B9CEA0-6549-4D38-BD4C-7DC4B0760342} [] default _Thing"));
    EXPECT_TRUE(lib->Serialize().contains(R"("default":"_Thing")"));
}

TEST(Resources, ProbeCarriesItsCustomAndVersionResources)
{
    QString error;
    const auto resources = ReadResourcesFromFile(ProbePath, &error);
    ASSERT_TRUE(resources) << error.toStdString();

    const Resource* iid = resources->Find("_IID_CLSPROBE", 1);
    ASSERT_TRUE(iid);
    ASSERT_EQ(iid->data.size(), 20);
    EXPECT_EQ(iid->data.left(4), QByteArray("\x10\0\0\0", 4)) << "32-bit little-endian 16";
    EXPECT_EQ(iid->data.mid(4), _clsProbe::Iid.ToBytes());

    const Resource* version = resources->Find("VERSION", 1);
    ASSERT_TRUE(version);
    const auto info = VersionInfo::Parse(version->data);
    ASSERT_TRUE(info);
    EXPECT_EQ(VersionInfo::VersionText(info->fileVersion), "1.0.0.0");
    EXPECT_EQ(VersionInfo::VersionText(info->productVersion), "1.0.0.0");
    ASSERT_TRUE(info->Value("OLESelfRegister"));
    EXPECT_TRUE(info->Value("OLESelfRegister")->isEmpty());
    EXPECT_FALSE(info->Value("Missing"));
}

TEST(Resources, LoadedImageHoldsTheSameBytesAsTheFile)
{
    void* handle = dlopen(PROBE_SERVER, RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(handle);
    const auto fromModule = ReadResourcesFromModule(dlsym(handle, "DllCanUnloadNow"));
    const auto fromFile = ReadResourcesFromFile(ProbePath);
    ASSERT_TRUE(fromModule);
    ASSERT_TRUE(fromFile);
    EXPECT_EQ(fromModule->Serialize(), fromFile->Serialize());
    dlclose(handle);
}

TEST(Resources, DirectoryRoundTripAndDamage)
{
    ResourceDirectory dir;
    dir.entries.push_back({"A", 1, "odd"});
    dir.entries.push_back({"B", 7, QByteArray(5, '\xff')});
    const QByteArray bytes = dir.Serialize();
    EXPECT_EQ(bytes.size() % 4, 0);
    const auto back = ResourceDirectory::Parse(bytes);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->entries.size(), 2u);
    EXPECT_EQ(back->Find("b", 7)->data, QByteArray(5, '\xff'));

    // Two directories joined by the linker are both read.
    const auto joined = ResourceDirectory::Parse(bytes + bytes);
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->entries.size(), 4u);

    QString error;
    EXPECT_FALSE(ResourceDirectory::Parse(bytes.left(bytes.size() - 6), &error));
    EXPECT_FALSE(ReadResourcesFromFile("/nonexistent/lib.so", &error));
    EXPECT_FALSE(ReadResourcesFromFile(QStringLiteral(PROBE_SERVER) + "/..", &error));
}
