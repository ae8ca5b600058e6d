#include "services/core/HotLogParser.h"

#include <exception>
#include <utility>
#include <vector>

namespace {

QString FromWhat(const std::exception &e) { return QString::fromLocal8Bit(e.what()); }

QString UnknownTag(const QString &name) { return QStringLiteral("#HLTag(") + name + QLatin1Char(')'); }

bool IsLineEnd(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

// Up to two trailing line-end characters go; the writer adds CR LF itself.
QStringView WithoutLineEnd(const QString &text) {
    qsizetype n = text.size();
    for (int i = 0; i < 2 && n > 0 && IsLineEnd(text.at(n - 1)); ++i) --n;
    return QStringView(text).first(n);
}

}  // namespace

struct THotLogParser::Item {
    enum class Kind {
        Text,     // produced characters
        Tag,      // a name in braces, before expansion
        Break,    // {/}
        Group,    // {&}
        Nothing,  // a tag that produced nothing
        AlignAt,  // {@n}: next item starts in column n
        AlignTo,  // {n@}: next item ends in column n
        BadAlign  // an alignment tag whose number is not a number
    };
    Kind kind;
    QString text;  // Text: the characters; Tag, BadAlign: the tag's name
    int column = 0;
};

THotLogParser::THotLogParser(THLFacts facts) : facts_(std::move(facts)) {}

std::optional<QString> THotLogParser::TagValue(const QString &lowerName, const QDateTime &now) const {
    if (lowerName == u"dte") return now.date().toString(QStringLiteral("yyyy-MM-dd"));
    if (lowerName == u"hms") return now.time().toString(QStringLiteral("HH:mm:ss"));
    if (lowerName == u"app_name") return facts_.AppName;
    if (lowerName == u"app_ver") return facts_.AppVersion;
    if (lowerName == u"app_path") return facts_.AppPath;
    if (lowerName == u"app_prm-")
        return facts_.Params.isEmpty() ? QStringLiteral("(No params)") : facts_.Params.join(QStringLiteral(", "));
    return std::nullopt;
}

std::vector<THotLogParser::Item> THotLogParser::Split(QStringView text) const {
    using K = Item::Kind;
    std::vector<Item> items;
    QStringView rest = text;
    try {
        while (!rest.isEmpty()) {
            const qsizetype open = rest.indexOf(QLatin1Char('{'));
            const qsizetype close = rest.indexOf(QLatin1Char('}'));
            if (open < 0 || close < 0 || close < open) {
                items.push_back({K::Text, rest.toString()});
                break;
            }
            if (open > 0) items.push_back({K::Text, rest.first(open).toString()});
            const QStringView name = rest.sliced(open + 1, close - open - 1);
            rest = rest.sliced(close + 1);
            if (name.isEmpty()) continue;
            if (name.size() == 1 && name != u"&" && name != u"/")
                items.push_back({K::Text, name.toString()});
            else
                items.push_back({K::Tag, name.toString()});
        }
    } catch (const std::exception &e) {
        items.clear();
        items.push_back({K::Text, QStringLiteral("#HLParsing(") + FromWhat(e) + QStringLiteral(")with:(") +
                                      rest.toString() + QLatin1Char(')')});
    }
    return items;
}

void THotLogParser::ExpandInto(const QString &whole, const QDateTime &now, QStringList &out) const {
    using K = Item::Kind;
    const QStringView text = WithoutLineEnd(whole);
    if (!text.contains(QLatin1Char('{'))) {  // the common case: nothing to expand
        out.append(text.size() == whole.size() ? whole : text.toString());
        return;
    }

    // Value and fill tags; alignment tags become markers.
    std::vector<Item> items;
    for (Item &item : Split(text)) {
        if (item.kind != K::Tag) {
            items.push_back(std::move(item));
            continue;
        }
        const QString &name = item.text;
        const QString lower = name.toLower();
        if (name == u"/") {
            items.push_back({K::Break, {}});
        } else if (name == u"&") {
            items.push_back({K::Group, {}});
        } else if (lower == u"lnumoff") {
            items.push_back({K::Nothing, {}});
        } else if (name.size() >= 2 && name.startsWith(QLatin1Char('*')) && name.endsWith(QLatin1Char('*'))) {
            bool ok = false;
            const int width = name.mid(1, name.size() - 2).toInt(&ok);
            Item *before = !items.empty() && items.back().kind == K::Text ? &items.back() : nullptr;
            if (!ok) {
                const QString mark = QStringLiteral("#HLTag(") + name + QStringLiteral(") ");
                if (before)
                    before->text.prepend(mark);
                else
                    items.push_back({K::Text, mark});
            } else if (before) {
                if (before->text.size() < width) before->text += QString(width - before->text.size(), QLatin1Char('*'));
            } else {
                items.push_back({K::Text, QString(qMax(width, 0), QLatin1Char('*'))});
            }
        } else if (name.startsWith(QLatin1Char('@')) || name.endsWith(QLatin1Char('@'))) {
            const bool at = name.startsWith(QLatin1Char('@'));
            bool ok = false;
            const int column = (at ? name.mid(1) : name.chopped(1)).toInt(&ok);
            if (ok)
                items.push_back({at ? K::AlignAt : K::AlignTo, {}, column});
            else
                items.push_back({K::BadAlign, name});
        } else if (auto value = TagValue(lower, now)) {
            items.push_back({K::Text, *value});
        } else {
            items.push_back({K::Text, UnknownTag(name)});
        }
    }

    // {&} ... {&} makes one item of what lies between, so it is aligned as a whole.
    std::vector<Item> grouped;
    bool inGroup = false;
    qsizetype groupItem = -1;
    for (Item &item : items) {
        switch (item.kind) {
        case K::Group:
            inGroup = !inGroup;
            groupItem = -1;
            break;
        case K::Nothing:
            break;
        case K::Text:
            if (inGroup && groupItem >= 0) {
                grouped[groupItem].text += item.text;
            } else {
                grouped.push_back(std::move(item));
                if (inGroup) groupItem = qsizetype(grouped.size()) - 1;
            }
            break;
        case K::Break:
            grouped.push_back(std::move(item));
            groupItem = -1;
            break;
        default:  // alignment: not inside a group
            if (!inGroup) grouped.push_back(std::move(item));
            break;
        }
    }

    // Alignment against the running column, then the lines.
    QString line;
    const Item *align = nullptr;
    for (const Item &item : grouped) {
        switch (item.kind) {
        case K::Break:
            out.append(line);
            line.clear();
            break;
        case K::Text: {
            if (!align) {
                line += item.text;
                break;
            }
            if (align->kind == K::BadAlign) {
                line += QStringLiteral("#HLTag(") + align->text + QStringLiteral(") ") + item.text;
            } else {
                const qsizetype column = line.size();
                qsizetype spaces = align->kind == K::AlignAt ? align->column - column - 1
                                                             : align->column - column - item.text.size();
                line += QString(qMax<qsizetype>(spaces, 1), QLatin1Char(' ')) + item.text;
            }
            align = nullptr;
            break;
        }
        default:
            align = &item;
            break;
        }
    }
    out.append(line);
}

void THotLogParser::ExpandText(const QString &text, const QDateTime &now, QStringList &out) {
    const qsizetype before = out.size();
    try {
        ExpandInto(text, now, out);
    } catch (const std::exception &) {
        out.resize(before);
        out.append(QStringLiteral("#HLParserSTR(") + text + QLatin1Char(')'));
    }
    lineCount_ += quint64(out.size() - before);
}

QStringList THotLogParser::ExpandText(const QString &text, const QDateTime &now) {
    QStringList out;
    ExpandText(text, now, out);
    return out;
}

void THotLogParser::ExpandTemplate(const QStringList &lines, const QDateTime &now, QStringList &out) {
    const qsizetype before = out.size();
    qsizetype lineStart = before;
    try {
        for (const QString &line : lines) {
            lineStart = out.size();
            ExpandInto(line, now, out);
        }
    } catch (const std::exception &) {
        // The lines expanded before the failing one stay.
        out.resize(lineStart);
        out.append(QStringLiteral("#HLParserTSL.Strings)"));
    }
    lineCount_ += quint64(out.size() - before);
}

QStringList THotLogParser::ExpandTemplate(const QStringList &lines, const QDateTime &now) {
    QStringList out;
    ExpandTemplate(lines, now, out);
    return out;
}
