#include "frm_morph.h"

#include "random_generator.h"
#include "short_messages.h"
#include "sound_library.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace {
// "A001 " and the name as the library shows it.
QString SlotRowText(const TSoundLibrary& library, int slot) {
    return QString::fromStdString(Slots::Caption(slot) + " " +
                                  NameToUtf8(library.GetSoundName(slot)));
}

QComboBox* MakeSoundList(const char* name, const TSoundLibrary& library) {
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(name));
    list->setMaxVisibleItems(24);
    for (int slot = 0; slot < Slots::Count; ++slot)
        list->addItem(SlotRowText(library, slot));
    list->setCurrentIndex(-1);
    return list;
}
} // namespace

TfrmMorph::TfrmMorph(const TSoundLibrary& library, MidiOutput& out, QWidget* parent,
                     MorphPacer::Clock clock)
    : QDialog(parent), library_(library), out_(out) {
    // Named for the note player, which plays while this window is in front.
    setObjectName(QStringLiteral("TfrmMorph"));
    setWindowTitle(QStringLiteral("Quasi Morph"));

    cmbSound1 = MakeSoundList("cmbSound1", library);
    cmbSound2 = MakeSoundList("cmbSound2", library);
    auto* lblSound1 = new QLabel(QStringLiteral("Sound 1"));
    auto* lblSound2 = new QLabel(QStringLiteral("Sound 2"));
    lblSound1->setBuddy(cmbSound1);
    lblSound2->setBuddy(cmbSound2);

    trbMorph = new QSlider(Qt::Horizontal);
    trbMorph->setObjectName(QStringLiteral("trbMorph"));
    trbMorph->setAccessibleName(QStringLiteral("Morph"));
    trbMorph->setRange(0, MorphPositionMax);
    trbMorph->setTickPosition(QSlider::TicksBelow);
    trbMorph->setTickInterval(1);
    trbMorph->setSingleStep(1);
    trbMorph->setPageStep(10);
    trbMorph->setEnabled(false);

    lbkPercent = new QLabel(QStringLiteral("0 %"));
    lbkPercent->setObjectName(QStringLiteral("lbkPercent"));
    QFont large = lbkPercent->font();
    if (large.pointSizeF() > 0)
        large.setPointSizeF(large.pointSizeF() * 2.5);
    else
        large.setPixelSize(large.pixelSize() * 5 / 2);
    large.setBold(true);
    lbkPercent->setFont(large);
    lbkPercent->setAlignment(Qt::AlignCenter);
    // Wide enough for "100 %", so the layout does not move while the bar does.
    lbkPercent->setMinimumWidth(QFontMetrics(large).horizontalAdvance(QStringLiteral("100 %")) + 8);

    chbDetune = new QCheckBox(QStringLiteral("Morph frequency, fine"));
    chbDetune->setObjectName(QStringLiteral("chbDetune"));
    btnRandomizeSounds = new QPushButton(QStringLiteral("Randomize Sound1 && Sound2"));
    btnRandomizeSounds->setObjectName(QStringLiteral("btnRandomizeSounds"));
    btnRandomizeSounds->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(6);
    grid->addWidget(lblSound1, 0, 0);
    grid->addWidget(lblSound2, 0, 1);
    grid->addWidget(cmbSound1, 1, 0);
    grid->addWidget(cmbSound2, 1, 1);
    grid->addWidget(trbMorph, 2, 0, 1, 2);
    grid->addWidget(lbkPercent, 3, 0, 1, 2);
    grid->addWidget(chbDetune, 4, 0);
    grid->addWidget(btnRandomizeSounds, 4, 1, Qt::AlignRight);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(0, 220);
    grid->setColumnMinimumWidth(1, 220);

    connect(cmbSound1, &QComboBox::currentIndexChanged, this, [this] { cmbSound1Change(); });
    connect(cmbSound2, &QComboBox::currentIndexChanged, this, [this] { cmbSound1Change(); });
    connect(trbMorph, &QSlider::valueChanged, this, &TfrmMorph::trbMorphChange);
    connect(chbDetune, &QCheckBox::clicked, this, [this] { chbDetuneClick(); });
    connect(btnRandomizeSounds, &QPushButton::clicked, this, [this] { btnRandomizeSoundsClick(); });

    sender_ = new PacedSender([this](int position) { return SendStep(position); }, std::move(clock),
                              this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(RandomPairDelay);
    connect(Timer1, &QTimer::timeout, this, &TfrmMorph::Timer1Timer);
    Timer1->start();
}

bool TfrmMorph::PairChosen() const {
    return cmbSound1->currentIndex() >= 0 && cmbSound2->currentIndex() >= 0;
}

void TfrmMorph::cmbSound1Change() {
    trbMorph->setEnabled(PairChosen());
    morph_.ForgetSent();
}

void TfrmMorph::chbDetuneClick() {
    morph_.ForgetSent();
}

void TfrmMorph::trbMorphChange(int position) {
    lbkPercent->setText(QString::number(position) + QStringLiteral(" %"));
    sender_->Offer(position);
}

std::size_t TfrmMorph::SendStep(int position) {
    if (!PairChosen())
        return 0;
    const TSoundRecord& sound1 = library_.Sound(cmbSound1->currentIndex());
    const TSoundRecord& sound2 = library_.Sound(cmbSound2->currentIndex());
    const auto messages = morph_.Step(sound1, sound2, position, chbDetune->isChecked());
    MidiError error = MidiError::None;
    for (const MorphMessage& message : messages)
        if (error == MidiError::None)
            error = SendNrpn(out_, channel_, static_cast<unsigned>(message.number),
                             static_cast<unsigned>(message.value));
    if (error != MidiError::None && !failing_ && failureLog_)
        failureLog_(QStringLiteral("A morph step did not reach the instrument: %1.")
                        .arg(QString::fromStdString(Text(error))));
    failing_ = error != MidiError::None;
    return messages.size() * MorphMessageBytes;
}

void TfrmMorph::btnRandomizeSoundsClick() {
    RandomGenerator& generator = SharedGenerator();
    cmbSound1->setCurrentIndex(static_cast<int>(generator.Random(Slots::Count)));
    cmbSound2->setCurrentIndex(static_cast<int>(generator.Random(Slots::Count)));
    morph_.ForgetSent();
    trbMorph->setEnabled(true);
    // Sound 2 first, then sound 1: each change is a step; an unchanged position none.
    trbMorph->setValue(MorphPositionMax);
    trbMorph->setValue(0);
    trbMorph->setFocus();
}

void TfrmMorph::Timer1Timer() {
    Timer1->stop();
    btnRandomizeSoundsClick();
}

void TfrmMorph::done(int result) {
    Timer1->stop();
    sender_->Flush();
    QDialog::done(result);
}
