#pragma once

#include "edit_session.h"
#include "editor_host.h"
#include "editor_panel.h"
#include "nrpn_receiver.h"
#include "paced_output.h"
#include "schema.h"
#include "sound_history.h"

#include <QDialog>
#include <QPointer>

#include <memory>

class QTimer;
class TKnob;

// The sound editor "Sound Edit (Edit Buffer)". Its edit session owns a copy
// of the sound from the instrument's edit buffer; the controls show it and
// report the user's changes, and every change goes out at once as NRPN
// messages, paced at the DIN cable's rate, so the instrument plays what the
// window shows. Parameter messages from the instrument's panel change the
// session and the controls follow. exec() returns Accepted exactly when the
// user answers Yes to "Do you want to save changes?"; EditedRecord() is then
// the sound to keep.
//
// The randomize buttons draw values from the window's sound family schema.
// Changes are steps of the sound's history, undone with Alt+Backspace and
// redone with Shift+Alt+Backspace: a randomize press, "Init Sound", a burst
// from the instrument, or the user's edits until a quarter second passes
// with no button held.
class TfrmPatchEdit : public QDialog {
    Q_OBJECT
public:
    static constexpr int TickInterval = 250; // ms between history steps and retries
    static constexpr int TestNote = 60;

    TfrmPatchEdit(EditorContext context, const TSoundRecord& sound, QWidget* parent = nullptr);
    ~TfrmPatchEdit() override;

    // Bytes 0..255 of the edited sound.
    TSoundRecord EditedRecord() const;
    const EditorPanel& Panel() const { return panel_; }

    // The tick of Timer1: the edits so far become a step of the history, and
    // what the port refused is tried again.
    void Timer1Timer();
    // Shows the session's sound on every control and the name field.
    void UpdateControls();
    // Loads `sound` as one step of the history, sending what differs (the
    // Sound Breeder's "Edit", a program chosen on the instrument).
    void LoadSound(const TSoundRecord& sound);
    // A short message from the instrument's output (GUI thread).
    void InstrumentMessage(std::uint32_t message);
    // Every message still waiting goes out now.
    void SendPendingChanges();
    const EditSession& Session() const { return session_; }
    // Parameter messages waiting for the cable.
    std::size_t WaitingMessages() const { return output_->WaitingCount(); }

    void btnInitSoundClick();
    // Ctrl+B: the sound breeder on this sound; a child chosen with "Edit"
    // becomes the edited sound (LoadSound).
    void BreedClick();
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

    // "Compare with Original" down or up; "Revert to Original".
    void SetComparing(bool on);
    void btnRevertClick();
    // A value typed for the control of `row`, as its display reads; false
    // (with a status line) when it names no value of the control.
    bool TypeValue(int row, const QString& text);

    // Escape, "Close" and the close box all ask whether to keep the changes.
    void reject() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class NameFieldValidator;
    class ChannelPort;
    enum class StepSource { None, User, Instrument };

    // The shared change handler of the bound control in binding row `row`.
    void ControlChanged(int row);
    // Shows a change on the controls and sends its messages; a refused one
    // (while comparing) says so. `source` opens a history step.
    void Apply(const std::optional<EditSession::Change>& change, StepSource source);
    void ShowChange(const EditSession::Change& change);
    void ShowRow(int row);
    void UpdateSeqTrackDisplay(int track);
    void SelectForAllToggled(int track, bool checked);
    // The edits since the last step become one step of the history.
    void CloseStep();
    // Sends what the cable takes now and has the rest follow.
    void PumpOutput();
    void ReportSendFailure();
    void ShowValue(int row, int value);
    bool ControlHeld(int row) const;
    void OpenValueField(int row);

    // Runs `draw` on the control values and applies what it changed as one
    // step of the history.
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
    // restored sound and what differs goes out.
    void RestoreSound(bool forward);

    // Key preview: true swallows the key.
    bool PreviewKeyPress(const QKeyEvent& event);
    void PreviewKeyRelease(const QKeyEvent& event);
    bool IsPreviewedWindow(QObject* watched) const;
    bool IsOwnWidget(QObject* watched) const;
    void ShowTestButtonOctave();
    bool KeyboardFieldEvent(QObject* watched, QEvent* event);
    // Escape in the value field cancels it; Enter on a knob or step opens it.
    bool ValueFieldKey(QObject* watched, const QKeyEvent& key);
    int RowOfControl(const QObject* control) const;
    bool IsWheelControl(const QObject* watched) const;
    void WheelControlEntered(QWidget* control);
    void WheelControlLeft();
    bool WheelOverControl(QWheelEvent& event);

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
    std::unique_ptr<ChannelPort> port_;
    std::unique_ptr<PacedOutput> output_;
    InstrumentReceiver receiver_;
    StepSource openStep_ = StepSource::None;
    NameFieldValidator* nameValidator_ = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* pumpTimer_ = nullptr; // the next paced message
    qint64 comparePressedAt_ = 0; // ms; a long press compares only while held

    bool NotePlaying = false;
    QPointer<QWidget> WheelKnob; // the knob or step under the pointer
    QPointer<QWidget> FocusBeforeKnob;
    int wheelDelta_ = 0; // wheel units collected towards the next step

    int modalDepth_ = 0;
    bool deactivatedByModal_ = false;
    bool keyboardOffByField_ = false; // the name field or schema list has the focus
};
