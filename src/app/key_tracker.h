#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>

#include <functional>

class QKeyEvent;
class QWidget;

// Which keys are down now, seen across all of the program's windows: an event
// filter on the application records every key press and release, whichever
// window or control has the focus.
//
// While another program is in front no release reaches us, so a key held when
// the program lost the front counts as down until the program is in front
// again; then every key counts as released, and a key still held is reported
// down again by its next (repeated) press.
class KeyTracker : public QObject {
    Q_OBJECT
public:
    explicit KeyTracker(QObject* parent = nullptr);
    ~KeyTracker() override;

    // `key` is a Qt::Key code; letter keys are their upper-case letters.
    bool IsKeyDown(int key) const { return down_.contains(key); }
    // Records one key event; for a filter that swallows keys before this one
    // sees them.
    void Record(const QKeyEvent& event);
    // Forgets every key held.
    void ReleaseAll() { down_.clear(); }
    // Coming back to the front: the keys released meanwhile went unseen.
    void ApplicationStateChanged(Qt::ApplicationState state);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSet<int> down_;
};

// Gives one window each key press before any of its controls sees it, as a
// window that previews its keys does. The handler returns true to swallow the
// key. Presses are taken where they enter the window, so each is handled once.
class WindowKeyPreview : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<bool(QKeyEvent* event)>;
    WindowKeyPreview(QWidget* window, Handler handler);
    ~WindowKeyPreview() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    Handler handler_;
};
