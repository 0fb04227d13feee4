#include "frm_locker.h"

#include "file_chooser.h"
#include "program_file_io.h"
#include "prompter.h"
#include "random_generator.h"
#include "sound_library.h"
#include "sysex_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>

namespace {
QPushButton* MakeButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// "17 " and the 16 name bytes exactly as stored, control characters included.
QString ProgramRowText(const TSoundRecord& record, int program) {
    const std::string_view name(
        reinterpret_cast<const char*>(&record.Bytes[SoundLayout::NameOffset]),
        SoundLayout::NameLength);
    return QString::number(program) + QLatin1Char(' ') +
           QString::fromStdU16String(NameToUtf16(name));
}
} // namespace

TfrmLocker::TfrmLocker(LockerContext context, const TSoundRecord& working, QWidget* parent)
    : QDialog(parent), context_(context), working_(working) {
    // Named for the note player, which plays while this window is in front.
    setObjectName(QStringLiteral("TfrmLocker"));
    setWindowTitle(QStringLiteral("Parameter Locker - Randomizer"));

    // The lock boxes in two columns, in their order down each column.
    auto* locks = new QGroupBox(QStringLiteral("Keep these sections"));
    locks->setObjectName(QStringLiteral("grpLocks"));
    auto* lockGrid = new QGridLayout(locks);
    lockGrid->setVerticalSpacing(4);
    lockGrid->setHorizontalSpacing(16);
    constexpr int rows = (LockGroupCount + 1) / 2;
    for (int g = 0; g < LockGroupCount; ++g) {
        const LockGroup& group = LockGroups[static_cast<std::size_t>(g)];
        auto* box = new QCheckBox(
            QString::fromUtf8(group.caption.data(), static_cast<qsizetype>(group.caption.size())));
        box->setObjectName(
            QString::fromUtf8(group.member.data(), static_cast<qsizetype>(group.member.size())));
        lockBoxes_[static_cast<std::size_t>(g)] = box;
        lockGrid->addWidget(box, g % rows, g / rows);
        if (LockedGroups* shared = context_.sharedLocks) {
            box->setChecked((*shared)[static_cast<std::size_t>(g)]);
            connect(box, &QCheckBox::toggled, this,
                    [shared, g](bool on) { (*shared)[static_cast<std::size_t>(g)] = on; });
        }
    }

    cmbBanks = new QComboBox;
    cmbBanks->setObjectName(QStringLiteral("cmbBanks"));
    cmbBanks->addItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    cmbPrograms = new QComboBox;
    cmbPrograms->setObjectName(QStringLiteral("cmbPrograms"));
    cmbPrograms->setMaxVisibleItems(24);
    cmbPrograms->setMinimumContentsLength(22);
    auto* lblBank = new QLabel(QStringLiteral("Bank"));
    auto* lblProgram = new QLabel(QStringLiteral("Program"));
    lblBank->setBuddy(cmbBanks);
    lblProgram->setBuddy(cmbPrograms);

    btnPrevSound = MakeButton("btnPrevSound", QStringLiteral("Prev Sound"));
    btnNextSound = MakeButton("btnNextSound", QStringLiteral("Next Sound"));
    btnRandomSound = MakeButton("btnRandomSound", QStringLiteral("Random Sound"));
    btnSave = MakeButton("btnSave", QStringLiteral("Save Sound to file"));
    btnKeep = MakeButton("btnKeep", QStringLiteral("Keep in library"));
    btnKeep->setToolTip(
        QStringLiteral("Close and keep this sound in the library row that is current"));

    auto* choice = new QGridLayout;
    choice->setHorizontalSpacing(8);
    choice->addWidget(lblBank, 0, 0);
    choice->addWidget(cmbBanks, 0, 1);
    choice->addWidget(lblProgram, 1, 0);
    choice->addWidget(cmbPrograms, 1, 1);
    auto* steps = new QHBoxLayout;
    steps->addWidget(btnPrevSound);
    steps->addWidget(btnNextSound);

    auto* side = new QVBoxLayout;
    side->addLayout(choice);
    side->addLayout(steps);
    side->addWidget(btnRandomSound);
    side->addStretch(1);
    side->addWidget(btnSave);
    side->addWidget(btnKeep);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(16);
    layout->addWidget(locks);
    layout->addLayout(side);

    cmbBanks->setCurrentIndex(choice_.bank - 1);
    BuildProgramList(choice_.bank);
    // `activated` comes from the user only; a rebuild of the rows sends none.
    connect(cmbBanks, &QComboBox::activated, this, &TfrmLocker::cmbBanksChange);
    connect(cmbPrograms, &QComboBox::activated, this, &TfrmLocker::cmbProgramsChange);
    connect(btnPrevSound, &QPushButton::clicked, this, [this] { btnPrevSoundClick(); });
    connect(btnNextSound, &QPushButton::clicked, this, [this] { btnNextSoundClick(); });
    connect(btnRandomSound, &QPushButton::clicked, this, [this] { btnRandomSoundClick(); });
    connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
    connect(btnKeep, &QPushButton::clicked, this, &QDialog::accept);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(ApplyInterval);
    connect(Timer1, &QTimer::timeout, this, &TfrmLocker::Timer1Timer);
    Timer1->start();
}

LockedGroups TfrmLocker::Locked() const {
    LockedGroups locked{};
    for (int g = 0; g < LockGroupCount; ++g)
        locked[static_cast<std::size_t>(g)] = lockBoxes_[static_cast<std::size_t>(g)]->isChecked();
    return locked;
}

bool TfrmLocker::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(event);
}

void TfrmLocker::FormActivate() {
    BuildProgramList(choice_.bank);
}

void TfrmLocker::BuildProgramList(int bank) {
    QStringList rows;
    for (int program = 1; program <= Slots::ProgramsPerBank; ++program) {
        const int slot = Slots::Of(bank - 1, program - 1);
        rows << ProgramRowText(context_.library.Sound(slot), program);
    }
    const QSignalBlocker quiet(cmbPrograms);
    // Rows that read the same stay, so an activation does not disturb an open list.
    bool same = cmbPrograms->count() == rows.size();
    for (int row = 0; same && row < rows.size(); ++row)
        same = cmbPrograms->itemText(row) == rows[row];
    if (!same) {
        cmbPrograms->clear();
        cmbPrograms->addItems(rows);
    }
    cmbPrograms->setCurrentIndex(choice_.program - 1);
}

void TfrmLocker::Choose(LockerChoice choice) {
    const bool bankChanged = choice.bank != choice_.bank;
    choice_ = choice;
    {
        const QSignalBlocker quiet(cmbBanks);
        cmbBanks->setCurrentIndex(choice_.bank - 1);
    }
    if (bankChanged)
        BuildProgramList(choice_.bank);
    else {
        const QSignalBlocker quiet(cmbPrograms);
        cmbPrograms->setCurrentIndex(choice_.program - 1);
    }
    applyPending_ = true;
}

void TfrmLocker::cmbBanksChange(int row) {
    if (row < 0 || row >= Slots::BankCount)
        return;
    // The program stays: program 17 of bank A becomes program 17 of bank B.
    Choose({row + 1, choice_.program});
}

void TfrmLocker::cmbProgramsChange(int row) {
    if (row < 0 || row >= Slots::ProgramsPerBank)
        return;
    Choose({choice_.bank, row + 1});
}

void TfrmLocker::btnPrevSoundClick() {
    Choose(PreviousSound(choice_));
}

void TfrmLocker::btnNextSoundClick() {
    Choose(NextSound(choice_));
}

void TfrmLocker::btnRandomSoundClick() {
    Choose(RandomSound(SharedGenerator()));
}

void TfrmLocker::Timer1Timer() {
    if (!applyPending_)
        return;
    applyPending_ = false;
    try {
        Apply();
    } catch (const std::exception& failure) {
        context_.prompter.ShowMessage(QString::fromLocal8Bit(failure.what()));
    }
}

void TfrmLocker::Apply() {
    const TSoundRecord& donor = context_.library.Sound(choice_.Slot());
    working_ = MergeUnlocked(working_, donor, Locked());
    if (const MidiError error = SendEditBufferDump(context_.out, working_);
        error != MidiError::None)
        context_.prompter.ShowMessage(
            QStringLiteral("The sound did not reach the instrument's edit buffer: %1.")
                .arg(QString::fromStdString(Text(error))));
}

void TfrmLocker::btnSaveClick() {
    try {
        const QString path = context_.files.SaveFileName();
        if (path.isEmpty())
            return;
        // Saved as program A001, so loading the file puts the sound there.
        working_[SoundLayout::BankByte] = 0;
        working_[SoundLayout::ProgramByte] = 0;
        if (QFileInfo::exists(path) &&
            context_.prompter.Confirm(QStringLiteral("Do you want to replace it?"),
                                      Prompter::Buttons::YesNoCancel) != Prompter::Answer::Yes)
            return;
        const auto message = ProgramDumpMessage(working_, 0, 0);
        const QByteArray bytes(reinterpret_cast<const char*>(message.data()),
                               static_cast<qsizetype>(message.size()));
        if (const QString error = WriteWholeFile(path, bytes); !error.isEmpty())
            context_.prompter.ShowMessage(error);
    } catch (const std::exception& failure) {
        context_.prompter.ShowMessage(QString::fromLocal8Bit(failure.what()));
    }
}
