#pragma once
// The two looks of input fields: open (the desktop's window colour, editable)
// and locked (the desktop's light 3-D colour, the grids' colour, read-only).

#include <QColor>

class QWidget;

// The desktop theme's light 3-D colour: between its button face and its
// mid-light shade, so that it follows light and dark themes alike.
QColor Cl3DLight();
// The desktop theme's window (text field) colour.
QColor ClWindow();

// Sets colour, colour while focused and read-only state of a line edit,
// memo, spin box or similar field; other widgets get only the colour.
void SetLook(QWidget *field, bool open);
inline void SetOpenLook(QWidget *field) { SetLook(field, true); }
inline void SetLockedLook(QWidget *field) { SetLook(field, false); }
bool IsOpenLook(const QWidget *field);
// Grids: always the light 3-D colour.
void SetGridLook(QWidget *grid);
