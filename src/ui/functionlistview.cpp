#include "functionlistview.h"

#include "kindgroupmodel.h"
#include "model/functionlist.h"
#include "style.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace {

// Grid lines between the cells, and the group headers as a caption with a rule beside it.
class GridDelegate : public QStyledItemDelegate
{
public:
    GridDelegate(const KindGroupModel& model, QObject* parent) : QStyledItemDelegate(parent), m_model(model)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (m_model.isGroupHeader(index)) {
            paintGroupHeader(painter, option, index);
            return;
        }
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(Style::gridLine());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), m_model.isGroupHeader(index) ? 34 : 28));
        return size;
    }

private:
    static void paintGroupHeader(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index)
    {
        painter->save();
        QFont font = option.font;
        font.setBold(true);
        painter->setFont(font);
        painter->setPen(Style::accentDark());
        const QRect text = option.rect.adjusted(8, 6, -8, 0);
        const QString caption = index.data().toString();
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, caption);
        const int ruleX = text.left() + QFontMetrics(font).horizontalAdvance(caption) + 10;
        const int ruleY = text.center().y();
        painter->setPen(Style::groupHeader().darker(115));
        if (ruleX < text.right())
            painter->drawLine(ruleX, ruleY, text.right(), ruleY);
        painter->restore();
    }

    const KindGroupModel& m_model;
};

} // namespace

FunctionListView::FunctionListView(FunctionList& list, QWidget* parent)
    : QTreeView(parent), m_list(list), m_model(new KindGroupModel(list, this))
{
    setModel(m_model);
    setItemDelegate(new GridDelegate(*m_model, this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize({24, 24});
    setUniformRowHeights(false);
    setAllColumnsShowFocus(true);
    // Groups are always open: no branch marks and no indentation that a click could land on.
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setSortingEnabled(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    // The narrow columns (50 pixels for "Sprache" and "Taste") fit their captions only in a
    // smaller type than the rows'.
    header()->setFont(Style::bodyFont(12));

    connect(m_model, &QAbstractItemModel::modelReset, this, &FunctionListView::layoutGroups);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &FunctionListView::layoutGroups);
    layoutGroups();
}

void FunctionListView::layoutGroups()
{
    if (!m_model->groupView())
        return;
    for (int row = 0; row < m_model->rowCount(); ++row)
        setFirstColumnSpanned(row, {}, true);
    expandAll();
}

bool FunctionListView::groupView() const
{
    return m_model->groupView();
}

void FunctionListView::setGroupView(bool on)
{
    m_model->setGroupView(on);
}

QStringList FunctionListView::groupHeaders() const
{
    return m_model->groupHeaders();
}

void FunctionListView::setGroupHeaders(const QStringList& headers)
{
    m_model->setGroupHeaders(headers);
}

int FunctionListView::selectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return -1;
    return m_model->mapToSource(rows.constFirst()).row();
}

void FunctionListView::selectRow(int row)
{
    const QModelIndex index = m_model->mapFromSource(m_list.index(row, 0));
    if (!index.isValid()) {
        clearSelection();
        return;
    }
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int FunctionListView::rowAt(const QPoint& pos) const
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid() || m_model->isGroupHeader(index))
        return -1;
    return m_model->mapToSource(index).row();
}

void FunctionListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const int row = rowAt(event->position().toPoint());
    if (row >= 0)
        emit rowDoubleClicked(row);
}

void FunctionListView::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool bMenuKey =
        key == Qt::Key_Menu || (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (bMenuKey) {
        const QModelIndex current = currentIndex();
        const QPoint at = current.isValid() ? visualRect(current).center() : QPoint(0, 0);
        emit customContextMenuRequested(at);
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) {
        if (selectedRow() >= 0)
            emit rowDoubleClicked(selectedRow());
    } else if (key == Qt::Key_Delete) {
        emit deleteRequested();
    } else {
        QTreeView::keyPressEvent(event);
    }
}

QModelIndex FunctionListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTreeView::moveCursor(action, modifiers);
    if (!m_model->isGroupHeader(next))
        return next;
    QModelIndex function;
    if (action == MoveUp || action == MovePrevious)
        function = firstFunctionFrom(next.row() - 1, -1);
    else if (action != MoveLeft && action != MoveRight)
        function = firstFunctionFrom(next.row(), +1);
    return function.isValid() ? function : currentIndex();
}

QModelIndex FunctionListView::firstFunctionFrom(int group, int direction) const
{
    for (; group >= 0 && group < m_model->rowCount(); group += direction) {
        const QModelIndex header = m_model->index(group, 0);
        const int rows = m_model->rowCount(header);
        if (rows > 0)
            return m_model->index(direction > 0 ? 0 : rows - 1, 0, header);
    }
    return {};
}

void FunctionListView::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    if (selectedRow() >= 0)
        return;
    QModelIndex current = currentIndex();
    if (!current.isValid() || m_model->isGroupHeader(current))
        current = m_model->groupView() ? firstFunctionFrom(0, +1) : m_model->index(0, 0);
    if (current.isValid())
        selectionModel()->setCurrentIndex(current,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool FunctionListView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QTreeView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.data(Qt::DisplayRole).toString();
    QRect cell = visualRect(index);
    if (!index.data(Qt::DecorationRole).isNull())
        cell.setLeft(cell.left() + iconSize().width() + 4);
    // The delegate keeps a margin on either side of the text.
    const int room =
        cell.width() - 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    if (index.isValid() && !text.isEmpty() && fontMetrics().horizontalAdvance(text) > room)
        QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
    else
        QToolTip::hideText();
    return true;
}
