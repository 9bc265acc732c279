#pragma once

struct Program;

// The check before a send: the project check runs over the open project as its files are on disk,
// which is what a send delivers, loaded as opening it would load it. Its findings are listed and
// the user is asked whether to send anyway, No being the default. True when there is nothing to
// report or the user chose to send.
bool ConfirmSendAfterCheck(Program& program);
