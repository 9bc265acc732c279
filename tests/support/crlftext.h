#pragma once

#include <QByteArray>
#include <QStringList>

// The lines as the generated files hold them: UTF-8, each ended by CR LF.
QByteArray crlf(const QStringList& lines);
