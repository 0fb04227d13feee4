#pragma once

#include <QString>

class QWidget;

// Open and save dialogs for .syx files. An empty result means the user cancelled.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual QString OpenFileName() = 0;
    virtual QString SaveFileName() = 0;
};

class DialogFileChooser : public FileChooser {
public:
    explicit DialogFileChooser(QWidget* parent) : parent_(parent) {}
    QString OpenFileName() override;
    QString SaveFileName() override;

private:
    QWidget* parent_;
};
