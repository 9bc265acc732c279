#include "transfertext.h"

#include "openhab/topenhab.h"

#include <QStringList>

QByteArray ReadTransferText(const QString& fileName)
{
    QByteArray text;
    for (const QString& line : TopenHab::ReadFile(fileName, false)) {
        if (line.startsWith(QStringLiteral("#reboot")))
            continue;
        if (!text.isEmpty())
            text += "\r\n";
        text += line.toUtf8();
    }
    return text;
}

std::optional<TFileError> WriteReceivedText(const QString& fileName, const QByteArray& text)
{
    QStringList lines;
    const QList<QByteArray> parts = text.split('\n');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QByteArray line = parts.at(i);
        line.removeIf([](char c) { return c == '\r'; });
        // What follows the last LF is a line of its own only when something is left of it.
        if (i == parts.size() - 1 && line.isEmpty())
            break;
        lines << QString::fromUtf8(line);
    }
    return TopenHab::WriteFile(fileName, lines);
}
