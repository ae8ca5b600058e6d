#pragma once
// The save command shared by every tab: posts every dataset in insert or
// edit state in a fixed order, with the steps that belong to some of them.

#include <functional>

class TDataModule1;
class TShell;

struct TSaveSteps {
    // Ends input in the access-data fields before an access record is posted.
    std::function<void()> EndAccessDataInput;
    // Rebuilds the calendar's markers after an appointment or a to-do.
    std::function<void()> LoadCalendarMarks;
};

// Posts projects, access data, phone, e-mail, appointments, to-dos. The first
// failure skips the remaining steps and goes to the general error box. The
// save button ends disabled, unless a refused record is still being edited:
// the user corrects it and saves again. True when everything was saved.
bool SaveAll(TDataModule1 &dm, TShell &shell, const TSaveSteps &steps);
