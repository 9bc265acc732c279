#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a run of the command-line program gave: its exit status (-1 when it crashed or did not end
// within the patience) and both output streams.
struct CliResult
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs program with arguments in workingDir (the current folder when empty), its standard input a
// closed pipe, so that every question is answered as without a terminal. A run still going after
// patienceMs is killed.
CliResult RunCli(const QString& program, const QStringList& arguments, const QString& workingDir = {},
                 int patienceMs = 30000);
