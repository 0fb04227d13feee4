#include "about_box.h"

#include "prompter.h"

QString AboutText() {
    return QStringLiteral("Tonewright (freeware)\n"
                          "Version 1.03\n"
                          "Contact: the Tonewright developers");
}

void ShowAbout(Prompter& prompter) {
    prompter.ShowMessage(AboutText());
}
