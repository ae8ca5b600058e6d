#pragma once
// Types text into a widget key by key, as a user would, umlauts and all
// (QTest::keyClicks accepts ASCII only).

#include <QtTest>

inline void TypeText(QWidget *widget, const QString &text) {
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\n')) {
            QTest::keyClick(widget, Qt::Key_Return);
            continue;
        }
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}
