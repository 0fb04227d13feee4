#include "frm_copy_sounds.h"

#include "copy_run.h"
#include "sound_library.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace {
constexpr int ProgramListWidth = 22; // characters: "128 " and a 16-character name
constexpr int CountBoxWidth = 5;     // characters

QLabel* MakeLabel(const char* objectName, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(objectName));
    return label;
}

QComboBox* MakeList(const char* objectName) {
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(objectName));
    return list;
}

QComboBox* MakeBankList(const char* objectName) {
    QComboBox* list = MakeList(objectName);
    for (int bank = 0; bank < Slots::BankCount; ++bank)
        list->addItem(QString(QLatin1Char(Slots::BankLetter(bank))));
    list->setCurrentIndex(0);
    return list;
}
} // namespace

TfrmCopySounds::TfrmCopySounds(CopySoundsContext context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), context_(std::move(context)) {
    setObjectName(QStringLiteral("TfrmCopySounds"));
    setWindowTitle(QStringLiteral("Copy Sounds"));

    lblSourceBank = MakeLabel("lblSourceBank", QStringLiteral("Source Bank"));
    cmbBanks = MakeBankList("cmbBanks");
    lblSourceProgram = MakeLabel("lblSourceProgram", QStringLiteral("Source Program"));
    cmbPrograms = MakeList("cmbPrograms");
    lblDestBank = MakeLabel("lblDestBank", QStringLiteral("Dest Bank"));
    cmbBanks2 = MakeBankList("cmbBanks2");
    lblDestinationProgram =
        MakeLabel("lblDestinationProgram", QStringLiteral("Destination Program"));
    cmbPrograms2 = MakeList("cmbPrograms2");
    for (QComboBox* programs : {cmbPrograms, cmbPrograms2}) {
        programs->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        programs->setMinimumContentsLength(ProgramListWidth);
        programs->setMaxVisibleItems(16);
    }
    lblCount = MakeLabel("lblCount", QStringLiteral("fill the next ? locations"));
    edtCount = new QLineEdit(QStringLiteral("1"));
    edtCount->setObjectName(QStringLiteral("edtCount"));
    edtCount->setFixedWidth(
        edtCount->fontMetrics().horizontalAdvance(QLatin1Char('0')) * CountBoxWidth + 12);
    edtCount->installEventFilter(this);
    btnRandomSound = new QPushButton(QStringLiteral("Copy Sound"));
    btnRandomSound->setObjectName(QStringLiteral("btnRandomSound"));
    btnRandomSound->setDefault(true);
    lblSourceBank->setBuddy(cmbBanks);
    lblSourceProgram->setBuddy(cmbPrograms);
    lblDestBank->setBuddy(cmbBanks2);
    lblDestinationProgram->setBuddy(cmbPrograms2);
    lblCount->setBuddy(edtCount);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(12);
    grid->addWidget(lblSourceBank, 0, 0);
    grid->addWidget(lblSourceProgram, 0, 1);
    grid->addWidget(cmbBanks, 1, 0);
    grid->addWidget(cmbPrograms, 1, 1);
    grid->setRowMinimumHeight(2, 6);
    grid->addWidget(lblDestBank, 3, 0);
    grid->addWidget(lblDestinationProgram, 3, 1);
    grid->addWidget(cmbBanks2, 4, 0);
    grid->addWidget(cmbPrograms2, 4, 1);
    grid->setRowMinimumHeight(5, 6);
    auto* count = new QHBoxLayout;
    count->setSpacing(6);
    count->addWidget(lblCount);
    count->addWidget(edtCount);
    count->addStretch();
    count->addWidget(btnRandomSound);
    grid->addLayout(count, 6, 0, 1, 2);
    setFixedSize(sizeHint());
    setTabOrder(cmbBanks, cmbPrograms);
    setTabOrder(cmbPrograms, cmbBanks2);
    setTabOrder(cmbBanks2, cmbPrograms2);
    setTabOrder(cmbPrograms2, edtCount);
    setTabOrder(edtCount, btnRandomSound);

    // The changes a rebuild makes are not the user's: signals are blocked
    // while the lists are filled, and "no row" (-1) changes nothing.
    connect(cmbBanks, &QComboBox::currentIndexChanged, this, &TfrmCopySounds::cmbBanksChange);
    connect(cmbPrograms, &QComboBox::currentIndexChanged, this, &TfrmCopySounds::cmbProgramsChange);
    connect(cmbBanks2, &QComboBox::currentIndexChanged, this, &TfrmCopySounds::cmbBanks2Change);
    connect(cmbPrograms2, &QComboBox::currentIndexChanged, this,
            &TfrmCopySounds::cmbPrograms2Change);
    // Corrected once the count is used or the box left: while typing, a
    // digit may still be removed or added.
    connect(edtCount, &QLineEdit::editingFinished, this, &TfrmCopySounds::edtCountExit);
    connect(btnRandomSound, &QPushButton::clicked, this, &TfrmCopySounds::btnRandomSoundClick);
    FormActivate(); // the lists are full from the start, before any activation
}

bool TfrmCopySounds::event(QEvent* event) {
    // The library may have changed while another window was in front.
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(event);
}

bool TfrmCopySounds::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtCount && event->type() == QEvent::KeyPress &&
        edtCountKeyPress(static_cast<const QKeyEvent&>(*event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TfrmCopySounds::FillPrograms(QComboBox& list, int bank, int program) {
    const QSignalBlocker quiet(&list);
    QStringList rows;
    rows.reserve(Slots::ProgramsPerBank);
    for (int n = 0; n < Slots::ProgramsPerBank; ++n)
        rows << QString::number(n + 1) + QLatin1Char(' ') +
                    QString::fromStdU16String(
                        NameToUtf16(context_.library.GetSoundName(Slots::Of(bank, n))));
    list.clear();
    list.addItems(rows);
    list.setCurrentIndex(program);
}

void TfrmCopySounds::FormActivate() {
    FillPrograms(*cmbPrograms, sourceBank_, sourceProgram_);
    FillPrograms(*cmbPrograms2, destinationBank_, destinationProgram_);
}

void TfrmCopySounds::cmbBanksChange(int row) {
    if (row < 0)
        return;
    if (row != sourceBank_)
        FillPrograms(*cmbPrograms, row, sourceProgram_);
    sourceBank_ = row;
}

void TfrmCopySounds::cmbProgramsChange(int row) {
    if (row >= 0)
        sourceProgram_ = row;
}

void TfrmCopySounds::cmbBanks2Change(int row) {
    if (row < 0)
        return;
    if (row != destinationBank_)
        FillPrograms(*cmbPrograms2, row, destinationProgram_);
    destinationBank_ = row;
}

void TfrmCopySounds::cmbPrograms2Change(int row) {
    if (row >= 0)
        destinationProgram_ = row;
}

bool TfrmCopySounds::edtCountKeyPress(const QKeyEvent& key) {
    // Keys that type nothing (arrows, Delete, Home) move and edit as usual;
    // of the typing keys only digits, Backspace and Tab pass. Pasting by key
    // is a typing key too.
    if (key.matches(QKeySequence::Paste))
        return true;
    const QString text = key.text();
    if (text.isEmpty())
        return false;
    const QChar typed = text.front();
    return !(text.size() == 1 && ((typed >= QLatin1Char('0') && typed <= QLatin1Char('9')) ||
                                  typed == QLatin1Char('\b') || typed == QLatin1Char('\t')));
}

void TfrmCopySounds::edtCountExit() {
    const QString text = edtCount->text();
    const QString corrected = QString::fromStdString(CorrectedCountText(text.toStdString()));
    if (corrected != text)
        edtCount->setText(corrected);
}

void TfrmCopySounds::btnRandomSoundClick() {
    edtCountExit(); // the count used is the count shown
    const int source = Slots::Of(sourceBank_, sourceProgram_);
    const int destination = Slots::Of(destinationBank_, destinationProgram_);
    const CopyRun run = PlanCopyRun(destination, CountFromText(edtCount->text().toStdString()));
    TSoundLibrary& library = context_.library;
    // The same source every time: a run that starts at the source rewrites
    // it with itself first, and the copies after it are all of it.
    const TSoundRecord sound = library.Sound(source);
    for (int slot = run.first; slot < run.first + run.made; ++slot)
        library.StoreSound(slot, sound, true);
    if (run.notMade > 0 && context_.log)
        context_.log(QStringLiteral("Copy Sound: %1 not made, the library ends at %2.")
                         .arg(run.notMade == 1 ? QStringLiteral("1 copy")
                                               : QStringLiteral("%1 copies").arg(run.notMade))
                         .arg(QString::fromStdString(Slots::Caption(Slots::Count - 1))));
    accept();
}
