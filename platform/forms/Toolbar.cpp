#include "platform/forms/Toolbar.h"

#include "platform/forms/Form.h"
#include "platform/forms/Twips.h"
#include "platform/runtime/Errors.h"

#include <QFrame>
#include <QToolButton>
#include <algorithm>

namespace plat {

namespace {
constexpr int MarginPx = 2;  // between the bar's edge and its buttons
}

ToolbarButton::ToolbarButton(Toolbar& bar, QString key, QToolButton* button)
    : bar_(bar), key_(std::move(key)), button_(button)
{
}

void ToolbarButton::SetImage(const QIcon& image)
{
    image_ = image;
    button_->setIcon(image_);
    bar_.LayOutButtons();
}

void ToolbarButton::PropertyChanged(Aspect aspect)
{
    switch (aspect) {
    case Aspect::Text:
        button_->setText(Caption.Get());
        break;
    case Aspect::State:
        button_->setEnabled(Enabled);
        break;
    default:
        break;
    }
    // Captions and visibility change the common button size.
    bar_.LayOutButtons();
}

Toolbar::Toolbar(Container& container, QString name) : WindowedControl(container, std::move(name))
{
    auto* frame = new QFrame(ParentWidget());
    frame->setFrameShape(QFrame::NoFrame);
    frame->setAutoFillBackground(true);
    frame->setFocusPolicy(Qt::NoFocus);
    bar_ = frame;
    TabStop = false;
    Height = 540;
    Attach(bar_);
    OwnerForm().ArrangeAligned();
}

Toolbar::~Toolbar() = default;

ToolbarButton& Toolbar::AddButton(const QString& key, const QString& caption, const QIcon& image)
{
    auto* button = new QToolButton(bar_);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(imageSize_);
    button->setObjectName(key);
    buttons_.push_back(std::unique_ptr<ToolbarButton>(new ToolbarButton(*this, key, button)));
    ToolbarButton& added = *buttons_.back();
    QObject::connect(button, &QToolButton::clicked, [this, k = key] {
        if (ButtonClick)
            Guard([&] { ButtonClick(k); });
    });
    added.Caption.Sync(caption);
    button->setText(caption);
    added.image_ = image;
    button->setIcon(image);
    button->show();
    LayOutButtons();
    return added;
}

ToolbarButton& Toolbar::Buttons(int index)
{
    if (index < 1 || index > ButtonCount())
        Raise(ErrSubscript);
    return *buttons_[static_cast<size_t>(index - 1)];
}

ToolbarButton& Toolbar::Buttons(const QString& key)
{
    for (auto& b : buttons_)
        if (b->Key() == key)
            return *b;
    Raise(ErrInvalidCall);
}

void Toolbar::SetImageSize(const QSize& size)
{
    imageSize_ = size;
    for (auto& b : buttons_)
        b->button_->setIconSize(size);
    LayOutButtons();
}

float Toolbar::ButtonWidth() const
{
    return ToTwips(buttonWidthPx_);
}

float Toolbar::ButtonHeight() const
{
    return ToTwips(buttonHeightPx_);
}

void Toolbar::LayOutButtons()
{
    int w = 0;
    int h = 0;
    for (auto& b : buttons_) {
        const QSize hint = b->button_->sizeHint();
        w = std::max(w, hint.width());
        h = std::max(h, hint.height());
    }
    buttonWidthPx_ = w;
    buttonHeightPx_ = h;
    int x = MarginPx;
    for (auto& b : buttons_) {
        b->button_->setVisible(b->Visible);
        if (!b->Visible)
            continue;
        b->button_->setGeometry(x, MarginPx, w, h);
        x += w;
    }
    if (buttons_.empty())
        return;
    const float height = ToTwips(h + 2 * MarginPx);
    if (Height != height) {
        Height = height;
        OwnerForm().ArrangeAligned();
    }
}

void Toolbar::Refresh()
{
    bar_->update();
    for (auto& b : buttons_)
        b->button_->update();
}

void Toolbar::PressByUser(const QString& key)
{
    ToolbarButton& b = Buttons(key);
    if (Visible && Enabled && b.Visible && b.Enabled)
        b.button_->click();
}

}  // namespace plat
