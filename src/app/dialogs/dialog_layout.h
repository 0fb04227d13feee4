#pragma once

class QDialog;
class QPushButton;
class QWidget;

// Puts `content` into the dialog above one default "&Ok" button (object name
// "Button1") that accepts it, at a fixed size. Returns the button. With
// `cancel`, a "Cancel" button ("Button2") that rejects the dialog follows it.
QPushButton* LayOutWithOkButton(QDialog& dialog, QWidget& content, QPushButton** cancel = nullptr);
