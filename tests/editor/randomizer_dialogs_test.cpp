#include "frm_create_schema_parameters.h"
#include "frm_parameter_list_view.h"
#include "parameter_binding.h"
#include "schema.h"
#include "support/modal_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const ParameterBinding& Binding(std::string_view member) {
    const int row = BindingIndex(member);
    EXPECT_GE(row, 0) << member;
    return ParameterBindings.at(static_cast<std::size_t>(row));
}

SchemaTolerances Tolerances(int list, int octave, int other, int detune, int arp, int scale) {
    SchemaTolerances t;
    t.ToleranceComboBox = list;
    t.ToleranceOctave = octave;
    t.ToleranceOtherKnobs = other;
    t.ToleranceDetuneKnobs = detune;
    t.ArpTolerance = arp;
    t.SchemaScale = scale;
    return t;
}

// The object names Tab visits, from `first` round to it.
QStringList TabOrder(QWidget& window, QWidget* first) {
    QStringList names;
    QWidget* widget = first;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(&window) &&
            widget->isEnabled())
            names << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != first);
    return names;
}

// Create Schema Parameters ---------------------------------------------------

TEST(CreateSchemaParameters, ShowsItsTextsAndEveryScaleWithItsNotes) {
    TfrmCreateSchemaParameters dialog{SchemaTolerances{}};
    EXPECT_EQ(dialog.windowTitle(), "Create Schema Parameters");
    const std::pair<QSlider*, const char*> captions[] = {
        {dialog.trbOctaveKnobTolerance, "Octave knobs tolerance"},
        {dialog.trbDetuneTolerance, "Detune tolerance"},
        {dialog.trbComboBoxTolerance, "List(Combobox) tolerance"},
        {dialog.trbOtherKnobTolerance, "Other knobs tolerance"},
        {dialog.trbArpTolerance, "Arp tolerance in semitones"},
    };
    for (const auto& [bar, caption] : captions) {
        const auto labels = dialog.findChildren<QLabel*>();
        const bool found = std::any_of(labels.begin(), labels.end(), [&](QLabel* label) {
            return label->text() == caption && label->buddy() == bar;
        });
        EXPECT_TRUE(found) << caption;
        EXPECT_EQ(bar->maximum(), bar == dialog.trbArpTolerance ? 120 : 64) << caption;
    }
    ASSERT_EQ(dialog.cmbScale->count(), ScaleCount);
    EXPECT_EQ(dialog.cmbScale->itemText(0), "Chromatic C C# D D# E F F# G G# A A# H ");
    EXPECT_EQ(dialog.cmbScale->itemText(1), "Ionian C D E F G A H ");
    EXPECT_EQ(dialog.cmbScale->itemText(12), "Octave interval C ");
    EXPECT_FALSE(dialog.cmbScale->isEditable());
    EXPECT_EQ(dialog.lblNote->text(),
              "lower value make more similar sounds (small sound family) the "
              "higher more different sounds (large sound family)");
    EXPECT_EQ(dialog.btnCreate->text(), "Create");
    EXPECT_TRUE(dialog.btnCreate->isDefault());
    EXPECT_EQ(dialog.btnCancel->text(), "Cancel");
}

TEST(RandomizerDialogs, TabVisitsEveryControlTopToBottom) {
    TfrmCreateSchemaParameters schema{SchemaTolerances{}};
    EXPECT_EQ(TabOrder(schema, schema.trbOctaveKnobTolerance),
              QStringList({"trbOctaveKnobTolerance", "trbDetuneTolerance", "trbComboBoxTolerance",
                           "trbOtherKnobTolerance", "trbArpTolerance", "cmbScale", "btnCreate",
                           "btnCancel"}));
    TfrmParameterListView view(Binding("SldSeq101"), 0, "", {});
    EXPECT_EQ(TabOrder(view, view.CheckListBox1),
              QStringList({"CheckListBox1", "btnSelectAll", "Button2", "Button3", "Button4",
                           "cmbFrom", "cmbTo", "cmbScale", "Button5", "Button1"}));
}

TEST(CreateSchemaParameters, BarsLabelsAndScaleShowTheGivenTolerances) {
    struct Case {
        SchemaTolerances given;
        std::array<int, 5> bars; // octave, detune, list, other, arp
        int scaleRow;
    };
    const Case cases[] = {
        {SchemaTolerances{}, {2, 3, 0, 10, 0}, 0}, // no scale chosen yet: Chromatic
        {Tolerances(5, 1, 64, 7, 120, 12), {1, 7, 5, 64, 120}, 11},
        {Tolerances(0, 0, 0, 0, 0, 13), {0, 0, 0, 0, 0}, 12},
        // A settings file may hold bytes beyond the bars' ranges.
        {Tolerances(255, 200, 65, 100, 0, 99), {64, 64, 64, 64, 0}, 0},
    };
    for (const Case& c : cases) {
        TfrmCreateSchemaParameters dialog(c.given);
        const QSlider* bars[] = {dialog.trbOctaveKnobTolerance, dialog.trbDetuneTolerance,
                                 dialog.trbComboBoxTolerance, dialog.trbOtherKnobTolerance,
                                 dialog.trbArpTolerance};
        const QLabel* labels[] = {dialog.lblOctaveKnobTolerance, dialog.lblDetuneTolerance,
                                  dialog.lblComboBoxTolerance, dialog.lblOtherKnobTolerance,
                                  dialog.lblArpTolerance};
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(bars[i]->value(), c.bars[i]) << bars[i]->objectName().toStdString();
            EXPECT_EQ(labels[i]->text(), QString::number(c.bars[i]));
        }
        EXPECT_EQ(dialog.cmbScale->currentIndex(), c.scaleRow);
    }
}

TEST(CreateSchemaParameters, CreateHandsBackWhatTheKeysSet) {
    SchemaTolerances tolerances = Tolerances(0, 2, 10, 3, 0, 0);
    WhenShown<TfrmCreateSchemaParameters>([](TfrmCreateSchemaParameters& dialog) {
        QTest::keyClick(dialog.trbOctaveKnobTolerance, Qt::Key_Right);
        EXPECT_EQ(dialog.lblOctaveKnobTolerance->text(), "3") << "the label follows its bar";
        QTest::keyClick(dialog.trbDetuneTolerance, Qt::Key_Left);
        QTest::keyClick(dialog.trbComboBoxTolerance, Qt::Key_End);
        QTest::keyClick(dialog.trbOtherKnobTolerance, Qt::Key_Home);
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(dialog.trbArpTolerance, Qt::Key_Right);
        EXPECT_EQ(dialog.lblArpTolerance->text(), "12");
        QTest::keyClick(dialog.cmbScale, Qt::Key_End);
        QTest::keyClick(&dialog, Qt::Key_Return); // the default button
    });
    EXPECT_TRUE(TfrmCreateSchemaParameters::Edit(nullptr, tolerances));
    EXPECT_EQ(tolerances, Tolerances(64, 3, 0, 2, 12, 13));
}

TEST(CreateSchemaParameters, CancelEscapeAndTheCloseBoxChangeNothing) {
    const std::function<void(TfrmCreateSchemaParameters&)> cancels[] = {
        [](TfrmCreateSchemaParameters& dialog) {
            QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
        },
        [](TfrmCreateSchemaParameters& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
        [](TfrmCreateSchemaParameters& dialog) { dialog.close(); },
    };
    for (const auto& cancel : cancels) {
        const SchemaTolerances before = Tolerances(4, 1, 20, 6, 7, 3);
        SchemaTolerances tolerances = before;
        WhenShown<TfrmCreateSchemaParameters>([cancel](TfrmCreateSchemaParameters& dialog) {
            dialog.trbOtherKnobTolerance->setValue(50);
            dialog.cmbScale->setCurrentIndex(9);
            cancel(dialog);
        });
        EXPECT_FALSE(TfrmCreateSchemaParameters::Edit(nullptr, tolerances));
        EXPECT_EQ(tolerances, before);
    }
}

// Parameter List View --------------------------------------------------------

std::vector<std::string> Rows(const TfrmParameterListView& view) {
    std::vector<std::string> rows;
    for (int i = 0; i < view.CheckListBox1->count(); ++i)
        rows.push_back(view.CheckListBox1->item(i)->text().toStdString());
    return rows;
}

std::string Checks(const TfrmParameterListView& view) {
    std::string checks;
    for (int i = 0; i < view.CheckListBox1->count(); ++i)
        checks += view.CheckListBox1->item(i)->checkState() == Qt::Checked ? '1' : '0';
    return checks;
}

std::string OneAt(std::size_t length, std::size_t position) {
    std::string text(length, '0');
    text[position] = '1';
    return text;
}

TEST(ParameterListView, RowsCaptionAndChecksForEachKindOfControl) {
    struct Case {
        const char* member;
        int value;
        std::string allowed;
        const char* displayMode;
        const char* caption;
        std::size_t rows;
        std::vector<std::pair<std::size_t, const char*>> texts;
        std::string checks;
    };
    const Case cases[] = {
        // A knob with nothing allowed shows the middle value the randomizer would give.
        {"knobOsc1Frequency",
         60,
         "0",
         "",
         "Parameter List View (C5)",
         121,
         {{0, "0 C0"}, {60, "60 C5"}, {120, "120 C10"}},
         OneAt(121, 60)},
        {"KnobLFO1Frequency",
         151,
         std::string(148, '0') + "1111111",
         "",
         "Parameter List View (DIV 32)",
         167,
         {{12, "12 12"}, {150, "150 150"}, {151, "151 DIV 32"}, {166, "166 16C/1S"}},
         std::string(148, '0') + "1111111" + std::string(12, '0')},
        {"KnobFilterEnvAmount",
         0,
         "",
         "",
         "Parameter List View (Env Amount)",
         255,
         {{0, "-127"}, {127, "0"}, {254, "127"}},
         OneAt(255, 127)},
        // Lists and sliders have no middle rule, and characters beyond the rows count for nothing.
        {"cmbMod1Destination",
         3,
         "0",
         "",
         "Parameter List View",
         47,
         {{0, "Off"}},
         std::string(47, '0')},
        {"cmbOsc1Shape",
         1,
         "01110111",
         "",
         "Parameter List View",
         5,
         {{1, "Sawtooth"}, {3, "Sawtooth/triangle mix"}},
         "01110"},
        {"SldSeq101",
         60,
         "0",
         "S",
         "Parameter List View",
         128,
         {{0, "0 C 0"}, {60, "60 C 5"}, {127, "127 G 10"}},
         std::string(128, '0')},
        {"SldSeq201",
         60,
         "1x0",
         "",
         "Parameter List View",
         126,
         {{60, "60"}, {125, "125"}},
         "110" + std::string(123, '0')},
        {"CheckLedLFO1Sync",
         1,
         "01",
         "",
         "Parameter List View (Sync)",
         2,
         {{0, "Off"}, {1, "On"}},
         "01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        TfrmParameterListView view(Binding(c.member), c.value, c.allowed,
                                   *c.displayMode != 0); // "S": the track plays notes
        EXPECT_EQ(view.windowTitle().toStdString(), c.caption);
        const std::vector<std::string> rows = Rows(view);
        ASSERT_EQ(rows.size(), c.rows);
        for (const auto& [row, text] : c.texts)
            EXPECT_EQ(rows[row], text) << "row " << row;
        EXPECT_EQ(Checks(view), c.checks);
    }
}

TEST(ParameterListView, FixedTextsAndTheNoteAndScaleLists) {
    TfrmParameterListView view(Binding("SldSeq101"), 0, "", {});
    const std::pair<QPushButton*, const char*> buttons[] = {
        {view.btnSelectAll, "Select All"}, {view.Button2, "Invert"}, {view.Button3, "Select to"},
        {view.Button4, "Select from"},     {view.Button5, "Select"}, {view.Button1, "Ok"}};
    for (const auto& [button, text] : buttons)
        EXPECT_EQ(button->text(), text);
    EXPECT_TRUE(view.Button1->isDefault());
    EXPECT_EQ(view.lblFrom->text(), "Select from");
    EXPECT_EQ(view.lblTo->text(), "Select to");
    EXPECT_EQ(view.lblScale->text(), "Select scale");
    for (QComboBox* notes : {view.cmbFrom, view.cmbTo}) {
        ASSERT_EQ(notes->count(), 128);
        EXPECT_EQ(notes->itemText(0), "C0");
        EXPECT_EQ(notes->itemText(119), "H9");
        EXPECT_EQ(notes->itemText(127), "G10");
        EXPECT_FALSE(notes->isEditable());
    }
    EXPECT_EQ(view.cmbFrom->currentText(), "C0");
    EXPECT_EQ(view.cmbTo->currentText(), "H9");
    ASSERT_EQ(view.cmbScale->count(), ScaleCount);
    EXPECT_EQ(view.cmbScale->currentText(), "Chromatic");
    EXPECT_EQ(view.cmbScale->itemText(11), "5th interval");
}

TEST(ParameterListView, SelectSetsTheRangeByTheScaleAndLeavesTheRest) {
    std::string allowed(128, '1');
    allowed[10] = '0';
    WhenShown<TfrmParameterListView>([](TfrmParameterListView& view) {
        view.cmbFrom->setCurrentIndex(36); // C3
        view.cmbTo->setCurrentIndex(48);   // C4
        view.cmbScale->setCurrentIndex(view.cmbScale->findText("5th interval"));
        QTest::mouseClick(view.Button5, Qt::LeftButton);
        QTest::mouseClick(view.Button1, Qt::LeftButton);
    });
    const std::optional<std::string> result =
        EditAllowedValues(nullptr, Binding("SldSeq101"), 60, allowed, true);
    ASSERT_TRUE(result.has_value());
    std::string expected = allowed;
    for (int row = 36; row <= 48; ++row)
        expected[static_cast<std::size_t>(row)] = row == 36 || row == 43 || row == 48 ? '1' : '0';
    EXPECT_EQ(*result, expected);
}

TEST(ParameterListView, SelectButtonsTickRowsThroughTheWindow) {
    struct Case {
        const char* name;
        const char* member;
        std::string allowed;
        int highlighted; // -1: no row highlighted
        std::function<void(TfrmParameterListView&)> press;
        std::string expected;
    };
    const auto click = [](QPushButton* TfrmParameterListView::*button) {
        return [button](TfrmParameterListView& view) {
            QTest::mouseClick(view.*button, Qt::LeftButton);
        };
    };
    const auto select = [](int from, int to, int scale) {
        return [=](TfrmParameterListView& view) {
            view.cmbFrom->setCurrentIndex(from);
            view.cmbTo->setCurrentIndex(to);
            view.cmbScale->setCurrentIndex(scale);
            QTest::mouseClick(view.Button5, Qt::LeftButton);
        };
    };
    const Case cases[] = {
        {"select all", "cmbOsc1Shape", "01000", -1, click(&TfrmParameterListView::btnSelectAll),
         "11111"},
        {"invert", "cmbOsc1Shape", "01100", -1, click(&TfrmParameterListView::Button2), "10011"},
        {"select to", "cmbOsc1Shape", "00001", 2, click(&TfrmParameterListView::Button3), "11101"},
        {"select from", "cmbOsc1Shape", "10000", 2, click(&TfrmParameterListView::Button4),
         "10111"},
        {"select to, nothing highlighted", "cmbOsc1Shape", "00001", -1,
         click(&TfrmParameterListView::Button3), "00001"},
        {"select from, nothing highlighted", "cmbOsc1Shape", "10000", -1,
         click(&TfrmParameterListView::Button4), "10000"},
        // A knob unchecked by hand keeps no middle row when a button finds nothing to do.
        {"knob emptied by invert", "KnobOscSlop", "11111", -1,
         [](TfrmParameterListView& view) {
             QTest::mouseClick(view.btnSelectAll, Qt::LeftButton);
             QTest::mouseClick(view.Button2, Qt::LeftButton);
             QTest::mouseClick(view.Button3, Qt::LeftButton);
         },
         "000000"},
        {"select, to before from", "cmbOsc1Shape", "01010", -1, select(3, 1, 0), "01010"},
        // The default range 0..119 on five rows sets the five by the scale.
        {"select, range beyond the rows", "cmbOsc1Shape", "01010", -1, select(0, 119, 1), "10101"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WhenShown<TfrmParameterListView>([&c](TfrmParameterListView& view) {
            if (c.highlighted >= 0)
                view.CheckListBox1->setCurrentRow(c.highlighted);
            c.press(view);
            QTest::mouseClick(view.Button1, Qt::LeftButton);
        });
        EXPECT_EQ(EditAllowedValues(nullptr, Binding(c.member), 0, c.allowed), c.expected);
    }
}

TEST(ParameterListView, OpensWithTheFirstAllowedValueInView) {
    TfrmParameterListView view(Binding("knobOsc1Frequency"), 60, "", {});
    view.show();
    QApplication::processEvents();
    const QRect shown = view.CheckListBox1->viewport()->rect();
    EXPECT_TRUE(shown.contains(view.CheckListBox1->visualItemRect(view.CheckListBox1->item(60))));
    EXPECT_FALSE(shown.intersects(view.CheckListBox1->visualItemRect(view.CheckListBox1->item(0))));
}

TEST(ParameterListView, SpaceTicksTheCurrentRow) {
    WhenShown<TfrmParameterListView>([](TfrmParameterListView& view) {
        view.CheckListBox1->setFocus();
        view.CheckListBox1->setCurrentRow(0);
        QTest::keyClick(view.CheckListBox1, Qt::Key_Space); // "Off" on
        QTest::keyClick(view.CheckListBox1, Qt::Key_Down);
        QTest::keyClick(view.CheckListBox1, Qt::Key_Space); // "On" off
        QTest::keyClick(&view, Qt::Key_Return);
    });
    EXPECT_EQ(EditAllowedValues(nullptr, Binding("CheckLedOsc1Keyboard"), 1, "01"), "10");
}

TEST(ParameterListView, OkHandsBackTheResultEscapeAndTheCloseBoxDoNot) {
    // Ok on an untouched knob with nothing allowed stores its middle value.
    WhenShown<TfrmParameterListView>(
        [](TfrmParameterListView& view) { QTest::mouseClick(view.Button1, Qt::LeftButton); });
    EXPECT_EQ(EditAllowedValues(nullptr, Binding("KnobFilterResonance"), 0, ""), OneAt(128, 64));
    WhenShown<TfrmParameterListView>(
        [](TfrmParameterListView& view) { QTest::mouseClick(view.Button1, Qt::LeftButton); });
    EXPECT_EQ(EditAllowedValues(nullptr, Binding("cmbGlideMode"), 0, "0"), "0000");

    const std::function<void(TfrmParameterListView&)> cancels[] = {
        [](TfrmParameterListView& view) { QTest::keyClick(view.CheckListBox1, Qt::Key_Escape); },
        [](TfrmParameterListView& view) { QTest::keyClick(view.cmbScale, Qt::Key_Escape); },
        [](TfrmParameterListView& view) { view.close(); },
    };
    for (const auto& cancel : cancels) {
        WhenShown<TfrmParameterListView>([cancel](TfrmParameterListView& view) {
            QTest::mouseClick(view.btnSelectAll, Qt::LeftButton);
            cancel(view);
            EXPECT_EQ(view.ResultText(), "1111") << "the result is built on every close";
        });
        EXPECT_EQ(EditAllowedValues(nullptr, Binding("cmbGlideMode"), 0, "0"), std::nullopt);
    }
}

} // namespace
