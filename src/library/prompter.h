#pragma once

#include <QString>

class QWidget;

// Every yes/no question and message box of the program goes through here, so
// commands can be driven by tests with scripted answers.
class Prompter {
public:
    enum class Answer { Yes, No, Cancel };
    // YesNoDefaultNo: Enter answers No, for a question whose Yes cannot be undone.
    enum class Buttons { YesNo, YesNoCancel, YesNoDefaultNo };

    virtual ~Prompter() = default;
    virtual Answer Confirm(const QString& question, Buttons buttons = Buttons::YesNo) = 0;
    virtual void ShowMessage(const QString& text) = 0;
};

class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent) : parent_(parent) {}
    Answer Confirm(const QString& question, Buttons buttons) override;
    void ShowMessage(const QString& text) override;

private:
    QWidget* parent_;
};
