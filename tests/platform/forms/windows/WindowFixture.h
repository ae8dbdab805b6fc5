#pragma once
// Forms of the test's own on a private X server with a window manager: real
// windows, real placement and real X input. The fixture waits on the event
// loop for what the window system does, and records what each form raises.

#include "platform/forms/Form.h"
#include "platform/forms/Menu.h"
#include "platform/forms/StatusBar.h"
#include "platform/forms/Twips.h"
#include "platform/runtime/Errors.h"
#include "tests/support/EventLoop.h"
#include "tests/support/TestEnv.h"
#include "tests/support/X11Application.h"

#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>
#include <functional>
#include <vector>

// A form that records the events the platform raises on it, and keeps its
// placement across loads the way the browser window does: the last normal
// placement while minimised or maximised, the state as it was.
class RecordingForm : public plat::Form {
public:
    struct Resize {
        int state;
        float scaleWidth;
        float scaleHeight;
        bool visible;
    };
    struct Placement {
        float top = 1200;
        float left = 1500;
        float width = 7000;
        float height = 5000;
        int state = plat::vbNormal;
    };

    explicit RecordingForm(QString name = QStringLiteral("frmRecording")) : plat::Form(std::move(name)) {}

    Placement stored;  // what the last close saved; the next load applies it
    Placement normal;  // the last placement Form_Resize saw in the normal state
    int loads = 0;
    int paints = 0;
    int unloads = 0;
    std::vector<int16_t> queryUnloadModes;
    int16_t cancelQueryUnload = 0;  // what QueryUnload answers
    std::vector<Resize> resizes;
    std::vector<int16_t> keysTyped;

    // The resizes the form heard of while its window was shown.
    std::vector<Resize> ShownResizes() const
    {
        std::vector<Resize> shown;
        for (const Resize& r : resizes)
            if (r.visible)
                shown.push_back(r);
        return shown;
    }

protected:
    void Design() override { Caption = Name(); }
    void Form_Load() override
    {
        ++loads;
        normal = stored;
        Move(stored.left, stored.top, stored.width, stored.height);
        WindowState = stored.state;
    }
    void Form_Resize() override
    {
        resizes.push_back({WindowState, ScaleWidth(), ScaleHeight(), IsVisible()});
        if (WindowState == plat::vbNormal)
            normal = {Top, Left, Width, Height, plat::vbNormal};
    }
    void Form_Paint() override { ++paints; }
    void Form_KeyPress(int16_t& KeyAscii) override { keysTyped.push_back(KeyAscii); }
    void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) override
    {
        queryUnloadModes.push_back(UnloadMode);
        Cancel = cancelQueryUnload;
        if (Cancel)
            return;
        stored = WindowState == plat::vbNormal ? Placement{Top, Left, Width, Height} : normal;
        stored.state = WindowState;
    }
    void Form_Unload(int16_t& Cancel) override
    {
        (void)Cancel;
        ++unloads;
    }
};

// The same with a menu bar of one menu, and a status bar along its bottom.
class MenuForm : public RecordingForm {
public:
    MenuForm() : RecordingForm(QStringLiteral("frmMenu")) {}
    plat::Menu mnuFile{*this, QStringLiteral("mnuFile"), QStringLiteral("&File")};
    plat::Menu mnuExit{*this, QStringLiteral("mnuExit"), QStringLiteral("E&xit"), &mnuFile};
    plat::StatusBar statbar{*this, QStringLiteral("statbar")};
};

// One private X server with a window manager for the whole program.
inline auto* const windowsDesktop = ::testing::AddGlobalTestEnvironment(new testenv::X11Application);

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetUnhandledErrorHandler([this](const plat::RuntimeError& e) { errors.push_back(e.Number()); });
    }
    void TearDown() override
    {
        plat::SetUnhandledErrorHandler({});
        EXPECT_TRUE(errors.empty());
    }

    static testenv::X11Session& X() { return testenv::X11Application::Session(); }
    static unsigned long XId(const plat::Form& form) { return form.Window()->winId(); }

    // Shows the form as code does and waits until the window manager has
    // put its window on the screen (or into the taskbar) and placed it.
    static bool ShowAndWait(plat::Form& form, int modal = 0)
    {
        form.Show(modal);
        return WaitPlaced(form);
    }
    static bool WaitPlaced(const plat::Form& form)
    {
        const bool minimised = form.WindowState == plat::vbMinimized;
        const bool placed = testenv::WaitUntil([&] { return X().WmState(XId(form)) == (minimised ? 3 : 1); }, 10000);
        testenv::Settle(200);  // the window manager's last configure events
        return placed;
    }
    // Closes the window with its close box, as the user does, and waits
    // until the form has heard of it.
    static void CloseBox(RecordingForm& form)
    {
        const size_t asked = form.queryUnloadModes.size();
        X().RequestClose({XId(form)});
        testenv::WaitUntil([&] { return form.queryUnloadModes.size() > asked; }, 10000);
        testenv::Settle(500);
    }

    // The client area of the form's window on the screen, as X has it, and
    // the part of it below the menu bar.
    static QRect ClientOnScreen(const plat::Form& form) { return X().ClientRect(XId(form)); }
    static QRect ScaleAreaOnScreen(const plat::Form& form)
    {
        const QRect client = ClientOnScreen(form);
        const int menu = form.Surface()->y();
        return client.adjusted(0, menu, 0, 0);
    }

    testenv::TempConfigHome config;
    std::vector<int> errors;
};
