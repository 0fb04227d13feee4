#pragma once

#include "note_player.h"

#include <QFrame>
#include <QString>

#include <functional>

class KeyTracker;
class MidiOutput;
class QAction;
class QKeyEvent;
class QLabel;
class QPushButton;
class QTimer;

// The computer-key note player's panel at the bottom of the main window: the
// key layout, the octave and its buttons, and the two timers that poll the
// keys (22 ms) and check once a second (and whenever another window comes to
// the front) that one of the program's playing windows is in front. Whenever
// the poll stops, the notes it started end.
class KeyboardPanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int PollInterval = 22;
    static constexpr int ForegroundCheckInterval = 1000;

    // The notes go to `output`, which must outlive the panel. The panel starts
    // shown with both timers running.
    explicit KeyboardPanel(MidiOutput& output, QWidget* parent = nullptr);
    ~KeyboardPanel() override;

    NotePlayer& Player() { return player_; }
    KeyTracker& Keys() { return *keys_; }

    // The menu item "Keyboard": its check mark switches the keyboard on and
    // off, and "Hide keyboard" toggles it.
    void BindMenuItem(QAction* keyboardItem);
    // On: the panel shown and both timers running. Off: hidden, timers
    // stopped, notes still on are ended.
    // The menu item's check mark follows.
    void SetKeyboardOn(bool on);
    bool KeyboardOn() const { return keyboardOn_; }
    // Sets the octave (within 0..10) and shows it.
    void SetOctave(int octave);

    // Long exchanges with the instrument (bank reads) hide the panel and stop
    // its timers; Resume brings back the state the keyboard had before.
    void Suspend();
    void Resume();
    class Suspension {
    public:
        explicit Suspension(KeyboardPanel* panel) : panel_(panel) {
            if (panel_)
                panel_->Suspend();
        }
        ~Suspension() {
            if (panel_)
                panel_->Resume();
        }
        Suspension(const Suspension&) = delete;
        Suspension& operator=(const Suspension&) = delete;

    private:
        KeyboardPanel* panel_;
    };

    // A key press as the main window previews it, before its controls: X and
    // Z (with any modifier, in any layout) shift the octave; returns true when the key must
    // reach no control (the typed characters a, e, d, f, g and h while the
    // keyboard is on).
    bool HandleKey(QKeyEvent* event);

    // Note-off for every note still on. Call before the output closes.
    void ReleaseAllNotes();
    // Where a note that did not reach the instrument is reported (one line
    // per run of failures).
    void SetFailureLog(std::function<void(const QString&)> log) { failureLog_ = std::move(log); }

    void btnMinusOctClick();
    void btnPlusOctClick();
    void tmrKeyboardTimer();
    void tmrKeyboardHookTimer();

    // The class name of the window in front; by default the object name of
    // the application's active window (empty when another program is in front).
    using ForegroundQuery = std::function<QString()>;
    void SetForegroundQuery(ForegroundQuery query) { foreground_ = std::move(query); }

    QPushButton* btnMinusOct = nullptr;
    QPushButton* btnPlusOct = nullptr;
    QLabel* lblOctave = nullptr;
    QLabel* lblBlackKeys = nullptr;
    QLabel* lblWhiteKeys = nullptr;
    QPushButton* btnHideKeyboard = nullptr;
    QTimer* tmrKeyboard = nullptr;
    QTimer* tmrKeyboardHook = nullptr;

private:
    void Apply(bool running);
    // Stops the poll and ends the notes it started.
    void StopPoll();
    void ShowOctave();

    NotePlayer player_;
    KeyTracker* keys_;
    ForegroundQuery foreground_;
    QAction* menuItem_ = nullptr;
    bool keyboardOn_ = true;
    bool suspended_ = false;
    std::function<void(const QString&)> failureLog_;
    bool failing_ = false;

    void Report(MidiError error);
};
