#include "clicommands.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    QFile in;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    // Progress and questions must show at once.
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    const bool bTerminal =
        ::isatty(STDIN_FILENO) && in.open(STDIN_FILENO, QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
    CliCommands cli(QCoreApplication::applicationDirPath(), out, err, bTerminal ? &in : nullptr);
    return cli.Run(QCoreApplication::arguments());
}
