// The resource compiler's C++ face of a type library: what it writes for
// methods, properties and classes, and what it refuses to write.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

class ResGen : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& text)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        return path;
    }
    static QByteArray Read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Runs the tool; its exit code, with what it said on stderr in `said`.
    int Run(const QStringList& arguments)
    {
        QProcess tool;
        tool.start(QStringLiteral(RESGEN_TOOL), arguments);
        EXPECT_TRUE(tool.waitForFinished(30000));
        said = QString::fromLocal8Bit(tool.readAllStandardError());
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }
    int Generate(const QByteArray& typeLib)
    {
        return Run({QStringLiteral("--interface"), Write(QStringLiteral("Lib.tlb.json"), typeLib), header, dispatch});
    }

    static QByteArray Lib(const char* methods, const char* flags = R"(["dual"])")
    {
        return QByteArray(R"({"name":"Lib","libid":"{ACE59642-4C4C-4970-8C09-407DBE654C84}","version":"1.0",
            "interfaces":[{"name":"_Thing","iid":"{1034CCB5-CFE4-4076-B15B-C833C313FB05}","flags":)") +
               flags + R"(,"methods":)" + methods + R"(}],
            "coclasses":[{"name":"Thing","clsid":"{C7B9CEA0-6549-4D38-BD4C-7DC4B0760342}","flags":["cancreate"],
                          "interfaces":["_Thing"],"default":"_Thing"},
                         {"name":"Hidden","clsid":"{5E1F0C44-7B2A-4D8E-9C3F-1A2B3C4D5E6F}",
                          "interfaces":["_Thing"],"default":"_Thing"}]})";
    }

    QTemporaryDir dir;
    QString header = dir.filePath(QStringLiteral("Lib_i.h"));
    QString dispatch = dir.filePath(QStringLiteral("Lib_dispatch.h"));
    QString said;
};

TEST_F(ResGen, MethodsAndPropertiesGetTheirFunctionTableAndDispatchEntries)
{
    ASSERT_EQ(Generate(Lib(R"([
        {"name":"Go","dispid":"0x60030000","doc":"Goes.","params":[{"name":"url","type":"BSTR","byref":true},
                                                                   {"name":"n","type":"short"}]},
        {"name":"Size","dispid":2,"kind":"propget","params":[{"name":"v","type":"long","byref":true,"flags":["out","retval"]}]},
        {"name":"Size","dispid":2,"kind":"propput","params":[{"name":"v","type":"long"}]},
        {"name":"Stop","dispid":3,"doc":"Stops. \\"}])")),
              0)
        << said.toStdString();
    const QByteArray i = Read(header);
    EXPECT_TRUE(i.contains("inline constexpr plat::GUID LIBID_Lib{0xACE59642, 0x4C4C, 0x4970, {0x8C, 0x09,"));
    EXPECT_TRUE(i.contains("inline constexpr plat::GUID CLSID_Thing{0xC7B9CEA0,"));
    EXPECT_TRUE(i.contains("struct _Thing : plat::IDispatch {\n"
                           "    static constexpr plat::GUID Iid{0x1034CCB5,"));
    EXPECT_TRUE(i.contains("    // Goes.\n"
                           "    virtual plat::HRESULT Go(plat::BSTR* url, std::int16_t n) = 0;"));
    EXPECT_LT(i.indexOf("get_Size(std::int32_t* v) = 0;"), i.indexOf("put_Size(std::int32_t v) = 0;"))
        << "function-table order is the library's";
    EXPECT_TRUE(i.contains("    // Stops.\n    virtual plat::HRESULT Stop() = 0;"))
        << "a description ending in a backslash does not swallow the declaration after it";

    const QByteArray d = Read(dispatch);
    EXPECT_TRUE(d.contains("#include \"Lib_i.h\""));
    EXPECT_TRUE(d.contains(".Method(0x60030000, &_Thing::Go)"));
    EXPECT_TRUE(d.contains(".PropertyGet(0x00000002, &_Thing::get_Size)"));
    EXPECT_TRUE(d.contains(".PropertyPut(0x00000002, &_Thing::put_Size)"));
    EXPECT_TRUE(d.contains("template <class Thing_>\nplat::ServerDescription ServerDescriptionOf()"));
    EXPECT_TRUE(d.contains("{QStringLiteral(\"Thing\"), CLSID_Thing, _Thing::Iid, &plat::CreateComObject<Thing_>}"));
    EXPECT_FALSE(d.contains("Hidden_")) << "a class that cannot be created has no factory";
}

// The names end up in C++ source: anything but an identifier is refused,
// as is what the dispatch machinery cannot serve, and nothing is written.
TEST_F(ResGen, NamesThatAreNoIdentifiersAndWhatCannotBeDispatchedAreRefused)
{
    EXPECT_EQ(Generate(Lib(R"([{"name":"Go(); } int x; struct y {","dispid":1}])")), 1);
    EXPECT_TRUE(said.contains("cannot be a C++ name")) << said.toStdString();
    EXPECT_EQ(Generate(Lib(R"([{"name":"Go","dispid":1,"params":[{"name":"a b","type":"short"}]}])")), 1);
    EXPECT_TRUE(said.contains("\"a b\"")) << said.toStdString();
    EXPECT_EQ(Generate(Lib(R"([{"name":"P","dispid":1,"kind":"propputref","params":[{"name":"v","type":"IDispatch*"}]}])")), 1);
    EXPECT_TRUE(said.contains("cannot be dispatched")) << said.toStdString();
    EXPECT_EQ(Generate(Lib("[]", "[]")), 1);
    EXPECT_TRUE(said.contains("only dual interfaces")) << said.toStdString();
    EXPECT_EQ(Generate("{not json"), 1);
    EXPECT_TRUE(said.contains("Lib.tlb.json")) << "the error names the file";
    EXPECT_FALSE(QFileInfo::exists(header));
    EXPECT_FALSE(QFileInfo::exists(dispatch));
}

// A build that did not change the type library recompiles nothing.
TEST_F(ResGen, UnchangedHeadersAreLeftAsTheyAre)
{
    ASSERT_EQ(Generate(Lib("[]")), 0) << said.toStdString();
    const QDateTime written = QFileInfo(header).lastModified();
    QThread::msleep(1100);
    ASSERT_EQ(Generate(Lib("[]")), 0);
    EXPECT_EQ(QFileInfo(header).lastModified(), written);
}

TEST_F(ResGen, AnInterfaceIdInAResourceComesFromTheTypelibAbove)
{
    Write(QStringLiteral("Lib.tlb.json"), Lib("[]"));
    const QString output = dir.filePath(QStringLiteral("res.cpp"));
    const QString good = Write(QStringLiteral("good.res"), "typelib Lib.tlb.json\nresource _IID 1 u32 16 iid _Thing\n");
    EXPECT_EQ(Run({good, output}), 0) << said.toStdString();
    // The identifier's 16 bytes, Data1 little-endian first.
    EXPECT_TRUE(Read(output).contains("0x10, 0x00, 0x00, 0x00, 0xb5, 0xcc, 0x34, 0x10,")) << Read(output).toStdString();

    const QString before = Write(QStringLiteral("before.res"), "resource _IID 1 iid _Thing\ntypelib Lib.tlb.json\n");
    EXPECT_EQ(Run({before, output}), 1);
    EXPECT_TRUE(said.contains("no interface \"_Thing\"")) << said.toStdString();
    const QString unknown = Write(QStringLiteral("unknown.res"), "typelib Lib.tlb.json\nresource _IID 1 iid _Nope\n");
    EXPECT_EQ(Run({unknown, output}), 1);
    EXPECT_TRUE(said.contains("_Nope")) << said.toStdString();
}

}  // namespace
