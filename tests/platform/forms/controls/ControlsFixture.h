#pragma once
// The controls' tests run their forms on the program's one private X server
// (Xvfb with openbox), with a private settings folder, and fail on any
// run-time error that reaches the error guard.

#include "platform/forms/Form.h"
#include "platform/runtime/Errors.h"
#include "tests/support/EventLoop.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestEnv.h"
#include "tests/support/X11Application.h"

#include <QTest>
#include <gtest/gtest.h>

inline auto* const desktop = ::testing::AddGlobalTestEnvironment(new testenv::X11Application);

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetUnhandledErrorHandler([](const plat::RuntimeError& e) {
            ADD_FAILURE() << "unhandled run-time error " << e.Number() << ": " << qPrintable(e.Description());
        });
    }
    void TearDown() override { plat::SetUnhandledErrorHandler({}); }

    static testenv::X11Session& X() { return testenv::X11Application::Session(); }

    // Shows the form and waits until the window manager has given it the focus.
    static void ShowActive(plat::Form& form)
    {
        form.Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.Window(), 10000)) << qPrintable(form.Name());
        testenv::Settle(100);
    }

    testenv::TempConfigHome config;
};
