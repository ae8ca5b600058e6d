#pragma once
// What the running copy's window does when a later copy asks for it.

class QWidget;

// Shown, restored if minimised (a maximised window stays maximised),
// raised, activated.
void BringToFront(QWidget *window);
