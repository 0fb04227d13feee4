#include "key_tracker.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace {

// Letters by their place: the key codes of the three letter rows, each row
// counting up from its first letter.
struct LetterRow {
    const char* letters;
    unsigned first;
};
constexpr LetterRow PcRows[] = {{"QWERTYUIOP", 0x10}, {"ASDFGHJKL", 0x1E}, {"ZXCVBNM", 0x2C}};
constexpr unsigned XkbOffset = 8; // X and Wayland key codes are evdev codes (= set 1) + 8

int PcLetterAt(unsigned scanCode) {
    for (const LetterRow& row : PcRows)
        for (unsigned i = 0; row.letters[i] != 0; ++i)
            if (row.first + i == scanCode)
                return row.letters[i];
    return 0;
}

int MacLetterAt(unsigned keyCode) {
    // The macOS virtual key codes of the letters follow no row order.
    static constexpr char Letters[] = "ASDFHGZXCV-BQWERYT"; // 0x0A is no letter
    static constexpr std::pair<unsigned, char> Others[] = {{0x1F, 'O'}, {0x20, 'U'}, {0x22, 'I'},
                                                           {0x23, 'P'}, {0x25, 'L'}, {0x26, 'J'},
                                                           {0x28, 'K'}, {0x2D, 'N'}, {0x2E, 'M'}};
    if (keyCode < sizeof(Letters) - 1 && Letters[keyCode] >= 'A' && Letters[keyCode] <= 'Z')
        return Letters[keyCode];
    for (const auto& [code, letter] : Others)
        if (code == keyCode)
            return letter;
    return 0;
}

bool IsLatinLetter(int key) {
    return key >= Qt::Key_A && key <= Qt::Key_Z;
}

// A letter of a script other than Latin (Qt gives those keys their
// upper-case character as the key code).
bool IsOtherScriptLetter(int key) {
    return key > 0x7F && key <= 0xFFFF && QChar(static_cast<char16_t>(key)).isLetter();
}

} // namespace

KeyPositions PlatformKeyPositions() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("windows"))
        return KeyPositions::PcScanCodes;
    if (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland")))
        return KeyPositions::XkbKeycodes;
    if (platform == QLatin1String("cocoa"))
        return KeyPositions::MacKeyCodes;
    return KeyPositions::None;
}

int LatinLetterKey(int key, unsigned scanCode, unsigned virtualKey, KeyPositions positions) {
    if (IsLatinLetter(key) || !IsOtherScriptLetter(key))
        return key;
    int letter = 0;
    switch (positions) {
    case KeyPositions::PcScanCodes:
        // Windows names letter keys by their Latin letter whatever the layout.
        letter = IsLatinLetter(static_cast<int>(virtualKey)) ? static_cast<int>(virtualKey)
                                                             : PcLetterAt(scanCode);
        break;
    case KeyPositions::XkbKeycodes:
        letter = scanCode >= XkbOffset ? PcLetterAt(scanCode - XkbOffset) : 0;
        break;
    case KeyPositions::MacKeyCodes:
        letter = MacLetterAt(virtualKey);
        break;
    case KeyPositions::None:
        break;
    }
    return letter != 0 ? letter : key;
}

int LatinLetterKey(const QKeyEvent& event, KeyPositions positions) {
    return LatinLetterKey(event.key(), event.nativeScanCode(), event.nativeVirtualKey(), positions);
}

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
    const int key = LatinLetterKey(event, positions_);
    if (event.type() == QEvent::KeyPress) {
        // Ctrl+S saves, Alt+F opens a menu: no note.
        if (!(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            down_.insert(key);
    } else if (event.type() == QEvent::KeyRelease && !event.isAutoRepeat()) {
        down_.remove(key); // a held key repeats as release and press pairs
    }
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
