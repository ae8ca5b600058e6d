#pragma once
// Small widgets and looks shared by the vault's windows and tab.

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>

class QPlainTextEdit;

namespace vaultui {

// Entry fields of the master password window: enabled with the window
// colour, or disabled with the grids' grey.
void SetEntryLook(QWidget *field, bool enabled);
bool HasEntryLook(const QWidget *field);  // enabled and window-coloured

// A password entry as the program shows it: bold 12 point, 169 x 28, every
// character shown as "*", at most `maxLength` characters, Windows-1252 only.
void MakePasswordEdit(QLineEdit *edit, int maxLength);

// No tool tip of any child of `window` is shown (the hints stay set).
void SuppressToolTips(QWidget *window);

// Limits what the user types, not what the program shows: a stored form
// longer than the limit is shown whole and may be shortened, but typing
// cannot make the text longer than the limit.
class TTypedLengthValidator : public QValidator {
public:
    TTypedLengthValidator(QLineEdit *edit, int limit);
    State validate(QString &input, int &pos) const override;

private:
    int limit_;
    int shown_ = 0;  // length of the text the edit holds now
};

// A label that wraps its text anywhere (a password has no spaces to break
// at) and grows downwards to show all of it; the text is never read as
// markup.
class TWrapLabel : public QLabel {
public:
    explicit TWrapLabel(QWidget *parent = nullptr);
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The status bar of the master password window: panel 0 of a fixed width,
// panel 1 takes the rest.
class TPanelStatusBar : public QFrame {
public:
    TPanelStatusBar(int firstPanelWidth, QWidget *parent = nullptr);
    QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString &text);

private:
    QLabel *panels_[2];
};

}  // namespace vaultui
