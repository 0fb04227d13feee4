#include "note_names.h"

#include <gtest/gtest.h>

TEST(NoteNames, LabelIsNameAndOctave) {
    EXPECT_EQ(NoteLabel(0), "C0");
    EXPECT_EQ(NoteLabel(60), "C5");
    EXPECT_EQ(NoteLabel(71), "H5");
    EXPECT_EQ(NoteLabel(127), "G10");
}
