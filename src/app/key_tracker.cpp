#include "key_tracker.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

KeyTracker::KeyTracker(QObject* parent) : QObject(parent) {
    QCoreApplication::instance()->installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            &KeyTracker::ApplicationStateChanged);
}

KeyTracker::~KeyTracker() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

void KeyTracker::ApplicationStateChanged(Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive)
        ReleaseAll();
}

void KeyTracker::Record(const QKeyEvent& event) {
    if (event.type() == QEvent::KeyPress)
        down_.insert(event.key());
    else if (event.type() == QEvent::KeyRelease && !event.isAutoRepeat())
        down_.remove(event.key()); // a held key repeats as release and press pairs
}

bool KeyTracker::eventFilter(QObject* watched, QEvent* event) {
    // A key event passes several receivers (window, control, its parents);
    // recording it at each is harmless. Never swallowed here.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        Record(*static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}

WindowKeyPreview::WindowKeyPreview(QWidget* window, Handler handler)
    : QObject(window), window_(window), handler_(std::move(handler)) {
    QCoreApplication::instance()->installEventFilter(this);
}

WindowKeyPreview::~WindowKeyPreview() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool WindowKeyPreview::eventFilter(QObject* watched, QEvent* event) {
    // A key enters the program at its top-level window and only then goes on
    // to the focused control.
    if (event->type() == QEvent::KeyPress && watched->isWindowType() && window_ &&
        watched == window_->windowHandle())
        return handler_(static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}
