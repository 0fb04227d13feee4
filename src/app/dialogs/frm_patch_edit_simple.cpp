#include "frm_patch_edit_simple.h"

#include "dialog_layout.h"
#include "sound_library.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr char16_t FirstShown = 32;
constexpr char16_t LastShown = 126;

bool InstrumentShows(char16_t code) {
    return code >= FirstShown && code <= LastShown;
}
} // namespace

QValidator::State SoundNameValidator::validate(QString& input, int&) const {
    for (QChar character : input)
        if (!InstrumentShows(character.unicode()))
            return Invalid;
    return Acceptable;
}

TfrmPatchEditSimple::TfrmPatchEditSimple(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPatchEditSimple"));
    setWindowTitle(QStringLiteral("Sound Name Edit"));

    GroupBox1 = new QGroupBox;
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label1 = new QLabel(QStringLiteral("Name"));
    Label1->setObjectName(QStringLiteral("Label1"));
    edtName = new QLineEdit;
    edtName->setObjectName(QStringLiteral("edtName"));
    edtName->setMaxLength(MaxNameLength);
    edtName->setValidator(new SoundNameValidator(edtName));
    edtName->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) * 12);
    Label1->setBuddy(edtName);
    auto* group = new QHBoxLayout(GroupBox1);
    group->addWidget(Label1);
    group->addWidget(edtName, 1);

    Button1 = LayOutWithOkButton(*this, *GroupBox1, &Button2);
}

namespace {
std::string_view WithoutPadding(std::string_view nameBytes) {
    while (!nameBytes.empty() && nameBytes.back() == ' ')
        nameBytes.remove_suffix(1);
    return nameBytes;
}
} // namespace

void TfrmPatchEditSimple::SetNameBytes(std::string_view nameBytes) {
    givenBytes_ = WithoutPadding(nameBytes).substr(0, MaxNameLength);
    QString shown;
    for (char byte : givenBytes_)
        shown += InstrumentShows(static_cast<std::uint8_t>(byte))
                     ? QChar(static_cast<char16_t>(byte))
                     : QChar(u'?');
    edtName->setText(shown);
    shownText_ = edtName->text();
    edtName->selectAll();
}

std::string TfrmPatchEditSimple::NameBytes() const {
    // A name opened and left alone keeps its bytes, also those shown as '?'.
    if (edtName->text() == shownText_)
        return givenBytes_;
    return Utf16ToName(edtName->text().toStdU16String());
}

bool RenameSlot(QWidget* owner, TSoundLibrary& library, int slot) {
    const std::string name = library.GetSoundName(slot);
    TfrmPatchEditSimple dialog(owner);
    dialog.setWindowTitle(QString::fromStdU16String(NameToUtf16(WithoutPadding(name))));
    dialog.SetNameBytes(name);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    library.SetSoundName(slot, dialog.NameBytes());
    library.MarkChanged(slot, true);
    return true;
}
