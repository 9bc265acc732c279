#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include "messages.h"

// The message catalogue: numbered messages and window captions of the chosen language, read from
// language.ini in the program's config folder (one section per language). German is built in: every
// message has its German text built in, which serves when the catalogue has none.
class Language
{
public:
    // configDir: the folder that holds language.ini.
    explicit Language(QString configDir);

    // Makes the catalogue's section the current language; a missing file or section empties the catalogue.
    void LoadLanguage(const QString& section);
    // The section names of language.ini in file order.
    QStringList GetLanguages() const;
    // Text of message id ("M.<number>"), or its built-in German text when the catalogue has no
    // non-empty text for it.
    QString GetMsg(Msg id) const;
    // The same with "$1" and "$2" filled in (see Fill).
    QString GetMsg(Msg id, const QString& p1, const QString& p2 = {}) const;
    // Caption by Tag key ("31", "61.0", "14.3"): the value, empty when the key is missing.
    QString caption(const QString& tagKey) const;

    // Replaces the first "$1" by p1 and the first "$2" by p2.
    static QString Fill(QString text, const QString& p1, const QString& p2 = {});

    QString languageFile() const;

private:
    QString m_configDir;
    // The catalogue of the loaded language by key folded to one letter case (keys match in any
    // case; of keys that match each other the first in the file counts), and its messages once
    // more by number: the loader asks for some of them for every function of a project.
    QHash<QString, QString> m_texts;
    QHash<int, QString> m_messages;
};
