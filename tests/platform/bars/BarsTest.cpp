// The toolbar, status bar and progress bar: edge alignment on a form,
// button sizes and clicks, panels, and the progress bar's range rules.
#include "platform/forms/Form.h"
#include "platform/forms/ProgressBar.h"
#include "platform/forms/StatusBar.h"
#include "platform/forms/Toolbar.h"
#include "platform/forms/Twips.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Startup.h"

#include <QLabel>
#include <QPixmap>
#include <gtest/gtest.h>
#include <cmath>
#include <memory>

namespace {

class BarsForm : public plat::Form {
public:
    BarsForm()
        : plat::Form(QStringLiteral("BarsForm")),
          tb(*this, QStringLiteral("tb")),
          sb(*this, QStringLiteral("sb")),
          pb(*this, QStringLiteral("pb"))
    {
        QPixmap picture(24, 24);
        picture.fill(Qt::red);
        tb.AddButton(QStringLiteral("Go"), QStringLiteral("Go"), QIcon(picture));
        tb.AddButton(QStringLiteral("Somewhere"), QStringLiteral("Somewhere else"), QIcon(picture));
        tb.ButtonClick = [this](const QString& key) { clicked << key; };
    }
    plat::Toolbar tb;
    plat::StatusBar sb;
    plat::ProgressBar pb;
    QStringList clicked;
};

class Bars : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::EnsureApplication();
        form = std::make_unique<BarsForm>();
    }
    std::unique_ptr<BarsForm> form;
};

TEST_F(Bars, AlignedBarsSpanTheClientAreaAtItsEdges)
{
    form->SetClientSize(6000, 4000);
    EXPECT_FLOAT_EQ(form->tb.Left, 0);
    EXPECT_FLOAT_EQ(form->tb.Top, 0);
    EXPECT_FLOAT_EQ(form->tb.Width, 6000);
    EXPECT_FLOAT_EQ(form->sb.Width, 6000);
    EXPECT_FLOAT_EQ(form->sb.Top, 4000 - form->sb.Height);
    // The bars lie inside the client area, which keeps its full height.
    EXPECT_FLOAT_EQ(form->ScaleTop(), 0);
    EXPECT_FLOAT_EQ(form->ScaleHeight(), 4000);

    form->Width = form->Width + 1500;
    form->Height = form->Height - 900;
    EXPECT_FLOAT_EQ(form->tb.Width, 7500);
    EXPECT_FLOAT_EQ(form->sb.Top, 3100 - form->sb.Height);

    form->sb.Height = 600;
    form->ArrangeAligned();
    EXPECT_FLOAT_EQ(form->sb.Top, 2500);
}

TEST_F(Bars, ButtonsShareTheWidestWidthAndTheBarFitsThem)
{
    const float bw = form->tb.ButtonWidth();
    EXPECT_GT(bw, 0);
    EXPECT_EQ(std::fmod(bw, plat::TwipsPerPixel), 0.0f);  // whole pixels
    auto* go = form->tb.Widget()->findChild<QWidget*>(QStringLiteral("Go"));
    auto* far = form->tb.Widget()->findChild<QWidget*>(QStringLiteral("Somewhere"));
    ASSERT_TRUE(go && far);
    EXPECT_EQ(go->width(), far->width());
    EXPECT_EQ(plat::ToTwips(go->width()), bw);
    EXPECT_EQ(far->x(), go->x() + go->width());
    EXPECT_GE(form->tb.Height, form->tb.ButtonHeight());

    form->tb.Buttons(2).Caption = QStringLiteral("S");
    EXPECT_LT(form->tb.ButtonWidth(), bw);  // the common width follows the captions
}

TEST_F(Bars, AClickReportsTheButtonsKey)
{
    form->Show();
    form->tb.PressByUser(QStringLiteral("Somewhere"));
    form->tb.Buttons(1).Enabled = false;
    form->tb.PressByUser(QStringLiteral("Go"));
    EXPECT_EQ(form->clicked, QStringList{QStringLiteral("Somewhere")});
    EXPECT_EQ(form->tb.Buttons(QStringLiteral("Go")).Key(), "Go");
    EXPECT_THROW(form->tb.Buttons(3), plat::RuntimeError);
    EXPECT_THROW(form->tb.Buttons(QStringLiteral("go")), plat::RuntimeError);
}

TEST_F(Bars, StatusPanelsCountFromOne)
{
    EXPECT_EQ(form->sb.PanelCount(), 1);
    form->sb.Panels(1).Text = QStringLiteral("Done");
    EXPECT_EQ(form->sb.Panels(1).Text.Get(), "Done");
    auto* label = form->sb.Widget()->findChild<QLabel*>();
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "Done");
    EXPECT_THROW(form->sb.Panels(0), plat::RuntimeError);
    form->sb.AddPanel(QStringLiteral("second"));
    EXPECT_EQ(form->sb.Panels(2).Text.Get(), "second");
}

TEST_F(Bars, ProgressValueStaysWithinItsRange)
{
    form->pb.Max = 100;
    form->pb.Min = 0;
    form->pb.Value = 90;
    EXPECT_FLOAT_EQ(form->pb.Value, 90);
    EXPECT_THROW(form->pb.Value = 101, plat::RuntimeError);
    EXPECT_THROW(form->pb.Value = -1, plat::RuntimeError);
    EXPECT_THROW(form->pb.Min = 100, plat::RuntimeError);
    EXPECT_FLOAT_EQ(form->pb.Value, 90);
    form->pb.Max = 50;  // takes the value along
    EXPECT_FLOAT_EQ(form->pb.Value, 50);
}

}  // namespace
