#include <QtTest>

#include "store/core/SqlStatement.h"

class TestSql : public QObject {
    Q_OBJECT
private slots:
    void namedParametersBecomeMarkers_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QStringList>("params");
        QTest::newRow("plain") << "update T\nset\n  ID = :ID,\n  A = :a\nwhere\n  ID = :OLD_ID\n"
                               << "update T\nset\n  ID = ?,\n  A = ?\nwhere\n  ID = ?\n" << QStringList{"ID", "A", "OLD_ID"};
        QTest::newRow("literal kept") << "select * from t where a = ':x' and b = :y"
                                      << "select * from t where a = ':x' and b = ?" << QStringList{"Y"};
        QTest::newRow("doubled quote") << "select 'it''s :no' from t where c = :c"
                                       << "select 'it''s :no' from t where c = ?" << QStringList{"C"};
        QTest::newRow("quoted name") << "select \":NAME\" from t" << "select \":NAME\" from t" << QStringList{};
        QTest::newRow("comments") << "select 1 -- :a\nfrom t /* :b */ where x = :c"
                                  << "select 1 -- :a\nfrom t /* :b */ where x = ?" << QStringList{"C"};
        QTest::newRow("no name after colon") << "select a:1 from t" << "select a:1 from t" << QStringList{};
        QTest::newRow("unterminated literal") << "select 'abc :x" << "select 'abc :x" << QStringList{};
    }
    void namedParametersBecomeMarkers() {
        QFETCH(QString, sql);
        QFETCH(QString, sent);
        QFETCH(QStringList, params);
        const TParsedSql parsed = ParseSqlParams(sql);
        QCOMPARE(parsed.Text, sent);
        QCOMPARE(parsed.Params, params);
    }
    void dayNumbersMatchTheServers() {
        QCOMPARE(ToIscDate(QDate(1858, 11, 17)), 0);
        QCOMPARE(FromIscDate(ToIscDate(QDate(2008, 7, 23))), QDate(2008, 7, 23));
        QCOMPARE(ToIscTime(QTime(0, 0, 1)), 10000u);
    }
};

QTEST_GUILESS_MAIN(TestSql)
#include "test_sql.moc"
