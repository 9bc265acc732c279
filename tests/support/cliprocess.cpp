#include "cliprocess.h"

#include <QProcess>

CliResult RunCli(const QString& program, const QStringList& arguments, const QString& workingDir,
                 int patienceMs)
{
    QProcess process;
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(program, arguments);
    process.closeWriteChannel();
    CliResult result;
    if (!process.waitForFinished(patienceMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}
