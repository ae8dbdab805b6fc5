// Late binding: names to dispatch identifiers, Invoke with by-reference
// arguments written back, conversions, and failures as statuses.

#include "tests/platform/com/ComFixture.h"
#include "platform/runtime/Errors.h"

using namespace plat;

class LateBound : public RegisteredProbe {
protected:
    void SetUp() override
    {
        RegisteredProbe::SetUp();
        CLSID clsid;
        ASSERT_EQ(CLSIDFromProgID("ProbeServer.clsProbe", &clsid), S_OK);
        ASSERT_EQ(CoCreateInstance(clsid, &object), S_OK);
    }

    DISPID IdOf(const QString& name)
    {
        BStr text(name);
        LPOLESTR names[] = {text.Get()};
        DISPID id = 0;
        EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
        return id;
    }

    ComPtr<IDispatch> object;
};

TEST_F(LateBound, NamesResolveWithoutRegardToCase)
{
    EXPECT_EQ(IdOf("Echo"), 0x60030000);
    EXPECT_EQ(IdOf("twice"), 0x60030001);
    EXPECT_EQ(IdOf("REPEAT"), 0x60030003);

    // Parameter names follow the member name.
    BStr member("Repeat"), p1("COUNT"), p2("text"), p3("nope");
    LPOLESTR names[] = {member.Get(), p1.Get(), p2.Get(), p3.Get()};
    DISPID ids[4] = {};
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 4, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 0x60030003);
    EXPECT_EQ(ids[1], 2);
    EXPECT_EQ(ids[2], 0);
    EXPECT_EQ(ids[3], DISPID_UNKNOWN);

    BStr unknown("Navigate");
    LPOLESTR one[] = {unknown.Get()};
    DISPID id = 0;
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, one, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    EXPECT_EQ(CallByName(object.Get(), "Navigate", {}), DISP_E_UNKNOWNNAME);

    UINT count = 0;
    EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(object->GetTypeInfo(0, 0, info.ReleaseAndGetAddressOf()), S_OK);
    const InterfaceDesc* desc = nullptr;
    ASSERT_EQ(info->GetInterfaceDesc(&desc), S_OK);
    EXPECT_EQ(desc->name, "_clsProbe");
    EXPECT_EQ(object->GetTypeInfo(1, 0, info.ReleaseAndGetAddressOf()), DISP_E_BADINDEX);
}

TEST_F(LateBound, ByReferenceArgumentsAreWrittenBack)
{
    BSTR text = SysAllocString(u"ab");
    VARIANT_BOOL upper = VARIANT_TRUE;
    std::int16_t count = 3;
    ASSERT_EQ(CallByName(object.Get(), "repeat",
                         {Variant::RefBstr(&text), Variant::RefBool(&upper), Variant::RefI2(&count)}),
              S_OK);
    EXPECT_EQ(QStringFromBSTR(text), "ABABAB");
    EXPECT_EQ(upper, VARIANT_FALSE);
    EXPECT_EQ(count, 6);
    SysFreeString(text);

    // A caller's variable of another type is converted in and out.
    std::int32_t wide = 300;
    ASSERT_EQ(CallByName(object.Get(), "Twice", {Variant::RefI4(&wide)}), S_OK);
    EXPECT_EQ(wide, 600);
    Variant holder("21");
    ASSERT_EQ(CallByName(object.Get(), "Twice", {Variant::RefVariant(&holder)}), S_OK);
    EXPECT_EQ(holder.vt, VT_I2);
    EXPECT_EQ(holder.iVal, 42);

    // Arguments by value are converted and the caller's copy is left alone.
    Variant byValue("7");
    ASSERT_EQ(CallByName(object.Get(), "Twice", {byValue}), S_OK);
    EXPECT_EQ(*byValue.ToQString(), "7");
}

TEST_F(LateBound, InvokeByDispatchIdentifierWithNamedArguments)
{
    BSTR text = SysAllocString(u"x");
    VARIANT_BOOL upper = VARIANT_FALSE;
    std::int16_t count = 2;
    // count and upper named, text positional: rgvarg holds the named ones first.
    VARIANT args[3] = {Variant::RefI2(&count), Variant::RefBool(&upper), Variant::RefBstr(&text)};
    DISPID named[2] = {2, 1};
    DISPPARAMS params{args, named, 3, 2};
    Variant result;
    ASSERT_EQ(object->Invoke(0x60030003, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(QStringFromBSTR(text), "xx");
    EXPECT_EQ(count, 2);
    SysFreeString(text);

    // A [retval] parameter is the call's result.
    ASSERT_EQ(CallByName(object.Get(), "Version", {}, &result, nullptr, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(*result.ToQString(), "27.0");
    ASSERT_EQ(CallByName(object.Get(), "CallsOnThisThread", {}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
}

TEST_F(LateBound, BadCallsAreRefusedWithTheirStatus)
{
    std::int16_t n = 1;
    EXPECT_EQ(CallByName(object.Get(), "Twice", {}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(CallByName(object.Get(), "Twice", {Variant::RefI2(&n), Variant::RefI2(&n)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(CallByName(object.Get(), "Twice", {Variant("many")}), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(CallByName(object.Get(), "Twice", {Variant(std::int32_t(99999))}), DISP_E_OVERFLOW);

    DISPPARAMS none;
    EXPECT_EQ(object->Invoke(0x12345, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(object->Invoke(0x60030004, IID_IDispatch, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    // A property getter is not a method.
    EXPECT_EQ(object->Invoke(0x60030007, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
}

TEST_F(LateBound, MethodFailureBecomesAnException)
{
    EXCEPINFO info;
    EXPECT_EQ(CallByName(object.Get(), "Fail", {}, nullptr, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, E_FAIL);
    EXPECT_EQ(QStringFromBSTR(info.bstrDescription), "probe failed on purpose");
    EXPECT_EQ(QStringFromBSTR(info.bstrSource), "ProbeServer.clsProbe");
    ClearExcepInfo(&info);

    std::int16_t n = 30000;
    EXPECT_EQ(CallByName(object.Get(), "Twice", {Variant::RefI2(&n)}, nullptr, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, HResultFromRuntimeError(ErrOverflow));
    EXPECT_FALSE(QStringFromBSTR(info.bstrDescription).isEmpty());
    EXPECT_EQ(n, 30000);
    ClearExcepInfo(&info);

    // Without an EXCEPINFO the status is the same.
    EXPECT_EQ(CallByName(object.Get(), "Fail", {}), DISP_E_EXCEPTION);
}
