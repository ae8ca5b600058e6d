#include "services/window/AboutBox.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/core/Dialogs.h"
#include "services/core/about/AboutFacts.h"

#ifndef TRESORO_SUPPORT_MAIL
#define TRESORO_SUPPORT_MAIL "support@tresoro.example"
#endif
#ifndef TRESORO_DATABASE_WEB
#define TRESORO_DATABASE_WEB "https://firebirdsql.org/"
#endif

void TClickLabel::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) emit Clicked();
    QLabel::mouseReleaseEvent(event);
}

void TClickLabel::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) emit Clicked();
    QLabel::mouseDoubleClickEvent(event);
}

QString TfrmAboutBox::SupportMail() { return QStringLiteral(TRESORO_SUPPORT_MAIL); }
QString TfrmAboutBox::DatabaseWebAddress() { return QStringLiteral(TRESORO_DATABASE_WEB); }

namespace {
TClickLabel *Link(QWidget *parent, const char *name, const QString &hint) {
    auto *l = new TClickLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setCursor(Qt::PointingHandCursor);
    l->setToolTip(hint);
    return l;
}
void LinkLook(QLabel *l) {
    QFont f = l->font();
    f.setUnderline(true);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: navy"));
}
}  // namespace

TfrmAboutBox::TfrmAboutBox(QWidget *parent, const VersionInfo &exeInfo) : QDialog(parent), ExeInfo(exeInfo) {
    setObjectName(QStringLiteral("frmAboutBox"));
    setFixedSize(440, 407);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Tresoro ") + ExeInfo.FileVersion);
    auto *layout = new QVBoxLayout(this);
    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    ProductName = new QLabel(this);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    LabelVersion = new QLabel(this);
    LabelVersion->setObjectName(QStringLiteral("LabelVersion"));
    LabelCopyright = new QLabel(this);
    LabelCopyright->setObjectName(QStringLiteral("LabelCopyright"));
    auto *head = new QHBoxLayout;
    head->addWidget(ProgramIcon);
    auto *lines = new QVBoxLayout;
    for (QLabel *l : {ProductName, LabelVersion, LabelCopyright}) lines->addWidget(l);
    head->addLayout(lines, 1);
    layout->addLayout(head);

    GroupBoxBetriebssystem = new QGroupBox(QStringLiteral("Betriebssystem"), this);
    GroupBoxBetriebssystem->setObjectName(QStringLiteral("GroupBoxBetriebssystem"));
    LabelOS = new QLabel(GroupBoxBetriebssystem);
    LabelOS->setObjectName(QStringLiteral("LabelOS"));
    (new QVBoxLayout(GroupBoxBetriebssystem))->addWidget(LabelOS);
    layout->addWidget(GroupBoxBetriebssystem);

    GroupBoxDatenbank = new QGroupBox(QStringLiteral("Datenbank"), this);
    GroupBoxDatenbank->setObjectName(QStringLiteral("GroupBoxDatenbank"));
    LabelDBVersion = Link(GroupBoxDatenbank, "LabelDBVersion", QStringLiteral("Firebird im Internet"));
    LinkLook(LabelDBVersion);
    LabelODS = new QLabel(GroupBoxDatenbank);
    LabelODS->setObjectName(QStringLiteral("LabelODS"));
    LabelODS->setToolTip(QStringLiteral(
        "On-Disk-Structure (ODS) definiert, wie die Datenspeicherung in der DB intern organisiert ist."));
    LabelDBGroesse = new QLabel(GroupBoxDatenbank);
    LabelDBGroesse->setObjectName(QStringLiteral("LabelDBGroesse"));
    auto *db = new QVBoxLayout(GroupBoxDatenbank);
    for (QLabel *l : {static_cast<QLabel *>(LabelDBVersion), LabelODS, LabelDBGroesse}) db->addWidget(l);
    layout->addWidget(GroupBoxDatenbank);

    GroupBox1 = new QGroupBox(QStringLiteral("Bugs und Verbesserungsvorschläge:"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    LabelMail = Link(GroupBox1, "LabelMail", QStringLiteral("email schreiben"));
    LabelMail->setText(SupportMail());
    LinkLook(LabelMail);
    (new QVBoxLayout(GroupBox1))->addWidget(LabelMail);
    layout->addWidget(GroupBox1);

    auto *bottom = new QHBoxLayout;
    ImageFirebird = Link(this, "ImageFirebird", QStringLiteral("Firebird im Internet"));
    ImageFirebird->setFixedSize(120, 40);
    ImageFirebird->setText(QStringLiteral("Firebird"));
    ImageFirebird->setAlignment(Qt::AlignCenter);
    Image1 = Link(this, "Image1", QStringLiteral("email schreiben"));
    Image1->setFixedSize(92, 105);
    Image1->setText(QStringLiteral("✉"));
    Image1->setAlignment(Qt::AlignCenter);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    bottom->addWidget(ImageFirebird);
    bottom->addStretch(1);
    bottom->addWidget(OKButton);
    bottom->addWidget(Image1);
    layout->addLayout(bottom);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(LabelMail, &TClickLabel::Clicked, this, &TfrmAboutBox::Image1Click);
    connect(Image1, &TClickLabel::Clicked, this, &TfrmAboutBox::Image1Click);
    connect(LabelDBVersion, &TClickLabel::Clicked, this, &TfrmAboutBox::ImageFirebirdClick);
    connect(ImageFirebird, &TClickLabel::Clicked, this, &TfrmAboutBox::ImageFirebirdClick);
}

void TfrmAboutBox::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmAboutBox::FormShow() {
    const TAboutProgramLines p = ProgramLines(ExeInfo);
    setWindowTitle(p.Caption);
    ProductName->setText(p.ProductName);
    LabelVersion->setText(p.Version);
    LabelCopyright->setText(p.Legal);
    LabelOS->setText(TOperatingSystemInfo::Running().Line());
    try {
        if (!Database) throw std::runtime_error("Keine Verbindung zur Datenbank");
        const TAboutDatabaseLines d = DatabaseLines(*Database);
        LabelDBVersion->setText(d.DBVersion);
        LabelODS->setText(d.ODS);
        LabelDBGroesse->setText(d.Size);
    } catch (const std::exception &e) {
        TDialogs::Current().ShowError(e);
    }
}

// A link the desktop cannot open reports nothing.
void TfrmAboutBox::Image1Click() { QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + SupportMail())); }

void TfrmAboutBox::ImageFirebirdClick() { QDesktopServices::openUrl(QUrl(DatabaseWebAddress())); }
