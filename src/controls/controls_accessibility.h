#pragma once

class QObject;

// Accessibility of the self-drawn controls: a knob is a dial, a step slider a
// slider and an LED switch a check box. Assistive technology reads the caption
// as the name and the position or state as the value, and changes them
// through the controls' own setters. Their caption labels are passed over:
// the caption is read once, as the control's name.

// Registers the interfaces with Qt once; every control calls it when created.
void InstallControlsAccessibility();

// Tell assistive technology that a position or an on/off state changed.
void AnnounceValueChange(QObject* control, int position);
void AnnounceCheckedChange(QObject* control);
