#pragma once

#include <QDialog>

#include <array>

struct SchemaTolerances;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

// "Create Schema Parameters": the tolerances a sound family schema is
// derived with. Five bars, each with its caption and a label showing its
// position, the scale for the sequencer steps, and "Create" or "Cancel".
class TfrmCreateSchemaParameters : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCreateSchemaParameters(const SchemaTolerances& tolerances,
                                        QWidget* parent = nullptr);

    // Runs the dialog on `tolerances`; on "Create" writes the bars' positions
    // and the chosen scale back and returns true, otherwise leaves them.
    static bool Edit(QWidget* parent, SchemaTolerances& tolerances);

    // What the controls show: the five positions and SchemaScale as the
    // chosen row + 1.
    SchemaTolerances Tolerances() const;

    QSlider* trbOctaveKnobTolerance = nullptr;
    QSlider* trbDetuneTolerance = nullptr;
    QSlider* trbComboBoxTolerance = nullptr;
    QSlider* trbOtherKnobTolerance = nullptr;
    QSlider* trbArpTolerance = nullptr;
    QLabel* lblOctaveKnobTolerance = nullptr;
    QLabel* lblDetuneTolerance = nullptr;
    QLabel* lblComboBoxTolerance = nullptr;
    QLabel* lblOtherKnobTolerance = nullptr;
    QLabel* lblArpTolerance = nullptr;
    QComboBox* cmbScale = nullptr;
    QLabel* lblNote = nullptr;
    QPushButton* btnCreate = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    // Every value label shows its bar's position.
    void ShowPositions();

    std::array<QSlider*, 5> bars_{};
    std::array<QLabel*, 5> values_{};
};
