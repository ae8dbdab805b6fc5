// Fuzz target: type libraries, the JSON a component embeds as its TYPELIB
// resource (plat::TypeLibDesc).
//
// Input: the bytes of a type library.
//
// Checks: a library that reads is written again in a form that reads back to
// the same library; its listing can be made; every interface and class it
// holds is found again by its name and identifier, every method by its
// dispatch identifier.

#include "platform/com/TypeLib.h"
#include "tests/fuzz/FuzzCheck.h"

using namespace plat;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const std::optional<TypeLibDesc> lib = TypeLibDesc::Deserialize(fuzz::Bytes(data, size), &error);
    if (!lib) {
        fuzz::Expect(!error.isEmpty(), "a refusal says why");
        return 0;
    }
    const QByteArray written = lib->Serialize();
    const std::optional<TypeLibDesc> again = TypeLibDesc::Deserialize(written, &error);
    fuzz::Expect(again.has_value(), "a written type library reads back", error);
    fuzz::Expect(again->Serialize() == written, "a type library read back writes the same");
    fuzz::Expect(!lib->Describe().isEmpty(), "a type library has a listing");

    for (const InterfaceDesc& i : lib->interfaces) {
        fuzz::Expect(lib->FindInterface(i.name) == &i, "an interface is found by its name", i.name);
        const InterfaceDesc* byId = lib->FindInterface(i.iid);
        fuzz::Expect(byId && byId->iid == i.iid, "an interface is found by its identifier", i.name);
        for (const FuncDesc& f : i.funcs) {
            const FuncDesc* byDispId = i.Find(f.memid, f.kind);
            fuzz::Expect(byDispId && byDispId->memid == f.memid, "a method is found by its dispatch identifier",
                         i.name + u'.' + f.name);
        }
    }
    for (const CoClassDesc& c : lib->coclasses) {
        const CoClassDesc* byId = lib->FindCoClass(c.clsid);
        fuzz::Expect(byId && byId->clsid == c.clsid, "a class is found by its identifier", c.name);
        for (const IID& iid : c.interfaces)
            fuzz::Expect(lib->FindInterface(iid) != nullptr, "a class's interfaces are in the library", c.name);
    }
    return 0;
}
