#include "controls_accessibility.h"

#include "check_led.h"
#include "knob.h"
#include "note_names.h"
#include "slider.h"

#include <QAccessibleWidget>

namespace {
QString NameOr(const QWidget* widget, const QString& caption) {
    return widget->accessibleName().isEmpty() ? caption : widget->accessibleName();
}

// Knob and slider: a value between Min and Max that steps by one.
template <class Control>
class ValueControlAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    ValueControlAccessible(Control* control, QAccessible::Role role)
        : QAccessibleWidget(control, role) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Name)
            return Name();
        if (type == QAccessible::Value)
            return ValueText();
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return control()->Position(); }
    void setCurrentValue(const QVariant& value) override { control()->MoveByUser(value.toInt()); }
    QVariant maximumValue() const override { return control()->Max(); }
    QVariant minimumValue() const override { return control()->Min(); }
    QVariant minimumStepSize() const override { return 1; }

    QStringList actionNames() const override {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == increaseAction())
            control()->MoveByUser(control()->Position() + 1);
        else if (name == decreaseAction())
            control()->MoveByUser(control()->Position() - 1);
        else
            QAccessibleWidget::doAction(name);
    }

private:
    Control* control() const { return static_cast<Control*>(widget()); }
    QString Name() const;
    QString ValueText() const;
};

template <> QString ValueControlAccessible<TKnob>::Name() const {
    return NameOr(control(), control()->Caption());
}
template <> QString ValueControlAccessible<TKnob>::ValueText() const {
    return QString::number(control()->Position());
}

template <> QString ValueControlAccessible<TSlider>::Name() const {
    return control()->accessibleName();
}
template <> QString ValueControlAccessible<TSlider>::ValueText() const {
    // The number, and the note while the slider shows notes.
    const int position = control()->Position();
    QString text = QString::number(position);
    if (control()->NoteNames() && position >= 0)
        text += QStringLiteral(" ") + QString::fromStdString(NoteLabel(position));
    return text;
}

class CheckLedAccessible : public QAccessibleWidget {
public:
    explicit CheckLedAccessible(TCheckLed* led) : QAccessibleWidget(led, QAccessible::CheckBox) {}

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Name)
            return NameOr(led(), led()->Caption());
        return QAccessibleWidget::text(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = led()->Status();
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{toggleAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == toggleAction() || name == pressAction())
            led()->Toggle();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    TCheckLed* led() const { return static_cast<TCheckLed*>(widget()); }
};

// A caption label: the control below it carries the name, so the label is
// neither named nor shown to assistive technology, which then reads each
// caption once, with its control.
class CaptionTextAccessible : public QAccessibleWidget {
public:
    explicit CaptionTextAccessible(QWidget* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        state.offscreen = true;
        return state;
    }
};

QAccessibleInterface* CreateInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("TKnob")) {
        if (auto* knob = qobject_cast<TKnob*>(object))
            return new ValueControlAccessible<TKnob>(knob, QAccessible::Dial);
    } else if (className == QLatin1String("TSlider")) {
        if (auto* slider = qobject_cast<TSlider*>(object))
            return new ValueControlAccessible<TSlider>(slider, QAccessible::Slider);
    } else if (className == QLatin1String("TCheckLed")) {
        if (auto* led = qobject_cast<TCheckLed*>(object))
            return new CheckLedAccessible(led);
    } else if (className == QLatin1String("TCaptionText")) {
        if (auto* label = qobject_cast<QWidget*>(object))
            return new CaptionTextAccessible(label);
    }
    return nullptr;
}
} // namespace

void InstallControlsAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&CreateInterface);
        return true;
    }();
    (void)installed;
}

void AnnounceValueChange(QObject* control, int position) {
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent event(control, position);
    QAccessible::updateAccessibility(&event);
}

void AnnounceCheckedChange(QObject* control) {
    if (!QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(control, changed);
    QAccessible::updateAccessibility(&event);
}
