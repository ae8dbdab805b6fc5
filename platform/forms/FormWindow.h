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

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form& form_;
    QVBoxLayout* layout_;
    QMenuBar* menuBar_;
    FormSurface* surface_;
};

}  // namespace plat
