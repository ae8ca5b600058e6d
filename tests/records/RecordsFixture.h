#pragma once
// The started program with a master password already set, and the small
// steps a user takes: clicking tool buttons, typing into the project list.

#include <QToolButton>

#include "app/AppFixture.h"
#include "support/Committed.h"
#include "records/window/DetailTab.h"
#include "records/window/ProjectList.h"
#include "support/window/Typing.h"

struct RecordsFixture : AppFixture {
    // seedSql: statements run on the database before the program starts.
    explicit RecordsFixture(const QStringList &seedSql = {}) {
        TDataModule1 seed(folder.ProgramFile());
        seed.Connect();
        QStringList all{QStringLiteral("update TBLALLGEMEIN set MASTERKENNWORT = '%1'").arg(QString(40, QLatin1Char('A')))};
        all << seedSql;
        for (const QString &sql : all) {
            TSqlStatement s(seed.IBTransaction, sql);
            s.Execute();
        }
        seed.IBTransaction.CommitRetaining();
    }

    bool Start() {
        if (!app->Start()) return false;
        return QTest::qWaitForWindowExposed(&Main());
    }

    // Clicks the tool button of an action like the mouse does; a disabled
    // button ignores the click, as on screen.
    static void Click(QAction *action) {
        QWidget *button = nullptr;
        for (QObject *o : action->associatedObjects())
            if (auto *b = qobject_cast<QToolButton *>(o)) button = b;
        QVERIFY2(button, qPrintable(action->objectName()));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Types a name into the current cell of the project list.
    void TypeProjectName(const QString &name) {
        TDBGridView *grid = Main().DBGridProjekte;
        grid->setFocus();
        TypeText(grid, name.left(1));  // the first key opens the cell editor
        if (name.size() > 1) TypeText(QApplication::focusWidget(), name.mid(1));
    }

    // Makes row `row` of a grid current as a mouse click does.
    static void ClickRow(TDBGridView *grid, int row) {
        const QRect r = grid->visualRect(grid->model()->index(row, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    }

    TProjectList &Projects() { return *Main().Projects; }
    TEmailTab &Email() { return *Main().EmailTab; }
    TTelefonTab &Telefon() { return *Main().TelefonTab; }

    QVariant Committed(const QString &sql) const {
        return CommittedValue(folder.File(QStringLiteral("tresoro.gdb")), sql);
    }
};
