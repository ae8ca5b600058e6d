#include "planning/core/CalendarMarks.h"

#include "platform/core/Dialogs.h"
#include "platform/core/GermanFormat.h"
#include "store/core/DataModule.h"

namespace planning {

TMonthBounds MonthBounds(const QDate &shown) {
    const QDate from(shown.year(), shown.month(), 1);
    return {from, from.addMonths(1)};
}

QStringList AppointmentMarksSql(const TMonthBounds &b) {
    return {QStringLiteral("select tblprojekt.projektname, tbltermine.projektid, tbltermine.beschreibung, tbltermine.termindatum "),
            QStringLiteral("from tblprojekt, tbltermine "),
            QStringLiteral("where tblprojekt.id = tbltermine.projektid and "),
            QStringLiteral("tbltermine.termindatum >= '") + de::DateText(b.from) + QStringLiteral("'") + QStringLiteral(" and "),
            QStringLiteral("tbltermine.termindatum <= '") + de::DateText(b.to) + QStringLiteral("'")};
}

QStringList OpenToDoMarksSql(const TMonthBounds &b) {
    return {QStringLiteral("select tblprojekt.projektname, tbltodo.projektid, tbltodo.beschreibung, tbltodo.bistermin, tbltodo.erledigt "),
            QStringLiteral("from tblprojekt, tbltodo "),
            QStringLiteral("where tblprojekt.id = tbltodo.projektid and "),
            QStringLiteral("tbltodo.erledigt = 0 and "),
            QStringLiteral("tbltodo.bistermin >= '") + de::DateText(b.from) + QStringLiteral("'") + QStringLiteral(" and "),
            QStringLiteral("tbltodo.bistermin <= '") + de::DateText(b.to) + QStringLiteral("'")};
}

QString AppointmentHint(const QString &projectName, const QString &description) {
    return QStringLiteral("TERMIN: ") + projectName + QStringLiteral(": ") + description;
}

QString ToDoHint(const QString &projectName, const QString &description) {
    return QStringLiteral("ToDo: ") + projectName + QStringLiteral(": ") + description;
}

namespace {
void Collect(TIBQuery &q, const QStringList &sql, TCalendarMark::Kind kind, const QString &dateField,
             QList<TCalendarMark> &out) {
    {
        TWaitCursor wait;
        q.Close();
        q.SQL() = sql;
        q.Open();
    }
    const int name = q.FieldIndex(QStringLiteral("PROJEKTNAME"));
    const int description = q.FieldIndex(QStringLiteral("BESCHREIBUNG"));
    const int date = q.FieldIndex(dateField);
    const auto text = [](const QVariant &v) { return v.isNull() ? QString() : v.toString(); };
    out.reserve(out.size() + q.RecordCount());
    for (int row = 0; row < q.RecordCount(); ++row) {
        const QVariant d = q.RowValue(row, date);
        const QString n = text(q.RowValue(row, name)), b = text(q.RowValue(row, description));
        out.append({kind, d.typeId() == QMetaType::QDateTime ? d.toDateTime().date() : d.toDate(),
                    kind == TCalendarMark::Kind::Appointment ? AppointmentHint(n, b) : ToDoHint(n, b)});
    }
}
}  // namespace

QList<TCalendarMark> LoadMonthMarks(TDataModule1 &dm, const QDate &shown) {
    const TMonthBounds b = MonthBounds(shown);
    QList<TCalendarMark> marks;
    Collect(*dm.IBQueryZugangsdaten, AppointmentMarksSql(b), TCalendarMark::Kind::Appointment,
            QStringLiteral("TERMINDATUM"), marks);
    Collect(*dm.IBQueryZugangsdaten, OpenToDoMarksSql(b), TCalendarMark::Kind::ToDo, QStringLiteral("BISTERMIN"), marks);
    return marks;
}

}  // namespace planning
