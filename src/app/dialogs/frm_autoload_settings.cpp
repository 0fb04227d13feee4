#include "frm_autoload_settings.h"

#include "dialog_layout.h"
#include "file_chooser.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int PathFieldWidth = 320;
}

TfrmAutoloadSettings::TfrmAutoloadSettings(FileChooser& files, const AutoloadValues& values,
                                           QWidget* parent)
    : QDialog(parent), files_(files) {
    setObjectName(QStringLiteral("frmAutoloadSettings"));
    setWindowTitle(QStringLiteral("Settings"));

    GroupBox1 = new QGroupBox(QStringLiteral("Autoload"));
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    CheckBox1 = new QCheckBox(QStringLiteral("Enable"));
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    edtAutoload = new QLineEdit;
    edtAutoload->setObjectName(QStringLiteral("edtAutoload"));
    edtAutoload->setMinimumWidth(PathFieldWidth);
    Button2 = new QPushButton(QStringLiteral("..."));
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setFixedWidth(Button2->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    connect(Button2, &QPushButton::clicked, this, &TfrmAutoloadSettings::Button2Click);
    CheckBox2 = new QCheckBox(QStringLiteral("Send to editbuffer selected patch"));
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));

    chbVerifyAfterSend = new QCheckBox(QStringLiteral("Verify sounds after sending"));
    chbVerifyAfterSend->setObjectName(QStringLiteral("chbVerifyAfterSend"));

    auto* group = new QGridLayout(GroupBox1);
    group->addWidget(CheckBox1, 0, 0, 1, 2);
    group->addWidget(edtAutoload, 1, 0);
    group->addWidget(Button2, 1, 1);
    group->addWidget(CheckBox2, 2, 0, 1, 2);
    group->addWidget(chbVerifyAfterSend, 3, 0, 1, 2);

    // The instrument's channel: notes, program changes and parameter
    // messages go out on it, and the editor follows only it.
    auto* instrument = new QGroupBox(QStringLiteral("Instrument"));
    instrument->setObjectName(QStringLiteral("grpInstrument"));
    spnMidiChannel = new QSpinBox;
    spnMidiChannel->setObjectName(QStringLiteral("spnMidiChannel"));
    spnMidiChannel->setRange(1, 16);
    auto* channelLabel = new QLabel(QStringLiteral("MIDI channel"));
    channelLabel->setBuddy(spnMidiChannel);
    auto* instrumentLayout = new QHBoxLayout(instrument);
    instrumentLayout->addWidget(channelLabel);
    instrumentLayout->addWidget(spnMidiChannel);
    instrumentLayout->addStretch(1);

    auto* content = new QWidget;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addWidget(GroupBox1);
    contentLayout->addWidget(instrument);
    Button1 = LayOutWithOkButton(*this, *content);

    edtAutoload->setText(values.AutoloadFile);
    CheckBox1->setChecked(!values.AutoloadFile.isEmpty());
    CheckBox2->setChecked(values.SendToEditBuffer == QLatin1String("1"));
    chbVerifyAfterSend->setChecked(values.VerifyAfterSend);
    spnMidiChannel->setValue(values.MidiChannel);
}

AutoloadValues TfrmAutoloadSettings::Values() const {
    return {CheckBox1->isChecked() ? edtAutoload->text() : QString(),
            CheckBox2->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
            chbVerifyAfterSend->isChecked(), spnMidiChannel->value()};
}

void TfrmAutoloadSettings::Button2Click() {
    const QString path = files_.OpenFileName();
    if (path.isEmpty())
        return;
    edtAutoload->setText(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    CheckBox1->setChecked(true);
}

bool EditAutoloadSettings(QWidget* owner, FileChooser& files, AutoloadValues& values) {
    TfrmAutoloadSettings dialog(files, values, owner);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    values = dialog.Values();
    return true;
}
