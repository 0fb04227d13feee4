#pragma once

#include "sound_record.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

// "Compare Sounds": the parameters of two library sounds side by side, each
// value as the sound editor shows it. At first only the parameters that
// differ are listed; "Only differences" off lists them all.
class TfrmCompareSounds : public QDialog {
    Q_OBJECT
public:
    TfrmCompareSounds(int firstSlot, const TSoundRecord& first, int secondSlot,
                      const TSoundRecord& second, QWidget* parent = nullptr);

    QLabel* lblSummary = nullptr;
    QCheckBox* chbOnlyDifferences = nullptr;
    QTableWidget* grdParameters = nullptr;
    QPushButton* Button1 = nullptr;

private:
    void FillRows();

    TSoundRecord first_;
    TSoundRecord second_;
};
