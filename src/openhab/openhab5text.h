#pragma once

#include <QString>

// How texts and names go into the files of openHAB 5: the things, items, sitemap and rules grammars
// all read a text between double quotes with the same escapes.

// The text between double quotes, a backslash, a double quote and the line-breaking controls
// escaped, so that a label reads back exactly as it stands; umlauts and brackets stay as they are.
QString openHab5Quoted(const QString& text);

// Whether openHAB 5 takes name as an item name and as the id of a thing: a letter or "_" first,
// then letters, digits and "_" only, and no keyword of the sitemap or rules language.
bool isOpenHab5Name(const QString& name);
