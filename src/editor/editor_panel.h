#pragma once

#include "editor_sections.h"
#include "parameter_binding.h"

#include <array>

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

// The sound editor's widgets, built from the binding table: the top panel
// and the four pages with their group boxes. Every widget carries its member
// name as object name. The panel only lays out; the window gives it life.
struct EditorPanel {
    // Top panel.
    QLineEdit* edtName = nullptr;
    QPushButton* btnTestSound = nullptr;
    QLabel* lblRandomSchema = nullptr; // "Sound Family Schema"
    QComboBox* cmbRandomSchema = nullptr;
    QPushButton* btnSaveRandomSchema = nullptr;
    QPushButton* btnCreateSchemaFromCurrentSound = nullptr;
    std::array<QPushButton*, CompositeRandomizerCount>
        compositeButtons{}; // CompositeRandomizers order
    QPushButton* btnInitSound = nullptr;
    QPushButton* btnSavSoundto = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnCompare = nullptr; // "Compare with Original", checkable
    QPushButton* btnRevert = nullptr;  // "Revert to Original"
    QLabel* lblStatus = nullptr;       // a short line on what was refused

    QTabWidget* SoundEditPageControl = nullptr;
    // By binding row: a TKnob, TSlider, TCheckLed or QComboBox.
    std::array<QWidget*, BoundControlCount> controls{};
    // The "R" button beside each bound control, by binding row.
    std::array<QPushButton*, BoundControlCount> randomButtons{};
    // Each group box's randomize button, in SectionRandomizers order.
    std::array<QPushButton*, SectionRandomizerCount> sectionButtons{};
    // "Select for all" of sequence tracks 1..4.
    std::array<QCheckBox*, 4> selectForAll{};
};

// Builds the editor's widgets into `window` (which gets its layout and fixed
// size) and returns them. Lists are filled, knob and slider ranges, tags and
// captions set; nothing is connected.
EditorPanel BuildEditorPanel(QDialog& window);
