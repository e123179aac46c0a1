#include "ui/common/accessibility.h"

#include "ui/common/linklabel.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QValidator>

namespace accessibility {

namespace {

const char *const kReadAs = "xeltReadAs";

QString readAs(const QObject *o) { return o->property(kReadAs).toString(); }

// ---- Text items -------------------------------------------------------------
// The words, sentences and characters of a text as Qt's own text interface
// finds them, except that every walk stops at either end of the text.

bool isItemEdge(const QTextBoundaryFinder &f)
{
    return f.boundaryReasons()
           & (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem);
}

QTextBoundaryFinder::BoundaryType finderType(QAccessible::TextBoundaryType type)
{
    switch (type) {
    case QAccessible::WordBoundary: return QTextBoundaryFinder::Word;
    case QAccessible::SentenceBoundary: return QTextBoundaryFinder::Sentence;
    default: return QTextBoundaryFinder::Grapheme;
    }
}

// The nearest item edge at or before `pos` (0 at the latest).
int edgeAtOrBefore(QTextBoundaryFinder &f, int pos)
{
    f.setPosition(pos);
    while (pos > 0 && !isItemEdge(f)) {
        pos = f.toPreviousBoundary();
        if (pos < 0)
            return 0;
    }
    return pos;
}

// The nearest item edge after `pos` (the text's length at the latest).
int edgeAfter(QTextBoundaryFinder &f, int pos, int length)
{
    f.setPosition(pos);
    for (;;) {
        const int next = f.toNextBoundary();
        if (next < 0 || next >= length)
            return length;
        if (isItemEdge(f))
            return next;
    }
}

// The nearest item edge before `pos` (0 at the latest).
int edgeBefore(QTextBoundaryFinder &f, int pos)
{
    f.setPosition(pos);
    for (;;) {
        const int previous = f.toPreviousBoundary();
        if (previous <= 0)
            return 0;
        if (isItemEdge(f))
            return previous;
    }
}

// A text that answers for every item at every offset from 0 to its length.
// Lines are given by their starting offsets (the first is 0).
class SafeText : public QAccessibleTextInterface
{
public:
    virtual QString wholeText() const = 0;
    virtual QList<int> lineStarts() const
    {
        const QString t = wholeText();
        QList<int> starts{0};
        for (int i = t.indexOf(u'\n'); i >= 0 && i + 1 < t.size(); i = t.indexOf(u'\n', i + 1))
            starts << i + 1;
        return starts;
    }

    QString text(int startOffset, int endOffset) const override
    {
        if (startOffset > endOffset)
            return QString();
        return wholeText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(wholeText().size()); }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *start,
                             int *end) const override
    {
        return item(-1, offset, type, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *start,
                         int *end) const override
    {
        return item(0, offset, type, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *start,
                            int *end) const override
    {
        return item(1, offset, type, start, end);
    }

    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return QString();
    }

private:
    // `which`: -1 the item before the one at `offset`, 0 that one, 1 the one after.
    QString item(int which, int offset, QAccessible::TextBoundaryType type, int *start,
                 int *end) const
    {
        const QString t = wholeText();
        const int length = int(t.size());
        if (offset == -2)
            offset = cursorPosition();
        if (offset == -1)
            offset = length;
        *start = *end = -1;
        if (offset < 0 || offset > length)
            return QString();
        if (type == QAccessible::NoBoundary) {
            if (which != 0)
                return QString();
            *start = 0;
            *end = length;
            return t;
        }
        if (type == QAccessible::LineBoundary || type == QAccessible::ParagraphBoundary)
            return line(t, which, offset, start, end);
        if (t.isEmpty()) {
            *start = *end = 0;
            return QString();
        }
        QTextBoundaryFinder f(finderType(type), t);
        if (which == 0) {
            *start = edgeAtOrBefore(f, offset);
            *end = edgeAfter(f, *start, length);
        } else if (which < 0) {
            *end = edgeAtOrBefore(f, offset);
            *start = *end > 0 ? edgeBefore(f, *end) : 0;
        } else {
            *start = offset < length ? edgeAfter(f, offset, length) : length;
            *end = *start < length ? edgeAfter(f, *start, length) : length;
        }
        return t.mid(*start, *end - *start);
    }

    QString line(const QString &t, int which, int offset, int *start, int *end) const
    {
        const QList<int> starts = lineStarts();
        qsizetype index = starts.size() - 1;
        while (index > 0 && starts[index] > offset)
            --index;
        index += which;
        const int length = int(t.size());
        if (index < 0 || index >= starts.size()) {
            *start = *end = which < 0 ? 0 : length;
            return QString();
        }
        *start = starts[index];
        *end = index + 1 < starts.size() ? starts[index + 1] : length;
        return t.mid(*start, *end - *start);
    }
};

// ---- Line edits -------------------------------------------------------------

class LineEditAccessible : public QAccessibleWidget,
                           public SafeText,
                           public QAccessibleEditableTextInterface
{
public:
    explicit LineEditAccessible(QLineEdit *e) : QAccessibleWidget(e, QAccessible::EditableText) {}

    QLineEdit *edit() const { return static_cast<QLineEdit *>(widget()); }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (t == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        QString s = t == QAccessible::Value ? edit()->text() : QString();
        if (s.isEmpty())
            s = QAccessibleWidget::text(t);
        if (s.isEmpty() && t == QAccessible::Description)
            s = edit()->placeholderText();
        return s;
    }
    using SafeText::text;

    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t != QAccessible::Value) {
            QAccessibleWidget::setText(t, text);
            return;
        }
        QString s = text;
        int pos = 0;
        if (edit()->validator() && edit()->validator()->validate(s, pos) != QValidator::Acceptable)
            return;
        edit()->setText(s);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        s.readOnly = edit()->isReadOnly();
        s.selectableText = true;
        return s;
    }

    // SafeText
    QString wholeText() const override { return edit()->text(); }
    void selection(int index, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (index != 0)
            return;
        *startOffset = edit()->selectionStart();
        *endOffset = *startOffset + int(edit()->selectedText().size());
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int index) override
    {
        if (index == 0)
            edit()->deselect();
    }
    void setSelection(int index, int startOffset, int endOffset) override
    {
        if (index == 0)
            edit()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QRect characterRect(int offset) const override
    {
        const QString shown = edit()->displayText();
        const QString ch = shown.mid(offset, 1);
        if (ch.isEmpty())
            return QRect();
        // Measured from the caret, whose place the line edit knows, scrolling included.
        const QFontMetrics fm(edit()->font());
        const QRect caret = edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = caret.x() + fm.horizontalAdvance(shown.left(offset))
                      - fm.horizontalAdvance(shown.left(edit()->cursorPosition()));
        QRect r(x, caret.y(), fm.horizontalAdvance(ch), fm.height());
        r.moveTo(edit()->mapToGlobal(r.topLeft()));
        return r;
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        edit()->setCursorPosition(endIndex);
        edit()->setCursorPosition(startIndex);
    }

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override
    {
        edit()->setText(edit()->text().remove(startOffset, endOffset - startOffset));
    }
    void insertText(int offset, const QString &text) override
    {
        edit()->setText(edit()->text().insert(offset, text));
    }
    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        edit()->setText(edit()->text().replace(startOffset, endOffset - startOffset, text));
    }
};

// ---- Read-only texts ---------------------------------------------------------
// A widget whose text is only read: no caret of its own to move, nothing to select.

class ReadOnlyText : public QAccessibleWidget, public SafeText
{
public:
    ReadOnlyText(QWidget *w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    void selection(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
};

// ---- Pick-only lists --------------------------------------------------------
// Named by the label, valued by the picked text, which is also its (read-only)
// text: the reader takes a list's value from its text.

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
// Where Qt passes a selection on to readers (6.5 on), a list's one selected
// item is its pick: newer readers read a new pick from it, not from the text.
#define XELT_LIST_SELECTION 1

// A closed list's item, one per row, apart from the popup's own items: a
// reader that moves to the pick must still find the popup's item new when
// the popup opens, or it says nothing then.
class PickAccessible : public QAccessibleInterface
{
public:
    PickAccessible(QComboBox *list, int row) : m_list(list), m_row(row) {}

    bool isValid() const override { return m_list && m_row < m_list->count(); }
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_list.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? m_list->itemText(m_row) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        return m_list ? QRect(m_list->mapToGlobal(QPoint(0, 0)), m_list->size()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    // Not selectable: a reader asking after the list has moved on would
    // otherwise call the item it is reading "not selected".
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invalid = !isValid();
        s.selected = isValid() && m_list->currentIndex() == m_row;
        return s;
    }

private:
    QPointer<QComboBox> m_list;
    int m_row;
};
#endif

class ListAccessible : public ReadOnlyText
#ifdef XELT_LIST_SELECTION
    ,
                       public QAccessibleSelectionInterface
#endif
{
public:
    explicit ListAccessible(QComboBox *c) : ReadOnlyText(c, QAccessible::ComboBox) {}

    QComboBox *list() const { return static_cast<QComboBox *>(widget()); }

#ifdef XELT_LIST_SELECTION
    ~ListAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_picks))
            QAccessible::deleteAccessibleInterface(id);
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::SelectionInterface)
            return static_cast<QAccessibleSelectionInterface *>(this);
        return ReadOnlyText::interface_cast(t);
    }

    int selectedItemCount() const override { return list()->currentIndex() < 0 ? 0 : 1; }
    QList<QAccessibleInterface *> selectedItems() const override
    {
        if (list()->currentIndex() < 0)
            return {};
        return {pick(list()->currentIndex())};
    }
    bool isSelected(QAccessibleInterface *item) const override
    {
        return item && item == pick(list()->currentIndex());
    }
    bool select(QAccessibleInterface *item) override
    {
        for (auto it = m_picks.cbegin(); it != m_picks.cend(); ++it) {
            if (item && QAccessible::accessibleInterface(it.value()) == item && item->isValid()) {
                list()->setCurrentIndex(it.key());
                return true;
            }
        }
        return false;
    }
    // A pick-only list always has its one pick.
    bool unselect(QAccessibleInterface *) override { return false; }
    bool selectAll() override { return false; }
    bool clear() override { return false; }

    QAccessibleInterface *pick(int row) const
    {
        if (row < 0)
            return nullptr;
        if (QAccessibleInterface *made = QAccessible::accessibleInterface(m_picks.value(row)))
            return made;
        auto *made = new PickAccessible(list(), row);
        m_picks.insert(row, QAccessible::registerAccessibleInterface(made));
        return made;
    }
#endif

    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == list()->view() ? 0 : -1;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return list()->currentText();
        if (t == QAccessible::Accelerator)
            return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
        return QAccessibleWidget::text(t);
    }
    using SafeText::text;

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }

    // SafeText: the picked text, read only, and selected while the list has
    // the focus, as a focused pick-only list shows it.
    QString wholeText() const override { return list()->currentText(); }
    void selection(int index, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = index < selectionCount() ? characterCount() : 0;
    }
    int selectionCount() const override
    {
        return list()->hasFocus() && !list()->currentText().isEmpty() ? 1 : 0;
    }

#ifdef XELT_LIST_SELECTION
private:
    mutable QHash<int, QAccessible::Id> m_picks;
#endif
};

// ---- Labels read line by line -----------------------------------------------

class LabelAccessible : public ReadOnlyText
{
public:
    explicit LabelAccessible(QLabel *l) : ReadOnlyText(l, QAccessible::StaticText) {}

    QLabel *label() const { return static_cast<QLabel *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        QString s = QAccessibleWidget::text(t);
        if (s.isEmpty() && t == QAccessible::Name)
            s = label()->text();
        return s;
    }
    using SafeText::text;

    QString wholeText() const override { return label()->text(); }

    // The lines as the label draws them: wrapped at its width in its font.
    QList<int> lineStarts() const override
    {
        QList<int> starts;
        layOut([&](const QTextLine &line, QPointF) { starts << line.textStart(); });
        if (starts.isEmpty())
            starts << 0;
        return starts;
    }

    QRect characterRect(int offset) const override
    {
        QRect found;
        const int length = int(label()->text().size());
        if (offset < 0 || offset >= length)
            return found;
        layOut([&](const QTextLine &line, QPointF origin) {
            if (offset < line.textStart() || offset >= line.textStart() + line.textLength())
                return;
            const qreal x = line.cursorToX(offset), next = line.cursorToX(offset + 1);
            found = QRectF(origin.x() + x, origin.y() + line.y(), qMax<qreal>(1, next - x),
                           line.height())
                        .toAlignedRect();
        });
        if (found.isValid())
            found.moveTo(label()->mapToGlobal(found.topLeft()));
        return found;
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPointF p = label()->mapFromGlobal(point);
        int offset = -1;
        layOut([&](const QTextLine &line, QPointF origin) {
            const qreal top = origin.y() + line.y();
            if (offset < 0 && p.y() >= top && p.y() < top + line.height())
                offset = line.xToCursor(p.x() - origin.x());
        });
        return offset;
    }

private:
    template <class Visit> void layOut(Visit visit) const
    {
        const QRect area = label()->contentsRect();
        QTextLayout layout(label()->text(), label()->font());
        QTextOption option(label()->alignment());
        option.setWrapMode(label()->wordWrap() ? QTextOption::WordWrap : QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal y = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(area.width());
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            qreal dx = 0;
            if (label()->alignment() & Qt::AlignHCenter)
                dx = (area.width() - line.naturalTextWidth()) / 2;
            else if (label()->alignment() & Qt::AlignRight)
                dx = area.width() - line.naturalTextWidth();
            visit(line, QPointF(area.x() + dx - line.x(), area.y()));
        }
    }
};

// ---- Buttons, panels, windows, decorations ----------------------------------

// A control whose one action of its own is to be pressed.
class PressAccessible : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;
    virtual void press() = 0;
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            press();
        else
            QAccessibleWidget::doAction(action);
    }
};

// A push button that is checkable only to behave as a link: pressed, never checked.
class ButtonAccessible : public PressAccessible
{
public:
    explicit ButtonAccessible(QAbstractButton *b) : PressAccessible(b, QAccessible::Button) {}

    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        QString s = QAccessibleWidget::text(t);
        if (s.isEmpty() && t == QAccessible::Name)
            s = QString(button()->text()).remove(u'&');
        return s;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = false;
        s.checked = false;
        s.pressed = button()->isDown();
        return s;
    }
    void press() override { button()->click(); }
};

// Not there for the ear: shown as invisible, so readers pass it by.
class HiddenAccessible : public QAccessibleWidget
{
public:
    explicit HiddenAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Graphic) {}
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        return s;
    }
};

// A plain QLabel reads as static text; this one is a link that can be pressed.
class LinkLabelAccessible : public PressAccessible
{
public:
    // Named by its text (LinkLabel::create).
    explicit LinkLabelAccessible(LinkLabel *l) : PressAccessible(l, QAccessible::Link) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        // Wholly covered by an opaque sibling: not there for the eye, so not for the ear.
        if (widget()->isVisible() && widget()->visibleRegion().isEmpty())
            s.invisible = true;
        return s;
    }
    void press() override { static_cast<LinkLabel *>(widget())->follow(); }
};

QAccessibleInterface *factory(const QString &key, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *w = static_cast<QWidget *>(object);
    if (key == u"LinkLabel")
        return new LinkLabelAccessible(static_cast<LinkLabel *>(w));
    const QString mark = readAs(object);
    if (mark == u"hidden"
        || (key == u"QLabel" && object->objectName() == u"qt_msgboxex_icon_label"))
        return new HiddenAccessible(w);
    if (mark == u"dialog" && w->isWindow())
        return new QAccessibleWidget(w, QAccessible::Dialog);
    if (mark == u"text" && key == u"QLabel")
        return new LabelAccessible(static_cast<QLabel *>(w));
    if (mark == u"button" && qobject_cast<QAbstractButton *>(object))
        return new ButtonAccessible(static_cast<QAbstractButton *>(w));
    if (key == u"QLineEdit")
        return new LineEditAccessible(static_cast<QLineEdit *>(w));
    if (key == u"QComboBox" && !static_cast<QComboBox *>(w)->isEditable())
        return new ListAccessible(static_cast<QComboBox *>(w));
    // A plain frame is a panel inside a window, not a window of its own.
    if (key == u"QFrame" && object->metaObject() == &QFrame::staticMetaObject && !w->isWindow())
        return new QAccessibleWidget(w, QAccessible::Grouping);
    return nullptr;
}

} // namespace

void install()
{
    static const bool installed = (QAccessible::installFactory(factory), true);
    Q_UNUSED(installed);
}

namespace {
// Marks `w`; an answer made for it before (Qt makes one whenever a caption or
// name is set) is dropped, so the next question gets the marked one.
void mark(QWidget *w, const char *how)
{
    w->setProperty(kReadAs, QString::fromLatin1(how));
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(w))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}
} // namespace

void readAsDialog(QWidget *window) { mark(window, "dialog"); }
void readAsText(QLabel *label) { mark(label, "text"); }
void readAsButton(QWidget *button) { mark(button, "button"); }
void hideFromReader(QWidget *widget) { mark(widget, "hidden"); }

void nameList(QComboBox *list, const QString &name)
{
    list->setAccessibleName(name);
    list->view()->setAccessibleName(name);
#ifndef XELT_LIST_SELECTION
    // Qt tells of a new pick only in ways that readers drop for a list; the
    // new text, shown selected, is what they read as a new value.
    QObject::connect(list, &QComboBox::currentIndexChanged, list, [list] {
        if (!QAccessible::isActive() || !list->hasFocus())
            return;
        QAccessibleTextInsertEvent shown(list, 0, list->currentText());
        QAccessible::updateAccessibility(&shown);
    });
#endif
}

void unannounced(const std::function<void()> &change)
{
    const QAccessible::UpdateHandler previous =
        QAccessible::installUpdateHandler([](QAccessibleEvent *) {});
    change();
    QAccessible::installUpdateHandler(previous);
}

} // namespace accessibility
