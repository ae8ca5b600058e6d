#pragma once
// The rules of the to-do and appointment records that any front end needs:
// how stored values are shown, the progress stops and their coupling with
// the done flag, what the before-save hooks write, the delete texts, the
// column widths of the lists and the enabling tables of both tabs.

#include <QDate>
#include <QString>
#include <QVariant>
#include <array>

#include "store/core/DataSet.h"
#include "store/core/DateEntry.h"
#include "store/core/Workflow.h"

namespace planning {

// --- dates ----------------------------------------------------------------------

// Due dates up to this day count as no date at all ("1.1.2000").
QDate NoDateThreshold();
// The date a to-do's date field shows for a stored BISTERMIN: invalid (the
// field is empty) for NULL and for dates not later than the threshold.
QDate ShownDueDate(const QVariant &stored);
// The date an appointment's date field shows for TERMINDATUM: invalid for NULL.
QDate ShownAppointmentDate(const QVariant &stored);

// Typed dates: ParseDateEntry and NotADateMessage (store/core/DateEntry.h).
// The text a date field shows: German short date, empty for an invalid date.
QString DateFieldText(const QDate &date);

// --- progress and done flag -------------------------------------------------------

inline constexpr std::array<int, 5> ProgressStops{0, 25, 50, 75, 100};
// The nearest stop (ties go up); values outside 0 .. 100 are clamped.
int SnapProgress(int value);
// First coupling rule: a slider position decides the box.
inline bool DoneForProgress(int position) { return position >= 100; }
// Second rule: the user's click on the box decides the slider.
inline int ProgressForDone(bool ticked) { return ticked ? 100 : 0; }
// Step 5 of the fill: ERLEDIGT 1 ticks, 0 clears, anything else leaves the
// box as the slider set it.
bool DoneShown(const QVariant &erledigt, bool fromSlider);

// --- the before-save hooks ----------------------------------------------------------

// What the to-do tab's unbound controls show when the row is posted.
struct TToDoEntry {
    QString dateText;  // the date field's text
    int progress = 0;  // the slider's position
    bool done = false; // the box
};
// Sets PROJEKTID, BISTERMIN (only for a non-empty date text), FORTSCHRITT
// and ERLEDIGT. A date text that is no date throws EDatabaseError before
// anything is set.
void WriteToDo(TIBDataSet &ds, const QVariant &projectId, const TToDoEntry &entry);
// Sets PROJEKTID and TERMINDATUM (only for a non-empty date text); throws
// like WriteToDo.
void WriteAppointment(TIBDataSet &ds, const QVariant &projectId, const QString &dateText);

// --- deletes ------------------------------------------------------------------

TDeleteTexts ToDoDeleteTexts();
TDeleteTexts AppointmentDeleteTexts();

// --- the lists' column widths ------------------------------------------------------

// "Beschreibung", "Erledigt", "Fortschritt", "Endtermin" for a list W wide.
// The date column is 66 pixels, or `dateWidth` where the desktop's font needs
// more for a whole date.
std::array<int, 4> ToDoColumnWidths(int width, int dateWidth = 66);
// "Termin", "Beschreibung".
std::array<int, 2> AppointmentColumnWidths(int width, int dateWidth = 66);

// --- enabling ---------------------------------------------------------------------

enum class TPlanningKind { ToDo, Appointment };
// The tab's enabling table: what the state handler sets for a state and the
// project flag. The to-do tab also enables the save button in Browse.
TDetailEnabling PlanningEnabling(TPlanningKind kind, TDataSetState state, bool projekteVorhanden);

}  // namespace planning
