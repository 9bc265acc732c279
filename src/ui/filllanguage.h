#pragma once

#include <QList>

class QAbstractItemView;
class QMenu;
class QObject;
class QWidget;
class Language;

// Every window and control keeps its Tag, the catalogue key of its caption, as the dynamic property
// "tag"; an object without one has Tag 0. A Tag below 1 means "not translated".
namespace Tags {

inline constexpr char tag[] = "tag";
// On a report-style list view (QTreeView, QTableView): the Tag of each column, in column order
// (a QVariantList of int); a column beyond the list has Tag 0.
inline constexpr char columnTags[] = "columnTags";
// On a report-style list view with list groups: the header of each group, indexed by group ID
// (a QStringList); the view shows what is written here.
inline constexpr char groupHeaders[] = "groupHeaders";
// On the object that stands for a save-file dialog: its title, read when the dialog is opened.
inline constexpr char dialogTitle[] = "dialogTitle";

} // namespace Tags

void setTag(QObject* object, int tag);
int tagOf(const QObject* object);
void setColumnTags(QAbstractItemView* view, const QList<int>& tags);
// A separator in a popup menu, with Tag -1 so that translating the menu leaves it alone.
void addSeparator(QMenu* menu);

// Replaces the captions of frm and of its numbered controls from the catalogue: the window title;
// labels, buttons (push, tool, check and radio) and group boxes; the column captions and group
// headers of report-style list views; the top-level items of popup menus whose Tag is 0 or more;
// the title of save-file dialogs; the off and on captions of toggle switches ("<tag>.0", "<tag>.1").
// Only objects with a Tag above 0 are touched; an empty value blanks the caption. Push buttons then
// get their Alt+letters (assignMnemonics).
void FillLanguage(QWidget* frm, const Language& language);
