#include "filllanguage.h"

#include "mnemonics.h"
#include "model/captiontags.h"
#include "model/language.h"
#include "toggleswitch.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTreeView>
#include <QVariant>
#include <QWidget>

namespace {

QString key(int tag)
{
    return QString::number(tag);
}

QString key(int tag, int sub)
{
    return QString::number(tag) + QLatin1Char('.') + QString::number(sub);
}

void fillListView(QAbstractItemView* view, int tag, const Language& language)
{
    if (QAbstractItemModel* model = view->model()) {
        const QVariantList tags = view->property(Tags::columnTags).toList();
        for (int column = 0; column < model->columnCount(); ++column) {
            const int columnTag = column < tags.size() ? tags.at(column).toInt() : 0;
            model->setHeaderData(column, Qt::Horizontal, language.caption(key(columnTag)));
        }
    }
    QStringList headers = view->property(Tags::groupHeaders).toStringList();
    if (headers.isEmpty())
        return;
    for (int id = 0; id < headers.size(); ++id)
        headers[id] = language.caption(key(tag, id));
    view->setProperty(Tags::groupHeaders, headers);
}

void fillMenu(QMenu* menu, const Language& language)
{
    for (QAction* item : menu->actions()) {
        const int itemTag = tagOf(item);
        if (itemTag >= 0)
            item->setText(language.caption(key(itemTag)));
    }
}

// One component by its class; classes not named here keep their captions.
void fillComponent(QObject* component, const Language& language)
{
    const int tag = tagOf(component);
    if (tag < 1)
        return;
    const QString caption = language.caption(key(tag));
    if (auto* toggle = qobject_cast<ToggleSwitch*>(component)) {
        toggle->setOffCaption(language.caption(key(tag, 0)));
        toggle->setOnCaption(language.caption(key(tag, 1)));
    } else if (auto* label = qobject_cast<QLabel*>(component)) {
        label->setText(caption);
    } else if (auto* button = qobject_cast<QAbstractButton*>(component)) {
        button->setText(caption);
    } else if (auto* box = qobject_cast<QGroupBox*>(component)) {
        box->setTitle(caption);
    } else if (qobject_cast<QTreeView*>(component) || qobject_cast<QTableView*>(component)) {
        fillListView(static_cast<QAbstractItemView*>(component), tag, language);
    } else if (auto* menu = qobject_cast<QMenu*>(component)) {
        fillMenu(menu, language);
    } else if (component->property(Tags::dialogTitle).isValid()) {
        component->setProperty(Tags::dialogTitle, caption);
    }
}

} // namespace

void setTag(QObject* object, int tag)
{
    object->setProperty(Tags::tag, tag);
}

int tagOf(const QObject* object)
{
    return object->property(Tags::tag).toInt();
}

void setColumnTags(QAbstractItemView* view, const QList<int>& tags)
{
    QVariantList list;
    for (int tag : tags)
        list << tag;
    view->setProperty(Tags::columnTags, list);
}

void addSeparator(QMenu* menu)
{
    setTag(menu->addSeparator(), CaptionTag::Untouched);
}

void FillLanguage(QWidget* frm, const Language& language)
{
    const int tag = tagOf(frm);
    if (tag > 0)
        frm->setWindowTitle(language.caption(key(tag)));
    // Depth first, in creation order: the order of the window's components.
    for (QObject* component : frm->findChildren<QObject*>())
        fillComponent(component, language);
    assignMnemonics(frm);
}
