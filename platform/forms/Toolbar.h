#pragma once
// The toolbar: a row of buttons along the top edge of its form. Each button
// has a key, a caption under its picture, and the width of the widest
// button, so that all of them line up. A click raises ButtonClick with the
// clicked button's key. The bar's Height follows its buttons.

#include "platform/forms/Aligned.h"
#include "platform/forms/WindowedControl.h"

#include <QIcon>
#include <QSize>
#include <functional>
#include <memory>
#include <vector>

class QToolButton;

namespace plat {

class Toolbar;

class ToolbarButton : public PropertyOwner {
public:
    ToolbarButton(const ToolbarButton&) = delete;
    ToolbarButton& operator=(const ToolbarButton&) = delete;

    const QString& Key() const { return key_; }
    Prop<QString> Caption{this, Aspect::Text};
    Prop<bool> Enabled{this, Aspect::State, true};
    Prop<bool> Visible{this, Aspect::Visibility, true};
    const QIcon& Image() const { return image_; }
    void SetImage(const QIcon& image);

private:
    friend class Toolbar;
    ToolbarButton(Toolbar& bar, QString key, QToolButton* button);
    void PropertyChanged(Aspect aspect) override;

    Toolbar& bar_;
    QString key_;
    QIcon image_;
    QToolButton* button_;
};

class Toolbar : public WindowedControl, public AlignedControl {
public:
    Toolbar(Container& container, QString name);
    ~Toolbar() override;

    // Adds a button at the right end. Keys are compared exactly.
    ToolbarButton& AddButton(const QString& key, const QString& caption, const QIcon& image = {});
    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    // 1-based, as the collection counts; Subscript out of range (9) otherwise.
    ToolbarButton& Buttons(int index);
    // By key; Invalid procedure call (5) when no button has it.
    ToolbarButton& Buttons(const QString& key);

    // Size of the button pictures in pixels (24 x 24 unless set).
    void SetImageSize(const QSize& size);
    // The common width and height of the buttons, in twips.
    float ButtonWidth() const;
    float ButtonHeight() const;

    // Repaints the bar.
    void Refresh();
    // Clicks a button as the user would (tests).
    void PressByUser(const QString& key);

    std::function<void(const QString& key)> ButtonClick;

    int Align() const override { return vbAlignTop; }

private:
    friend class ToolbarButton;
    void LayOutButtons();

    QWidget* bar_;
    QSize imageSize_{24, 24};
    std::vector<std::unique_ptr<ToolbarButton>> buttons_;
    int buttonWidthPx_ = 0;
    int buttonHeightPx_ = 0;
};

}  // namespace plat
