#include "frm_patch_edit.h"

#include "check_led.h"
#include "frm_create_schema_parameters.h"
#include "frm_parameter_list_view.h"
#include "knob.h"
#include "parameter_list.h"
#include "parameter_tables.h"
#include "prompter.h"
#include "random_generator.h"
#include "section_randomizer.h"
#include "short_messages.h"
#include "slider.h"
#include "sysex_messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QValidator>
#include <QWheelEvent>
#include <QWindow>
#include <QtMath>

#include <array>
#include <exception>
#include <string>
#include <utility>

namespace {

const QString SaveQuestion = QStringLiteral("Do you want to save changes?");
constexpr int WheelStep = 120;      // angle units of one notch of a mouse wheel
constexpr qint64 HeldCompare = 400; // ms: a longer press compares only while held
const QString ComparingRefusal =
    QStringLiteral("Comparing with the original: release \"Compare with Original\" to edit.");
constexpr int HighestOctave = 9;
constexpr int HighestNote = 127;
constexpr int SeqTrackSteps = SoundParameter::SeqSteps;

// Keypad 1..9: the white keys upwards from the C one octave above the
// keyboard's octave.
constexpr std::array<int, 9> KeypadNoteOffsets = {12, 14, 16, 17, 19, 21, 23, 24, 26};

// Characters the note player plays while it is on; they must not reach the
// focused control.
const QString NotePlayerCharacters = QStringLiteral("asdfghjklwetyuop");

bool IsShownByInstrument(QChar character) {
    return character.unicode() >= 32 && character.unicode() <= 126;
}

const ParameterBinding& BindingAt(int row) {
    return ParameterBindings[static_cast<std::size_t>(row)];
}

// The bound control of a row as the kind of control it is.
template <typename Control> Control* ControlAt(const EditorPanel& panel, int row) {
    return static_cast<Control*>(panel.controls[static_cast<std::size_t>(row)]);
}

bool IsKeypadDigit(const QKeyEvent& event) {
    return (event.modifiers() & Qt::KeypadModifier) && event.key() >= Qt::Key_1 &&
           event.key() <= Qt::Key_9;
}

QString ErrorText(const std::exception& error) {
    return QString::fromUtf8(error.what());
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

int DrawFromSchema(SchemaEntry& entry) {
    return RandomValueFor(entry);
}

} // namespace

// Only characters the instrument shows can be typed. Characters of a
// received name it does not show stay accepted, so such a name remains
// editable around them.
class TfrmPatchEdit::NameFieldValidator : public QValidator {
public:
    using QValidator::QValidator;

    void AcceptAlso(const QString& shownName) {
        received_.clear();
        for (QChar character : shownName)
            if (!IsShownByInstrument(character))
                received_ += character;
    }

    State validate(QString& input, int&) const override {
        for (QChar character : input)
            if (!IsShownByInstrument(character) && !received_.contains(character))
                return Invalid;
        return Acceptable;
    }

private:
    QString received_;
};

// The editor's parameter messages on the instrument's channel.
class TfrmPatchEdit::ChannelPort : public NrpnPort {
public:
    ChannelPort(MidiOutput& output, int channel) : output_(output), channel_(channel) {}
    std::string SendNrpn(int number, int value) override {
        try {
            // The four messages go out whole or not at all: a refused NRPN stays waiting.
            const MidiError result = ::SendNrpn(output_, channel_, static_cast<unsigned>(number),
                                                static_cast<unsigned>(value));
            return result == MidiError::None ? std::string() : Text(result);
        } catch (const std::exception& error) {
            return error.what();
        }
    }

private:
    MidiOutput& output_;
    int channel_;
};

template <typename Step> auto TfrmPatchEdit::WithModal(Step step) {
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    } inside(modalDepth_);
    return step();
}

TfrmPatchEdit::TfrmPatchEdit(EditorContext context, const TSoundRecord& sound, QWidget* parent)
    : QDialog(parent), context_(context), session_(sound), panel_(BuildEditorPanel(*this)),
      history_(sound), port_(std::make_unique<ChannelPort>(context.output, context.channel)),
      output_(std::make_unique<PacedOutput>(*port_)) {
    // The note player plays while a window of this name is in front.
    setObjectName(QStringLiteral("TfrmPatchEdit"));
    setWindowTitle(QStringLiteral("Sound Edit (Edit Buffer)"));

    // Enter must not click a button: in the name field it only leaves the field.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);

    panel_.edtName->setMaxLength(SoundLayout::NameLength);
    nameValidator_ = new NameFieldValidator(panel_.edtName);
    panel_.edtName->setValidator(nameValidator_);
    connect(panel_.edtName, &QLineEdit::textEdited, this, [this](const QString& text) {
        Apply(session_.SetName(text.toStdString()), StepSource::User);
    });

    for (int row = 0; row < BoundControlCount; ++row) {
        QWidget* control = panel_.controls[static_cast<std::size_t>(row)];
        if (auto* combo = qobject_cast<QComboBox*>(control)) {
            // Only a pick by the user: a list set by the program raises nothing.
            connect(combo, &QComboBox::activated, this, [this, row] { ControlChanged(row); });
        } else if (auto* paintBox = qobject_cast<PaintBoxControl*>(control)) {
            connect(paintBox, &PaintBoxControl::OnChange, this,
                    [this, row] { ControlChanged(row); });
        }
    }
    for (int track = 1; track <= 4; ++track)
        connect(panel_.selectForAll[static_cast<std::size_t>(track - 1)], &QCheckBox::toggled, this,
                [this, track](bool checked) { SelectForAllToggled(track, checked); });
    for (int index = 0; index < CompositeRandomizerCount; ++index)
        connect(panel_.compositeButtons[static_cast<std::size_t>(index)], &QPushButton::clicked,
                this, [this, index] { RunCompositeRandomizer(index); });
    for (int index = 0; index < SectionRandomizerCount; ++index)
        connect(panel_.sectionButtons[static_cast<std::size_t>(index)], &QPushButton::clicked, this,
                [this, index] { RunSectionRandomizer(index); });
    for (int row = 0; row < BoundControlCount; ++row)
        connect(panel_.randomButtons[static_cast<std::size_t>(row)], &QPushButton::clicked, this,
                [this, row] { EditAllowedValuesOf(row); });
    // Only a pick from the list loads a schema: neither filling the list nor
    // a name confirmed with Enter does.
    connect(panel_.cmbRandomSchema, &QComboBox::activated, this,
            &TfrmPatchEdit::cmbRandomSchemaSelect);
    connect(panel_.btnSaveRandomSchema, &QPushButton::clicked, this,
            &TfrmPatchEdit::btnSaveRandomSchemaClick);
    connect(panel_.btnCreateSchemaFromCurrentSound, &QPushButton::clicked, this,
            &TfrmPatchEdit::btnCreateSchemaFromCurrentSoundClick);
    // The panel builds the randomizer's widgets switched off; here they work.
    std::vector<QWidget*> randomizerWidgets = {panel_.cmbRandomSchema, panel_.btnSaveRandomSchema,
                                               panel_.btnCreateSchemaFromCurrentSound};
    randomizerWidgets.insert(randomizerWidgets.end(), panel_.compositeButtons.begin(),
                             panel_.compositeButtons.end());
    randomizerWidgets.insert(randomizerWidgets.end(), panel_.sectionButtons.begin(),
                             panel_.sectionButtons.end());
    randomizerWidgets.insert(randomizerWidgets.end(), panel_.randomButtons.begin(),
                             panel_.randomButtons.end());
    for (QWidget* widget : randomizerWidgets)
        widget->setEnabled(true);
    connect(panel_.btnInitSound, &QPushButton::clicked, this, &TfrmPatchEdit::btnInitSoundClick);
    connect(panel_.btnSavSoundto, &QPushButton::clicked, this, &TfrmPatchEdit::btnSavSoundtoClick);
    connect(panel_.btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(panel_.btnCompare, &QPushButton::pressed, this, [this] {
        comparePressedAt_ = QDateTime::currentMSecsSinceEpoch();
        SetComparing(true);
    });
    connect(panel_.btnCompare, &QPushButton::clicked, this, [this](bool checked) {
        // A short click latches; a long press compared only while held.
        const bool held = QDateTime::currentMSecsSinceEpoch() - comparePressedAt_ > HeldCompare;
        if (checked && held)
            panel_.btnCompare->setChecked(false);
        SetComparing(panel_.btnCompare->isChecked());
    });
    connect(panel_.btnRevert, &QPushButton::clicked, this, &TfrmPatchEdit::btnRevertClick);

    ShowTestButtonOctave();
    // Every value is allowed until the user picks a schema file.
    schema_ = AnyValueSchema();
    ListSchemas();
    UpdateControls();

    pumpTimer_ = new QTimer(this);
    pumpTimer_->setSingleShot(true);
    pumpTimer_->setTimerType(Qt::PreciseTimer);
    connect(pumpTimer_, &QTimer::timeout, this, &TfrmPatchEdit::PumpOutput);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(TickInterval);
    connect(Timer1, &QTimer::timeout, this, &TfrmPatchEdit::Timer1Timer);
    Timer1->start();

    QCoreApplication::instance()->installEventFilter(this);
}

TfrmPatchEdit::~TfrmPatchEdit() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
    // A keypad note whose key is released after the window closed would sound on.
    if (NotePlaying)
        ResetMidiOut(context_.output);
    // What still waits reaches the instrument: it plays what was shown.
    output_->Flush();
    if (keyboardOffByField_)
        context_.host.SetKeyboardOn(true);
}

TSoundRecord TfrmPatchEdit::EditedRecord() const {
    return session_.Sound();
}

// ---- Showing and reading the controls ---------------------------------------

void TfrmPatchEdit::ShowValue(int row, int value) {
    switch (BindingAt(row).kind) {
    case ControlKind::Knob:
        ControlAt<TKnob>(panel_, row)->SetPosition(value);
        break;
    case ControlKind::Slider:
        ControlAt<TSlider>(panel_, row)->SetPosition(value);
        break;
    case ControlKind::Led:
        ControlAt<TCheckLed>(panel_, row)->SetStatus(value != 0);
        break;
    case ControlKind::List:
        ControlAt<QComboBox>(panel_, row)->setCurrentIndex(value); // -1: no item
        break;
    }
}

void TfrmPatchEdit::ShowRow(int row) {
    ShowValue(row, session_.Value(row));
    const ParameterBinding& binding = BindingAt(row);
    if (binding.kind == ControlKind::Knob &&
        (binding.display == ValueDisplay::Note || binding.display == ValueDisplay::LfoRate)) {
        auto* knob = ControlAt<TKnob>(panel_, row);
        knob->SetCaption(QString::fromStdString(CaptionAt(binding, knob->Position())));
    }
    if (binding.kind == ControlKind::List && SeqTrackOfRow(row) > 0)
        UpdateSeqTrackDisplay(SeqTrackOfRow(row));
}

void TfrmPatchEdit::ShowChange(const EditSession::Change& change) {
    for (const int row : change.rows)
        ShowRow(row);
    if (change.name) {
        const QString name = QString::fromStdString(session_.NameToShow());
        nameValidator_->AcceptAlso(name);
        panel_.edtName->setText(name);
    }
}

void TfrmPatchEdit::UpdateControls() {
    const QString name = QString::fromStdString(session_.NameToShow());
    nameValidator_->AcceptAlso(name);
    panel_.edtName->setText(name);
    for (int row = 0; row < BoundControlCount; ++row)
        ShowRow(row);
    for (int track = 1; track <= SoundParameter::SeqTracks; ++track)
        UpdateSeqTrackDisplay(track);
}

// ---- Changes and sending --------------------------------------------------

void TfrmPatchEdit::ControlChanged(int row) {
    QWidget* control = panel_.controls[static_cast<std::size_t>(row)];
    int value = 0;
    switch (BindingAt(row).kind) {
    case ControlKind::Knob:
        value = static_cast<TKnob*>(control)->Position();
        break;
    case ControlKind::Slider:
        value = static_cast<TSlider*>(control)->Position();
        break;
    case ControlKind::Led:
        value = static_cast<TCheckLed*>(control)->Status() ? 1 : 0;
        break;
    case ControlKind::List:
        value = static_cast<QComboBox*>(control)->currentIndex();
        break;
    }
    Apply(session_.SetValue(row, value), StepSource::User);
    // A refused or adjusted value: the control shows the session's again.
    ShowRow(row);
}

void TfrmPatchEdit::Apply(const std::optional<EditSession::Change>& change, StepSource source) {
    if (!change) {
        panel_.lblStatus->setText(ComparingRefusal);
        return;
    }
    // A burst from the instrument and the user's edits are steps of their own.
    if (source != StepSource::None && openStep_ != StepSource::None && openStep_ != source)
        CloseStep();
    ShowChange(*change);
    if (source != StepSource::None && !change->Empty())
        openStep_ = source;
    if (!change->messages.empty()) {
        output_->Queue(change->messages);
        PumpOutput();
    }
}

void TfrmPatchEdit::CloseStep() {
    history_.Record(session_.Sound());
    openStep_ = StepSource::None;
}

void TfrmPatchEdit::PumpOutput() {
    const std::optional<std::chrono::microseconds> wait = output_->Pump();
    ReportSendFailure();
    if (wait)
        pumpTimer_->start(static_cast<int>(qCeil(static_cast<double>(wait->count()) / 1000.0)));
}

void TfrmPatchEdit::ReportSendFailure() {
    if (const std::optional<std::string> failure = output_->TakeFailure())
        context_.host.ShowInMessagePanel("Sending to the instrument failed: " + *failure +
                                         ". The change goes out again.");
}

void TfrmPatchEdit::UpdateSeqTrackDisplay(int track) {
    // A track aimed at a pitch plays notes: its steps read as note names.
    const bool noteNames = IsPitchDestination(session_.Value(SeqDestinationRow(track)));
    for (int step = 1; step <= SeqTrackSteps; ++step)
        ControlAt<TSlider>(panel_, SeqStepRow(track, step))->SetNoteNames(noteNames);
}

void TfrmPatchEdit::SelectForAllToggled(int track, bool checked) {
    // The first step's button then stands for the whole track.
    for (int step = 2; step <= SeqTrackSteps; ++step)
        panel_.randomButtons[static_cast<std::size_t>(SeqStepRow(track, step))]->setVisible(
            !checked);
}

void TfrmPatchEdit::Timer1Timer() {
    // A box of this window is open: the tick waits until it is answered.
    if (modalDepth_ > 0)
        return;
    PumpOutput(); // what the port refused goes out again
    // A drag still held stays one step.
    if (QGuiApplication::mouseButtons() == Qt::NoButton)
        CloseStep();
}

void TfrmPatchEdit::SendPendingChanges() {
    output_->Flush();
    ReportSendFailure();
}

void TfrmPatchEdit::LoadSound(const TSoundRecord& sound) {
    CloseStep(); // the sound before is one step away
    Apply(session_.Load(sound), StepSource::User);
    CloseStep();
}

bool TfrmPatchEdit::ControlHeld(int row) const {
    if (row < 0)
        return false;
    QWidget* control = panel_.controls[static_cast<std::size_t>(row)];
    if (auto* knob = qobject_cast<TKnob*>(control))
        return knob->Dragging();
    if (auto* slider = qobject_cast<TSlider*>(control))
        return slider->Dragging();
    return false;
}

void TfrmPatchEdit::InstrumentMessage(std::uint32_t message) {
    const InstrumentReceiver::Received received = receiver_.Take(message, context_.channel);
    if (received.program) {
        // A program chosen on the instrument: its sound comes into the editor.
        CloseStep();
        context_.host.RequestEditBuffer();
        return;
    }
    if (!received.nrpn)
        return;
    const int parameter = ParameterForNrpn(received.nrpn->number);
    const int value = received.nrpn->value;
    if (parameter < 0 || parameter >= SoundParameter::Count || value > 0xFF)
        return;
    // The echo of what went out, or a value the user's newer one will
    // replace, changes nothing; a control being dragged is the user's.
    const SoundParameterFacts& facts = ParameterFacts(parameter);
    if (output_->IsEcho(parameter, value) || output_->IsWaiting(parameter) ||
        ControlHeld(facts.row) || ControlHeld(facts.pulseWidthRow))
        return;
    Apply(session_.FromInstrument(parameter, static_cast<std::uint8_t>(value)),
          StepSource::Instrument);
}

void TfrmPatchEdit::SetComparing(bool on) {
    const EditSession::Change change = on ? session_.StartCompare() : session_.StopCompare();
    if (!panel_.btnCompare->isDown())
        panel_.btnCompare->setChecked(on);
    if (!on)
        panel_.lblStatus->clear();
    ShowChange(change);
    output_->Queue(change.messages);
    PumpOutput();
}

void TfrmPatchEdit::btnRevertClick() {
    CloseStep();
    Apply(session_.Revert(), StepSource::User);
    CloseStep();
}

bool TfrmPatchEdit::TypeValue(int row, const QString& text) {
    ParameterBinding binding = BindingAt(row);
    if (binding.kind == ControlKind::Slider && ControlAt<TSlider>(panel_, row)->NoteNames())
        binding.display = ValueDisplay::Note;
    const std::optional<int> value = ValueFromText(binding, text.toStdString());
    if (!value) {
        panel_.lblStatus->setText(QStringLiteral("\"%1\" is no value of this control.").arg(text));
        return false;
    }
    Apply(session_.SetValue(row, *value), StepSource::User);
    ShowRow(row);
    return true;
}

void TfrmPatchEdit::OpenValueField(int row) {
    QWidget* control = panel_.controls[static_cast<std::size_t>(row)];
    auto* field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("edtTypedValue"));
    ParameterBinding binding = BindingAt(row);
    if (binding.kind == ControlKind::Slider && ControlAt<TSlider>(panel_, row)->NoteNames())
        binding.display = ValueDisplay::Note;
    field->setText(QString::fromStdString(ValueText(binding, session_.Value(row))));
    field->selectAll();
    const QPoint at =
        control->mapTo(this, QPoint(0, control->height() - field->sizeHint().height()));
    field->setGeometry(at.x(), at.y(), std::max(control->width(), 60), field->sizeHint().height());
    connect(field, &QLineEdit::returnPressed, this, [this, field, row, control] {
        if (TypeValue(row, field->text())) {
            field->deleteLater();
            control->setFocus();
        }
    });
    connect(field, &QLineEdit::editingFinished, field, [field] {
        if (!field->hasFocus())
            field->deleteLater(); // left without Enter: nothing typed is taken
    });
    field->show();
    field->setFocus();
}

// ---- Commands ---------------------------------------------------------------

template <typename Draw> void TfrmPatchEdit::Randomize(Draw draw) {
    // The changes made before the press are a step of their own.
    CloseStep();
    ControlValues values = session_.Values();
    QString failure;
    try {
        draw(values);
    } catch (const std::exception& error) {
        failure = ErrorText(error); // the values drawn so far stay
    }
    Apply(session_.SetValues(values), StepSource::User);
    CloseStep();
    if (!failure.isEmpty())
        ShowError(failure);
}

void TfrmPatchEdit::RunCompositeRandomizer(int index) {
    Randomize(
        [&](ControlValues& values) { RandomizeComposite(index, schema_, values, DrawFromSchema); });
}

void TfrmPatchEdit::RunSectionRandomizer(int index) {
    Randomize(
        [&](ControlValues& values) { RandomizeSection(index, schema_, values, DrawFromSchema); });
}

// ---- Sound family schemas ---------------------------------------------------

namespace {
// List items of schema files hold the file's name as bytes; the built-in
// "(any value)" item holds none.
constexpr int SchemaFileRole = Qt::UserRole;

QByteArray Bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}
} // namespace

void TfrmPatchEdit::ListSchemas() {
    QComboBox* list = panel_.cmbRandomSchema;
    list->clear();
    list->addItem(Text(std::string(AnyValueSchemaName)));
    for (const std::string& schema : ListSchemaFiles(context_.programFolder))
        list->addItem(Text(SchemaDisplayName(schema)), Bytes(schema));
    ShowSchemaInUse();
}

void TfrmPatchEdit::ShowSchemaInUse() {
    QComboBox* list = panel_.cmbRandomSchema;
    switch (schemaOrigin_.kind) {
    case SchemaOrigin::Kind::AnyValue:
        list->setCurrentIndex(0);
        break;
    case SchemaOrigin::Kind::File: {
        const int index = list->findData(Bytes(schemaOrigin_.file), SchemaFileRole);
        list->setCurrentIndex(index);
        if (index < 0)
            list->setEditText(Text(SchemaDisplayName(schemaOrigin_.file)));
        break;
    }
    case SchemaOrigin::Kind::Derived:
        list->setCurrentIndex(-1);
        list->setEditText({});
        break;
    }
}

std::string TfrmPatchEdit::SchemaNameShown() const {
    const QComboBox* list = panel_.cmbRandomSchema;
    const int index = list->currentIndex();
    // A listed file keeps its own bytes; a typed name is text.
    if (index > 0 && list->itemText(index) == list->currentText())
        return list->itemData(index, SchemaFileRole).toByteArray().toStdString();
    return list->currentText().toStdString();
}

bool TfrmPatchEdit::OfferToSaveSchemaChanges() {
    const std::optional<std::string> question = SaveChangesQuestion(schemaOrigin_);
    if (!question)
        return true;
    const Prompter::Answer answer = WithModal(
        [&] { return context_.prompter.Confirm(Text(*question), Prompter::Buttons::YesNoCancel); });
    if (answer == Prompter::Answer::Cancel)
        return false;
    if (answer == Prompter::Answer::No)
        return true;
    if (const std::string problem = SaveSchema(context_.programFolder, schemaOrigin_.file, schema_);
        !problem.empty()) {
        ShowError(Text(problem));
        return false;
    }
    schemaOrigin_.changedByHand = false;
    return true;
}

void TfrmPatchEdit::cmbRandomSchemaSelect(int index) {
    try {
        if (!OfferToSaveSchemaChanges()) {
            ShowSchemaInUse();
            return;
        }
        const QVariant file = panel_.cmbRandomSchema->itemData(index, SchemaFileRole);
        if (!file.isValid()) {
            schema_ = AnyValueSchema();
            schemaOrigin_ = {};
            return;
        }
        const std::string name = file.toByteArray().toStdString();
        LoadedSchema loaded = LoadSchema(context_.programFolder, name);
        if (!loaded.error.empty()) {
            ShowError(Text(loaded.error)); // the schema in use stays, and shows
            ShowSchemaInUse();
            return;
        }
        schema_ = std::move(loaded.list);
        schemaOrigin_ = {SchemaOrigin::Kind::File, name, false};
    } catch (const std::exception& error) {
        ShowError(ErrorText(error));
    }
}

void TfrmPatchEdit::btnSaveRandomSchemaClick() {
    try {
        const std::string name = SchemaNameShown();
        std::string problem = SchemaNameProblem(name);
        // A listed file is saved under its own name, whatever its encoding.
        if (SchemaFileExists(context_.programFolder, name)) {
            if (name != AnyValueSchemaName)
                problem.clear();
            if (problem.empty() &&
                WithModal([&] {
                    return context_.prompter.Confirm(Text(ReplaceSchemaQuestion(name)),
                                                     Prompter::Buttons::YesNo);
                }) != Prompter::Answer::Yes)
                return;
        }
        if (problem.empty())
            problem = SaveSchema(context_.programFolder, name, schema_);
        if (!problem.empty()) {
            ShowError(Text(problem));
            return;
        }
        schemaOrigin_ = {SchemaOrigin::Kind::File, name, false};
        ListSchemas();
    } catch (const std::exception& error) {
        ShowError(ErrorText(error));
    }
}

void TfrmPatchEdit::btnCreateSchemaFromCurrentSoundClick() {
    try {
        SendPendingChanges(); // derived from the sound as shown
        if (!WithModal(
                [this] { return TfrmCreateSchemaParameters::Edit(this, context_.tolerances); }))
            return;
        // The derived schema has no name until the user gives it one.
        schema_ = DeriveSchemaFromSound(session_.Values(), context_.tolerances);
        schemaOrigin_ = {SchemaOrigin::Kind::Derived, {}, false};
        ShowSchemaInUse();
    } catch (const std::exception& error) {
        ShowError(ErrorText(error));
    }
}

void TfrmPatchEdit::EditAllowedValuesOf(int row) {
    try {
        const ParameterBinding& binding = BindingAt(row);
        // A step of a track aimed at a pitch lists note names.
        const int track = SeqTrackOfRow(row);
        const bool noteNames = binding.kind == ControlKind::Slider && track > 0 &&
                               IsPitchDestination(session_.Value(SeqDestinationRow(track)));
        SchemaEntry& entry = schema_[static_cast<std::size_t>(row)];
        const int value = session_.Value(row);
        const std::optional<std::string> allowed = WithModal(
            [&] { return EditAllowedValues(this, binding, value, entry.allowed, noteNames); });
        if (!allowed)
            return;
        schemaOrigin_.changedByHand = schemaOrigin_.changedByHand || entry.allowed != *allowed;
        entry.allowed = *allowed;
        if (const std::optional<int> track = TrackOfStepOne(row);
            track && panel_.selectForAll[static_cast<std::size_t>(*track - 1)]->isChecked())
            ApplyStepOneToTrack(schema_, *track);
    } catch (const std::exception& error) {
        ShowError(ErrorText(error));
    }
}

// ---- Undo -------------------------------------------------------------------

void TfrmPatchEdit::RestoreSound(bool forward) {
    if (session_.Comparing()) {
        panel_.lblStatus->setText(ComparingRefusal);
        return;
    }
    CloseStep(); // the latest edits are the present step
    const std::optional<TSoundRecord> target = forward ? history_.Redo() : history_.Undo();
    if (target) // the restored sound as loaded: bytes no control shows are kept too
        Apply(session_.Load(*target), StepSource::None);
}

void TfrmPatchEdit::BreedClick() {
    try {
        SendPendingChanges(); // the sound bred from is the sound shown
        const TSoundRecord sound = session_.Sound();
        const std::optional<TSoundRecord> child =
            WithModal([&] { return context_.host.BreedFrom(sound, schema_); });
        if (!child) {
            // The breeder may have left one of its children playing.
            SendEditBufferDump(context_.output, sound);
            return;
        }
        LoadSound(*child);
    } catch (const std::exception& error) {
        ShowError(ErrorText(error));
    }
}

void TfrmPatchEdit::btnInitSoundClick() {
    Randomize([](ControlValues& values) {
        for (const StartValue& start : InitSoundValues()) {
            const int row = RowOf(start.control);
            if (row < 0)
                throw std::logic_error("a start value without its control");
            int& value = values[static_cast<std::size_t>(row)];
            value =
                AppliedValue(ParameterBindings[static_cast<std::size_t>(row)], value, start.value);
        }
    });
}

void TfrmPatchEdit::btnSavSoundtoClick() {
    try {
        SendPendingChanges(); // the sound sent is the sound shown
        const std::optional<int> slot =
            WithModal([this] { return context_.host.ChooseLocation(context_.lastSendLocation); });
        if (!slot || !Slots::IsValid(*slot))
            return;
        TSoundRecord copy = session_.Sound();
        copy[SoundLayout::CommandByte] = 2; // program dump
        copy[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(*slot));
        copy[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(*slot));
        SendSoundAsProgram(context_.output, copy, Slots::BankOf(*slot), Slots::ProgramOf(*slot));
        context_.lastSendLocation = *slot;
        context_.host.StoreSentSound(*slot, copy);
    } catch (const std::exception& error) {
        ShowError(ErrorText(error));
    }
}

void TfrmPatchEdit::reject() {
    SendPendingChanges(); // the last change is in the sound kept
    const Prompter::Answer answer = WithModal(
        [this] { return context_.prompter.Confirm(SaveQuestion, Prompter::Buttons::YesNoCancel); });
    if (answer == Prompter::Answer::Yes)
        done(Accepted);
    else if (answer == Prompter::Answer::No)
        done(Rejected);
}

void TfrmPatchEdit::ShowError(const QString& text) {
    WithModal([&] { context_.prompter.ShowMessage(text); });
}

// ---- Window events ----------------------------------------------------------

bool TfrmPatchEdit::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) {
        deactivatedByModal_ = modalDepth_ > 0;
        // The release of a keypad key held now goes to another window: end
        // the note rather than leave it sounding.
        if (NotePlaying) {
            ResetMidiOut(context_.output);
            NotePlaying = false;
        }
    } else if (event->type() == QEvent::WindowActivate) {
        // Coming back from one of this window's own boxes is no activation:
        // an error box of the reload would otherwise open again and again.
        if (modalDepth_ > 0 || deactivatedByModal_) {
            deactivatedByModal_ = false;
        } else {
            SendPendingChanges();
            UpdateControls();
            panel_.btnTestSound->setFocus();
        }
    }
    return QDialog::event(event);
}

bool TfrmPatchEdit::IsPreviewedWindow(QObject* watched) const {
    return watched->isWindowType() && watched == static_cast<QObject*>(windowHandle());
}

bool TfrmPatchEdit::IsOwnWidget(QObject* watched) const {
    return watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this;
}

bool TfrmPatchEdit::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto& key = *static_cast<QKeyEvent*>(event);
        // A key reaches the window before its focused control.
        if (IsPreviewedWindow(watched))
            return PreviewKeyPress(key);
        if (!IsOwnWidget(watched))
            break;
        if (KeyboardFieldEvent(watched, event))
            return true;
        if (ValueFieldKey(watched, key))
            return true;
        // Swallowed here, not at the window, so the note player still hears them.
        return context_.host.KeyboardOn() && key.text().size() == 1 &&
               NotePlayerCharacters.contains(key.text().at(0));
    }
    case QEvent::KeyRelease:
        if (IsPreviewedWindow(watched))
            PreviewKeyRelease(*static_cast<QKeyEvent*>(event));
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        KeyboardFieldEvent(watched, event);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (watched == panel_.btnTestSound)
            SendNoteOn(context_.output, context_.channel, TestNote);
        if (RowOfControl(watched) >= 0 && event->type() == QEvent::MouseButtonDblClick &&
            qobject_cast<PaintBoxControl*>(watched) && !qobject_cast<TCheckLed*>(watched)) {
            OpenValueField(RowOfControl(watched));
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == panel_.btnTestSound)
            ResetMidiOut(context_.output); // silences the note; no note off
        break;
    case QEvent::Wheel:
        // The wheel over a knob or step turns it and scrolls nothing else.
        if (WheelKnob && IsOwnWidget(watched))
            return WheelOverControl(*static_cast<QWheelEvent*>(event));
        break;
    case QEvent::Enter:
        if (IsWheelControl(watched))
            WheelControlEntered(static_cast<QWidget*>(watched));
        break;
    case QEvent::Leave:
        if (IsWheelControl(watched))
            WheelControlLeft();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmPatchEdit::ValueFieldKey(QObject* watched, const QKeyEvent& key) {
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (watched->objectName() == QStringLiteral("edtTypedValue") && key.key() == Qt::Key_Escape) {
        watched->deleteLater(); // nothing typed is taken
        if (WheelKnob)
            WheelKnob->setFocus();
        return true;
    }
    if (enter && IsWheelControl(watched)) {
        OpenValueField(RowOfControl(watched));
        return true;
    }
    return false;
}

bool TfrmPatchEdit::KeyboardFieldEvent(QObject* watched, QEvent* event) {
    if (watched != panel_.edtName && watched != panel_.cmbRandomSchema)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // A list's own popup taking the focus is no leaving.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason)
            return false;
        // Typing in the field must not play notes.
        keyboardOffByField_ = event->type() == QEvent::FocusIn;
        context_.host.SetKeyboardOn(!keyboardOffByField_);
        return false;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        panel_.btnTestSound->setFocus();
        return true;
    }
    default:
        return false;
    }
}

// ---- Keys -------------------------------------------------------------------

bool TfrmPatchEdit::PreviewKeyPress(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool keypad = modifiers & Qt::KeypadModifier;
    const int key = event.key();
    if ((modifiers & Qt::ControlModifier) && !keypad)
        for (int index = 0; index < CompositeRandomizerCount; ++index)
            if (key == Qt::Key_0 + CompositeRandomizers[static_cast<std::size_t>(index)].key)
                RunCompositeRandomizer(index);

    if (key == Qt::Key_B && (modifiers & Qt::ControlModifier)) {
        BreedClick();
        return true;
    }

    if (key == Qt::Key_Backspace && (modifiers & Qt::AltModifier)) {
        RestoreSound((modifiers & Qt::ShiftModifier) != 0);
        return true;
    }

    EditorHost& host = context_.host;
    if ((keypad && key == Qt::Key_Minus) || key == Qt::Key_Z) {
        if (host.KeyboardOctave() > 0)
            host.SetKeyboardOctave(host.KeyboardOctave() - 1);
    } else if ((keypad && key == Qt::Key_Plus) || key == Qt::Key_X) {
        if (host.KeyboardOctave() < HighestOctave)
            host.SetKeyboardOctave(host.KeyboardOctave() + 1);
    }
    ShowTestButtonOctave();

    if (NotePlaying || !IsKeypadDigit(event))
        return false;
    NotePlaying = true; // also for a note too high: its release still resets
    const int note =
        12 * host.KeyboardOctave() + KeypadNoteOffsets[static_cast<std::size_t>(key - Qt::Key_1)];
    if (note <= HighestNote)
        SendNoteOn(context_.output, context_.channel, note);
    return false;
}

void TfrmPatchEdit::PreviewKeyRelease(const QKeyEvent& event) {
    // A held key repeats as release and press pairs on some platforms.
    if (event.isAutoRepeat() || !IsKeypadDigit(event) || !NotePlaying)
        return;
    ResetMidiOut(context_.output);
    NotePlaying = false;
}

void TfrmPatchEdit::ShowTestButtonOctave() {
    const int octave = context_.host.KeyboardOctave();
    panel_.btnTestSound->setText(QStringLiteral("Test &Sound C%1-C%2").arg(octave).arg(octave + 1));
}

// ---- Knobs and the mouse wheel ------------------------------------------

int TfrmPatchEdit::RowOfControl(const QObject* control) const {
    const auto found = std::find(panel_.controls.begin(), panel_.controls.end(), control);
    return found == panel_.controls.end() ? -1 : static_cast<int>(found - panel_.controls.begin());
}

bool TfrmPatchEdit::IsWheelControl(const QObject* watched) const {
    return (qobject_cast<const TKnob*>(watched) || qobject_cast<const TSlider*>(watched)) &&
           RowOfControl(watched) >= 0;
}

void TfrmPatchEdit::WheelControlEntered(QWidget* control) {
    FocusBeforeKnob = focusWidget();
    WheelKnob = control;
    wheelDelta_ = 0;
    panel_.btnTestSound->setFocus();
}

void TfrmPatchEdit::WheelControlLeft() {
    WheelKnob = nullptr;
    wheelDelta_ = 0;
    if (FocusBeforeKnob)
        FocusBeforeKnob->setFocus();
}

bool TfrmPatchEdit::WheelOverControl(QWheelEvent& event) {
    // A touchpad sends small deltas: they add up to whole steps.
    wheelDelta_ += event.angleDelta().y();
    int steps = 0;
    for (; wheelDelta_ >= WheelStep; wheelDelta_ -= WheelStep)
        ++steps;
    for (; wheelDelta_ <= -WheelStep; wheelDelta_ += WheelStep)
        --steps;
    const int row = RowOfControl(WheelKnob);
    if (steps != 0 && row >= 0) {
        const ParameterBinding& binding = BindingAt(row);
        const int value = std::clamp(session_.Value(row) + steps, binding.min, binding.max);
        Apply(session_.SetValue(row, value), StepSource::User);
        ShowRow(row);
    }
    event.accept();
    return true;
}
