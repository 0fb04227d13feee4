#pragma once

#include "parameter_list.h"

#include <QDialog>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

struct ParameterBinding;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

// "Parameter List View": every value of one editor control as a check list,
// checked = the randomizer may choose it, with buttons that tick rows one by
// one, in ranges or by scale. The checks live in an AllowedValueChecks the
// list mirrors; every close builds the result text from them.
class TfrmParameterListView : public QDialog {
    Q_OBJECT
public:
    // `value` is what the control shows (a knob's or LED's caption goes into
    // the window caption); `noteNames`: a step slider whose track plays notes.
    TfrmParameterListView(const ParameterBinding& binding, int value, std::string_view allowed,
                          bool noteNames, QWidget* parent = nullptr);

    // "1" per checked row, "0" per unchecked row, as the window last closed.
    const std::string& ResultText() const { return result_; }

    QListWidget* CheckListBox1 = nullptr;
    QPushButton* btnSelectAll = nullptr; // "Select All"
    QPushButton* Button2 = nullptr;      // "Invert"
    QPushButton* Button3 = nullptr;      // "Select to"
    QPushButton* Button4 = nullptr;      // "Select from"
    QLabel* lblFrom = nullptr;
    QComboBox* cmbFrom = nullptr;
    QLabel* lblTo = nullptr;
    QComboBox* cmbTo = nullptr;
    QLabel* lblScale = nullptr;
    QComboBox* cmbScale = nullptr;
    QPushButton* Button5 = nullptr; // "Select"
    QPushButton* Button1 = nullptr; // "Ok"

    void done(int result) override;

protected:
    // Opens with the first allowed value in view.
    void showEvent(QShowEvent* event) override;

private:
    // The highlighted row of the check list, if any.
    std::optional<std::size_t> HighlightedRow() const;
    // Runs `change` on the checks and shows the outcome.
    template <typename Change> void Apply(Change change);
    void ShowChecks();

    AllowedValueChecks checks_;
    std::string result_;
};

// Opens the Parameter List View for the control of `binding` showing `value`,
// its schema entry's `allowed` string and, for a step slider, whether its
// track plays notes. Returns the new allowed string on "Ok"; Escape or the close box give
// nothing.
std::optional<std::string> EditAllowedValues(QWidget* parent, const ParameterBinding& binding,
                                             int value, std::string_view allowed,
                                             bool noteNames = false);
