// Renders a contact sheet of the self-drawn controls, for looking at them
// without a display: knobs at Min, middle and Max of every range the editor
// uses, sliders in both display modes, LEDs on and off.
//
//     render_controls_sheet OUTPUT_FOLDER
//
// writes controls.png, then runs itself at device pixel ratio 2 for
// controls@2x.png.
#include "check_led.h"
#include "knob.h"
#include "render_program.h"
#include "slider.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>

#include <cstdio>

namespace {

// The panel the controls sit on: gunmetal with engraved groups.
class SheetPanel : public QWidget {
public:
    using QWidget::QWidget;

    void AddGroup(const QRect& area) { groups_.push_back(area); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient steel(0, 0, 0, height());
        steel.setColorAt(0, QColor(0x96, 0x98, 0x9e));
        steel.setColorAt(1, QColor(0x82, 0x84, 0x8a));
        p.fillRect(rect(), steel);
        for (const QRect& group : groups_) {
            p.setPen(QPen(QColor(0x5a, 0x5c, 0x62), 1));
            p.setBrush(QColor(0, 0, 0, 26));
            p.drawRoundedRect(QRectF(group).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
            p.setPen(QPen(QColor(255, 255, 255, 80), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(group).adjusted(1.5, 1.5, -0.5, -0.5), 4, 4);
        }
    }

private:
    std::vector<QRect> groups_;
};

QLabel* Heading(QWidget* parent, const QString& text, int x, int y, bool big = false) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(big ? 13 : 11);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0x14, 0x14, 0x18));
    label->setPalette(palette);
    label->move(x, y);
    label->adjustSize();
    return label;
}

struct KnobRange {
    int min;
    int max;
};

void AddKnobs(SheetPanel& panel, int top) {
    Heading(&panel, QStringLiteral("Knobs at Min, middle and Max"), 16, top, true);
    const KnobRange ranges[] = {{0, 127}, {-127, 127}, {-50, 50}, {30, 250}, {0, 166}};
    const int groupWidth = 148;
    int left = 16;
    for (const KnobRange& range : ranges) {
        const QRect group(left, top + 22, groupWidth - 8, 96);
        panel.AddGroup(group);
        Heading(&panel,
                QString::number(range.min) + QStringLiteral(" .. ") + QString::number(range.max),
                group.left() + 8, group.top() + 4);
        const int values[] = {range.min, range.min + (range.max - range.min) / 2, range.max};
        const QString captions[] = {QStringLiteral("Min"), QStringLiteral("Middle"),
                                    QStringLiteral("Max")};
        for (int i = 0; i < 3; ++i) {
            auto* knob = new TKnob(&panel);
            knob->SetMax(range.max);
            knob->SetMin(range.min);
            knob->SetPosition(values[i]);
            knob->SetCaption(captions[i]);
            knob->move(group.left() + 14 + i * 40, group.top() + 38);
        }
        left += groupWidth;
    }
}

void AddSliders(SheetPanel& panel, int top) {
    Heading(&panel, QStringLiteral("Step sliders"), 16, top, true);
    const int values[] = {0, 24, 60, 61, 90, 111, 127, -5};
    const int pitch = 28;
    const bool modes[] = {true, false};
    const QString titles[] = {QStringLiteral("A track playing notes: number and note"),
                              QStringLiteral("Any other track: the number")};
    int left = 16;
    for (int m = 0; m < 2; ++m) {
        const QRect group(left, top + 22, 8 * pitch + 12, 136);
        panel.AddGroup(group);
        Heading(&panel, titles[m], group.left() + 8, group.top() + 4);
        int x = group.left() + 9;
        for (int value : values) {
            auto* slider = new TSlider(&panel);
            slider->SetNoteNames(modes[m]);
            if (value < 0)
                slider->SetMin(-12);
            slider->SetPosition(value);
            slider->move(x, group.top() + 26);
            x += pitch;
        }
        left += group.width() + 8;
    }
}

void AddLeds(SheetPanel& panel, int left, int top) {
    Heading(&panel, QStringLiteral("LED switches"), left, top, true);
    const QRect group(left, top + 22, 244, 136);
    panel.AddGroup(group);
    struct Led {
        const char* caption;
        bool on;
    };
    const Led leds[] = {{"Sync", true},        {"Keyboard", false}, {"Repeat", false},
                        {"Arpeggiator", true}, {nullptr, true},     {nullptr, false}};
    for (int i = 0; i < 6; ++i) {
        auto* led = new TCheckLed(&panel);
        if (leds[i].caption)
            led->SetCaption(QString::fromLatin1(leds[i].caption));
        led->SetStatus(leds[i].on);
        led->move(group.left() + 40 + (i % 3) * 76, group.top() + 40 + (i / 3) * 52);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const render::Options options = render::ReadOptions(argc, argv);
    QApplication app(argc, argv);
    if (!render::FolderExists(options))
        return 2;

    SheetPanel panel;
    panel.resize(16 + 5 * 148 + 8, 322);
    AddKnobs(panel, 12);
    AddSliders(panel, 152);
    AddLeds(panel, 16 + 2 * (8 * 28 + 12 + 8), 152);
    // The sheet itself holds the focus, so no control shows its focus ring.
    panel.setFocusPolicy(Qt::StrongFocus);
    panel.show();
    panel.setFocus();
    QApplication::processEvents();

    if (!render::SavePicture(options, panel, QStringLiteral("controls")))
        return 1;
    return render::RenderDoubleToo(options);
}
