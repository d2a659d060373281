#pragma once
// The look both message windows share: caption, a picture on the left, the message in a
// frame beside it, and a row of buttons underneath.

#include <QString>

class QBoxLayout;
class QDialog;
class QWidget;

// Lays out dialog and returns the button row for the caller to fill.
QBoxLayout* layOutMessageWindow(QDialog& dialog, QWidget* message);

// Keeps window within the free area of its screen (without panels), so that its buttons
// stay in reach; call before it is shown.
void fitToScreen(QWidget& window);

// Texts arrive with CR LF line ends from the data files; the widgets want plain LF.
QString withPlainLineEnds(QString text);
