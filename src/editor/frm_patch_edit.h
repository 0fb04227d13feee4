#pragma once

#include "edit_session.h"
#include "editor_host.h"
#include "editor_panel.h"
#include "schema.h"
#include "sound_history.h"

#include <QDialog>
#include <QPointer>

class QTimer;
class TKnob;

// The sound editor "Sound Edit (Edit Buffer)". It shows a copy of the sound
// from the instrument's edit buffer on its controls; every 250 ms it reads
// the controls back and sends the parameters that changed as NRPN messages,
// so the instrument plays what the window shows. exec() returns Accepted
// exactly when the user answers Yes to "Do you want to save changes?";
// EditedRecord() is then the sound to keep.
//
// The randomize buttons set controls to values drawn from the window's sound
// family schema; the next tick sends them like any other change. Every sent
// change is a step of the sound's history, undone with Alt+Backspace and
// redone with Shift+Alt+Backspace.
class TfrmPatchEdit : public QDialog {
    Q_OBJECT
public:
    static constexpr int TickInterval = 250; // ms between read-backs
    static constexpr int TestNote = 60;

    TfrmPatchEdit(EditorContext context, const TSoundRecord& sound, QWidget* parent = nullptr);
    ~TfrmPatchEdit() override;

    // Bytes 0..255 of the edited sound.
    TSoundRecord EditedRecord() const;
    const EditorPanel& Panel() const { return panel_; }

    // The tick of Timer1: when a control changed, read back and send.
    void Timer1Timer();
    // Shows the edited sound on every control and the name field.
    void UpdateControls();

    void btnInitSoundClick();
    // Ctrl+B: the sound breeder on this sound; a child chosen with "Edit"
    // becomes the edited sound (LoadSound).
    void BreedClick();
    // Loads `sound` as one step of the history, sending what differs (the
    // Sound Breeder's "Edit").
    void LoadSound(const TSoundRecord& sound);
    void btnSavSoundtoClick();
    // The composite randomizer `index` (CompositeRandomizers order), run by
    // its button and by Ctrl with its digit.
    void RunCompositeRandomizer(int index);
    // The section randomizer `index` (SectionRandomizers order).
    void RunSectionRandomizer(int index);

    // The sound family schema the randomizers draw from.
    const SchemaList& Schema() const { return schema_; }
    void btnSaveRandomSchemaClick();
    void btnCreateSchemaFromCurrentSoundClick();
    // The user picked item `index` of the schema list: that schema is loaded
    // ("(any value)", item 0, allows everything).
    void cmbRandomSchemaSelect(int index);
    // The "R" button of binding row `row`: the control's allowed values.
    void EditAllowedValuesOf(int row);

    // Escape, "Close" and the close box all ask whether to keep the changes.
    void reject() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class NameFieldValidator;

    // The shared change handler of the bound control in binding row `row`.
    void ControlChanged(int row);
    void ApplyControlRules(int row);
    void UpdateSeqTrackDisplay(int track);
    void SelectForAllToggled(int track, bool checked);
    // Reads back and sends a change the next tick would have sent.
    void SendPendingChanges();
    void UpdateSound();
    ControlValues CurrentValues() const;
    void ShowValue(int row, int value);

    // Runs `draw` on the control values and shows what it changed; the next
    // tick sends it as one step of the history.
    template <typename Draw> void Randomize(Draw draw);
    // Lists "(any value)" and the folder's schemas again, the one in use shown.
    void ListSchemas();
    void ShowSchemaInUse();
    // The name in the name box: a listed file's own bytes, or the typed text.
    std::string SchemaNameShown() const;
    // "Save changes to the schema NAME?" before hand-made changes are left;
    // false when the user cancels or the save fails.
    bool OfferToSaveSchemaChanges();
    // One step back or forward in the sound's history: the controls show the
    // restored sound and the next tick sends what differs.
    void RestoreSound(bool forward);

    // Key preview: true swallows the key.
    bool PreviewKeyPress(const QKeyEvent& event);
    void PreviewKeyRelease(const QKeyEvent& event);
    bool IsPreviewedWindow(QObject* watched) const;
    bool IsOwnWidget(QObject* watched) const;
    void ShowTestButtonOctave();
    bool KeyboardFieldEvent(QObject* watched, QEvent* event);
    void KnobEntered(TKnob* knob);
    void KnobLeft();
    bool WheelOverKnob(QWheelEvent& event);

    void ShowError(const QString& text);
    // Runs a modal step (message box, location chooser): meanwhile no tick
    // sends and activations do not reload the controls.
    template <typename Step> auto WithModal(Step step);

    EditorContext context_;
    EditSession session_;
    EditorPanel panel_;
    SchemaList schema_;
    SchemaOrigin schemaOrigin_;
    SoundHistory history_;
    // Parameters a restored sound changed; the next tick sends them first.
    std::vector<int> restoredParameters_;
    NameFieldValidator* nameValidator_ = nullptr;
    QTimer* Timer1 = nullptr;

    bool ControlsChanged = false;
    bool NotePlaying = false;
    QPointer<TKnob> WheelKnob;
    QPointer<QWidget> FocusBeforeKnob;
    int wheelDelta_ = 0; // wheel units collected towards the next step

    int modalDepth_ = 0;
    bool deactivatedByModal_ = false;
    bool errorQueued_ = false;        // a change handler's error waits to be shown
    bool keyboardOffByField_ = false; // the name field or schema list has the focus
};
