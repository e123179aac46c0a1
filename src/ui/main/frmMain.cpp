#include "ui/main/frmMain.h"

#include "core/birthdata.h"
#include "core/cobrand.h"
#include "core/modPlanetSign.h"
#include "core/namefilter.h"
#include "platform/platform.h"
#include "ui/common/accessibility.h"
#include "ui/common/linklabel.h"
#include "ui/common/look.h"
#include "ui/common/messages.h"
#include "ui/display/frmDisplay.h"
#include "ui/farewell/frmNagScreen2.h"
#include "ui/forms.h"
#include "ui/modHelp.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

qint16 intCoBrandRandomNumber = 0;

namespace {
bool typesText(const QKeyEvent *e)
{
    const QString text = e->text();
    return !text.isEmpty() && text[0].unicode() >= 32 && text[0].unicode() != 127;
}

// The character code a key press types, the way the name filter sees it;
// nothing for keys that type no character (arrows, Tab, Delete, Esc...).
std::optional<char16_t> typedCode(const QKeyEvent *e)
{
    if (e->key() == Qt::Key_Backspace)
        return nameFilter::kBackspace;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return nameFilter::kEnter;
    const auto mods = e->modifiers();
    // Windows sends AltGr as Ctrl+Alt: that is typing, not a Ctrl key.
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && e->key() >= Qt::Key_A
        && e->key() <= Qt::Key_Z)
        return char16_t(e->key() - Qt::Key_A + 1);
    if (!typesText(e))
        return std::nullopt;
    return e->text()[0].unicode();
}

// Alt or Super without Ctrl: a command key, which types no character in a
// Windows text box either.
bool isCommandKey(const QKeyEvent *e)
{
    const auto mods = e->modifiers();
    return (mods & (Qt::AltModifier | Qt::MetaModifier))
           && !((mods & Qt::ControlModifier) && (mods & Qt::AltModifier));
}
} // namespace

frmMain::frmMain() : LinkedForm("frmMain", {484, 337})
{
    using namespace look;
    QWidget *w = client();
    setBackground(w, kPink);
    setFont(verdana(8.25));

    buildMenuBar(QStringLiteral("Check for Software &Update"), "mnuHelp1", "mnuHelp2");
    mnuFindSexualitySign = mnuFile->addAction(QStringLiteral("Find My &Ombrel Astrology Sign"));
    mnuFindSexualitySign->setObjectName(QStringLiteral("mnuFindSexualitySign"));
    mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));

    // The controls as laid out: container, name, rectangle, text, font, colours.
    const QFont bold = verdana(8.25, Bold), boldLined = verdana(8.25, Bold | Underline),
                lined = verdana(8.25, Underline);
    // clang-format off
    Frame2   = panel(w, "Frame2", {0, 0, 484, 41}, kMagenta);
               makeBanner(Frame2, {8, 8, 472, 29});
    Frame1   = panel(w, "Frame1", {0, 40, 484, 241}, kMagenta);
    Label3   = label(Frame1, "Label3", {8, 16, 465, 49}, QStringLiteral(
                   "Xelt Ombrel Astrology describes the placement of the asteroid Ombrel in your "
                   "birth chart. This helps you know more about the creative, psychic and "
                   "intuitive side of your inner self."), bold, kBlue);
    Picture1 = panel(Frame1, "Picture1", {40, 80, 401, 105}, kRose);
    Label1   = label(Picture1, "Label1", {16, 22, 37, 13}, QStringLiteral("Name"), boldLined, kBlue);
    txtName  = textBox(Picture1, "txtName", {112, 16, 249, 25}, bold, kMagenta, kBlue);
    Label2   = label(Picture1, "Label2", {16, 68, 83, 13}, QStringLiteral("Date Of Birth"), boldLined, kBlue);
    Label5   = label(Picture1, "Label5", {128, 48, 27, 13}, QStringLiteral("Date"), lined, kBlue);
    Label7   = label(Picture1, "Label7", {216, 48, 34, 13}, QStringLiteral("Month"), lined, kBlue);
    Label6   = label(Picture1, "Label6", {312, 48, 26, 13}, QStringLiteral("Year"), lined, kBlue);
    cboDate  = dropDown(Picture1, "cboDate", {112, 64, 60, 21}, bold, kMagenta, kBlue);
    cboMonth = dropDown(Picture1, "cboMonth", {184, 64, 100, 21}, bold, kMagenta, kBlue);
    cboYear  = dropDown(Picture1, "cboYear", {296, 64, 68, 21}, bold, kMagenta, kBlue);
    cmdNext  = button(Frame1, "cmdNext", {40, 192, 401, 41}, QStringLiteral("Find My &Ombrel Astrology Sign"), verdana(9, Bold));
    Frame5   = panel(w, "Frame5", {0, 280, 484, 57}, kMagenta);
    cmdExit  = button(Frame5, "cmdExit", {408, 16, 68, 31}, QStringLiteral("&Exit"), bold);
               makeCoBrand(Frame5, {8, 8, 399, 41}, Qt::AlignLeft | Qt::AlignTop);
               makeFullBrand(Frame5, {8, 8, 399, 41}, Qt::AlignLeft | Qt::AlignTop);
    // clang-format on

    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Laid out with the fully-branded offer above the co-branding one.
    bringOfferToFront(lblFullBrand);
    setDefaultAndCancel(cmdExit);

    // Screen readers name a box or list by its label and read the list's pick as its value.
    txtName->setAccessibleName(QStringLiteral("Name"));
    accessibility::nameList(cboDate, Label5->text());
    accessibility::nameList(cboMonth, Label7->text());
    accessibility::nameList(cboYear, Label6->text());
    Label1->setBuddy(txtName);
    Label5->setBuddy(cboDate);
    Label7->setBuddy(cboMonth);
    Label6->setBuddy(cboYear);

    setTabOrder(txtName, cboDate);
    setTabOrder(cboDate, cboMonth);
    setTabOrder(cboMonth, cboYear);
    setTabOrder(cboYear, cmdNext);
    setTabOrder(cmdNext, cmdExit);

    txtName->installEventFilter(this);
    connect(cmdNext, &QPushButton::clicked, this, &frmMain::cmdNext_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    connect(mnuFindSexualitySign, &QAction::triggered, this, &frmMain::mnuFindSexualitySign_Click);
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);

    Form_Load();
    txtName->setFocus();
}

void frmMain::Form_Load()
{
    for (int day = 1; day <= 31; ++day)
        cboDate->addItem(QString::number(day));
    for (const QStringView month : modPlanetSign::kMonthNames)
        cboMonth->addItem(month.toString());
    for (int year = 1946; year <= 2016; ++year)
        cboYear->addItem(QString::number(year));
    cboDate->setCurrentIndex(0);
    cboMonth->setCurrentIndex(0);
    cboYear->setCurrentIndex(0);
}

bool frmMain::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == txtName && e->type() == QEvent::KeyPress)
        return txtName_KeyPress(static_cast<QKeyEvent *>(e));
    if (watched == txtName && e->type() == QEvent::InputMethod)
        return txtName_InputMethod(static_cast<QInputMethodEvent *>(e));
    return LinkedForm::eventFilter(watched, e);
}

bool frmMain::txtName_KeyPress(QKeyEvent *e)
{
    if (isCommandKey(e))
        return typesText(e); // the text box would insert the key's text otherwise
    const std::optional<char16_t> code = typedCode(e);
    if (!code)
        return false;
    const std::optional<char16_t> passed = nameFilter::filterNameKey(*code);
    if (!passed) {
        messages::information(this, QStringLiteral("Please Enter only Letters"));
        return true;
    }
    if (*passed == *code)
        return false;
    txtName->insert(QString(QChar(*passed)));
    return true;
}

bool frmMain::txtName_InputMethod(QInputMethodEvent *e)
{
    const nameFilter::FilteredText filtered = nameFilter::filterNameText(e->commitString());
    if (filtered.kept == e->commitString())
        return false;
    // The box gets the filtered text (this filter lets it through, as it has
    // nothing left to change), then one message for the whole string.
    QInputMethodEvent passed(e->preeditString(), e->attributes());
    passed.setCommitString(filtered.kept, e->replacementStart(), e->replacementLength());
    QCoreApplication::sendEvent(txtName, &passed);
    if (filtered.refused)
        messages::information(this, QStringLiteral("Please Enter only Letters"));
    return true;
}

bool frmMain::ValidateBirthData()
{
    const birthData::Refusal refusal = birthData::validateBirthData(
        txtName->text(), cboYear->currentText(), cboMonth->currentIndex(), cboDate->currentIndex());
    if (refusal == birthData::Refusal::None)
        return true;
    messages::information(this, birthData::refusalMessage(refusal));
    if (refusal == birthData::Refusal::NameMissing)
        txtName->setFocus();
    return false;
}

void frmMain::cmdNext_Click()
{
    // A click still queued from before Exit: the window is on its way out.
    if (isUnloaded())
        return;
    if (!ValidateBirthData())
        return;
    // A lookup that fails keeps the sign of the last one that matched.
    const QString sign = modPlanetSign::FindPlanetSign(
        cboYear->currentText(), cboMonth->currentText(), cboDate->currentText());
    frmDisplay *display = Forms::Display();
    display->setSign(sign);
    hide();
    Forms::hideNagScreen2();
    display->show();
}

void frmMain::cmdExit_Click() { close(); }
void frmMain::mnuFindSexualitySign_Click() { cmdNext_Click(); }
void frmMain::mnuExit_Click() { close(); }

void frmMain::Form_Unload()
{
    if (!modHelp::isEnding())
        Forms::showNagScreen2After(this);
}

void frmMain::CoBrand_Randomize() { CoBrand_Randomize(platform::nextRandom()); }

void frmMain::CoBrand_Randomize(float r)
{
    intCoBrandRandomNumber = coBrand::drawNumber(r);
    switch (coBrand::frontFor(intCoBrandRandomNumber)) {
    case coBrand::Front::CoBrand: bringOfferToFront(lblCobrand); break;
    case coBrand::Front::FullBrand: bringOfferToFront(lblFullBrand); break;
    case coBrand::Front::AsLaidOut: break;
    }
}
