// The favourite-group list of the main window: a list box that reports, as
// one Click, every left press on an item and every change of its current
// item the user makes with the mouse or the keyboard, so that the programs
// shown always belong to the group the list points at.
#pragma once

#include <QListWidget>

class FavList : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // Runs the list's own handling and emits Click when it moved the current
    // item (or `click` is set).
    template <class Base> void Track(Base base, bool click = false);
};
