// A master password change over 10,000 access records, from the press of
// the save button until the window has closed (digest saved, every password
// deciphered and enciphered again, one commit, detail tabs re-queried), next
// to 10,000 plain updates of the same column in one transaction through the
// bare client API. Every run starts from a fresh copy of the filled database.

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <cstdio>
#include <vector>

#include "app/window/MainWindow.h"
#include "app/window/Startup.h"
#include "common/BenchDatabase.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Dialogs.h"
#include "store/core/IBDatabase.h"
#include "store/core/SqlStatement.h"
#include "vault/core/LbBlowfish.h"
#include "vault/core/LbSHA1.h"
#include "vault/window/VaultWindows.h"

namespace {

constexpr int kRecords = 10000;
const QString kOld = QStringLiteral("altes-Kennwort");
const QString kNew = QStringLiteral("neues-Kennwort");

// Answers as the user of a change would: no backup, the old password, and
// in the window the new one twice and save, timed.
class TBenchDialogs : public TDialogs {
public:
    double savedMs = -1;
    int MessageBox(const QString &, const QString &, TMsgIcon, int buttons) override {
        return (buttons & mbNo) ? mbNo : mbOK;
    }
    bool InputQuery(const QString &, const QString &, QString &value, bool, int) override {
        value = kOld;
        return true;
    }
    QString OpenFileName(const QString &, const QString &, const QString &, bool) override { return {}; }
    QString SaveFileName(const QString &, const QString &, const QString &, const QString &) override { return {}; }
    int ShowModal(QDialog *dialog) override {
        dialog->show();
        QApplication::processEvents();
        auto *w = qobject_cast<TfrmMasterKW *>(dialog);
        if (w && w->WindowState() == TfrmMasterKW::TWindowState::Changing) {
            QTest::keyClicks(w->EditKennwort1, kNew);
            QTest::keyClicks(w->EditKennwort2, kNew);
            QElapsedTimer t;
            t.start();
            QTest::mouseClick(w->BtnSaveMasterKW, Qt::LeftButton);
            savedMs = double(t.nsecsElapsed()) / 1e6;
        }
        if (dialog->isVisible()) dialog->close();
        return dialog->result();
    }
    void Beep() override {}
};

QString Digest(const QString &password) { return TLbSHA1().DigestText(password.toLatin1()); }

void Fill(BenchFolder &folder) {
    FillPlan plan;
    plan.projects = 1000;  // ten records a project
    plan.rowsPerDetailTable = 0;
    plan.accessRowsPerProject = kRecords / plan.projects;
    plan.masterDigest = Digest(kOld);
    FillDatabase(folder.Database(), plan);
}

double ProgramChange(int run) {
    BenchFolder folder;
    Fill(folder);
    auto owned = std::make_unique<TBenchDialogs>();
    TBenchDialogs &dialogs = *owned;
    TDialogs::Install(std::move(owned));
    double ms = -1;
    {
        TTresoroApp program(folder.ProgramFile(), {}, QStringLiteral("TresoroBenchVault-%1-%2").arg(QCoreApplication::applicationPid()).arg(run));
        if (!program.Start()) std::exit(2);
        program.frmMain->BtnMasterkey->trigger();
        ms = dialogs.savedMs;
        // The change must have happened, completely.
        TDataModule1 &dm = *program.DataModule1;
        if (dm.QueryValue(QStringLiteral("select count(*) from TBLALLGEMEIN where MASTERKENNWORT = '%1'").arg(Digest(kNew))).toInt() != 1 ||
            !program.frmMain->isVisible()) {
            std::fprintf(stderr, "the change did not complete\n");
            std::exit(3);
        }
        TLbBlowfish check;
        check.KeyFromPassPhrase(Digest(kNew).toLatin1());
        const QString last = dm.QueryValue(QStringLiteral("select KENNWORT from TBLZUGANGSDATEN where ID = %1").arg(kRecords)).toString();
        if (check.DecipherText(last.toLatin1()) != BenchAccessPassword(kRecords).toLatin1()) {
            std::fprintf(stderr, "a password was not re-enciphered\n");
            std::exit(3);
        }
    }
    TDialogs::Install(nullptr);
    return ms;
}

// The same column written 10,000 times in one transaction, statement
// prepared once, values made beforehand.
double BareUpdates() {
    BenchFolder folder;
    Fill(folder);
    TLbBlowfish cipher;
    cipher.KeyFromPassPhrase(Digest(kNew).toLatin1());
    std::vector<QByteArray> values;
    values.reserve(kRecords);
    for (int id = 1; id <= kRecords; ++id) values.push_back(cipher.EncipherText(BenchAccessPassword(id).toLatin1()));

    TIBDatabase db;
    db.DatabaseName = folder.Database();
    db.Password = QStringLiteral("masterkey");
    TIBTransaction tr(db);
    db.Open();
    using namespace Firebird;
    FbStatus status(db.Client());
    QElapsedTimer t;
    t.start();
    IAttachment *att = db.Attachment();
    ITransaction *tra = tr.Handle();
    const char *sql = "update TBLZUGANGSDATEN set KENNWORT = ? where ID = ?";
    IStatement *stmt = att->prepare(&status, tra, 0, sql, 3, 0);
    IMessageMetadata *in = stmt->getInputMetadata(&status);
    QByteArray buffer(int(in->getMessageLength(&status)), '\0');
    char *msg = buffer.data();
    const unsigned textAt = in->getOffset(&status, 0), idAt = in->getOffset(&status, 1);
    *reinterpret_cast<short *>(msg + in->getNullOffset(&status, 0)) = 0;
    *reinterpret_cast<short *>(msg + in->getNullOffset(&status, 1)) = 0;
    for (int id = 1; id <= kRecords; ++id) {
        const QByteArray &v = values[size_t(id - 1)];
        *reinterpret_cast<unsigned short *>(msg + textAt) = static_cast<unsigned short>(v.size());
        std::memcpy(msg + textAt + sizeof(unsigned short), v.constData(), size_t(v.size()));
        *reinterpret_cast<ISC_LONG *>(msg + idAt) = id;
        stmt->execute(&status, tra, in, msg, nullptr, nullptr);
    }
    in->release();
    stmt->free(&status);
    tr.Commit();
    const double ms = double(t.nsecsElapsed()) / 1e6;
    db.Close();
    return ms;
}

// The access dataset's own modify statement, executed 10,000 times bare in
// one transaction with the values the change writes: every column of the
// row, the remark handed back by its BLOB identity as the dataset does.
double BareModifyStatements() {
    BenchFolder folder;
    Fill(folder);
    TLbBlowfish cipher;
    cipher.KeyFromPassPhrase(Digest(kNew).toLatin1());
    TDataModule1 dm(folder.ProgramFile());
    const QStringList modify = dm.IBDataSetZugangsdaten->ModifySQL;

    TIBDatabase db;
    db.DatabaseName = folder.Database();
    db.Password = QStringLiteral("masterkey");
    TIBTransaction tr(db);
    db.Open();
    double ms = 0;
    {
        TSqlStatement select(tr, QStringLiteral("select * from TBLZUGANGSDATEN order by ID"));
        const QVector<TRowValues> rows = select.Fetch({}, true);
        QStringList columns;
        for (const auto &c : select.Columns()) columns << c.Name;
        const int blob = int(columns.indexOf(QStringLiteral("BESCHREIBUNG")));
        TSqlStatement stmt(tr, TIBDataSet::StatementText(modify));
        std::vector<TRowValues> params;
        params.reserve(size_t(rows.size()));
        for (const TRowValues &row : rows) {
            TRowValues p;
            for (const QString &name : stmt.ParamNames()) {
                const QString field = name.startsWith(QLatin1String("OLD_")) ? name.mid(4) : name;
                const int c = int(columns.indexOf(field));
                if (field == QLatin1String("KENNWORT"))
                    p << QString::fromLatin1(cipher.EncipherText(BenchAccessPassword(row.at(0).toInt()).toLatin1()));
                else if (c == blob)
                    p << row.at(columns.size());  // the BLOB's identity
                else
                    p << row.at(c);
            }
            params.push_back(std::move(p));
        }
        QElapsedTimer t;
        t.start();
        for (const TRowValues &p : params) stmt.Execute(p);
        tr.Commit();
        ms = double(t.nsecsElapsed()) / 1e6;
    }
    db.Close();
    return ms;
}

}  // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int kRuns = 3;
    std::vector<double> change, bare, modify;
    for (int i = 0; i < kRuns; ++i) {
        bare.push_back(BareUpdates());
        modify.push_back(BareModifyStatements());
        change.push_back(ProgramChange(i));
    }
    for (auto *v : {&change, &bare, &modify}) std::sort(v->begin(), v->end());
    const double c = change[kRuns / 2], b = bare[kRuns / 2], m = modify[kRuns / 2];
    std::printf("records: %d\n", kRecords);
    PrintFigure("master_change_ms", c);
    PrintFigure("bare_one_column_updates_ms", b);
    PrintFigure("one_column_ratio", c / b);
    PrintFigure("bare_modify_statements_ms", m);
    PrintRatio(c / m);
    return 0;
}
