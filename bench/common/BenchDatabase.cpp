#include "common/BenchDatabase.h"

#include <QFile>
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "store/core/IBDatabase.h"
#include "store/core/SqlStatement.h"
#include "vault/core/LbBlowfish.h"

BenchFolder::BenchFolder() {
    if (!dir_.isValid() || !QFile::copy(QStringLiteral(TRESORO_INSTALLED_DB), Database()))
        throw std::runtime_error("cannot prepare a benchmark folder");
    QFile::setPermissions(Database(), QFile::ReadOwner | QFile::WriteOwner);
}

QString BenchAccessPassword(int id) { return QStringLiteral("kennwort%1").arg(id); }

void FillDatabase(const QString &databaseFile, const FillPlan &plan) {
    TIBDatabase db;
    db.DatabaseName = databaseFile;
    db.Password = QStringLiteral("masterkey");
    TIBTransaction tr(db);
    db.Open();
    {
        TSqlStatement project(tr, QStringLiteral("insert into TBLPROJEKT (ID, PROJEKTNAME) values (?, ?)"));
        TSqlStatement access(tr, QStringLiteral("insert into TBLZUGANGSDATEN (ID, USERID, KENNWORT, BESCHREIBUNG, PROJEKTID) "
                                                "values (?, ?, ?, ?, ?)"));
        TSqlStatement mail(tr, QStringLiteral("insert into TBLEMAIL (ID, EMAILADRESSE, PROJEKTID) values (?, ?, ?)"));
        TSqlStatement phone(tr, QStringLiteral("insert into TBLTELEFON (ID, TELEFONNUMMER, NAME, PROJEKTID) values (?, ?, ?, ?)"));
        TSqlStatement date(tr, QStringLiteral("insert into TBLTERMINE (ID, TERMINDATUM, BESCHREIBUNG, PROJEKTID) values (?, ?, ?, ?)"));
        TSqlStatement todo(tr, QStringLiteral("insert into tbltodo (ID, BESCHREIBUNG, FORTSCHRITT, ERLEDIGT, BISTERMIN, PROJEKTID) "
                                              "values (?, ?, ?, ?, ?, ?)"));
        const int accessRows = plan.accessRowsPerProject < 0 ? plan.rowsPerDetailTable : plan.accessRowsPerProject;
        TLbBlowfish cipher;
        if (!plan.masterDigest.isEmpty()) {
            cipher.KeyFromPassPhrase(plan.masterDigest.toLatin1());
            TSqlStatement master(tr, QStringLiteral("update TBLALLGEMEIN set MASTERKENNWORT = ?"));
            master.Execute({plan.masterDigest});
        }
        auto password = [&](int id) -> QVariant {
            const QString clear = BenchAccessPassword(id);
            if (plan.masterDigest.isEmpty()) return clear;
            return QString::fromLatin1(cipher.EncipherText(clear.toLatin1()));
        };
        int accessId = 0, detailId = 0;
        const QDate base(2026, 1, 1);
        for (int p = 1; p <= plan.projects; ++p) {
            project.Execute({p, QStringLiteral("Projekt %1").arg(p)});
            for (int r = 0; r < accessRows; ++r) {
                ++accessId;
                access.Execute({accessId, QStringLiteral("benutzer%1").arg(accessId), password(accessId),
                                QStringLiteral("Bemerkung zu Zugang %1").arg(accessId), p});
            }
            for (int r = 0; r < plan.rowsPerDetailTable; ++r) {
                ++detailId;
                mail.Execute({detailId, QStringLiteral("person%1@example.org").arg(detailId), p});
                phone.Execute({detailId, QStringLiteral("+49 30 %1").arg(detailId), QStringLiteral("Kontakt %1").arg(detailId), p});
                date.Execute({detailId, base.addDays(detailId % 365), QStringLiteral("Termin %1").arg(detailId), p});
                todo.Execute({detailId, QStringLiteral("Aufgabe %1").arg(detailId), (detailId % 5) * 25, detailId % 2,
                              base.addDays(detailId % 365), p});
            }
        }
        auto setGen = [&](const char *gen, int value) {
            TSqlStatement s(tr, QStringLiteral("set generator %1 to %2").arg(QLatin1String(gen)).arg(value));
            s.Execute();
        };
        setGen("GEN_TBLPROJEKT_ID", plan.projects);
        setGen("GEN_TBLZUGANGSDATEN_ID", accessId);
        for (const char *g : {"GEN_TBLEMAIL_ID", "GEN_TBLTELEFON_ID", "GEN_TBLTERMINE_ID", "GEN_TBLTODO_ID"}) setGen(g, detailId);
    }
    tr.Commit();
    db.Close();
}

double MedianMs(int runs, const std::function<void()> &work) {
    std::vector<double> times;
    times.reserve(size_t(runs));
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
