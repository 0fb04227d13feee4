#include "frm_compare_sounds.h"

#include "sound_compare.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString Heading(int slot, const TSoundRecord& sound) {
    std::string name = GetSoundName(sound);
    name.erase(name.find_last_not_of(' ') + 1);
    return QString::fromStdString(Slots::Caption(slot) + " " + NameToUtf8(name));
}

QTableWidgetItem* Cell(const std::string& text, bool differs) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    if (differs) {
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
    }
    return item;
}

} // namespace

TfrmCompareSounds::TfrmCompareSounds(int firstSlot, const TSoundRecord& first, int secondSlot,
                                     const TSoundRecord& second, QWidget* parent)
    : QDialog(parent), first_(first), second_(second) {
    setObjectName(QStringLiteral("frmCompareSounds"));
    setWindowTitle(QStringLiteral("Compare Sounds"));

    lblSummary = new QLabel;
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    chbOnlyDifferences = new QCheckBox(QStringLiteral("Only differences"));
    chbOnlyDifferences->setObjectName(QStringLiteral("chbOnlyDifferences"));
    chbOnlyDifferences->setChecked(true);
    grdParameters = new QTableWidget(0, 3);
    grdParameters->setObjectName(QStringLiteral("grdParameters"));
    grdParameters->setAccessibleName(QStringLiteral("Parameters"));
    grdParameters->setHorizontalHeaderLabels(
        {QStringLiteral("Parameter"), Heading(firstSlot, first), Heading(secondSlot, second)});
    grdParameters->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdParameters->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdParameters->verticalHeader()->hide();
    grdParameters->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Button1 = new QPushButton(QStringLiteral("&Close"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(chbOnlyDifferences);
    layout->addWidget(grdParameters, 1);
    layout->addWidget(Button1, 0, Qt::AlignRight);
    resize(640, 480);

    connect(chbOnlyDifferences, &QCheckBox::toggled, this, [this] { FillRows(); });
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    FillRows();
}

void TfrmCompareSounds::FillRows() {
    const auto rows = CompareSounds(first_, second_, chbOnlyDifferences->isChecked());
    const int differing = DifferenceCount(first_, second_);
    lblSummary->setText(differing == 0   ? QStringLiteral("The sounds are equal.")
                        : differing == 1 ? QStringLiteral("1 parameter differs.")
                                         : QStringLiteral("%1 parameters differ.").arg(differing));
    grdParameters->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const ParameterComparison& compared = rows[static_cast<std::size_t>(row)];
        // Bold marks the differences when every parameter is listed.
        const bool mark = compared.differs && !chbOnlyDifferences->isChecked();
        grdParameters->setItem(row, 0, Cell(compared.name, mark));
        grdParameters->setItem(row, 1, Cell(compared.first, mark));
        grdParameters->setItem(row, 2, Cell(compared.second, mark));
    }
}
