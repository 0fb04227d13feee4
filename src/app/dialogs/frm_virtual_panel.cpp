#include "frm_virtual_panel.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {
QSpinBox* SpinBox(const char* name, int min, int max, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(min, max);
    return spin;
}
} // namespace

TfrmVirtualPanel::TfrmVirtualPanel(VirtualPanelGestures gestures, QWidget* parent)
    : QDialog(parent), gestures_(std::move(gestures)) {
    setObjectName(QStringLiteral("frmVirtualPanel"));
    setWindowTitle(QStringLiteral("Virtual Mopho Panel"));
    // The NRPN numbers and values the instrument's 14-bit messages can carry.
    spnParameter = SpinBox("spnParameter", 0, 16383, this);
    spnValue = SpinBox("spnValue", 0, 16383, this);
    spnProgram = SpinBox("spnProgram", 1, 128, this);
    btnTurnKnob = new QPushButton(QStringLiteral("Turn Knob"), this);
    btnTurnKnob->setObjectName(QStringLiteral("btnTurnKnob"));
    btnChangeProgram = new QPushButton(QStringLiteral("Change Program"), this);
    btnChangeProgram->setObjectName(QStringLiteral("btnChangeProgram"));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Parameter (NRPN):"), spnParameter);
    auto* knob = new QHBoxLayout;
    knob->addWidget(spnValue, 1);
    knob->addWidget(btnTurnKnob);
    form->addRow(QStringLiteral("Value:"), knob);
    auto* program = new QHBoxLayout;
    program->addWidget(spnProgram, 1);
    program->addWidget(btnChangeProgram);
    form->addRow(QStringLiteral("Program:"), program);
    form->addRow(lblStatus);

    connect(btnTurnKnob, &QPushButton::clicked, this, &TfrmVirtualPanel::TurnKnobClick);
    connect(btnChangeProgram, &QPushButton::clicked, this, &TfrmVirtualPanel::ChangeProgramClick);
}

void TfrmVirtualPanel::TurnKnobClick() {
    const int nrpn = spnParameter->value();
    const int value = spnValue->value();
    Report(gestures_.turnKnob && gestures_.turnKnob(nrpn, value),
           QStringLiteral("Knob %1 turned to %2.").arg(nrpn).arg(value));
}

void TfrmVirtualPanel::ChangeProgramClick() {
    const int program = spnProgram->value();
    Report(gestures_.changeProgram && gestures_.changeProgram(program - 1),
           QStringLiteral("Program %1 chosen.").arg(program));
}

void TfrmVirtualPanel::Report(bool played, const QString& gesture) {
    lblStatus->setText(played ? gesture : QStringLiteral("The built-in instrument is not in use."));
}
