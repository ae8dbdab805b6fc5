#include "platform/forms/StatusBar.h"

#include "platform/forms/Form.h"
#include "platform/runtime/Errors.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

namespace plat {

StatusPanel::StatusPanel(QLabel* label) : label_(label)
{
}

void StatusPanel::PropertyChanged(Aspect aspect)
{
    if (aspect == Aspect::Look) {
        const Qt::Alignment across = Alignment == sbrCenter ? Qt::AlignHCenter : Alignment == sbrRight ? Qt::AlignRight : Qt::AlignLeft;
        label_->setAlignment(across | Qt::AlignVCenter);
    } else {
        label_->setText(Text.Get());
    }
}

StatusBar::StatusBar(Container& container, QString name) : WindowedControl(container, std::move(name))
{
    auto* frame = new QFrame(ParentWidget());
    frame->setFocusPolicy(Qt::NoFocus);
    frame->setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    bar_ = frame;
    TabStop = false;
    Height = 285;
    AddPanel();
    Attach(bar_);
    OwnerForm().ArrangeAligned();
}

StatusBar::~StatusBar() = default;

StatusPanel& StatusBar::Panels(int index)
{
    if (index < 1 || index > PanelCount())
        Raise(ErrSubscript);
    return *panels_[static_cast<size_t>(index - 1)];
}

StatusPanel& StatusBar::AddPanel(const QString& text)
{
    auto* label = new QLabel(bar_);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(0);
    // Long addresses must not widen the window.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* layout = static_cast<QHBoxLayout*>(bar_->layout());
    layout->addWidget(label, panels_.empty() ? 1 : 0);
    panels_.push_back(std::make_unique<StatusPanel>(label));
    panels_.back()->Text = text;
    label->setText(text);
    return *panels_.back();
}

}  // namespace plat
