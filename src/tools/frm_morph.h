#pragma once

#include "morph.h"
#include "paced_sender.h"

#include <QDialog>

class MidiOutput;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class TSoundLibrary;

// "Quasi Morph": two library sounds and a bar between them. Every position
// of the bar sends the in-between value of each parameter that changed, so
// the instrument's current sound moves from sound 1 to sound 2 while the user
// listens. Nothing is stored. About 500 ms after opening a random pair is
// chosen and sound 1 plays.
class TfrmMorph : public QDialog {
    Q_OBJECT
public:
    static constexpr int RandomPairDelay = 500; // ms after opening

    // The lists show the library as it is now. `clock` paces the steps on the
    // cable (the steady clock unless a test gives its own).
    TfrmMorph(const TSoundLibrary& library, MidiOutput& out, QWidget* parent = nullptr,
              MorphPacer::Clock clock = {});

    // Either list's row changed.
    void cmbSound1Change();
    void trbMorphChange(int position);
    void chbDetuneClick();
    void btnRandomizeSoundsClick();
    // The one-shot timer after opening: a random pair.
    void Timer1Timer();
    // Sends the position that waited for the cable, once the cable is free.
    void SendWaitingStep() { sender_->SendDue(); }

    const MorphPacer& Pacer() const { return sender_->Pacer(); }

    // Closing sends a position still waiting: the instrument ends where the bar is.
    void done(int result) override;

private:
    // The bytes the step put on the cable.
    std::size_t SendStep(int position);
    bool PairChosen() const;

    const TSoundLibrary& library_;
    MidiOutput& out_;
    SoundMorph morph_;
    PacedSender* sender_ = nullptr;

    QComboBox* cmbSound1 = nullptr;
    QComboBox* cmbSound2 = nullptr;
    QSlider* trbMorph = nullptr;
    QLabel* lbkPercent = nullptr;
    QCheckBox* chbDetune = nullptr;
    QPushButton* btnRandomizeSounds = nullptr;
    QTimer* Timer1 = nullptr;
};
