#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QVariant>

#include <gtest/gtest.h>

#include <functional>

// Runs `command` and calls `inWindow` on each modal W that opens, once per
// window: a modal window runs its own event loop, so the watch runs inside
// it. Waits until the first has opened (at most five seconds), then
// `settleMs` more, in which a second one would open. Returns how many opened.
template <typename W>
int WhenModalOpens(const std::function<void()>& command, const std::function<void(W&)>& inWindow,
                   int settleMs = 100) {
    int opened = 0;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* window = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!window || window->property("seen").toBool())
            return;
        window->setProperty("seen", true);
        ++opened;
        inWindow(*window);
    });
    watch.start();
    command();
    QElapsedTimer clock;
    clock.start();
    while (opened == 0 && clock.elapsed() < 5000)
        QTest::qWait(10);
    QTest::qWait(settleMs);
    return opened;
}

// Acts on the modal dialog of type Dialog once its event loop runs; a window
// of another type is closed so that the test fails instead of hanging.
template <typename Dialog> void WhenShown(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<Dialog*>(modal)) {
            act(*dialog);
            return;
        }
        ADD_FAILURE() << "no " << Dialog::staticMetaObject.className() << " is shown";
        if (modal)
            modal->close();
    });
}
