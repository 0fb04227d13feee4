#include "frm_create_schema_parameters.h"

#include "schema.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

constexpr int BarWidth = 260;

struct BarRow {
    const char* bar;
    const char* valueLabel;
    const char* caption;
    int maximum;
};

// In the order they stand in the dialog.
constexpr BarRow BarRows[] = {
    {"trbOctaveKnobTolerance", "lblOctaveKnobTolerance", "Octave knobs tolerance", MaxTolerance},
    {"trbDetuneTolerance", "lblDetuneTolerance", "Detune tolerance", MaxTolerance},
    {"trbComboBoxTolerance", "lblComboBoxTolerance", "List(Combobox) tolerance", MaxTolerance},
    {"trbOtherKnobTolerance", "lblOtherKnobTolerance", "Other knobs tolerance", MaxTolerance},
    {"trbArpTolerance", "lblArpTolerance", "Arp tolerance in semitones", MaxArpTolerance},
};

} // namespace

TfrmCreateSchemaParameters::TfrmCreateSchemaParameters(const SchemaTolerances& tolerances,
                                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmCreateSchemaParameters"));
    setWindowTitle(QStringLiteral("Create Schema Parameters"));

    auto* grid = new QGridLayout;
    // Wide enough for the largest position, so the bars do not move.
    const int valueWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000"));
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        const BarRow& row = BarRows[i];
        auto* caption = new QLabel(QString::fromLatin1(row.caption));
        caption->setObjectName(QString::fromLatin1(row.valueLabel) + QStringLiteral("Caption"));
        auto* bar = new QSlider(Qt::Horizontal);
        bar->setObjectName(QString::fromLatin1(row.bar));
        bar->setRange(0, row.maximum);
        bar->setSingleStep(1);
        bar->setPageStep(row.maximum / 8);
        bar->setTickPosition(QSlider::TicksBelow);
        bar->setTickInterval(1);
        bar->setMinimumWidth(BarWidth);
        bar->setAccessibleName(caption->text());
        caption->setBuddy(bar);
        auto* value = new QLabel;
        value->setObjectName(QString::fromLatin1(row.valueLabel));
        value->setFixedWidth(valueWidth);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(caption, static_cast<int>(i), 0);
        grid->addWidget(bar, static_cast<int>(i), 1);
        grid->addWidget(value, static_cast<int>(i), 2);
        bars_[i] = bar;
        values_[i] = value;
        connect(bar, &QSlider::valueChanged, this, &TfrmCreateSchemaParameters::ShowPositions);
    }
    trbOctaveKnobTolerance = bars_[0];
    trbDetuneTolerance = bars_[1];
    trbComboBoxTolerance = bars_[2];
    trbOtherKnobTolerance = bars_[3];
    trbArpTolerance = bars_[4];
    lblOctaveKnobTolerance = values_[0];
    lblDetuneTolerance = values_[1];
    lblComboBoxTolerance = values_[2];
    lblOtherKnobTolerance = values_[3];
    lblArpTolerance = values_[4];

    auto* scaleCaption = new QLabel(QStringLiteral("Scale"));
    scaleCaption->setObjectName(QStringLiteral("lblScale"));
    cmbScale = new QComboBox;
    cmbScale->setObjectName(QStringLiteral("cmbScale"));
    for (const Scale& scale : ScaleTable)
        cmbScale->addItem(QString::fromStdString(ScaleChoiceText(scale)));
    cmbScale->setAccessibleName(scaleCaption->text());
    scaleCaption->setBuddy(cmbScale);
    const int scaleRow = static_cast<int>(bars_.size());
    grid->addWidget(scaleCaption, scaleRow, 0);
    grid->addWidget(cmbScale, scaleRow, 1, 1, 2);

    lblNote = new QLabel(QStringLiteral("lower value make more similar sounds (small sound family) "
                                        "the higher more different sounds (large sound family)"));
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);

    btnCreate = new QPushButton(QStringLiteral("Create"));
    btnCreate->setObjectName(QStringLiteral("btnCreate"));
    btnCreate->setDefault(true);
    connect(btnCreate, &QPushButton::clicked, this, &QDialog::accept);
    btnCancel = new QPushButton(QStringLiteral("Cancel"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnCreate);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(lblNote);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Bars clamp what the settings file may hold beyond their range.
    trbOctaveKnobTolerance->setValue(tolerances.ToleranceOctave);
    trbDetuneTolerance->setValue(tolerances.ToleranceDetuneKnobs);
    trbComboBoxTolerance->setValue(tolerances.ToleranceComboBox);
    trbOtherKnobTolerance->setValue(tolerances.ToleranceOtherKnobs);
    trbArpTolerance->setValue(tolerances.ArpTolerance);
    const bool chosen = tolerances.SchemaScale >= 1 && tolerances.SchemaScale <= ScaleCount;
    cmbScale->setCurrentIndex(chosen ? tolerances.SchemaScale - 1 : 0);
    ShowPositions();
    trbOctaveKnobTolerance->setFocus();
}

void TfrmCreateSchemaParameters::ShowPositions() {
    for (std::size_t i = 0; i < bars_.size(); ++i)
        values_[i]->setText(QString::number(bars_[i]->value()));
}

SchemaTolerances TfrmCreateSchemaParameters::Tolerances() const {
    SchemaTolerances tolerances;
    tolerances.ToleranceOctave = trbOctaveKnobTolerance->value();
    tolerances.ToleranceDetuneKnobs = trbDetuneTolerance->value();
    tolerances.ToleranceComboBox = trbComboBoxTolerance->value();
    tolerances.ToleranceOtherKnobs = trbOtherKnobTolerance->value();
    tolerances.ArpTolerance = trbArpTolerance->value();
    tolerances.SchemaScale = cmbScale->currentIndex() + 1;
    return tolerances;
}

bool TfrmCreateSchemaParameters::Edit(QWidget* parent, SchemaTolerances& tolerances) {
    TfrmCreateSchemaParameters dialog(tolerances, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    tolerances = dialog.Tolerances();
    return true;
}
