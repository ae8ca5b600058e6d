#include <QtTest>

#include <stdexcept>

#include "services/core/HotLog.h"
#include "services/core/HotLogParser.h"

namespace {

const QDateTime kNow(QDate(2007, 6, 5), QTime(14, 3, 27));

THLFacts MakeFacts(const QStringList &params = {QStringLiteral("a"), QStringLiteral("b")}) {
    return {QStringLiteral("tresoro"), QStringLiteral("1.1.1.5"), QStringLiteral("/prog/"), params};
}

QString Spaces(int n) { return QString(n, QLatin1Char(' ')); }
QString Stars(int n) { return QString(n, QLatin1Char('*')); }

// A tag whose value cannot be computed.
class FailingParser : public THotLogParser {
public:
    FailingParser() : THotLogParser(MakeFacts()) {}

protected:
    std::optional<QString> TagValue(const QString &lowerName, const QDateTime &now) const override {
        if (lowerName == u"boom") throw std::runtime_error("no value");
        return THotLogParser::TagValue(lowerName, now);
    }
};

}  // namespace

class TestHotLogParser : public QObject {
    Q_OBJECT
private slots:
    void expandsText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<QStringList>("lines");
        const QStringList ab{QStringLiteral("a"), QStringLiteral("b")};
        const QString stamp = QStringLiteral("2007-06-05 14:03:27");
        auto row = [&](const char *name, const QString &text, const QStringList &lines, const QStringList &params = {}) {
            QTest::newRow(name) << text << (params.isEmpty() ? ab : params) << lines;
        };
        row("plain message", "05.06.2007 14:03:27: Backup beendet", {"05.06.2007 14:03:27: Backup beendet"});
        row("empty text is one empty line", "", {""});
        row("line end removed", "abc\r\n", {"abc"});
        row("at most two line ends removed", "abc\n\n\r", {"abc\n"});
        row("single character loses its braces", "Wert {x} gesetzt", {"Wert x gesetzt"});
        row("longer name is an unknown tag", "Projekt {Alpha} gelöscht", {"Projekt #HLTag(Alpha) gelöscht"});
        row("date inside a message", "Stand {dte}", {"Stand 2007-06-05"});
        row("names ignore case", "{DTE} {hMs}", {stamp});
        row("empty braces vanish", "a{}b", {"ab"});
        row("closing brace first", "a}b{c}", {"a}b{c}"});
        row("no closing brace", "Menge {3", {"Menge {3"});
        row("first closing brace ends the name", "{a{b}c", {"#HLTag(a{b)c"});
        row("line break", "a{/}b", {"a", "b"});
        row("break at the end adds an empty line", "a{/}", {"a", ""});
        row("numbering switch alone is an empty line", "{LNumOff}", {""});
        row("fill at the start", "{*80*}", {Stars(80)});
        row("fill pads the item before", "abc{*10*}", {"abc*******"});
        row("fill after a tag that produced nothing", "{/}{LNumOff}{*80*}", {"", Stars(80)});
        row("fill with a bad number", "ab{*x*}", {"#HLTag(*x*) ab"});
        row("program facts", "{App_name} {App_ver} {App_path}", {"tresoro 1.1.1.5 /prog/"});
        row("parameters", "{App_prm-}", {"a, b"});
        row("no parameters", "{App_prm-}", {"(No params)"}, {QString()});
        row("values are not expanded again", "{App_prm-}", {"{x}, {dte}"}, {"{x}", "{dte}"});
        row("parameter tag needs its dash", "{App_prm}", {"#HLTag(App_prm)"});
        row("move to column", "{@12}From : /prog/", {Spaces(11) + "From : /prog/"});
        row("column already passed", "abcdefghijklmn{@12}x", {"abcdefghijklmn x"});
        row("right-aligned group", ">>>> Start {App_name}  v {App_ver}{80@}{&}{dte} {hms}{&}",
            {">>>> Start tresoro  v 1.1.1.5" + Spaces(32) + stamp});
        row("right-align without group takes the next item only", "x{20@}{dte} {hms}", {"x" + Spaces(9) + stamp});
        row("group without closing mark runs to the end", "{20@}{&}{dte} {hms}", {" " + stamp});
        row("right-align that does not fit", "abcdefghij{5@}xyz", {"abcdefghij xyz"});
        row("alignment with a bad number", "a{@x}b", {"a#HLTag(@x) b"});
        row("alignment at the end is dropped", "abc{@12}", {"abc"});
    }
    void expandsText() {
        QFETCH(QString, text);
        QFETCH(QStringList, params);
        QFETCH(QStringList, lines);
        params.removeAll(QString());
        THotLogParser parser(MakeFacts(params));
        QCOMPARE(parser.ExpandText(text, kNow), lines);
    }

    void expandsTheStandardBlocks() {
        THotLogParser parser(MakeFacts({}));
        const QString stamp = QStringLiteral("2007-06-05 14:03:27");
        const QStringList header{"",
                                 Stars(80),
                                 ">>>> Start tresoro  v 1.1.1.5" + Spaces(32) + stamp,
                                 Spaces(11) + "From : /prog/",
                                 Spaces(11) + "Prms : (No params)",
                                 ""};
        QCOMPARE(parser.ExpandTemplate(THotLog::StandardHeaderTemplate(), kNow), header);
        const QStringList footer{"", "<<<< Stop  tresoro" + Spaces(43) + stamp, Stars(80), ""};
        QCOMPARE(parser.ExpandTemplate(THotLog::StandardFooterTemplate(), kNow), footer);
        QCOMPARE(parser.LineCount(), quint64(header.size() + footer.size()));
    }

    void reportsFailuresInTheLog() {
        FailingParser parser;
        QCOMPARE(parser.ExpandText(QStringLiteral("a {boom} b"), kNow), QStringList{"#HLParserSTR(a {boom} b)"});
        QCOMPARE(parser.ExpandTemplate({QStringLiteral("x{/}y"), QStringLiteral("{boom}"), QStringLiteral("z")}, kNow),
                 (QStringList{"x", "y", "#HLParserTSL.Strings)"}));
        // logging goes on
        QCOMPARE(parser.ExpandText(QStringLiteral("{dte}"), kNow), QStringList{"2007-06-05"});
    }
};

QTEST_GUILESS_MAIN(TestHotLogParser)
#include "test_hotlog_parser.moc"
