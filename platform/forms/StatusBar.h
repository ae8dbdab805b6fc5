#pragma once
// The status bar: a row of text panels along the bottom edge of its form.
// A new bar has one panel; the first panel takes the room the others leave.

#include "platform/forms/Aligned.h"
#include "platform/forms/WindowedControl.h"

#include <memory>
#include <vector>

class QLabel;

namespace plat {

enum PanelAlignment : int { sbrLeft = 0, sbrCenter = 1, sbrRight = 2 };

class StatusPanel : public PropertyOwner {
public:
    explicit StatusPanel(QLabel* label);
    StatusPanel(const StatusPanel&) = delete;
    StatusPanel& operator=(const StatusPanel&) = delete;

    Prop<QString> Text{this, Aspect::Text};
    Prop<int> Alignment{this, Aspect::Look, sbrLeft};

private:
    void PropertyChanged(Aspect aspect) override;
    QLabel* label_;
};

class StatusBar : public WindowedControl, public AlignedControl {
public:
    StatusBar(Container& container, QString name);
    ~StatusBar() override;

    // 1-based, as the collection counts; Subscript out of range (9) otherwise.
    StatusPanel& Panels(int index);
    StatusPanel& AddPanel(const QString& text = {});
    int PanelCount() const { return static_cast<int>(panels_.size()); }

    int Align() const override { return vbAlignBottom; }

private:
    QWidget* bar_;
    std::vector<std::unique_ptr<StatusPanel>> panels_;
};

}  // namespace plat
