#pragma once

#include "file_chooser.h"
#include "prompter.h"

#include <QStringList>

#include <deque>
#include <vector>

// A prompter that answers from a script and remembers every question.
class ScriptedPrompter : public Prompter {
public:
    std::deque<Answer> answers;
    QStringList questions;
    std::vector<Buttons> buttons; // of each question
    QStringList messages;

    Answer Confirm(const QString& question, Buttons shown) override {
        questions << question;
        buttons.push_back(shown);
        if (answers.empty())
            return Answer::No;
        const Answer next = answers.front();
        answers.pop_front();
        return next;
    }
    void ShowMessage(const QString& text) override { messages << text; }
};

// A file chooser that returns scripted paths; an empty path is a cancel.
class ScriptedFileChooser : public FileChooser {
public:
    std::deque<QString> paths;
    int asked = 0;

    QString OpenFileName() override { return Next(); }
    QString SaveFileName() override { return Next(); }

private:
    QString Next() {
        ++asked;
        if (paths.empty())
            return {};
        QString next = paths.front();
        paths.pop_front();
        return next;
    }
};
