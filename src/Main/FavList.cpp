#include "FavList.h"

#include <QMouseEvent>

template <class Base> void FavList::Track(Base base, bool click) {
    const int before = currentRow();
    base();
    if (click || currentRow() != before) emit Click();
}

void FavList::mousePressEvent(QMouseEvent* event) {
    const bool onItem = itemAt(event->position().toPoint()) != nullptr;
    Track([&] { QListWidget::mousePressEvent(event); }, onItem && event->button() == Qt::LeftButton);
}

void FavList::mouseMoveEvent(QMouseEvent* event) {
    Track([&] { QListWidget::mouseMoveEvent(event); });
}

void FavList::keyPressEvent(QKeyEvent* event) {
    Track([&] { QListWidget::keyPressEvent(event); });
}

void FavList::focusInEvent(QFocusEvent* event) {
    // Taking the focus picks no group: Qt would make the first item current.
    const int before = currentRow();
    QListWidget::focusInEvent(event);
    if (currentRow() != before) setCurrentRow(before);
}
