#include "planning/core/PlanningRules.h"

#include "store/core/Enabling.h"

#include <optional>

#include "platform/core/GermanFormat.h"
#include "store/core/DatabaseError.h"

namespace planning {

QDate NoDateThreshold() { return de::ParseDate(QStringLiteral("01.01.2000")); }

namespace {
QDate StoredDate(const QVariant &stored) {
    if (!stored.isValid() || stored.isNull()) return {};
    if (stored.typeId() == QMetaType::QDateTime) return stored.toDateTime().date();
    return stored.toDate();
}
}  // namespace

QDate ShownDueDate(const QVariant &stored) {
    const QDate d = StoredDate(stored);
    return d.isValid() && d > NoDateThreshold() ? d : QDate();
}

QDate ShownAppointmentDate(const QVariant &stored) { return StoredDate(stored); }

QString DateFieldText(const QDate &date) { return date.isValid() ? de::DateText(date) : QString(); }

int SnapProgress(int value) {
    const int v = qBound(0, value, 100);
    return (v + 12) / 25 * 25;
}

bool DoneShown(const QVariant &erledigt, bool fromSlider) {
    if (erledigt.isNull() || !erledigt.isValid()) return fromSlider;
    bool ok = false;
    const int v = erledigt.toInt(&ok);
    if (ok && v == 1) return true;
    if (ok && v == 0) return false;
    return fromSlider;
}

namespace {
// The date of a non-empty field, refused before the record is touched.
std::optional<QDate> FieldDate(const QString &dateText) {
    const TDateEntry e = ParseDateEntry(dateText);
    if (e.kind == TDateEntry::Kind::Invalid) throw EDatabaseError(NotADateMessage(dateText));
    if (e.kind == TDateEntry::Kind::Empty) return std::nullopt;
    return e.date;
}
}  // namespace

void WriteToDo(TIBDataSet &ds, const QVariant &projectId, const TToDoEntry &entry) {
    const std::optional<QDate> date = FieldDate(entry.dateText);
    ds.FieldByName(QStringLiteral("PROJEKTID")).SetValue(projectId);
    // An empty field leaves the stored date: dates up to the threshold show
    // empty and must survive a save.
    if (date) ds.FieldByName(QStringLiteral("BISTERMIN")).SetValue(*date);
    ds.FieldByName(QStringLiteral("FORTSCHRITT")).SetValue(entry.progress);
    ds.FieldByName(QStringLiteral("ERLEDIGT")).SetValue(entry.done ? 1 : 0);
}

void WriteAppointment(TIBDataSet &ds, const QVariant &projectId, const QString &dateText) {
    const std::optional<QDate> date = FieldDate(dateText);
    ds.FieldByName(QStringLiteral("PROJEKTID")).SetValue(projectId);
    if (date) ds.FieldByName(QStringLiteral("TERMINDATUM")).SetValue(*date);
}

TDeleteTexts ToDoDeleteTexts() {
    const QString done = QStringLiteral(" wurde gelöscht");
    return {QStringLiteral("Kein ToDo-Item zum Löschen vorhanden"), QStringLiteral("Soll das ToDo-Item "),
            QStringLiteral("ToDo-Item "), done, QStringLiteral("ToDo-Item "), done};
}

TDeleteTexts AppointmentDeleteTexts() {
    const QString done = QStringLiteral(" wurde gelöscht");
    return {QStringLiteral("Kein Termin zum Löschen vorhanden"), QStringLiteral("Soll der Termin "),
            QStringLiteral("Termin "), done, QStringLiteral("Termin "), done};
}

std::array<int, 4> ToDoColumnWidths(int width, int dateWidth) {
    const int description = width / 2;
    const int date = qMax(66, dateWidth);
    // A wider date column is taken from "Fortschritt".
    return {description, 44, width - description - 114 - (date - 66), date};
}

std::array<int, 2> AppointmentColumnWidths(int width, int dateWidth) {
    const int date = qMax(66, dateWidth);
    return {date, width - date - 4};
}

TDetailEnabling PlanningEnabling(TPlanningKind kind, TDataSetState state, bool projekteVorhanden) {
    const TEnablingTable &table = kind == TPlanningKind::ToDo ? enabling::kToDo : enabling::kAppointments;
    return DetailEnabling(table.Row(state, projekteVorhanden));
}

}  // namespace planning
