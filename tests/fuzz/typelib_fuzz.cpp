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
    const std::optional<TypeLibDesc> lib = TypeLibDesc::deserialize(fuzz::Bytes(data, size), &error);
    if (!lib) {
        fuzz::Expect(!error.isEmpty(), "a refusal says why");
        return 0;
    }
    const QByteArray written = lib->serialize();
    const std::optional<TypeLibDesc> again = TypeLibDesc::deserialize(written, &error);
    fuzz::Expect(again.has_value(), "a written type library reads back", error);
    fuzz::Expect(again->serialize() == written, "a type library read back writes the same");
    fuzz::Expect(!lib->describe().isEmpty(), "a type library has a listing");

    for (const InterfaceDesc& i : lib->interfaces) {
        fuzz::Expect(lib->findInterface(i.name) == &i, "an interface is found by its name", i.name);
        const InterfaceDesc* byId = lib->findInterface(i.iid);
        fuzz::Expect(byId && byId->iid == i.iid, "an interface is found by its identifier", i.name);
        for (const FuncDesc& f : i.funcs) {
            const FuncDesc* byDispId = i.find(f.memid, f.kind);
            fuzz::Expect(byDispId && byDispId->memid == f.memid, "a method is found by its dispatch identifier",
                         i.name + u'.' + f.name);
        }
    }
    for (const CoClassDesc& c : lib->coclasses) {
        const CoClassDesc* byId = lib->findCoClass(c.clsid);
        fuzz::Expect(byId && byId->clsid == c.clsid, "a class is found by its identifier", c.name);
        for (const IID& iid : c.interfaces)
            fuzz::Expect(lib->findInterface(iid) != nullptr, "a class's interfaces are in the library", c.name);
    }
    return 0;
}
