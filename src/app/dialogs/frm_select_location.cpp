#include "frm_select_location.h"

#include "frm_patch_edit_simple.h"
#include "sound_library.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int ClientWidth = 303;
constexpr int ClientHeight = 101;
} // namespace

TfrmSelectLocation::TfrmSelectLocation(const TSoundLibrary& library, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmSelectLocation"));
    setWindowTitle(QStringLiteral("Select Location"));
    setFixedSize(ClientWidth, ClientHeight);

    Label1 = new QLabel(QStringLiteral("Program"));
    Label1->setObjectName(QStringLiteral("Label1"));
    cmbProgram = new QComboBox;
    cmbProgram->setObjectName(QStringLiteral("cmbProgram"));
    cmbProgram->setMaxVisibleItems(16);
    QStringList entries;
    entries.reserve(Slots::Count);
    for (int slot = 0; slot < Slots::Count; ++slot)
        entries << EntryText(slot, library);
    cmbProgram->addItems(entries);
    cmbProgram->setCurrentIndex(0);
    Label1->setBuddy(cmbProgram);

    Button1 = new QPushButton(QStringLiteral("Ok"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    Button2 = new QPushButton(QStringLiteral("Cancel"));
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(cmbProgram);
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);
}

QString TfrmSelectLocation::EntryText(int slot, const TSoundLibrary& library) {
    return QStringLiteral("bank: %1 Prg:%2 ")
               .arg(Slots::BankOf(slot) + 1)
               .arg(Slots::ProgramOf(slot) + 1) +
           QString::fromStdU16String(NameToUtf16(library.GetSoundName(slot)));
}

int TfrmSelectLocation::SelectedSlot() const {
    return cmbProgram->currentIndex();
}

std::optional<int> ChooseLocation(QWidget* owner, const TSoundLibrary& library, int preset) {
    TfrmSelectLocation dialog(library, owner);
    if (Slots::IsValid(preset))
        dialog.cmbProgram->setCurrentIndex(preset);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.SelectedSlot();
}
