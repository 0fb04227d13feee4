#pragma once

#include "breeding_history.h"
#include "paced_sender.h"
#include "schema.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>
#include <string>

class BreederTiles;
class MidiOutput;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class SoundCatalogue;
class TSoundLibrary;

// What the breeder works with. The history and the locks belong to the
// opener, so a second opening goes on where the first stopped.
struct BreederContext {
    const TSoundLibrary& library; // read only: parents are picked from it
    MidiOutput& out;
    BreedingHistory& history;
    LockedGroups& locked;
    std::string programFolder; // where the sound family schemas live (UTF-8)
    // The library row "Keep" presets: the current one.
    int keepSlot = 0;
    // Keeps a child in library slot `slot` as one undo step, marked changed;
    // false when it was not kept.
    std::function<bool(int slot, const TSoundRecord&)> keep;
    // The sound editor's sound and schema, when the editor opened the
    // breeder: offered as a parent and as the family.
    std::optional<TSoundRecord> editorSound;
    std::optional<SchemaList> editorSchema;
    // The computer-key note player: switched off while a text field of the
    // window has the focus, so typing plays no notes; none in tests.
    std::function<bool()> keyboardOn;
    std::function<void(bool on)> setKeyboardOn;
    // The sound catalogue, opened on first use; nothing when it cannot be
    // opened (the opener has said why). No catalogue row without it.
    std::function<SoundCatalogue*()> catalogue;
};

// "Sound Breeder": children of the sounds a musician likes, heard with one
// key each. Keys 1..9 and 0 (or a click on a tile) send that child to the
// instrument's edit buffer at once; a child asked for while the last one is
// still on the cable waits, and a later one takes its place. The star marks
// liked children, "Breed" makes the next generation from them (from the
// parents when none is liked). exec() returns EditResult after "Edit":
// ChildToEdit() is then the child the editor is to show.
class TfrmBreeder : public QDialog {
    Q_OBJECT
public:
    static constexpr int EditResult = 2;

    TfrmBreeder(BreederContext context, QWidget* parent = nullptr, MorphPacer::Clock clock = {});

    // Parents: the library sound chosen in the list, the editor's sound.
    void btnAddParentClick();
    void btnAddEditorSoundClick();
    void btnRemoveParentClick();
    // The catalogue's sounds whose names hold the typed text, and the one
    // chosen among them as a parent.
    void edtCatalogueFindChange(const QString& text);
    void btnAddCatalogueSoundClick();
    void btnBreedClick();
    void btnBackClick();
    void btnForwardClick();
    // Sends child `index` (0-based) of the shown generation to the edit
    // buffer, now or once the cable is free.
    void PlayChild(int index);
    void ToggleLiked(int index);
    void btnEditClick();
    void btnKeepClick();
    void btnKeepInCatalogueClick();

    // The generation the tiles show; nothing before the first Breed.
    const Generation* Shown() const { return context_.history.Shown(); }
    // The child last asked for, -1 for none.
    int HeardChild() const { return heard_; }
    const std::optional<TSoundRecord>& ChildToEdit() const { return childToEdit_; }
    // The family children are bred in, as chosen in the list.
    SchemaList ChosenSchema() const;

    // Closing sends a child still waiting: the instrument plays the last one asked for.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildParentList();
    void ShowGeneration();
    void ShowHeardName();
    // Sends child `index` to the edit buffer; returns the bytes put on the cable.
    std::size_t SendChild(int index);
    void NameEdited(const QString& text);
    void SetStatus(const QString& text);
    const BredChild* Child(int index) const;
    std::uint32_t NextSeed();

    BreederContext context_;
    PacedSender* sender_ = nullptr;
    int heard_ = -1;
    std::optional<TSoundRecord> childToEdit_;

    QListWidget* lstParents = nullptr;
    QComboBox* cmbLibrarySound = nullptr;
    QComboBox* cmbKeepSlot = nullptr;
    QLineEdit* edtCatalogueFind = nullptr;
    QComboBox* cmbCatalogueSound = nullptr;
    QPushButton* btnAddCatalogueSound = nullptr;
    QPushButton* btnKeepInCatalogue = nullptr;
    QPushButton* btnAddParent = nullptr;
    QPushButton* btnAddEditorSound = nullptr;
    QPushButton* btnRemoveParent = nullptr;
    QComboBox* cmbSchema = nullptr;
    QSlider* trbMutation = nullptr;
    QLabel* lblMutation = nullptr;
    QSpinBox* spnChildren = nullptr;
    QLineEdit* edtSeed = nullptr;
    std::array<QCheckBox*, LockGroupCount> lockBoxes_{};
    BreederTiles* tiles_ = nullptr;
    QLineEdit* edtName = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* btnBreed = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnForward = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnKeep = nullptr;
    QPushButton* btnClose = nullptr;
    // The note player was on when a text field took the focus.
    bool keyboardOffByField_ = false;
};
