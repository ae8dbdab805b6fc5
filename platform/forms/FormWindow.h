#pragma once
// The Qt side of a form: the top-level widget with an optional menu bar and
// the client surface on which windowless controls are painted.

#include <QWidget>

class QMenuBar;
class QVBoxLayout;

namespace plat {

class Form;

class FormSurface : public QWidget {
public:
    FormSurface(Form& form, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Form& form_;
};

class FormWindow : public QWidget {
public:
    explicit FormWindow(Form& form);
    ~FormWindow() override;

    FormSurface* Surface() const { return surface_; }
    QMenuBar* MenuBar() const { return menuBar_; }
    int MenuBarPixels() const;
    // Pixels the menu bar takes from the window's height: none while it is
    // left out, whether or not the window is shown yet.
    int MenuBarShare() const;
    // Moves the window's frame corner to a point of the screen.
    void PlaceFrameAt(QPoint corner);
    // Shows the window in a form's window state (WindowState values).
    void ShowIn(int state);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class FormEvents;
    bool KeyTyped(QKeyEvent& event, QWidget* receiver);
    // The window system shows part of the window again (uncovered by
    // another window, restored from minimised): the form paints that part,
    // where the toolkit alone would only copy back what it had drawn.
    void Exposed();

    Form& form_;
    QVBoxLayout* layout_;
    QMenuBar* menuBar_;
    FormSurface* surface_;
};

}  // namespace plat
