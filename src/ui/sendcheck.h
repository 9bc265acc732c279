#pragma once

#include "model/functionentry.h"

#include <QList>

struct TProgram;

// The check before a send: the project check runs over the open project and its function list; its
// findings are listed and the user is asked whether to send anyway, No being the default. True when
// there is nothing to report or the user chose to send.
bool ConfirmSendAfterCheck(TProgram& program, const QList<FunctionEntry>& rows);
