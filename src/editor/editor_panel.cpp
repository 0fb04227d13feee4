#include "editor_panel.h"

#include "check_led.h"
#include "control_geometry.h"
#include "knob.h"
#include "slider.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// ---- What goes where -------------------------------------------------------

namespace P = SoundParameter;

// One item of a line: a bound control, a row heading or a sequencer track's
// "Select for all" box.
struct PanelItem {
    PanelItem(int parameter) : control{parameter} {}
    PanelItem(ControlRef control) : control(control) {}
    static PanelItem Heading(std::string_view text) {
        PanelItem item(ControlRef{-1});
        item.heading = text;
        return item;
    }
    static PanelItem SelectForAll() {
        PanelItem item(ControlRef{-1});
        item.selectForAll = true;
        return item;
    }
    ControlRef control;
    std::string_view heading;
    bool selectForAll = false;
};

// One group box: its lines from top to bottom, each a row of items, left to
// right. The section button closes the first line.
struct GroupPlan {
    std::string_view group;
    std::vector<std::vector<PanelItem>> lines;
    // Every cell of the group as wide as the widest, so that the knobs of
    // one line stand over the lists of the next.
    bool columns = false;
};

// Where a group box sits on its page's grid.
struct GroupPlace {
    std::string_view group;
    int row;
    int column;
    int rowSpan = 1;
    int columnSpan = 1;
};

const std::vector<GroupPlan>& GroupPlans() {
    static const std::vector<GroupPlan> plans = [] {
        std::vector<GroupPlan> groups = {
            {"Oscillator 1",
             {{P::Osc1Shape, P::Osc1Keyboard},
              {P::Osc1Frequency, P::Osc1Fine, PulseWidthOf(P::Osc1Shape), P::Osc1Glide,
               P::SubOsc1Level}}},
            {"Oscillator 2",
             {{P::Osc2Shape, P::Osc2Keyboard},
              {P::Osc2Frequency, P::Osc2Fine, PulseWidthOf(P::Osc2Shape), P::Osc2Glide,
               P::SubOsc2Level}}},
            {"Oscillators Common",
             {{P::GlideMode, P::KeyAssignMode, P::Sync2To1},
              {P::Osc12Mix, P::NoiseLevel, P::ExtAudioInputLevel, P::OscSlop, P::PitchBendRange}}},
            {"Filter",
             {{P::FilterFrequency, P::FilterResonance, P::FilterKeybAmount, P::FilterAudioMod,
               P::FilterPoles},
              {P::FilterEnvAmount, P::FilterEnvVeloAmount, P::FilterEnvDelay, P::FilterEnvAttack,
               P::FilterEnvDecay, P::FilterEnvSustain, P::FilterEnvRelease}}},
            {"VCA",
             {{P::VCAInitialLevel, P::VCAVoiceVolume},
              {P::VCAEnvAmount, P::VCAEnvVeloAmount, P::VCAEnvDelay, P::VCAEnvAttack,
               P::VCAEnvDecay, P::VCAEnvSustain, P::VCAEnvRelease}}},
            {"LFOs", {}},
            {"Envelope 3",
             {{P::Env3ModDestination, P::Env3Amount, P::Env3VeloAmount, P::Env3Delay, P::Env3Attack,
               P::Env3Decay, P::Env3Sustain, P::Env3Release, P::Env3Repeat}}},
            {"Modulation", {}},
            {"Modulation Parameters",
             {{P::ModWheelAmount, P::PressureAmount, P::BreathAmount, P::VelocityAmount,
               P::FootControlAmount},
              {P::ModWheelDestination, P::PressureDestination, P::BreathDestination,
               P::VelocityDestination, P::FootControlDestination}},
             true},
            {"Push It", {{P::PushItNoteNumber, P::PushItVelocity}, {P::PushItMode}}, true},
            {"Clock Parameters", {{P::BPMTempo}, {P::ClockDivide}}, true},
            {"Assignable Parameters",
             {{P::Assignable1, P::Assignable2}, {P::Assignable3, P::Assignable4}}},
            {"Arp",
             {{P::ArpeggiatorMode}, {P::SequencerTrigger}, {P::Arpeggiator}, {P::GatedSequencer}}},
        };
        // The rows of the LFOs and of the modulation slots share their shape.
        static const PanelItem LfoRows[4][6] = {
            {PanelItem::Heading("LFO 1"), P::LFO1Frequency, P::LFO1Amount, P::LFO1Shape,
             P::LFO1Destination, P::LFO1Sync},
            {PanelItem::Heading("LFO 2"), P::LFO2Frequency, P::LFO2Amount, P::LFO2Shape,
             P::LFO2Destination, P::LFO2Sync},
            {PanelItem::Heading("LFO 3"), P::LFO3Frequency, P::LFO3Amount, P::LFO3Shape,
             P::LFO3Destination, P::LFO3Sync},
            {PanelItem::Heading("LFO 4"), P::LFO4Frequency, P::LFO4Amount, P::LFO4Shape,
             P::LFO4Destination, P::LFO4Sync},
        };
        static const PanelItem ModRows[4][4] = {
            {PanelItem::Heading("Mod 1"), P::Mod1Source, P::Mod1Amount, P::Mod1Destination},
            {PanelItem::Heading("Mod 2"), P::Mod2Source, P::Mod2Amount, P::Mod2Destination},
            {PanelItem::Heading("Mod 3"), P::Mod3Source, P::Mod3Amount, P::Mod3Destination},
            {PanelItem::Heading("Mod 4"), P::Mod4Source, P::Mod4Amount, P::Mod4Destination},
        };
        for (GroupPlan& plan : groups) {
            if (plan.group == "LFOs")
                for (const auto& row : LfoRows)
                    plan.lines.emplace_back(std::begin(row), std::end(row));
            if (plan.group == "Modulation")
                for (const auto& row : ModRows)
                    plan.lines.emplace_back(std::begin(row), std::end(row));
        }
        static const std::array<std::string_view, 4> seqGroups = {
            "Sequence Track 1", "Sequence Track 2", "Sequence Track 3", "Sequence Track 4"};
        for (int t = 1; t <= P::SeqTracks; ++t) {
            GroupPlan plan{seqGroups[static_cast<std::size_t>(t - 1)], {}};
            plan.lines.push_back(
                {PanelItem(P::FirstSeqDestination + t - 1), PanelItem::SelectForAll()});
            std::vector<PanelItem>& steps = plan.lines.emplace_back();
            for (int s = 1; s <= P::SeqSteps; ++s)
                steps.emplace_back(P::FirstSeqStep + (t - 1) * P::SeqSteps + s - 1);
            groups.push_back(plan);
        }
        return groups;
    }();
    return plans;
}

// How the pages' grid columns share spare width.
constexpr int ColumnStretch[EditorPageCount][3] = {{1, 1, 1}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1}};

// The pages' grids, in signal-flow order.
const std::array<std::vector<GroupPlace>, EditorPageCount>& PagePlaces() {
    static const std::array<std::vector<GroupPlace>, EditorPageCount> places = {{
        {{"Oscillator 1", 0, 0},
         {"Oscillator 2", 0, 1},
         {"Oscillators Common", 0, 2},
         {"Filter", 1, 0, 1, 2},
         {"VCA", 1, 2}},
        {{"LFOs", 0, 0}, {"Modulation", 0, 1}, {"Envelope 3", 1, 0, 1, 2}},
        {{"Modulation Parameters", 0, 0, 1, 2},
         {"Push It", 0, 2},
         {"Clock Parameters", 1, 0},
         {"Assignable Parameters", 1, 1, 1, 2}},
        {{"Arp", 0, 0, 2, 1},
         {"Sequence Track 1", 0, 1},
         {"Sequence Track 2", 0, 2},
         {"Sequence Track 3", 1, 1},
         {"Sequence Track 4", 1, 2}},
    }};
    return places;
}

// The small label over each list: lists have no caption of their own.
QString ListLabel(std::string_view member) {
    static const std::pair<std::string_view, const char*> labels[] = {
        {"Shape", "Shape"},          {"Destination", "Destination"},
        {"Dest", "Destination"},     {"Source", "Source"},
        {"GlideMode", "Glide Mode"}, {"KeyAssign", "Key Assign"},
        {"PushItMode", "Mode"},      {"ApreggiatorMode", "Mode"},
        {"Trigger", "Trigger"},      {"ClockDivide", "Clock Divide"},
    };
    if (member.starts_with("cmbAssignable"))
        return QStringLiteral("Assignable ") + QChar(member.back());
    for (const auto& [part, label] : labels)
        if (member.find(part) != std::string_view::npos)
            return QString::fromLatin1(label);
    return {};
}

// The widest a list stands; its drop-down opens wide enough for every item.
int ListWidthLimit(ValueList list) {
    return list == ValueList::Assignables ? 280 : 170;
}

// ---- Accessible names ------------------------------------------------------

// The parameter's name without its number, for assistive technology:
// "Oscillator 1 Frequency", "Sequence Track 2, step 5".
QString AccessibleName(const ParameterBinding& binding) {
    std::string name = ParameterNames()[static_cast<std::size_t>(binding.parameter)];
    const std::size_t start = name.find_first_not_of(" 0123456789");
    name.erase(0, start);
    for (const char* tail : {";", ", steps in"})
        if (const std::size_t cut = name.find(tail); cut != std::string::npos)
            name.erase(cut);
    if (const std::size_t track = name.find("Track");
        track != std::string::npos && track + 5 < name.size() && name[track + 5] != ' ')
        name.insert(track + 5, " ");
    if (IsPulseWidthKnob(binding))
        name = name.substr(0, name.find("Shape")) + "Pulse Width";
    return QString::fromStdString(name);
}

// ---- Cells -----------------------------------------------------------------

constexpr int RSize = 18;         // the "R" buttons are square
constexpr int RGap = 3;           // between a control and its "R" button
constexpr int CaptionRoom = 14;   // a caption's height over its control
constexpr int CaptionPadding = 4; // free pixels on either side of a caption
constexpr int LabelHeight = 14;   // list labels stand as high as captions
constexpr int HeadingWidth = 44;  // "LFO 1", "Mod 1"
constexpr int SliderPitch = 32;   // from one step slider to the next
constexpr int CellSpacing = 4;    // between cells; each caption has its padding too

QFont SmallFont(const QWidget& widget, bool bold = false) {
    QFont font = widget.font();
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

QPushButton* MakeRButton(const ParameterBinding& binding, const QString& controlName,
                         QWidget* parent) {
    auto* button = new QPushButton(QStringLiteral("R"), parent);
    button->setObjectName(QString::fromUtf8(binding.randomButton.data(),
                                            static_cast<qsizetype>(binding.randomButton.size())));
    button->setFixedSize(RSize, RSize);
    QFont font = SmallFont(*button, true);
    font.setPixelSize(10);
    button->setFont(font);
    button->setAccessibleName(QStringLiteral("Allowed values of ") + controlName);
    button->setEnabled(false); // until the window connects it
    return button;
}

// The texts a knob's caption can show: the note and rate knobs change theirs
// with the value, so their cell makes room for the widest.
QStringList CaptionTexts(const ParameterBinding& binding) {
    QStringList texts{
        QString::fromUtf8(binding.caption.data(), static_cast<qsizetype>(binding.caption.size()))};
    if (binding.display == ValueDisplay::Note || binding.display == ValueDisplay::LfoRate)
        for (int value = binding.min; value <= binding.max; ++value)
            texts << QString::fromStdString(CaptionAt(binding, value));
    return texts;
}

// A bound control with its caption room and its "R" button. Children are
// placed by hand: a caption sits 14 pixels over its control whatever the
// layout, so the cell reserves that room and centres the caption's width
// over the control.
class ControlCell : public QWidget {
public:
    ControlCell(QWidget* control, QPushButton* rButton, QLabel* label, int captionWidth)
        : control_(control), rButton_(rButton), label_(label), captionWidth_(captionWidth) {
        // Not the group box's bold title font: captions were measured plain.
        QFont plain = font();
        plain.setBold(false);
        setFont(plain);
        control_->setParent(this);
        rButton_->setParent(this);
        if (label_)
            label_->setParent(this);
        Place(NaturalWidth());
    }

    // The narrowest width that shows the caption whole.
    int NaturalWidth() const {
        if (IsSlider())
            return SliderPitch;
        const int controlWidth = control_->width();
        const int half = captionWidth_ / 2 + CaptionPadding;
        if (label_)
            return std::max(controlWidth + RGap + RSize, captionWidth_);
        const int centre = std::max(controlWidth / 2, half);
        return centre + std::max(controlWidth / 2 + RGap + RSize, half);
    }

    // Centres the control and its button in `width`.
    void Place(int width) {
        if (IsSlider()) {
            const int left = (width - control_->width()) / 2;
            control_->move(left, 0);
            rButton_->move(left + (control_->width() - RSize) / 2, control_->height() + RGap);
            setFixedSize(width, control_->height() + RGap + RSize);
            return;
        }
        const int controlWidth = control_->width();
        if (label_) {
            const int unit = controlWidth + RGap + RSize;
            const int left = (width - unit) / 2;
            label_->setGeometry(left, 0, std::max(controlWidth, captionWidth_), LabelHeight);
            control_->move(left, LabelHeight);
            rButton_->move(left + controlWidth + RGap,
                           LabelHeight + (control_->height() - RSize) / 2);
            setFixedSize(width, LabelHeight + std::max(control_->height(), RSize));
            return;
        }
        const int natural = NaturalWidth();
        const int half = captionWidth_ / 2 + CaptionPadding;
        const int centre = std::max(controlWidth / 2, half) + (width - natural) / 2;
        const int left = centre - controlWidth / 2;
        if (IsLed()) {
            // The button is two pixels taller than the LED: level with it.
            control_->move(left, CaptionRoom + 1);
            rButton_->move(left + controlWidth + RGap, CaptionRoom);
            setFixedSize(width, CaptionRoom + RSize);
            return;
        }
        // Level with the knob's read-out.
        control_->move(left, CaptionRoom);
        rButton_->move(left + controlWidth + RGap, CaptionRoom + control_->height() - RSize - 1);
        setFixedSize(width, CaptionRoom + control_->height());
    }

    bool IsKnobOrLed() const { return !label_ && !IsSlider(); }

private:
    bool IsSlider() const { return qobject_cast<TSlider*>(control_) != nullptr; }
    bool IsLed() const { return qobject_cast<TCheckLed*>(control_) != nullptr; }

    QWidget* control_;
    QPushButton* rButton_;
    QLabel* label_;
    int captionWidth_;
};

QWidget* MakeControl(const ParameterBinding& binding, int& captionWidth, QLabel*& label) {
    const QString member =
        QString::fromUtf8(binding.key.data(), static_cast<qsizetype>(binding.key.size()));
    const QString caption =
        QString::fromUtf8(binding.caption.data(), static_cast<qsizetype>(binding.caption.size()));
    QWidget* control = nullptr;
    captionWidth = 0;
    label = nullptr;
    switch (binding.kind) {
    case ControlKind::Knob: {
        auto* knob = new TKnob;
        knob->setObjectName(member);
        // A new knob stands at 0 until the window loads the sound.
        knob->SetPosition(0);
        knob->SetMin(binding.min);
        knob->SetMax(binding.max);
        knob->SetCaption(caption);
        const QFontMetrics metrics(knob->CaptionLabelWidget()->font());
        for (const QString& text : CaptionTexts(binding))
            captionWidth = std::max(captionWidth, metrics.horizontalAdvance(text));
        control = knob;
        break;
    }
    case ControlKind::Slider: {
        auto* slider = new TSlider;
        slider->setObjectName(member);
        slider->SetMin(binding.min);
        slider->SetMax(binding.max);
        control = slider;
        break;
    }
    case ControlKind::Led: {
        auto* led = new TCheckLed;
        led->setObjectName(member);
        led->SetCaption(caption);
        captionWidth =
            QFontMetrics(led->CaptionLabelWidget()->font()).horizontalAdvance(led->Caption());
        control = led;
        break;
    }
    case ControlKind::List: {
        auto* list = new QComboBox;
        list->setObjectName(member);
        for (const std::string& item : ListItems(binding.list))
            list->addItem(QString::fromStdString(item));
        list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        const int full = list->sizeHint().width();
        list->setFixedSize(std::min(full, ListWidthLimit(binding.list)), list->sizeHint().height());
        list->view()->setMinimumWidth(full);
        label = new QLabel(ListLabel(binding.key));
        label->setObjectName(QStringLiteral("lbl") + member.mid(3));
        label->setFont(SmallFont(*label));
        label->setBuddy(list);
        // Where a list is named by its label, the label gives the full name.
        label->setAccessibleName(AccessibleName(binding));
        captionWidth = label->fontMetrics().horizontalAdvance(label->text());
        control = list;
        break;
    }
    }
    control->setAccessibleName(AccessibleName(binding));
    return control;
}

QString ButtonText(std::string_view caption) {
    // A single ampersand would mark an access key; the caption shows it.
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()))
        .replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// ---- Building --------------------------------------------------------------

class PanelBuilder {
public:
    explicit PanelBuilder(EditorPanel& panel) : panel_(panel) {}

    QWidget* BuildPage(int page) {
        auto* widget = new QWidget;
        widget->setObjectName(QStringLiteral("tabPage") + QString::number(page + 1));
        auto* grid = new QGridLayout(widget);
        grid->setContentsMargins(6, 6, 6, 6);
        grid->setSpacing(6);
        for (int column = 0; column < 3; ++column)
            grid->setColumnStretch(column, ColumnStretch[page][column]);
        for (const GroupPlace& place : PagePlaces()[static_cast<std::size_t>(page)])
            grid->addWidget(BuildGroup(Plan(place.group)), place.row, place.column, place.rowSpan,
                            place.columnSpan);
        return widget;
    }

    // Bound controls, their "R" buttons, the section buttons and the
    // "Select for all" boxes in the order the panel shows them.
    const std::vector<QWidget*>& PanelOrder() const { return order_; }

private:
    static const GroupPlan& Plan(std::string_view group) {
        for (const GroupPlan& plan : GroupPlans())
            if (plan.group == group)
                return plan;
        throw std::logic_error("no plan for a group");
    }

    QGroupBox* BuildGroup(const GroupPlan& plan) {
        auto* box = new QGroupBox(Text(plan.group));
        QFont title = box->font();
        title.setBold(true);
        box->setFont(title);
        auto* column = new QVBoxLayout(box);
        column->setContentsMargins(6, 6, 6, 6);
        column->setSpacing(6);
        column->addStretch(1);

        // Cells first, so that a group of columns can give all the same width.
        std::vector<std::vector<QWidget*>> lines;
        std::vector<ControlCell*> cells;
        for (const auto& members : plan.lines) {
            std::vector<QWidget*>& line = lines.emplace_back();
            for (const PanelItem& item : members)
                line.push_back(BuildItem(item, box, cells));
        }
        if (plan.columns) {
            int width = 0;
            for (ControlCell* cell : cells)
                width = std::max(width, cell->NaturalWidth());
            for (ControlCell* cell : cells)
                cell->Place(width);
        } else {
            AlignKnobColumns(lines);
        }

        for (std::size_t i = 0; i < lines.size(); ++i) {
            auto* row = new QHBoxLayout;
            row->setSpacing(plan.group.starts_with("Sequence") && i == 1 ? 0 : CellSpacing);
            for (QWidget* item : lines[i])
                row->addWidget(item, 0, Qt::AlignTop); // captions and labels on one line
            row->addStretch(1);
            column->addLayout(row);
        }
        // The section's randomize button closes it, at the lower right.
        if (QPushButton* section = SectionButton(plan.group, box)) {
            auto* row = new QHBoxLayout;
            row->addStretch(1);
            row->addWidget(section);
            column->addLayout(row);
            order_.push_back(section);
        }
        column->addStretch(1);
        return box;
    }

    // Lines of knobs and LEDs: the k-th cells of all of them as wide as the
    // widest, so the columns stand under each other.
    static void AlignKnobColumns(const std::vector<std::vector<QWidget*>>& lines) {
        std::vector<std::vector<ControlCell*>> knobLines;
        for (const auto& line : lines) {
            std::vector<ControlCell*> cells;
            for (QWidget* item : line) {
                auto* cell = dynamic_cast<ControlCell*>(item);
                if (!cell || !cell->IsKnobOrLed()) {
                    cells.clear();
                    break;
                }
                cells.push_back(cell);
            }
            if (!cells.empty())
                knobLines.push_back(cells);
        }
        std::vector<int> widths;
        for (const auto& cells : knobLines)
            for (std::size_t k = 0; k < cells.size(); ++k) {
                if (widths.size() <= k)
                    widths.push_back(0);
                widths[k] = std::max(widths[k], cells[k]->NaturalWidth());
            }
        for (const auto& cells : knobLines)
            for (std::size_t k = 0; k < cells.size(); ++k)
                cells[k]->Place(widths[k]);
    }

    QWidget* BuildItem(const PanelItem& item, QWidget* box, std::vector<ControlCell*>& cells) {
        if (!item.heading.empty()) {
            auto* heading = new QLabel(Text(item.heading), box);
            heading->setFont(SmallFont(*heading, true));
            heading->setFixedSize(HeadingWidth, CaptionRoom + KnobGeometry::Height);
            heading->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            return heading;
        }
        if (item.selectForAll) {
            const int track = static_cast<QGroupBox*>(box)->title().back().digitValue();
            auto* check = new QCheckBox(QStringLiteral("Select for all"), box);
            QFont plain = check->font();
            plain.setBold(false);
            check->setFont(plain);
            check->setObjectName(QStringLiteral("chbSelectforall") + QString::number(track));
            panel_.selectForAll[static_cast<std::size_t>(track - 1)] = check;
            order_.push_back(check);
            return check;
        }
        const int row = RowOf(item.control);
        if (row < 0)
            throw std::logic_error("a panel item without its control");
        const ParameterBinding& binding = ParameterBindings[static_cast<std::size_t>(row)];
        int captionWidth = 0;
        QLabel* label = nullptr;
        QWidget* control = MakeControl(binding, captionWidth, label);
        QPushButton* rButton = MakeRButton(binding, control->accessibleName(), nullptr);
        auto* cell = new ControlCell(control, rButton, label, captionWidth);
        cell->setObjectName(control->objectName() + QStringLiteral("Cell"));
        panel_.controls[static_cast<std::size_t>(row)] = control;
        panel_.randomButtons[static_cast<std::size_t>(row)] = rButton;
        order_.push_back(control);
        order_.push_back(rButton);
        cells.push_back(cell);
        return cell;
    }

    QPushButton* SectionButton(std::string_view group, QWidget* box) {
        for (std::size_t i = 0; i < SectionRandomizers.size(); ++i) {
            const SectionRandomizer& section = SectionRandomizers[i];
            if (section.group != group)
                continue;
            auto* button = new QPushButton(ButtonText(section.caption), box);
            button->setObjectName(Text(section.button));
            QFont font = button->font();
            font.setBold(false);
            button->setFont(font);
            button->setEnabled(false); // until the window connects it
            panel_.sectionButtons[i] = button;
            return button;
        }
        return nullptr;
    }

    EditorPanel& panel_;
    std::vector<QWidget*> order_;
};

QPushButton* MakeButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QWidget* BuildTopPanel(EditorPanel& panel) {
    auto* top = new QWidget;
    top->setObjectName(QStringLiteral("pnlTop"));
    auto* grid = new QGridLayout(top);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);

    auto* nameLabel = new QLabel(QStringLiteral("Name"), top);
    panel.edtName = new QLineEdit(top);
    panel.edtName->setObjectName(QStringLiteral("edtName"));
    panel.edtName->setMaxLength(16);
    panel.edtName->setFixedWidth(panel.edtName->fontMetrics().horizontalAdvance(QString(16, 'N')) +
                                 12);
    nameLabel->setBuddy(panel.edtName);

    panel.btnTestSound =
        MakeButton(QStringLiteral("btnTestSound"), QStringLiteral("Test &Sound C4-C5"), top);
    panel.btnTestSound->setToolTip(QStringLiteral("Shortcut Num 1,2,3,4,5,6,7,8,9,+,-"));

    panel.lblRandomSchema = new QLabel(QStringLiteral("Sound Family Schema"), top);
    panel.lblRandomSchema->setObjectName(QStringLiteral("lblRandomSchema"));
    panel.cmbRandomSchema = new QComboBox(top);
    panel.cmbRandomSchema->setObjectName(QStringLiteral("cmbRandomSchema"));
    panel.cmbRandomSchema->setEditable(true);
    panel.cmbRandomSchema->setFixedWidth(190);
    panel.cmbRandomSchema->setEnabled(false); // until the window connects it
    panel.lblRandomSchema->setBuddy(panel.cmbRandomSchema);
    panel.btnSaveRandomSchema = MakeButton(QStringLiteral("btnSaveRandomSchema"),
                                           QStringLiteral("Save Snd Family Schema"), top);
    panel.btnCreateSchemaFromCurrentSound =
        MakeButton(QStringLiteral("btnCreateSchemaFromCurrentSound"),
                   QStringLiteral("Create Snd Family Schema from current sound"), top);
    panel.btnSaveRandomSchema->setEnabled(false);
    panel.btnCreateSchemaFromCurrentSound->setEnabled(false);

    panel.btnInitSound =
        MakeButton(QStringLiteral("btnInitSound"), QStringLiteral("Init Sound"), top);
    panel.btnSavSoundto =
        MakeButton(QStringLiteral("btnSavSoundto"), QStringLiteral("Send Sound to Mopho"), top);
    panel.btnClose = MakeButton(QStringLiteral("btnClose"), QStringLiteral("Close"), top);

    // The sound and its schema, each under its label, then the window's own
    // commands.
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(panel.edtName, 1, 0);
    grid->addWidget(panel.btnTestSound, 1, 1);
    grid->addWidget(panel.lblRandomSchema, 0, 2);
    grid->addWidget(panel.cmbRandomSchema, 1, 2);
    grid->addWidget(panel.btnSaveRandomSchema, 1, 3);
    grid->addWidget(panel.btnCreateSchemaFromCurrentSound, 1, 4);
    grid->setColumnStretch(5, 1);
    grid->addWidget(panel.btnInitSound, 1, 6);
    grid->addWidget(panel.btnSavSoundto, 1, 7);
    grid->addWidget(panel.btnClose, 1, 8);

    // Second line: the composite randomize buttons.
    auto* second = new QHBoxLayout;
    second->setSpacing(4);
    for (std::size_t i = 0; i < CompositeRandomizers.size(); ++i) {
        QPushButton* button = MakeButton(Text(CompositeRandomizers[i].button),
                                         ButtonText(CompositeRandomizers[i].caption), top);
        button->setEnabled(false); // until the window connects it
        panel.compositeButtons[i] = button;
        second->addWidget(button);
    }
    second->addStretch(1);
    // Above the window's commands: the sound as opened, next to the edited one.
    panel.lblStatus = new QLabel(top);
    panel.lblStatus->setObjectName(QStringLiteral("lblStatus"));
    panel.btnCompare =
        MakeButton(QStringLiteral("btnCompare"), QStringLiteral("Compare with Original"), top);
    panel.btnCompare->setCheckable(true);
    panel.btnCompare->setToolTip(
        QStringLiteral("Plays the sound as it was opened while held down or checked"));
    panel.btnRevert =
        MakeButton(QStringLiteral("btnRevert"), QStringLiteral("Revert to Original"), top);
    grid->addWidget(panel.lblStatus, 0, 3, 1, 3, Qt::AlignRight);
    grid->addWidget(panel.btnCompare, 0, 6);
    grid->addWidget(panel.btnRevert, 0, 7);
    grid->addLayout(second, 2, 0, 1, 9);
    return top;
}

} // namespace

EditorPanel BuildEditorPanel(QDialog& window) {
    EditorPanel panel;
    window.setWindowTitle(QStringLiteral("Sound Edit (Edit Buffer)"));
    window.setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(BuildTopPanel(panel));

    panel.SoundEditPageControl = new QTabWidget(&window);
    panel.SoundEditPageControl->setObjectName(QStringLiteral("SoundEditPageControl"));
    PanelBuilder builder(panel);
    for (int page = 0; page < EditorPageCount; ++page)
        panel.SoundEditPageControl->addTab(builder.BuildPage(page),
                                           Text(EditorPageNames[static_cast<std::size_t>(page)]));
    layout->addWidget(panel.SoundEditPageControl);

    // Tab follows the panel: the top panel, then page by page, group by
    // group, each control followed by its "R" button.
    std::vector<QWidget*> order = {panel.edtName,
                                   panel.btnTestSound,
                                   panel.cmbRandomSchema,
                                   panel.btnSaveRandomSchema,
                                   panel.btnCreateSchemaFromCurrentSound,
                                   panel.btnInitSound,
                                   panel.btnSavSoundto,
                                   panel.btnClose};
    order.insert(order.end(), panel.compositeButtons.begin(), panel.compositeButtons.end());
    order.push_back(panel.btnCompare);
    order.push_back(panel.btnRevert);
    order.push_back(panel.SoundEditPageControl);
    order.insert(order.end(), builder.PanelOrder().begin(), builder.PanelOrder().end());
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    layout->setSizeConstraint(QLayout::SetFixedSize);
    window.adjustSize();
    return panel;
}
