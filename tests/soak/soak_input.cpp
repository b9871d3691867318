#include "soak_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QToolButton>
#include <QWidget>
#include <QWindow>

namespace sifter::soak {

std::string Describe(const Key& key) {
    if (!key.text.isEmpty() && key.modifiers == Qt::NoModifier)
        return "type '" + key.text.toStdString() + "'";
    return "key " + QKeySequence(key.key | key.modifiers).toString().toStdString();
}

void Press(QWindow* window, const Key& key) {
    if (window == nullptr) return;
    if (!key.text.isEmpty())
        QTest::sendKeyEvent(QTest::Click, window, key.key, key.text, key.modifiers);
    else
        QTest::keyClick(window, key.key, key.modifiers);
}

std::string Describe(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, Clicks clicks,
                     QPoint at) {
    std::string what = clicks == Clicks::Double ? "double-click" : "click";
    if (button == Qt::RightButton) what = "right " + what;
    if (modifiers != Qt::NoModifier)
        what = QKeySequence(static_cast<int>(modifiers)).toString().toStdString() + what;
    return what + " at " + std::to_string(at.x()) + "," + std::to_string(at.y());
}

void Click(QWindow* window, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
           Clicks clicks) {
    if (window == nullptr) return;
    if (clicks == Clicks::Single) {
        QTest::mouseClick(window, button, modifiers, at);
        return;
    }
    // A double click is two clicks in quick succession; the second only reaches the window
    // when the first left it there (a menu item that was chosen has closed its menu, and a
    // window system sends nothing to a window that is gone).
    const QPointer<QWindow> target(window);
    const auto send = [&](QEvent::Type type) {
        const bool down = type == QEvent::MouseButtonPress;
        QTestPrivate::qtestMouseButtons.setFlag(button, down);
        qt_handleMouseEvent(target, at, target->mapToGlobal(at), QTestPrivate::qtestMouseButtons,
                            button, type, modifiers, QTest::lastMouseTimestamp);
    };
    QTest::lastMouseTimestamp += 1;
    send(QEvent::MouseButtonPress);
    if (target != nullptr) send(QEvent::MouseButtonRelease);
    QCoreApplication::processEvents();
    if (target != nullptr && target->isVisible()) {
        send(QEvent::MouseButtonPress);
        if (target != nullptr) send(QEvent::MouseButtonRelease);
    }
    QTestPrivate::qtestMouseButtons.setFlag(button, false);
    // The next click is a click of its own, not the third of these.
    QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
    QCoreApplication::processEvents();
}

QPoint SomePlace(Random& random, QWidget* window) {
    const auto anywhere = [&](const QRect& area) {
        return QPoint(area.x() + random.Below(std::max(area.width(), 1)),
                      area.y() + random.Below(std::max(area.height(), 1)));
    };
    const QRect whole = window->rect();
    std::vector<QRect> children;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (!child->isVisible() || child->isWindow() || child->width() <= 0) continue;
        const QRect area(child->mapTo(window, QPoint(0, 0)), child->size());
        if (whole.intersects(area)) children.push_back(area.intersected(whole));
    }
    if (children.empty() || random.Percent(40)) return anywhere(whole);
    return anywhere(random.Pick(children));
}

bool ClickUnderway(const QWidget& window) {
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (button->isDown() && qobject_cast<const QToolButton*>(button) == nullptr) return true;
    return false;
}

QWindow* KeyboardWindow() {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup->windowHandle();
    if (QWidget* modal = QApplication::activeModalWidget()) return modal->windowHandle();
    QWindow* focus = QGuiApplication::focusWindow();
    return focus != nullptr && focus->isVisible() ? focus : nullptr;
}

}  // namespace sifter::soak
