// Apartment rules: an object answers only its own thread; windows only on
// the GUI thread; each thread has its own component state.

#include "tests/platform/com/ComFixture.h"

#include "platform/com/Apartment.h"

#include <thread>

using namespace plat;

namespace {

template <class F>
void OnOtherThread(F body)
{
    std::thread t(body);
    t.join();
}

}  // namespace

TEST_F(RegisteredProbe, CallsFromAnotherThreadAreRefused)
{
    ComPtr<_clsProbe> probe = CreateProbe();
    ASSERT_TRUE(probe);
    std::int16_t n = 5;
    HRESULT early = S_OK, late = S_OK;
    OnOtherThread([&] {
        early = probe->Twice(&n);
        late = CallByName(probe.Get(), "Twice", {Variant::RefI2(&n)});
    });
    EXPECT_EQ(early, RPC_E_WRONG_THREAD);
    EXPECT_EQ(late, RPC_E_WRONG_THREAD);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(probe->Twice(&n), S_OK) << "its own thread is still served";
}

TEST_F(RegisteredProbe, OtherThreadsInitialiseAndKeepTheirOwnState)
{
    ComPtr<_clsProbe> probe = CreateProbe();
    std::int32_t calls = 0;
    ASSERT_EQ(probe->CallsOnThisThread(&calls), S_OK);
    ASSERT_EQ(probe->CallsOnThisThread(&calls), S_OK);
    const std::int32_t mainCalls = calls;
    EXPECT_EQ(probe->OpenWindow(), S_OK) << "the first thread is the GUI thread";

    HRESULT uninitialised = S_OK, created = E_FAIL, window = S_OK, counted = E_FAIL;
    std::int32_t threadCalls = 0;
    OnOtherThread([&] {
        ComPtr<_clsProbe> mine;
        uninitialised = CoCreateInstance(CLSID_clsProbe, &mine);
        EXPECT_EQ(CoInitialize(), S_OK);
        created = CoCreateInstance(CLSID_clsProbe, &mine);
        if (mine) {
            counted = mine->CallsOnThisThread(&threadCalls);
            window = mine->OpenWindow();
        }
        mine.Reset();
        CoUninitialize();
    });
    EXPECT_EQ(uninitialised, CO_E_NOTINITIALIZED);
    EXPECT_EQ(created, S_OK);
    EXPECT_EQ(counted, S_OK);
    EXPECT_EQ(threadCalls, 1) << "a fresh thread starts from zero";
    EXPECT_EQ(window, RPC_E_WRONG_THREAD) << "no windows off the GUI thread";

    ASSERT_EQ(probe->CallsOnThisThread(&calls), S_OK);
    EXPECT_EQ(calls, mainCalls + 1);
}
