#pragma once

#include "parameter_binding.h"
#include "sound_record.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The sound being edited. The session owns its bytes and what each control
// shows; every writer (a control, a randomize press, "Init Sound", undo and
// redo, the instrument, the comparison with the sound as opened) changes the
// session, and each change says which controls show something new and which
// messages bring the instrument along.
//
// A control that cannot show its byte (a list without an item for it, a knob
// refusing it, an LED byte other than 0 or 1) keeps what it showed, and the
// sound keeps that byte until a writer gives the parameter's control a new
// value: opening and closing a sound never alters what was not touched. The
// name's 16 bytes stay as received until the name is edited.
class EditSession {
public:
    static constexpr int Size = 263; // a sound record and 7 bytes carried along
    using Block = std::array<std::uint8_t, Size>;

    struct Nrpn {
        int parameter;
        int number; // the parameter's NRPN number
        int value;  // 0..255
        bool operator==(const Nrpn&) const = default;
    };

    // What one change did.
    struct Change {
        std::vector<int> rows;      // controls that show a new value
        bool name = false;          // the name field shows a new text
        std::vector<Nrpn> messages; // in sending order
        bool Empty() const { return rows.empty() && !name && messages.empty(); }
    };

    explicit EditSession(const TSoundRecord& sound);

    // The edited sound, also while comparing.
    TSoundRecord Sound() const;
    const Block& EditedSound() const { return block_; }
    std::uint8_t Parameter(int p) const;
    // The sound as it was opened.
    TSoundRecord Original() const;

    // What each control shows: the original sound while comparing.
    const ControlValues& Values() const { return comparing_ ? originalValues_ : values_; }
    int Value(int row) const { return Values()[static_cast<std::size_t>(row)]; }
    // The name field's text: the name bytes, those below 32 as blanks,
    // trimmed of blanks at both ends (UTF-8).
    std::string NameToShow() const;

    // The writers. Each refuses (gives nothing) while comparing.
    // One control set to `value` by the user; the arpeggiator and the gated
    // sequencer switch each other off. A value the control cannot take
    // changes nothing.
    std::optional<Change> SetValue(int row, int value);
    // Several controls at once (a randomize press, "Init Sound"): each row
    // whose value differs from what it shows.
    std::optional<Change> SetValues(const ControlValues& values);
    // The name field's text (UTF-8) as the user edited it.
    std::optional<Change> SetName(std::string_view text);
    // A whole sound (undo, redo, a program loaded): the messages send what
    // differs from the sound before.
    std::optional<Change> Load(const TSoundRecord& sound);
    // The user's way back: the sound as opened becomes the edited one.
    std::optional<Change> Revert() { return Load(Original()); }
    // A parameter the instrument changed: shown, never sent back. Nothing
    // while comparing.
    Change FromInstrument(int parameter, std::uint8_t byte);

    // Playing the sound as opened: its differences go out and the controls
    // show it until the comparison stops, which sends the edited sound's
    // differences back.
    bool Comparing() const { return comparing_; }
    Change StartCompare();
    Change StopCompare();

private:
    // The block takes `after`'s bytes; controls that can show their byte
    // follow it.
    Change Become(const Block& after);
    void WriteParameterOf(int row);

    Block block_{};
    Block original_{};
    ControlValues values_{};
    ControlValues originalValues_{};
    bool comparing_ = false;
};

// The parameters whose byte differs between `before` and `after`, in the
// order they go out: ascending, with the arpeggiator and gated-sequencer
// switches (98, 100) last, the one switched on after the other. Only
// parameters 0..199 have NRPN numbers. Every change of the editor is sent
// in this order.
std::vector<int> ParametersToSend(const TSoundRecord& before, const TSoundRecord& after);
// The same as messages.
std::vector<EditSession::Nrpn> MessagesBetween(const TSoundRecord& before,
                                               const TSoundRecord& after);
