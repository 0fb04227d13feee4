#include "frm_global.h"

#include "parameter_tables.h"
#include "short_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace {
// Positions in the global parameter dump (and in GlobalParameters).
enum Global {
    Transpose,
    FineTune,
    MidiChannel,
    Clock,
    ParameterSend,
    ParameterReceive,
    MidiController,
    MidiSysex,
    AudioOut,
    MidiOut,
};

constexpr int TransposeOffset = 12; // position -12..12 is value 0..24
constexpr int FineTuneOffset = 50;  // position -50..50 is value 0..100
constexpr int ValueLabelWidth = 28;

QLabel* MakeLabel(const char* objectName, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(objectName));
    return label;
}

QSlider* MakeTrackBar(const char* objectName, int offset) {
    auto* bar = new QSlider(Qt::Horizontal);
    bar->setObjectName(QString::fromLatin1(objectName));
    bar->setRange(-offset, offset);
    bar->setValue(0);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(1);
    bar->setSingleStep(1);
    bar->setPageStep(2);
    return bar;
}

QComboBox* MakeList(const char* objectName, const QStringList& items) {
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(objectName));
    list->addItems(items);
    list->setCurrentIndex(-1); // nothing chosen until the instrument's value is in
    return list;
}

QStringList MidiChannels() {
    QStringList items{QStringLiteral("All")};
    for (int channel = 1; channel <= 16; ++channel)
        items << QString::number(channel);
    return items;
}

// A caption above its control.
QVBoxLayout* Captioned(QLabel* caption, QWidget* control, QWidget* value = nullptr) {
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    if (value) {
        auto* top = new QHBoxLayout;
        top->addWidget(caption);
        top->addStretch();
        top->addWidget(value);
        column->addLayout(top);
    } else {
        column->addWidget(caption);
    }
    column->addWidget(control);
    caption->setBuddy(control);
    return column;
}
} // namespace

TfrmGlobal::TfrmGlobal(MidiOutput& out, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), out_(out) {
    setObjectName(QStringLiteral("TfrmGlobal"));
    setWindowTitle(QStringLiteral("Global"));
    setFixedSize(ClientWidth, ClientHeight);

    lblTransposeCaption = MakeLabel("lblTransposeCaption", QStringLiteral("Transpose"));
    trbTranspose = MakeTrackBar("trbTranspose", TransposeOffset);
    lblTranspose = MakeLabel("lblTranspose", QStringLiteral("0"));
    lblFineTuneCaption = MakeLabel("lblFineTuneCaption", QStringLiteral("Fine Tune"));
    trbFineTune = MakeTrackBar("trbFineTune", FineTuneOffset);
    lblFineTune = MakeLabel("lblFineTune", QStringLiteral("0"));
    for (QLabel* value : {lblTranspose, lblFineTune}) {
        value->setMinimumWidth(ValueLabelWidth);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    cmbMidiChannel = MakeList("cmbMidiChannel", MidiChannels());
    cmbClock = MakeList("cmbClock", {QStringLiteral("Internal don't send MIDI clock"),
                                     QStringLiteral("Internal send MIDI clock"),
                                     QStringLiteral("Use MIDI clock In"),
                                     QStringLiteral("Use MIDI clock In, and retransmit MIDI "
                                                    "clock out")});
    cmbParameterSend = MakeList(
        "cmbParameterSend", {QStringLiteral("NRPN"), QStringLiteral("CC"), QStringLiteral("Off")});
    cmbParameterReceive =
        MakeList("cmbParameterReceive", {QStringLiteral("All"), QStringLiteral("NRPN only"),
                                         QStringLiteral("CC only"), QStringLiteral("Off")});
    cmbAudioOut = MakeList("cmbAudioOut", {QStringLiteral("Stereo"), QStringLiteral("Mono")});
    cmbMidiOut = MakeList("cmbMidiOut", {QStringLiteral("MIDI Out"), QStringLiteral("MIDI Thru")});
    chbMidiController = new QCheckBox(QStringLiteral("MIDI Controller Send/Receive"));
    chbMidiController->setObjectName(QStringLiteral("chbMidiController"));
    cmbMidiSysex = new QCheckBox(QStringLiteral("MIDI Sysex Send/Receive"));
    cmbMidiSysex->setObjectName(QStringLiteral("cmbMidiSysex"));

    // Clock has the longest items: it takes a row of its own. The two
    // switches share the last row with Audio Out.
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(8);
    grid->addLayout(Captioned(lblTransposeCaption, trbTranspose, lblTranspose), 0, 0);
    grid->addLayout(Captioned(lblFineTuneCaption, trbFineTune, lblFineTune), 0, 1);
    grid->addLayout(Captioned(MakeLabel("lblClock", QStringLiteral("Clock")), cmbClock), 1, 0, 1,
                    2);
    grid->addLayout(
        Captioned(MakeLabel("lblMidiChannel", QStringLiteral("MIDI Channel")), cmbMidiChannel), 2,
        0);
    grid->addLayout(
        Captioned(MakeLabel("lblMidiOut", QStringLiteral("Midi Out Select")), cmbMidiOut), 2, 1);
    grid->addLayout(Captioned(MakeLabel("lblParameterSend", QStringLiteral("Parameter Send")),
                              cmbParameterSend),
                    3, 0);
    grid->addLayout(Captioned(MakeLabel("lblParameterReceive", QStringLiteral("Parameter Receive")),
                              cmbParameterReceive),
                    3, 1);
    grid->addLayout(Captioned(MakeLabel("lblAudioOut", QStringLiteral("Audio Out")), cmbAudioOut),
                    4, 0);
    auto* switches = new QVBoxLayout;
    switches->setSpacing(2);
    switches->addWidget(chbMidiController);
    switches->addWidget(cmbMidiSysex);
    grid->addLayout(switches, 4, 1, Qt::AlignBottom);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
    setTabOrder(trbTranspose, trbFineTune);
    setTabOrder(trbFineTune, cmbClock);
    setTabOrder(cmbClock, cmbMidiChannel);
    setTabOrder(cmbMidiChannel, cmbMidiOut);
    setTabOrder(cmbMidiOut, cmbParameterSend);
    setTabOrder(cmbParameterSend, cmbParameterReceive);
    setTabOrder(cmbParameterReceive, cmbAudioOut);
    setTabOrder(cmbAudioOut, chbMidiController);
    setTabOrder(chbMidiController, cmbMidiSysex);

    connect(trbTranspose, &QSlider::valueChanged, this, &TfrmGlobal::trbTransposeChange);
    connect(trbFineTune, &QSlider::valueChanged, this, &TfrmGlobal::trbFineTuneChange);
    const auto listChange = [this](QComboBox* list, int global) {
        connect(list, &QComboBox::currentIndexChanged, this,
                [this, global](int index) { ListChange(global, index); });
    };
    listChange(cmbMidiChannel, MidiChannel);
    listChange(cmbClock, Clock);
    listChange(cmbParameterSend, ParameterSend);
    listChange(cmbParameterReceive, ParameterReceive);
    listChange(cmbAudioOut, AudioOut);
    listChange(cmbMidiOut, MidiOut);
    connect(chbMidiController, &QCheckBox::toggled, this,
            [this](bool checked) { CheckBoxClick(MidiController, checked); });
    connect(cmbMidiSysex, &QCheckBox::toggled, this,
            [this](bool checked) { CheckBoxClick(MidiSysex, checked); });
}

void TfrmGlobal::LoadGlobals(const std::array<int, GlobalsCount>& values) {
    const auto fits = [&values](int global) {
        const int value = values[static_cast<std::size_t>(global)];
        return value >= 0 && value <= GlobalParameters[static_cast<std::size_t>(global)].maximum;
    };
    const auto value = [&values](int global) { return values[static_cast<std::size_t>(global)]; };
    // Track bars and check boxes run their change (and send) when they move
    // from where they started; QSlider and QCheckBox signal only a change.
    if (fits(Transpose))
        trbTranspose->setValue(value(Transpose) - TransposeOffset);
    if (fits(FineTune))
        trbFineTune->setValue(value(FineTune) - FineTuneOffset);
    loading_ = true; // the lists send only what the user changes
    const std::pair<QComboBox*, int> lists[] = {
        {cmbParameterSend, ParameterSend}, {cmbParameterReceive, ParameterReceive},
        {cmbMidiChannel, MidiChannel},     {cmbClock, Clock},
        {cmbAudioOut, AudioOut},           {cmbMidiOut, MidiOut},
    };
    for (const auto& [list, global] : lists)
        if (fits(global))
            list->setCurrentIndex(value(global));
    loading_ = false;
    if (fits(MidiController))
        chbMidiController->setChecked(value(MidiController) == 1);
    if (fits(MidiSysex))
        cmbMidiSysex->setChecked(value(MidiSysex) == 1);
}

void TfrmGlobal::trbTransposeChange(int position) {
    lblTranspose->setText(QString::number(position));
    SendGlobal(Transpose, position + TransposeOffset);
}

void TfrmGlobal::trbFineTuneChange(int position) {
    lblFineTune->setText(QString::number(position));
    SendGlobal(FineTune, position + FineTuneOffset);
}

void TfrmGlobal::ListChange(int global, int index) {
    if (!loading_ && index >= 0)
        SendGlobal(global, index);
}

void TfrmGlobal::CheckBoxClick(int global, bool checked) {
    SendGlobal(global, checked ? 1 : 0);
}

void TfrmGlobal::SendGlobal(int global, int value) {
    const MidiError error =
        SendNrpn(out_, channel_, GlobalParameters[static_cast<std::size_t>(global)].nrpn,
                 static_cast<unsigned>(value));
    if (error != MidiError::None && !failing_ && failureLog_)
        failureLog_(QStringLiteral("A global setting did not reach the instrument: %1.")
                        .arg(QString::fromStdString(Text(error))));
    failing_ = error != MidiError::None;
    constexpr int MidiChannelGlobal = 2;
    if (global == MidiChannelGlobal && value >= 1 && !loading_ && instrumentChannelChanged_)
        instrumentChannelChanged_(value);
}
