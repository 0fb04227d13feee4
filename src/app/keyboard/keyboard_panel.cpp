#include "keyboard_panel.h"

#include "key_tracker.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

QPushButton* MakeButton(const char* objectName, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setFocusPolicy(Qt::NoFocus); // keys belong to the window and its list
    return button;
}

QLabel* MakeLayoutLabel(const char* objectName, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(objectName));
    // The letters of the two rows line up only in a fixed-pitch font.
    label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return label;
}

// Typed characters that would otherwise start a search in the list while a
// tune is played.
bool IsSwallowedCharacter(const QString& text) {
    return text.size() == 1 && QStringLiteral("aedfgh").contains(text.at(0));
}

QString ActiveWindowClass() {
    const QWidget* window = QApplication::activeWindow();
    return window ? window->objectName() : QString();
}

} // namespace

KeyboardPanel::KeyboardPanel(MidiOutput& output, QWidget* parent)
    : QFrame(parent), player_(output), keys_(new KeyTracker(this)),
      foreground_(&ActiveWindowClass) {
    setObjectName(QStringLiteral("pnlKeyboard"));
    setFrameShape(QFrame::StyledPanel);
    setAccessibleName(QStringLiteral("Keyboard"));

    btnMinusOct = MakeButton("btnMinusOct", QStringLiteral("-1 Octave (Z)"));
    btnPlusOct = MakeButton("btnPlusOct", QStringLiteral("+1 Octave (X)"));
    btnHideKeyboard = MakeButton("btnHideKeyboard", QStringLiteral("Hide keyboard"));
    lblOctave = new QLabel;
    lblOctave->setObjectName(QStringLiteral("lblOctave"));
    // Wide enough for the highest octave, so the buttons stay put.
    lblOctave->setMinimumWidth(
        lblOctave->fontMetrics().horizontalAdvance(QStringLiteral("Octave 10")) + 4);
    lblOctave->setAlignment(Qt::AlignCenter);
    lblBlackKeys = MakeLayoutLabel("lblBlackKeys", QStringLiteral(" W E   T Y U   O P"));
    lblWhiteKeys = MakeLayoutLabel("lblWhiteKeys", QStringLiteral("A S D F G H J K L"));
    ShowOctave();

    connect(btnMinusOct, &QPushButton::clicked, this, &KeyboardPanel::btnMinusOctClick);
    connect(btnPlusOct, &QPushButton::clicked, this, &KeyboardPanel::btnPlusOctClick);
    // Without a menu item the button only hides the keyboard.
    connect(btnHideKeyboard, &QPushButton::clicked, this, [this] {
        if (menuItem_)
            menuItem_->trigger();
        else
            SetKeyboardOn(!keyboardOn_);
    });

    auto* keysLayout = new QVBoxLayout;
    keysLayout->setSpacing(0);
    keysLayout->addWidget(lblBlackKeys);
    keysLayout->addWidget(lblWhiteKeys);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(btnMinusOct);
    layout->addWidget(lblOctave);
    layout->addWidget(btnPlusOct);
    layout->addSpacing(24);
    layout->addLayout(keysLayout);
    layout->addStretch(1);
    layout->addWidget(btnHideKeyboard);

    tmrKeyboard = new QTimer(this);
    tmrKeyboard->setObjectName(QStringLiteral("tmrKeyboard"));
    tmrKeyboard->setInterval(PollInterval);
    connect(tmrKeyboard, &QTimer::timeout, this, &KeyboardPanel::tmrKeyboardTimer);
    tmrKeyboardHook = new QTimer(this);
    tmrKeyboardHook->setObjectName(QStringLiteral("tmrKeyboardHook"));
    tmrKeyboardHook->setInterval(ForegroundCheckInterval);
    connect(tmrKeyboardHook, &QTimer::timeout, this, &KeyboardPanel::tmrKeyboardHookTimer);
    // Shown with its window.
    tmrKeyboard->start();
    tmrKeyboardHook->start();
    // A dialog or another program coming to the front stops the poll at once,
    // not only at the next check. Queued: the active window is known by then.
    connect(
        qGuiApp, &QGuiApplication::focusWindowChanged, this,
        [this] {
            if (tmrKeyboardHook->isActive())
                tmrKeyboardHookTimer();
        },
        Qt::QueuedConnection);
}

// The output may be gone by now (the main window closes its ports before its
// children go): the owner ends the notes with ReleaseAllNotes beforehand.
KeyboardPanel::~KeyboardPanel() = default;

void KeyboardPanel::BindMenuItem(QAction* keyboardItem) {
    menuItem_ = keyboardItem;
    keyboardItem->setCheckable(true);
    keyboardItem->setChecked(keyboardOn_);
    keyboardItem->setEnabled(true);
    connect(keyboardItem, &QAction::toggled, this, &KeyboardPanel::SetKeyboardOn);
}

void KeyboardPanel::SetKeyboardOn(bool on) {
    keyboardOn_ = on;
    if (menuItem_ && menuItem_->isChecked() != on)
        menuItem_->setChecked(on); // comes back here with the same state
    if (!suspended_)
        Apply(on);
}

void KeyboardPanel::SetOctave(int octave) {
    player_.SetOctave(octave);
    ShowOctave();
}

void KeyboardPanel::Suspend() {
    suspended_ = true;
    Apply(false);
}

void KeyboardPanel::Resume() {
    suspended_ = false;
    Apply(keyboardOn_);
}

void KeyboardPanel::Apply(bool running) {
    setVisible(running);
    if (running) {
        tmrKeyboard->start();
        tmrKeyboardHook->start();
        return;
    }
    tmrKeyboardHook->stop();
    StopPoll();
}

void KeyboardPanel::StopPoll() {
    tmrKeyboard->stop();
    // Nothing polls now: a note still on could never be released. Releases
    // made meanwhile (in a dialog, in another program) may go unseen, so
    // every key counts as up until it is pressed again.
    ReleaseAllNotes();
    keys_->ReleaseAll();
}

bool KeyboardPanel::HandleKey(QKeyEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    // A preview that swallows the key runs before the tracker sees it.
    keys_->Record(*event);
    const int key = LatinLetterKey(*event, keys_->Positions());
    if (key == Qt::Key_X)
        btnPlusOctClick();
    else if (key == Qt::Key_Z)
        btnMinusOctClick();
    return keyboardOn_ && IsSwallowedCharacter(event->text());
}

void KeyboardPanel::ReleaseAllNotes() {
    Report(player_.ReleaseAllNotes());
}

void KeyboardPanel::Report(MidiError error) {
    if (error != MidiError::None && !failing_ && failureLog_)
        failureLog_(QStringLiteral("A note did not reach the instrument: %1.")
                        .arg(QString::fromStdString(Text(error))));
    failing_ = error != MidiError::None;
}

void KeyboardPanel::btnMinusOctClick() {
    player_.LowerOctave();
    ShowOctave();
}

void KeyboardPanel::btnPlusOctClick() {
    player_.RaiseOctave();
    ShowOctave();
}

void KeyboardPanel::ShowOctave() {
    lblOctave->setText(QString::fromStdString(player_.OctaveCaption()));
}

void KeyboardPanel::tmrKeyboardTimer() {
    Report(player_.Poll([this](char key) { return keys_->IsKeyDown(key); }));
}

void KeyboardPanel::tmrKeyboardHookTimer() {
    const bool playable = NotesPlayableIn(foreground_().toStdString());
    if (!playable)
        StopPoll();
    else if (!tmrKeyboard->isActive())
        tmrKeyboard->start();
}
