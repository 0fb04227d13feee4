#include "editor_sections.h"
#include "parameter_binding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {
std::string_view KeyOf(ControlRef control) {
    const int row = RowOf(control);
    return row < 0 ? std::string_view() : ParameterBindings[static_cast<std::size_t>(row)].key;
}

const SectionRandomizer* Section(std::string_view button) {
    const auto found =
        std::find_if(SectionRandomizers.begin(), SectionRandomizers.end(),
                     [button](const SectionRandomizer& s) { return s.button == button; });
    return found == SectionRandomizers.end() ? nullptr : &*found;
}
} // namespace

TEST(EditorSections, EachSectionDrawsTheControlsOfItsOwnGroup) {
    std::map<std::string_view, int> drawn;
    for (const SectionRandomizer& section : SectionRandomizers) {
        for (const ControlRef control : section.controls) {
            const std::string_view member = KeyOf(control);
            const int row = RowOf(control);
            ASSERT_GE(row, 0) << member;
            EXPECT_EQ(ParameterBindings[static_cast<std::size_t>(row)].group, section.group)
                << section.button << " " << member;
            ++drawn[member];
        }
    }
    // Every bound control belongs to exactly one section.
    for (const ParameterBinding& row : ParameterBindings)
        EXPECT_EQ(drawn[row.key], 1) << row.key;
    // The filter envelope's release follows its sustain, as the VCA's does.
    const auto filter = Section("btnRandomizeFilter")->controls;
    EXPECT_EQ(KeyOf(filter.back()), "KnobFilterEnvRelease");
    EXPECT_EQ(KeyOf(filter[filter.size() - 2]), "KnobFilterEnvSustain");

    ASSERT_NE(Section("btnRandomizeOsc1"), nullptr);
    const auto osc1 = Section("btnRandomizeOsc1")->controls;
    // The pulse width is drawn right after the shape that decides whether it is drawn.
    EXPECT_EQ(KeyOf(osc1[2]), "cmbOsc1Shape");
    EXPECT_EQ(KeyOf(osc1[3]), "knobOsc1Pulsewidth");
    EXPECT_EQ(Section("btnRandomizeEnv3")->caption, "Randomize Env 3");
    EXPECT_EQ(Section("btnRandomizeSeq4")->controls.size(), 17u);
}

TEST(EditorSections, CompositeButtonsRunExistingSections) {
    std::set<int> keys;
    for (const CompositeRandomizer& composite : CompositeRandomizers) {
        EXPECT_TRUE(keys.insert(composite.key).second) << composite.button;
        for (std::string_view button : composite.sections)
            EXPECT_NE(Section(button), nullptr) << composite.button << " " << button;
    }
    const CompositeRandomizer& sound = CompositeRandomizers.back();
    EXPECT_EQ(sound.button, "btnRandomizeSound");
    EXPECT_EQ(sound.key, 0);
    const std::vector<std::string_view> soundSections(sound.sections.begin(), sound.sections.end());
    EXPECT_EQ(soundSections, (std::vector<std::string_view>{
                                 "btnRandomizeOsc1", "btnRandomizeOsc2", "btnRandomizeCommon",
                                 "btnRandomizeFilter", "btnRandomizeVCA", "btnRandomizeEnv3",
                                 "btnRandomizeLFO", "btnRandomizeMod"}));
}

TEST(EditorSections, StartValuesFitTheirControls) {
    std::set<std::string_view> set;
    for (const auto values : {InitSoundValues(), InitArpValues()}) {
        for (const StartValue& start : values) {
            const std::string_view member = KeyOf(start.control);
            const int row = RowOf(start.control);
            ASSERT_GE(row, 0) << start.control.parameter;
            const ParameterBinding& binding = ParameterBindings[static_cast<std::size_t>(row)];
            EXPECT_GE(start.value, binding.min) << member;
            EXPECT_LE(start.value, binding.max) << member;
            EXPECT_TRUE(set.insert(member).second) << member;
        }
    }
    EXPECT_EQ(InitSoundValues().size(), 76u);
    EXPECT_EQ(KeyOf(InitSoundValues().front().control), "knobOsc1Frequency");
    EXPECT_EQ(KeyOf(InitSoundValues().back().control), "cmbMod4Destination");
    // An audible sound whose filter envelope releases like the others.
    const auto startOf = [](std::string_view member) {
        for (const StartValue& start : InitSoundValues())
            if (KeyOf(start.control) == member)
                return start.value;
        return -1;
    };
    EXPECT_EQ(startOf("KnobVCAVoiceVolume"), 100);
    EXPECT_EQ(startOf("KnobFilterEnvRelease"), 32);
    EXPECT_FALSE(set.contains("cmbGlideMode"));
    EXPECT_EQ(InitArpValues().size(), 4u);
}
