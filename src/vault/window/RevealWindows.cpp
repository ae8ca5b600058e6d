#include "vault/window/RevealWindows.h"

#include <algorithm>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include "app/window/icons/ImageListMain.h"
#include "store/window/DataLinks.h"
#include "store/core/DataModule.h"
#include "vault/core/MasterPassword.h"
#include "store/window/Looks.h"
#include "vault/core/Secrets.h"
#include "platform/window/QtDialogs.h"
#include "vault/window/VaultWidgets.h"

namespace {
constexpr int kStripWidth = 22;
constexpr int kStripTabLength = 56;

void DialogFrame(QDialog *d, const char *name, const QString &caption) {
    d->setObjectName(QString::fromLatin1(name));
    d->setWindowTitle(caption);
    d->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    d->setModal(true);
}

void CentreOnScreen(QWidget *w) {
    if (QScreen *screen = QGuiApplication::primaryScreen())
        w->move(screen->availableGeometry().center() - w->rect().center());
}
}  // namespace

// --- the prompt -------------------------------------------------------------------------

TfrmInputMaster::TfrmInputMaster(QWidget *parent, TDataModule1 &dm, TVaultState &state)
    : QDialog(parent), state_(state) {
    DialogFrame(this, "frmInputMaster", QStringLiteral("Entschlüsselung des Zugangskennworts"));
    setFixedSize(205, 101);

    Label1 = new QLabel(QStringLiteral("Geben Sie Ihr Masterkennwort ein:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 6);
    Label1->adjustSize();
    EditInputMaster = new QLineEdit(this);
    EditInputMaster->setObjectName(QStringLiteral("EditInputMaster"));
    vaultui::MakePasswordEdit(EditInputMaster, vault::kMasterPasswordMaxLength);
    EditInputMaster->setToolTip(QStringLiteral("mindestens 6 Zeichen, maximal 20 Zeichen"));
    EditInputMaster->move(8, 23);

    BitBtnOK = new QPushButton(ImageListMain::Icon(ImageListMain::Save), QStringLiteral("OK"), this);
    BitBtnOK->setObjectName(QStringLiteral("BitBtnOK"));
    BitBtnOK->setDefault(true);
    BitBtnOK->setGeometry(8, 62, 82, 28);
    BitBtnCancel = new QPushButton(ImageListMain::Icon(ImageListMain::CancelEditing), QStringLiteral("Abbrechen"), this);
    BitBtnCancel->setObjectName(QStringLiteral("BitBtnCancel"));
    BitBtnCancel->setAutoDefault(false);
    BitBtnCancel->setGeometry(95, 62, 82, 28);
    connect(BitBtnOK, &QPushButton::clicked, this, &TfrmInputMaster::BitBtnOKClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TfrmInputMaster::BitBtnCancelClick);

    // The hint panel slides out from under the tab strip at the right edge.
    AdvToolPanelMasterHint = new QFrame(this);
    AdvToolPanelMasterHint->setObjectName(QStringLiteral("AdvToolPanelMasterHint"));
    AdvToolPanelMasterHint->setFrameShape(QFrame::StyledPanel);
    AdvToolPanelMasterHint->setAutoFillBackground(true);
    AdvToolPanelMasterHint->resize(205 - kStripWidth, 101);
    AdvToolPanelMasterHint->installEventFilter(this);
    auto *panel = new QVBoxLayout(AdvToolPanelMasterHint);
    panel->setContentsMargins(3, 2, 3, 3);
    panel->setSpacing(2);
    auto *header = new QHBoxLayout;
    header->setSpacing(2);
    auto *icon = new QLabel(AdvToolPanelMasterHint);
    icon->setPixmap(ImageListMain::Pixmap(ImageListMain::HintPanel));
    auto *caption = new QLabel(QStringLiteral("Kennwort-Tip"), AdvToolPanelMasterHint);
    caption->setObjectName(QStringLiteral("AdvToolPanelMasterHintCaption"));
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    HintLockButton = new QToolButton(AdvToolPanelMasterHint);
    HintLockButton->setObjectName(QStringLiteral("HintLockButton"));
    HintLockButton->setAutoRaise(true);
    HintLockButton->setFixedSize(18, 18);
    HintLockButton->setFocusPolicy(Qt::NoFocus);
    HintCloseButton = new QToolButton(AdvToolPanelMasterHint);
    HintCloseButton->setObjectName(QStringLiteral("HintCloseButton"));
    HintCloseButton->setAutoRaise(true);
    HintCloseButton->setFixedSize(18, 18);
    HintCloseButton->setFocusPolicy(Qt::NoFocus);
    HintCloseButton->setText(QStringLiteral("×"));
    HintCloseButton->setToolTip(QStringLiteral("Close panel"));
    header->addWidget(icon);
    header->addWidget(caption, 1);
    header->addWidget(HintLockButton);
    header->addWidget(HintCloseButton);
    panel->addLayout(header);
    DBMemoPassphrase = new QPlainTextEdit(AdvToolPanelMasterHint);
    DBMemoPassphrase->setObjectName(QStringLiteral("DBMemoPassphrase"));
    DBMemoPassphrase->setToolTip(QStringLiteral("Geben Sie ggf. einen Hinweis ein, der Sie an das richtige Masterkennwort "
                                                "erinnert, falls Sie dieses vergessen sollten."));
    DBMemoPassphrase->setTabChangesFocus(true);
    panel->addWidget(DBMemoPassphrase, 1);
    new TDBMemoLink(DBMemoPassphrase, dm.DataSourceAllgemein, QStringLiteral("PASSPHRASE"));
    connect(HintLockButton, &QToolButton::clicked, this, [this] { SetHintLocked(!hintLocked_); });
    connect(HintCloseButton, &QToolButton::clicked, this, [this] {
        SetHintLocked(false);
        SlideHint(false);
    });
    SetHintLocked(false);

    AdvToolPanelTabMaster = new QToolButton(this);
    AdvToolPanelTabMaster->setObjectName(QStringLiteral("AdvToolPanelTabMaster"));
    AdvToolPanelTabMaster->setIcon(ImageListMain::Icon(ImageListMain::HintPanel));
    AdvToolPanelTabMaster->setToolTip(QStringLiteral("Kennwort-Tip"));
    AdvToolPanelTabMaster->setGeometry(205 - kStripWidth, 4, kStripWidth, kStripTabLength);
    AdvToolPanelTabMaster->setFocusPolicy(Qt::NoFocus);
    AdvToolPanelTabMaster->setAutoRaise(false);
    connect(AdvToolPanelTabMaster, &QToolButton::clicked, this, [this] { SlideHint(!hintOut_); });

    slide_ = new QVariantAnimation(this);
    slide_->setDuration(150);
    connect(slide_, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) { PlaceHint(v.toInt()); });
    PlaceHint(0);
    AdvToolPanelMasterHint->hide();

    // 205 x 101, wider where the desktop's font needs it for the prompt
    // and for its caption.
    const int width = std::max({205, Label1->width() + 16 + kStripWidth, TQtDialogs::CaptionWidth(windowTitle())});
    if (width != 205) {
        setFixedSize(width, 101);
        AdvToolPanelMasterHint->resize(width - kStripWidth, 101);
        AdvToolPanelTabMaster->move(width - kStripWidth, 4);
        PlaceHint(0);
        AdvToolPanelMasterHint->hide();
    }

    // Screen readers name the entry by its label, the hint by its panel.
    Label1->setBuddy(EditInputMaster);
    DBMemoPassphrase->setAccessibleName(QStringLiteral("Kennwort-Tip"));
    QWidget::setTabOrder(EditInputMaster, BitBtnOK);
    QWidget::setTabOrder(BitBtnOK, BitBtnCancel);
    vaultui::SuppressToolTips(this);
}

void TfrmInputMaster::PlaceHint(int shown) {
    const int right = width() - kStripWidth;
    AdvToolPanelMasterHint->move(right - shown, 0);
    AdvToolPanelMasterHint->setVisible(shown > 0);
    AdvToolPanelTabMaster->raise();
}

void TfrmInputMaster::SlideHint(bool out, bool animated) {
    hintOut_ = out;
    const int full = AdvToolPanelMasterHint->width();
    const int from = AdvToolPanelMasterHint->isVisible() ? width() - kStripWidth - AdvToolPanelMasterHint->x() : 0;
    const int to = out ? full : 0;
    slide_->stop();
    if (!animated || !isVisible()) {
        PlaceHint(to);
        return;
    }
    slide_->setStartValue(from);
    slide_->setEndValue(to);
    slide_->start();
}

void TfrmInputMaster::SetHintLocked(bool locked) {
    hintLocked_ = locked;
    HintLockButton->setText(locked ? QStringLiteral("◆") : QStringLiteral("◇"));
    HintLockButton->setToolTip(locked ? QStringLiteral("Unlock panel") : QStringLiteral("Lock panel"));
}

bool TfrmInputMaster::eventFilter(QObject *watched, QEvent *event) {
    // An unlocked panel goes back when the mouse leaves it.
    if (watched == AdvToolPanelMasterHint && event->type() == QEvent::Leave && hintOut_ && !hintLocked_ &&
        !AdvToolPanelMasterHint->rect().contains(AdvToolPanelMasterHint->mapFromGlobal(QCursor::pos())))
        SlideHint(false);
    return QDialog::eventFilter(watched, event);
}

void TfrmInputMaster::showEvent(QShowEvent *event) {
    CentreOnScreen(this);
    QDialog::showEvent(event);
    FormShow();
}

void TfrmInputMaster::FormShow() {
    EditInputMaster->clear();
    takeEntry_ = false;
    if (!hintLocked_) SlideHint(false, false);
    EditInputMaster->setFocus(Qt::OtherFocusReason);
}

void TfrmInputMaster::BitBtnOKClick() {
    takeEntry_ = true;
    close();
}

void TfrmInputMaster::BitBtnCancelClick() { close(); }

void TfrmInputMaster::reject() { close(); }

void TfrmInputMaster::closeEvent(QCloseEvent *event) {
    // Only OK hands the entry over; every other way of closing leaves it empty.
    secure::Wipe(state_.EingabeMasterkennwort);
    if (takeEntry_) state_.EingabeMasterkennwort = EditInputMaster->text();
    EditInputMaster->clear();
    const int result = takeEntry_ ? QDialog::Accepted : QDialog::Rejected;
    takeEntry_ = false;
    event->accept();
    QDialog::done(result);
}

// --- the reveal window ---------------------------------------------------------------

TfrmKennwort::TfrmKennwort(QWidget *parent, TVaultState &state) : QDialog(parent), state_(state) {
    DialogFrame(this, "frmKennwort", QStringLiteral("Das Zugangskennwort lautet:"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(11, 10, 11, 13);
    layout->setSpacing(10);
    Label1 = new vaultui::TWrapLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    // 233 at the window's 255 pixels; wider where the caption needs more.
    Label1->setFixedWidth(qMax(233, TQtDialogs::CaptionWidth(windowTitle()) - 22));
    layout->addWidget(Label1, 0, Qt::AlignLeft | Qt::AlignTop);
    BitBtn1 = new QPushButton(ImageListMain::Icon(ImageListMain::Save), QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setToolTip(QStringLiteral("Fenster schließen"));
    BitBtn1->setFixedSize(113, 30);
    BitBtn1->setDefault(true);
    layout->addWidget(BitBtn1, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmKennwort::BitBtn1Click);
}

void TfrmKennwort::showEvent(QShowEvent *event) {
    FormShow();
    CentreOnScreen(this);
    QDialog::showEvent(event);
}

void TfrmKennwort::FormShow() {
    Label1->setText(state_.KlartextKennwort);
    // One line at the window's size of 255 x 76; a longer password adds lines.
    Label1->setFixedHeight(Label1->heightForWidth(Label1->width()));
    adjustSize();
    BitBtn1->setFocus(Qt::OtherFocusReason);
}

void TfrmKennwort::closeEvent(QCloseEvent *event) {
    Label1->clear();
    secure::Wipe(state_.KlartextKennwort);
    event->accept();
    QDialog::done(QDialog::Accepted);
}
