#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>

#include <functional>

class QKeyEvent;
class QWidget;

// How a platform numbers its keys by their place on the keyboard.
enum class KeyPositions {
    None,        // not known (offscreen)
    PcScanCodes, // Windows: set-1 scan codes; the virtual key is the Latin letter
    XkbKeycodes, // X11 and Wayland: evdev codes + 8
    MacKeyCodes, // macOS: virtual key codes
};
KeyPositions PlatformKeyPositions();

// The key code a letter key stands for on the note player and for X and Z:
// a Latin letter as it is; a letter of another script (a Cyrillic or Greek
// layout) by the Latin letter the platform gives for it, else by its place
// on the keyboard; any other key as it is.
int LatinLetterKey(int key, unsigned scanCode, unsigned virtualKey, KeyPositions positions);
int LatinLetterKey(const QKeyEvent& event, KeyPositions positions = PlatformKeyPositions());

// Which note keys are down now, seen across all of the program's windows: an
// event filter on the application records every key press and release,
// whichever window or control has the focus. Letter keys count by their
// Latin letter (LatinLetterKey). A key pressed while Ctrl or Alt is held is a
// shortcut, not a note key, and does not count as down.
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
    KeyPositions Positions() const { return positions_; }
    void SetKeyPositions(KeyPositions positions) { positions_ = positions; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSet<int> down_;
    KeyPositions positions_ = PlatformKeyPositions();
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
