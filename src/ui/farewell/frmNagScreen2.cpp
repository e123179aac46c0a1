#include "ui/farewell/frmNagScreen2.h"

#include "core/referral.h"
#include "core/siteaddress.h"
#include "platform/activation.h"
#include "platform/platform.h"
#include "ui/common/accessibility.h"
#include "ui/common/appicon.h"
#include "ui/common/linklabel.h"
#include "ui/common/look.h"
#include "ui/common/messages.h"
#include "ui/common/placement.h"
#include "ui/modHelp.h"
#include "ui/modTellAFriend.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
QLineEdit *entryBox(QWidget *parent, const char *name, const QRect &rect, const QString &text)
{
    auto *e = new QLineEdit(text, parent);
    look::place(e, name, rect);
    e->setFont(look::msSansSerif(8.25));
    QPalette p = e->palette();
    p.setColor(QPalette::Base, look::kWhite);
    p.setColor(QPalette::Text, look::kBlack);
    e->setPalette(p);
    e->setAccessibleName(text);
    return e;
}

// Its lines end in CR LF, as a Windows text box's do (see boxText).
QPlainTextEdit *messageTextBox(QWidget *parent, const char *name, const QRect &rect,
                               const QString &text)
{
    auto *e = new QPlainTextEdit(text, parent);
    look::place(e, name, rect);
    e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    e->setAccessibleName(referral::kYourMessage);
    return e;
}

const QString kOtherPrograms =
    QStringLiteral("If you have enjoyed this software you will surely be interested in our other "
                   "Veyra Softwares. From a single software, we have now grown to become the "
                   "world\u2019s largest resource of veyra softwares. Be it astrology, psychic, "
                   "tarot, numerology or occult, we have programs in all fields thus giving our "
                   "users a wide choice depending on their interests.")
    + QString(61, u' ')
    + QStringLiteral("All the programs in the Veyra Softwares suite are simple and easy to use. "
                     "They are not only fun to use but also very informative. Try them out today "
                     "and share your experience with your friends and family. ");
} // namespace

QString frmNagScreen2::appealText(int k)
{
    switch (k) {
    case 0:
        return QStringLiteral(
            "Veyra Softwares, such as this can be created and maintained only with your support. "
            "The best way to support Veyra Board is to visit VeyraBoard regularly and take part "
            "in the discussions and other activities on the board.");
    case 2:
        return QStringLiteral(
            "VeyraBoard is a FREE online discussion forum for all things veyra. To help "
            "VeyraBoard develop and maintain this software visit VeyraBoard regularly.");
    case 3:
        return QStringLiteral(
            "VeyraBoard needs your help. All you need to do is visit VeyraBoard regularly and "
            "take part in the various discussions and activites to help us maintain and develop "
            "more Veyra Softwares.");
    default:
        return QStringLiteral(
            "Visit VeyraBoard regularly. Support VeyraBoard by taking part in the discussions and "
            "other activities. These softwares cannot be supported and maintained, without you "
            "regularly visiting VeyraBoard");
    }
}

frmNagScreen2::frmNagScreen2() : Form("frmNagScreen2", {741, 315})
{
    using namespace look;
    QWidget *w = client();
    setBackground(w, kWhite);
    setFont(msSansSerif(8.25));
    // Above every ordinary window; setVisible also makes it the active one.
    setWindowFlag(Qt::WindowStaysOnTopHint);

    // The controls as laid out: container, name, rectangle, text, font, colours.
    const QFont caption = verdana(9.75, Bold);
    // clang-format off
    cmdClose             = button(w, "cmdClose", {400, 184, 83, 25}, QStringLiteral("E&xit"), msSansSerif(8.25));
    Check1               = button(w, "Check1", {2, 136, 479, 37}, QStringLiteral("Click Here To Visit ") + siteAddress::host() + QStringLiteral(" Now"), verdana(14.25));
    picNagscreen2Icon    = picture(w, "picNagscreen2Icon", {24, 8, 36, 36});
    lblNagScreen2Caption = label(w, "lblNagScreen2Caption", {72, 16, 10, 29}, QString(), msSansSerif(18), kBlack);
    Label2               = label(w, "Label2", {8, 56, 465, 73}, appealText(1), caption, kBlack);
    Frame2               = captionedPanel(w, "Frame2", {8, 216, 471, 97}, QStringLiteral("Refer A Friend"), kNavy, kWhite, caption);
    txtName              = entryBox(Frame2, "txtName", {6, 24, 225, 19}, referral::kYourName);
    cmdSubmit            = button(Frame2, "cmdSubmit", {128, 72, 225, 19}, QStringLiteral("Refer A Friend &Now"), verdana(8.25, Bold));
    txtEmail             = entryBox(Frame2, "txtEmail", {240, 24, 225, 19}, referral::kYourEmail);
    txtFriendEmail       = entryBox(Frame2, "txtFriendEmail", {240, 48, 225, 19}, referral::kFriendEmail);
    txtFriendName        = entryBox(Frame2, "txtFriendName", {6, 48, 225, 19}, referral::kFriendName);
    txtMessage           = messageTextBox(Frame2, "txtMessage", {320, 240, 121, 33}, referral::kYourMessage + u'\n');
    Frame6               = captionedPanel(w, "Frame6", {488, 8, 249, 305}, QStringLiteral("Download Veyra Softwares"), kNavy, kWhite, caption);
    Label3               = label(Frame6, "Label3", {8, 24, 233, 257}, kOtherPrograms, verdana(9), kWhite);
    lblGoToHome          = LinkLabel::create(Frame6, "lblGoToHome", {5, 283, 239, 14}, QStringLiteral("Click Here To Visit Veyra Softwares"), verdana(9, Bold | Underline), kYellow);
    // clang-format on

    // Check1 is a check box drawn as a button: a link that never stays down.
    Check1->setCheckable(true);
    accessibility::readAsButton(Check1);
    Check1->setAutoDefault(false);
    Check1->setCursor(Qt::PointingHandCursor);
    setTextColour(Check1, QColor(0, 0, 192));
    Label2->setWordWrap(true);
    setBackground(Label2, kWhite);
    Label3->setWordWrap(true);
    // txtMessage lies below the panel's lower edge, so it is clipped from
    // sight; Tab still reaches it.
    txtMessage->setTabChangesFocus(true);
    // No box cuts what is typed or pasted: the whole request address is
    // checked once, at submit (see modTellAFriend::SubmitReferral).

    setTabOrder(cmdClose, Check1);
    setTabOrder(Check1, txtName);
    setTabOrder(txtName, cmdSubmit);
    setTabOrder(cmdSubmit, txtEmail);
    setTabOrder(txtEmail, txtFriendEmail);
    setTabOrder(txtFriendEmail, txtFriendName);
    setTabOrder(txtFriendName, txtMessage);

    for (QWidget *box :
         {static_cast<QWidget *>(txtName), static_cast<QWidget *>(txtEmail),
          static_cast<QWidget *>(txtFriendName), static_cast<QWidget *>(txtFriendEmail),
          static_cast<QWidget *>(txtMessage)})
        box->installEventFilter(this);

    connect(Check1, &QPushButton::clicked, this, &frmNagScreen2::Check1_Click);
    connect(lblGoToHome, &LinkLabel::clicked, this, &frmNagScreen2::lblGoToHome_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmNagScreen2::cmdClose_Click);
    connect(cmdSubmit, &QPushButton::clicked, this, &frmNagScreen2::cmdSubmit_Click);

    Form_Load();
    cmdClose->setFocus();
}

void frmNagScreen2::setVisible(bool visible)
{
    Form::setVisible(visible);
    // Window managers differ in what they give a new window by themselves
    // (metacity and xfwm4 would leave it without the keyboard): ask for it,
    // unless the token from the leaving window already does.
    if (visible) {
        raise();
        if (!platform::activation::takenOver())
            activateWindow();
    }
}

void frmNagScreen2::Form_Load()
{
    setWindowTitle(look::kWindowCaption);
    lblNagScreen2Caption->setText(look::kWindowCaption);
    const int captionHeight = lblNagScreen2Caption->height();
    lblNagScreen2Caption->adjustSize();
    lblNagScreen2Caption->resize(lblNagScreen2Caption->width(), captionHeight);
    setWindowIcon(look::windowIcon());
    picNagscreen2Icon->setPixmap(look::appIcon().pixmap(placement::px(QSize(32, 32))));
    platform::seedRandomFromClock();
    Label2->setText(appealText(int(platform::nextRandom() * 4)));
}

void frmNagScreen2::Check1_Click(bool checked)
{
    // A button that never stays down: each press opens the page once.
    if (!checked)
        return;
    Check1->setChecked(false);
    modHelp::OpenHomePage();
}

void frmNagScreen2::lblGoToHome_Click() { modHelp::OpenSoftwaresPage(); }
void frmNagScreen2::cmdClose_Click() { modHelp::EndApplication(); }
void frmNagScreen2::Form_Unload() { modHelp::EndApplication(); }

QString frmNagScreen2::placeholderOf(const QObject *box) const
{
    if (box == txtName)
        return referral::kYourName;
    if (box == txtEmail)
        return referral::kYourEmail;
    if (box == txtFriendName)
        return referral::kFriendName;
    if (box == txtFriendEmail)
        return referral::kFriendEmail;
    return referral::kYourMessage;
}

QString frmNagScreen2::boxText(const QObject *box) const
{
    if (box == txtMessage)
        return txtMessage->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    return static_cast<const QLineEdit *>(box)->text();
}

void frmNagScreen2::setBoxText(QObject *box, const QString &text)
{
    if (box == txtMessage)
        txtMessage->setPlainText(text);
    else
        static_cast<QLineEdit *>(box)->setText(text);
}

bool frmNagScreen2::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut) {
        // The window losing or regaining the activation, or a popup over it,
        // is no visit to the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(e)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        const QString placeholder = placeholderOf(watched);
        const QString text = boxText(watched);
        if (e->type() == QEvent::FocusIn && referral::clearsOnFocus(text, placeholder))
            accessibility::unannounced([&] { setBoxText(watched, QString()); });
        else if (e->type() == QEvent::FocusOut && referral::refillsOnLeave(text))
            setBoxText(watched, placeholder);
        return false;
    }
    if (e->type() == QEvent::KeyPress && (watched == txtEmail || watched == txtFriendEmail)) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (key->text() == u" ") {
            messages::critical(this, referral::kNoSpaceMessage);
            static_cast<QWidget *>(watched)->setFocus();
            return true;
        }
    }
    return Form::eventFilter(watched, e);
}

void frmNagScreen2::cmdSubmit_Click()
{
    using namespace modTellAFriend;
    strYourName = referral::trimSpaces(txtName->text());
    strYourEmail = referral::trimSpaces(txtEmail->text());
    strYourMessage = referral::trimSpaces(boxText(txtMessage));
    strFriendName = referral::trimSpaces(txtFriendName->text());
    strFriendEmail = referral::trimSpaces(txtFriendEmail->text());
    const referral::Refusal refusal =
        referral::checkEmails(txtEmail->text(), txtFriendEmail->text());
    if (refusal != referral::Refusal::None) {
        messages::critical(this, referral::refusalMessage(refusal));
        return;
    }
    SubmitReferral();
}
