#include "platform/runtime/App.h"
#include "platform/runtime/Errors.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

using namespace plat;

namespace {

struct Ended {
    int code;
};

}  // namespace

TEST(Errors, RuntimeTexts)
{
    EXPECT_EQ(ErrorText(ErrOverflow), "Overflow");
    EXPECT_EQ(ErrorText(ErrSubscript), "Subscript out of range");
    EXPECT_EQ(ErrorText(ErrTypeMismatch), "Type mismatch");
    EXPECT_EQ(ErrorText(ErrFileNotFound), "File not found");
    EXPECT_EQ(ErrorText(ErrControlArrayElement), "Control array element doesn't exist");
    EXPECT_EQ(ErrorText(ErrCantCreateObject), "ActiveX component can't create object");
    EXPECT_EQ(ErrorText(ErrObjectNotSet), "Object variable or With block variable not set");
    EXPECT_EQ(ErrorText(12345), "Application-defined or object-defined error");

    const RuntimeError plain(ErrOverflow);
    EXPECT_EQ(plain.Description(), "Overflow");
    EXPECT_STREQ(plain.what(), "Overflow");
    const RuntimeError own(ErrAutomation, "Class not registered");
    EXPECT_EQ(own.Description(), "Class not registered");
}

TEST(Errors, SkipGoesOnAfterAFailingStatement)
{
    std::vector<int> ran;
    const bool first = Skip([&] { ran.push_back(1); Raise(ErrSubscript); ran.push_back(99); });
    const bool second = Skip([&] { ran.push_back(2); });
    EXPECT_FALSE(first);
    EXPECT_TRUE(second);
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST(Errors, GuardHandsEscapingErrorsToTheHandler)
{
    std::vector<int> seen;
    QString text;
    SetUnhandledErrorHandler([&](const RuntimeError& e) { seen.push_back(e.Number()); text = e.Description(); });
    Guard([] { Raise(ErrTypeMismatch); });
    Guard([] { throw std::runtime_error("bad thing"); });
    Guard([] {});
    SetUnhandledErrorHandler({});
    EXPECT_EQ(seen, (std::vector<int>{ErrTypeMismatch, ErrInvalidCall}));
    EXPECT_EQ(text, "bad thing");
}

TEST(Errors, UnhandledErrorNamesItselfAndEndsTheProgram)
{
    App::SetTitle("Velmor");
    SetEndHandler([](int code) { throw Ended{code}; });
    testing::internal::CaptureStderr();
    int code = 0;
    try {
        ReportUnhandled(RuntimeError(ErrOverflow));  // headless: no box to wait on
    } catch (const Ended& e) {
        code = e.code;
    }
    const std::string err = testing::internal::GetCapturedStderr();
    SetEndHandler({});
    EXPECT_NE(code, 0);
    EXPECT_NE(err.find("Run-time error '" + std::to_string(ErrOverflow) + "':\n\nOverflow"), std::string::npos) << err;
}
