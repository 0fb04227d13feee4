#pragma once

#include "parameter_binding.h"
#include "sound_record.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The sound being edited and what the editor sends when its controls change.
//
// Loading tells each control what to show. A control that cannot show its
// byte (a list without an item for it, a knob refusing it, an LED byte other
// than 0 or 1) keeps its state, and the sound keeps that byte until the user
// changes one of the parameter's controls: opening and closing a sound never
// alters what was not touched. The name works the same way: its 16 bytes stay
// as received until the user edits the name field.
//
// Reading back stores the control values into the sound and returns one
// NRPN message per parameter 0..199 whose byte changed, in ascending order,
// with the arpeggiator and gated-sequencer switches (98, 100) last, the one
// switched on after the other.
class EditSession {
public:
    static constexpr int Size = 263; // a sound record and 7 bytes carried along
    using Block = std::array<std::uint8_t, Size>;

    struct Nrpn {
        int parameter;
        int number; // NrpnNumbers[parameter]
        int value;  // 0..255
        bool operator==(const Nrpn&) const = default;
    };

    explicit EditSession(const TSoundRecord& sound);

    const Block& EditedSound() const { return block_; }
    // Bytes 0..255 of the edited sound.
    TSoundRecord Sound() const;
    // Parameter p is byte p + 6 of the block.
    std::uint8_t Parameter(int p) const;

    // What each control shows; nothing where the control keeps its state.
    std::array<std::optional<int>, BoundControlCount> ValuesToShow() const;
    // The name field's text: the name bytes, those below 32 as blanks,
    // trimmed of blanks at both ends (UTF-8).
    std::string NameToShow() const;
    // After loading: the values the controls hold now. Parameters whose byte
    // a control could not show keep that byte until a value changes.
    void Loaded(const ControlValues& values);
    // The user edited the name field: from now on its text is the name.
    void NameEdited();

    // Reads the controls and the name field (UTF-8) back into the sound;
    // returns the messages to send, in sending order.
    std::vector<Nrpn> ReadBack(const ControlValues& values, std::string_view nameField);

private:
    Block block_{};
    std::array<std::uint8_t, 256> before_{};
    std::array<bool, BoundControlCount> kept_{}; // the control shows not its byte
    ControlValues loadedValues_{};
    bool nameEdited_ = false;
};
