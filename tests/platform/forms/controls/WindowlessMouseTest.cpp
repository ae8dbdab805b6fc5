// Windowless controls on a form and in a picture box: painted back to
// front, found under the mouse front to back, with the desktop's button and
// shift masks, and a move repainting only where the control was and is.
#include "ControlsFixture.h"

#include "platform/forms/Frame.h"
#include "platform/forms/Image.h"
#include "platform/forms/Keys.h"
#include "platform/forms/Label.h"
#include "platform/forms/PictureBox.h"
#include "platform/forms/Shape.h"

#include <QPaintEvent>
#include <QPixmap>
#include <QRegion>
#include <QScreen>
#include <vector>

namespace {

struct Down {
    QString control;
    int button;
    int shift;
    float x;
    float y;
    bool operator==(const Down&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Down& d)
{
    return out << qPrintable(d.control) << " button " << d.button << " shift " << d.shift << " at " << d.x << ","
               << d.y;
}

constexpr int32_t Red = 0x0000FF;
constexpr int32_t Green = 0x00FF00;
constexpr int32_t Blue = 0xFF0000;

// Pixels, at 15 twips each: two labels overlapping at (100..180, 60..100),
// a shape at (200..260, 120..160) over a corner of the front one, and a picture box
// with a 2-pixel border at (300..560, 20..220) holding a label and an
// image that overlap at (62..122, 42..82) of the box; below it a frame at
// (300..560, 230..290) with a label of its own at (10..70, 20..40) of the
// frame, over a label of the form.
class LayeredForm : public plat::Form {
public:
    LayeredForm()
        : plat::Form(QStringLiteral("LayeredForm")),
          lblBack(*this, QStringLiteral("lblBack")),
          lblFront(*this, QStringLiteral("lblFront")),
          shpOver(*this, QStringLiteral("shpOver")),
          picBox(*this, QStringLiteral("picBox")),
          lblInBox(picBox, QStringLiteral("lblInBox")),
          imgInBox(picBox, QStringLiteral("imgInBox")),
          lblUnderFrame(*this, QStringLiteral("lblUnderFrame")),
          fraBox(*this, QStringLiteral("fraBox")),
          lblInFrame(fraBox, QStringLiteral("lblInFrame"))
    {
        for (plat::Control* c : std::initializer_list<plat::Control*>{&lblBack, &lblFront, &shpOver, &lblInBox, &imgInBox,
                                                                      &lblUnderFrame, &lblInFrame}) {
            c->MouseDown = [this, c](int button, int shift, float x, float y) {
                downs.push_back({c->Name(), button, shift, x, y});
            };
            c->Click = [this, c] { clicks << c->Name(); };
        }
        picBox.Click = [this] { clicks << QStringLiteral("picBox"); };
    }

    plat::Label lblBack;
    plat::Label lblFront;
    plat::ShapeControl shpOver;
    plat::PictureBox picBox;
    plat::Label lblInBox;
    plat::Image imgInBox;
    plat::Label lblUnderFrame;
    plat::Frame fraBox;
    plat::Label lblInFrame;

    std::vector<Down> downs;
    QStringList clicks;

protected:
    void Design() override
    {
        Caption = QStringLiteral("Layers");
        BackColor = 0xFFFFFF;
        SetClientSize(9000, 4500);
        lblBack.Move(300, 300, 2400, 1200);
        lblBack.BackColor = Red;
        lblFront.Move(1500, 900, 2400, 1200);
        lblFront.BackColor = Green;
        shpOver.Move(3000, 1800, 900, 600);
        shpOver.BackStyle = plat::vbOpaque;
        shpOver.BackColor = Blue;
        picBox.Move(4500, 300, 3900, 3000);
        picBox.BorderStyle = 1;
        lblInBox.Move(300, 300, 1500, 900);
        QPixmap yellow(10, 10);
        yellow.fill(Qt::yellow);
        imgInBox.Stretch = true;
        imgInBox.SetPicture(yellow);
        imgInBox.Move(900, 600, 1500, 900);
        lblUnderFrame.Move(4500, 3450, 3900, 900);
        fraBox.Move(4500, 3450, 3900, 900);
        lblInFrame.Move(150, 300, 900, 300);
    }
};

class WindowlessMouse : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        form = std::make_unique<LayeredForm>();
        form->Load();
        ShowActive(*form);
    }
    void TearDown() override
    {
        form.reset();
        ControlsTest::TearDown();
    }

    // A real click at a pixel of a widget, with the named modifier keys held.
    void ClickAt(QWidget& widget, QPoint at, int button, std::initializer_list<const char*> held = {})
    {
        for (const char* key : held)
            X().HoldKey(key, true);
        const size_t before = form->downs.size();
        testenv::X11Application::Click(widget, at, button);
        for (const char* key : held)
            X().HoldKey(key, false);
        testenv::WaitUntil([&] { return form->downs.size() > before; }, 3000);
        testenv::Settle(100);
    }
    void ClickOnForm(QPoint at, int button = 1, std::initializer_list<const char*> held = {})
    {
        ClickAt(*form->Surface(), at, button, held);
    }
    void ClickInBox(QPoint at, int button = 1, std::initializer_list<const char*> held = {})
    {
        ClickAt(*form->picBox.Widget(), at, button, held);
    }

    // The colour the X server shows at a pixel of the form's surface.
    QColor OnScreen(QPoint at) const
    {
        QWidget* window = form->Window();
        const QPoint p = form->Surface()->mapTo(window, at);
        return window->screen()->grabWindow(window->winId(), p.x(), p.y(), 1, 1).toImage().pixelColor(0, 0);
    }

    std::unique_ptr<LayeredForm> form;
};

TEST_F(WindowlessMouse, APressReachesTheTopmostControlWithItsButtonAndShift)
{
    const QPoint overlap(140, 80);
    ClickOnForm(overlap);
    ClickOnForm(overlap, 3, {"Shift_L"});
    ClickOnForm(overlap, 2, {"Control_L"});
    ClickOnForm(overlap, 1, {"Shift_L", "Control_L"});
    EXPECT_EQ(form->downs, (std::vector<Down>{{"lblFront", plat::vbLeftButton, 0, 600, 300},
                                              {"lblFront", plat::vbRightButton, plat::vbShiftMask, 600, 300},
                                              {"lblFront", plat::vbMiddleButton, plat::vbCtrlMask, 600, 300},
                                              {"lblFront", plat::vbLeftButton, plat::vbShiftMask | plat::vbCtrlMask, 600, 300}}));

    // A shape is a drawing only: the label beneath it takes the press.
    form->downs.clear();
    form->clicks.clear();
    ClickOnForm(QPoint(230, 130));
    EXPECT_EQ(form->downs, (std::vector<Down>{{"lblFront", plat::vbLeftButton, 0, 1950, 1050}}));
    EXPECT_EQ(form->clicks, QStringList{"lblFront"});

    // Brought to the front, the other label takes the overlap; hidden, it
    // leaves it to the one beneath again.
    form->downs.clear();
    form->lblBack.ZOrder(0);
    ClickOnForm(overlap);
    form->lblBack.Visible = false;
    ClickOnForm(overlap);
    EXPECT_EQ(form->downs, (std::vector<Down>{{"lblBack", plat::vbLeftButton, 0, 1800, 900},
                                              {"lblFront", plat::vbLeftButton, 0, 600, 300}}));
}

TEST_F(WindowlessMouse, InAPictureBoxThePressCountsFromInsideItsBorder)
{
    // (92, 62) of the box is (90, 60) inside its border: on the image, in front.
    ClickInBox(QPoint(92, 62), 2, {"Shift_L"});
    ClickInBox(QPoint(32, 32), 1, {"Control_L"});
    EXPECT_EQ(form->downs, (std::vector<Down>{{"imgInBox", plat::vbMiddleButton, plat::vbShiftMask, 450, 300},
                                              {"lblInBox", plat::vbLeftButton, plat::vbCtrlMask, 150, 150}}));
    EXPECT_EQ(form->clicks, (QStringList{"imgInBox", "lblInBox"})) << "the controls' clicks are not the box's";

    // Where no windowless control is, the click is the box's own.
    form->clicks.clear();
    testenv::X11Application::Click(*form->picBox.Widget(), QPoint(200, 150));
    ASSERT_TRUE(testenv::WaitUntil([&] { return !form->clicks.isEmpty(); }, 3000));
    EXPECT_EQ(form->clicks, QStringList{"picBox"});
    EXPECT_EQ(form->downs.size(), 2u);
}

TEST_F(WindowlessMouse, InAFrameThePressGoesToItsOwnControlsOnly)
{
    ClickAt(*form->fraBox.Widget(), QPoint(40, 30), 1, {"Shift_L"});
    EXPECT_EQ(form->downs, (std::vector<Down>{{"lblInFrame", plat::vbLeftButton, plat::vbShiftMask, 450, 150}}));

    // Elsewhere on the frame nothing takes it: not the form's label beneath.
    testenv::X11Application::Click(*form->fraBox.Widget(), QPoint(200, 30));
    testenv::Settle(300);
    EXPECT_EQ(form->downs.size(), 1u);
    EXPECT_EQ(form->clicks, QStringList{"lblInFrame"});
}

TEST_F(WindowlessMouse, ControlsArePaintedBackToFrontAndZOrderRepaintsThem)
{
    EXPECT_EQ(OnScreen(QPoint(140, 80)), QColor(Qt::green));
    EXPECT_EQ(OnScreen(QPoint(40, 40)), QColor(Qt::red));
    EXPECT_EQ(OnScreen(QPoint(230, 130)), QColor(Qt::blue));

    form->lblBack.ZOrder(0);
    EXPECT_TRUE(testenv::WaitUntil([&] { return OnScreen(QPoint(140, 80)) == QColor(Qt::red); }, 3000));
    form->lblBack.ZOrder(1);
    EXPECT_TRUE(testenv::WaitUntil([&] { return OnScreen(QPoint(140, 80)) == QColor(Qt::green); }, 3000));
}

// Collects the region of each paint of a widget.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget& widget) { widget.installEventFilter(this); }
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }
};

TEST_F(WindowlessMouse, AMoveRepaintsTheOldAndTheNewPlaceOnly)
{
    PaintWatch watch(*form->Surface());
    testenv::Settle(200);
    watch.painted = QRegion();
    watch.paints = 0;

    // The shape goes from (200..260, 120..160) to (20..80, 230..270).
    form->shpOver.Move(300, 3450);
    ASSERT_TRUE(testenv::WaitUntil([&] { return watch.paints > 0; }, 3000));
    testenv::Settle(200);
    EXPECT_TRUE(watch.painted.contains(QRect(200, 120, 60, 20))) << "the old place";
    EXPECT_TRUE(watch.painted.contains(QRect(20, 230, 60, 20))) << "the new place";
    EXPECT_FALSE(watch.painted.contains(QPoint(140, 185))) << "nothing between them";
    EXPECT_FALSE(watch.painted.contains(QPoint(400, 40))) << "nor the rest of the form";

    // What the player sees: the shape at its new place only, the label it
    // covered whole again.
    EXPECT_EQ(OnScreen(QPoint(50, 240)), QColor(Qt::blue));
    EXPECT_EQ(OnScreen(QPoint(230, 130)), QColor(Qt::green));
}

}  // namespace
