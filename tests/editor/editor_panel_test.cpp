#include "editor_panel.h"

#include "check_led.h"
#include "knob.h"
#include "slider.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <set>

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// One window with its panel, built once for all tests: building is what
// they check, and nothing here changes it.
class EditorPanelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        window_ = new QDialog;
        panel_ = new EditorPanel(BuildEditorPanel(*window_));
        window_->show();
    }
    static void TearDownTestSuite() {
        delete panel_;
        delete window_;
    }

    static QGroupBox* GroupOf(QWidget* widget) {
        for (QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
            if (auto* box = qobject_cast<QGroupBox*>(w))
                return box;
        return nullptr;
    }
    static QLabel* CaptionOf(QWidget* control) {
        if (auto* knob = qobject_cast<TKnob*>(control))
            return knob->CaptionLabelWidget();
        if (auto* led = qobject_cast<TCheckLed*>(control))
            return led->CaptionLabelWidget();
        return nullptr;
    }

    static QDialog* window_;
    static EditorPanel* panel_;
};
QDialog* EditorPanelTest::window_ = nullptr;
EditorPanel* EditorPanelTest::panel_ = nullptr;

TEST_F(EditorPanelTest, EveryBoundControlExistsOnceWithItsTypeRangeAndGroup) {
    for (std::size_t row = 0; row < ParameterBindings.size(); ++row) {
        const ParameterBinding& binding = ParameterBindings[row];
        const QString member = Q(binding.key);
        SCOPED_TRACE(member.toStdString());
        const auto named = window_->findChildren<QWidget*>(member);
        ASSERT_EQ(named.size(), 1);
        QWidget* control = panel_->controls[row];
        ASSERT_EQ(control, named.front());
        ASSERT_NE(GroupOf(control), nullptr);
        EXPECT_EQ(GroupOf(control)->title(), Q(binding.group));
        EXPECT_EQ(panel_->SoundEditPageControl->indexOf(GroupOf(control)->parentWidget()),
                  binding.page);
        switch (binding.kind) {
        case ControlKind::Knob: {
            auto* knob = qobject_cast<TKnob*>(control);
            ASSERT_NE(knob, nullptr);
            EXPECT_EQ(knob->Min(), binding.min);
            EXPECT_EQ(knob->Max(), binding.max);
            EXPECT_EQ(knob->Caption(), Q(binding.caption));
            break;
        }
        case ControlKind::Slider: {
            auto* slider = qobject_cast<TSlider*>(control);
            ASSERT_NE(slider, nullptr);
            EXPECT_EQ(slider->Min(), binding.min);
            EXPECT_EQ(slider->Max(), binding.max);
            break;
        }
        case ControlKind::Led: {
            auto* led = qobject_cast<TCheckLed*>(control);
            ASSERT_NE(led, nullptr);
            EXPECT_EQ(led->Caption(), Q(binding.caption));
            break;
        }
        case ControlKind::List: {
            auto* list = qobject_cast<QComboBox*>(control);
            ASSERT_NE(list, nullptr);
            const std::vector<std::string>& items = ListItems(binding.list);
            ASSERT_EQ(list->count(), static_cast<int>(items.size()));
            EXPECT_EQ(list->itemText(list->count() - 1), QString::fromStdString(items.back()));
            EXPECT_EQ(list->count() - 1, binding.max);
            break;
        }
        }
        // Every control is named for assistive technology, its caption is not.
        EXPECT_FALSE(control->accessibleName().isEmpty());
        EXPECT_FALSE(control->accessibleName().front().isDigit());
        if (QLabel* caption = CaptionOf(control)) {
            EXPECT_TRUE(
                QAccessible::queryAccessibleInterface(caption)->text(QAccessible::Name).isEmpty());
        }
    }
}

TEST_F(EditorPanelTest, ControlsAreNamedByTheirParameterForAssistiveTechnology) {
    const std::pair<const char*, const char*> cases[] = {
        {"knobOsc1Frequency", "Oscillator 1 Frequency"},
        {"knobOsc1Pulsewidth", "Oscillator 1 Pulse Width"},
        {"cmbOsc2Shape", "Oscillator 2 Shape"},
        {"KnobFilterFrequency", "Filter Frequency"},
        {"KnobLFO2Frequency", "LFO 2 Frequency"},
        {"CheckLedApreggiator", "Arpeggiator"},
        {"cmbAssignable1", "Assignable Parameter 1"},
        {"SldSeq205", "Sequence Track 2, step 5"},
        {"SldSeq416", "Sequence Track 4, step 16"},
    };
    for (const auto& [member, name] : cases) {
        QWidget* control = window_->findChild<QWidget*>(member);
        ASSERT_NE(control, nullptr) << member;
        EXPECT_EQ(control->accessibleName(), name);
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(control);
        if (qobject_cast<QComboBox*>(control)) {
            // Where a list's name is its text, its label names it.
            const auto labels = item->relations(QAccessible::Label);
            ASSERT_EQ(labels.size(), 1) << member;
            EXPECT_EQ(labels.front().first->text(QAccessible::Name), name);
        } else {
            EXPECT_EQ(item->text(QAccessible::Name), name);
        }
    }
}

TEST_F(EditorPanelTest, EveryControlHasItsRButtonBesideItDisabledUntilConnected) {
    std::set<QString> names;
    for (std::size_t row = 0; row < ParameterBindings.size(); ++row) {
        const ParameterBinding& binding = ParameterBindings[row];
        SCOPED_TRACE(std::string(binding.key));
        QPushButton* button = panel_->randomButtons[row];
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->objectName(), Q(binding.randomButton));
        EXPECT_EQ(window_->findChildren<QPushButton*>(button->objectName()).size(), 1);
        EXPECT_EQ(button->text(), "R");
        EXPECT_FALSE(button->isEnabled());
        names.insert(button->objectName());

        // Next to its control: to the right of it, or under a step slider.
        const QRect control = panel_->controls[row]->geometry();
        ASSERT_EQ(button->parentWidget(), panel_->controls[row]->parentWidget());
        const QRect r = button->geometry();
        if (binding.kind == ControlKind::Slider) {
            EXPECT_GE(r.top(), control.bottom());
            EXPECT_LE(r.top() - control.bottom(), 8);
        } else {
            EXPECT_GE(r.left(), control.right());
            EXPECT_LE(r.left() - control.right(), 8);
            EXPECT_TRUE(r.top() < control.bottom() && r.bottom() > control.top());
        }
    }
    EXPECT_EQ(names.size(), ParameterBindings.size());
}

TEST_F(EditorPanelTest, EachGroupBoxHasItsSectionButtonAndTheTopPanelItsCommands) {
    for (std::size_t i = 0; i < SectionRandomizers.size(); ++i) {
        const SectionRandomizer& section = SectionRandomizers[i];
        QPushButton* button = panel_->sectionButtons[i];
        ASSERT_NE(button, nullptr) << section.button;
        EXPECT_EQ(button->objectName(), Q(section.button));
        EXPECT_EQ(button->text(), Q(section.caption));
        EXPECT_FALSE(button->isEnabled());
        ASSERT_NE(GroupOf(button), nullptr);
        EXPECT_EQ(GroupOf(button)->title(), Q(section.group));
    }
    for (std::size_t i = 0; i < CompositeRandomizers.size(); ++i) {
        QPushButton* button = panel_->compositeButtons[i];
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->objectName(), Q(CompositeRandomizers[i].button));
        EXPECT_EQ(button->text(), Q(CompositeRandomizers[i].caption));
        EXPECT_FALSE(button->isEnabled());
    }
    for (int track = 1; track <= 4; ++track) {
        QCheckBox* box = panel_->selectForAll[static_cast<std::size_t>(track - 1)];
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->objectName(), QStringLiteral("chbSelectforall%1").arg(track));
        EXPECT_EQ(box->text(), "Select for all");
        EXPECT_FALSE(box->isChecked());
        EXPECT_EQ(GroupOf(box)->title(), QStringLiteral("Sequence Track %1").arg(track));
    }

    EXPECT_EQ(window_->windowTitle(), "Sound Edit (Edit Buffer)");
    EXPECT_EQ(panel_->edtName->maxLength(), 16);
    EXPECT_EQ(panel_->btnTestSound->text(), "Test &Sound C4-C5");
    EXPECT_EQ(panel_->btnTestSound->toolTip(), "Shortcut Num 1,2,3,4,5,6,7,8,9,+,-");
    EXPECT_EQ(panel_->lblRandomSchema->text(), "Sound Family Schema");
    EXPECT_EQ(panel_->lblRandomSchema->buddy(), panel_->cmbRandomSchema);
    EXPECT_LT(panel_->lblRandomSchema->geometry().bottom(),
              panel_->cmbRandomSchema->geometry().top()); // above it
    EXPECT_TRUE(panel_->cmbRandomSchema->isEditable());
    EXPECT_EQ(panel_->btnSaveRandomSchema->text(), "Save Snd Family Schema");
    EXPECT_EQ(panel_->btnCreateSchemaFromCurrentSound->text(),
              "Create Snd Family Schema from current sound");
    for (QWidget* schema :
         std::initializer_list<QWidget*>{panel_->cmbRandomSchema, panel_->btnSaveRandomSchema,
                                         panel_->btnCreateSchemaFromCurrentSound})
        EXPECT_FALSE(schema->isEnabled());
    EXPECT_EQ(panel_->btnInitSound->text(), "Init Sound");
    EXPECT_EQ(panel_->btnSavSoundto->text(), "Send Sound to Mopho");
    EXPECT_EQ(panel_->btnClose->text(), "Close");
    ASSERT_EQ(panel_->SoundEditPageControl->count(), EditorPageCount);
    for (int page = 0; page < EditorPageCount; ++page)
        EXPECT_EQ(panel_->SoundEditPageControl->tabText(page),
                  Q(EditorPageNames[static_cast<std::size_t>(page)]));
}

// What a person sees on a page: controls, buttons, labels and captions.
bool IsVisibleItem(const QWidget* widget) {
    return widget->isVisible() &&
           (qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
            qobject_cast<const QComboBox*>(widget) || qobject_cast<const TKnob*>(widget) ||
            qobject_cast<const TSlider*>(widget) || qobject_cast<const TCheckLed*>(widget));
}

QRect InWindow(const QWidget* widget, const QWidget* window) {
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

TEST_F(EditorPanelTest, NothingOverlapsAndNothingIsClippedOnAnyPage) {
    QTabWidget* pages = panel_->SoundEditPageControl;
    std::set<QLabel*> captions;
    for (QWidget* control : panel_->controls)
        if (QLabel* caption = CaptionOf(control))
            captions.insert(caption);

    for (int page = 0; page < EditorPageCount; ++page) {
        SCOPED_TRACE("page " + std::to_string(page + 1));
        pages->setCurrentIndex(page);
        QWidget* pageWidget = pages->widget(page);
        const QRect pageArea = InWindow(pageWidget, window_);

        std::vector<QWidget*> items;
        for (QWidget* widget : pageWidget->findChildren<QWidget*>())
            if (IsVisibleItem(widget))
                items.push_back(widget);
        ASSERT_GT(items.size(), 10u);

        for (std::size_t i = 0; i < items.size(); ++i) {
            const QRect a = InWindow(items[i], window_);
            const std::string name = items[i]->objectName().toStdString();
            // Inside the page, and inside its group box's frame.
            EXPECT_TRUE(pageArea.contains(a)) << name;
            if (QGroupBox* box = GroupOf(items[i])) {
                EXPECT_TRUE(InWindow(box, window_).contains(a)) << name;
            }
            // Whole within the widget it sits on: a caption may be wider
            // than its control, never wider than its room.
            EXPECT_TRUE(items[i]->parentWidget()->rect().contains(items[i]->geometry()))
                << name << " in " << items[i]->parentWidget()->objectName().toStdString();
            for (std::size_t j = i + 1; j < items.size(); ++j) {
                if (items[i]->isAncestorOf(items[j]) || items[j]->isAncestorOf(items[i]))
                    continue;
                EXPECT_FALSE(a.intersects(InWindow(items[j], window_)))
                    << name << " overlaps " << items[j]->objectName().toStdString();
            }
        }

        // Every caption shows its whole text.
        for (QWidget* item : items) {
            auto* label = qobject_cast<QLabel*>(item);
            if (label && captions.count(label)) {
                EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
                    << label->objectName().toStdString();
            }
        }
    }
    pages->setCurrentIndex(0);
}

TEST_F(EditorPanelTest, TheWindowHasAFixedSizeThatFitsA1366By768Screen) {
    // A window frame takes up to 8 pixels a side and 32 for the title bar;
    // the task bar another 16.
    EXPECT_LE(window_->width() + 16, 1366);
    EXPECT_LE(window_->height() + 32 + 8 + 16, 768);
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
    EXPECT_EQ(window_->size(), window_->minimumSize());
}

TEST_F(EditorPanelTest, TabReachesEveryControlSectionBySection) {
    std::vector<QWidget*> chain;
    QWidget* widget = panel_->edtName;
    do {
        chain.push_back(widget);
        widget = widget->nextInFocusChain();
    } while (widget != panel_->edtName && chain.size() < 5000);

    auto position = [&](QWidget* w) {
        return static_cast<int>(std::find(chain.begin(), chain.end(), w) - chain.begin());
    };
    std::vector<std::string_view> groupsInChain;
    for (std::size_t row = 0; row < ParameterBindings.size(); ++row) {
        const int at = position(panel_->controls[row]);
        ASSERT_LT(at, static_cast<int>(chain.size())) << ParameterBindings[row].key;
        // Each control's "R" button comes right after it.
        EXPECT_EQ(position(panel_->randomButtons[row]), at + 1) << ParameterBindings[row].key;
    }
    // Sections one after the other: the bound controls of a group box form
    // one run in the chain, and the pages follow each other.
    std::vector<const ParameterBinding*> inChain;
    for (QWidget* w : chain)
        for (std::size_t row = 0; row < ParameterBindings.size(); ++row)
            if (panel_->controls[row] == w)
                inChain.push_back(&ParameterBindings[row]);
    ASSERT_EQ(inChain.size(), ParameterBindings.size());
    std::set<std::string_view> finished;
    for (std::size_t i = 1; i < inChain.size(); ++i) {
        EXPECT_GE(inChain[i]->page, inChain[i - 1]->page);
        if (inChain[i]->group != inChain[i - 1]->group) {
            finished.insert(inChain[i - 1]->group);
            EXPECT_EQ(finished.count(inChain[i]->group), 0u) << inChain[i]->key;
        }
    }
}

} // namespace
