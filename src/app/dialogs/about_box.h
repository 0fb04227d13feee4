#pragma once

#include <QString>

class Prompter;

// The About message: product, version and contact, one per line.
QString AboutText();
// The "About" command of the Help menu.
void ShowAbout(Prompter& prompter);
