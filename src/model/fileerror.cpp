#include "fileerror.h"

#include "language.h"

#include <cstring>

Problem FileError::problem() const
{
    return {Msg::FileNotWritten, fileName, reason};
}

QString FileError::text(const Language& language) const
{
    return problem().text(language);
}

FileReadError::FileReadError(QString fileName, QString reason)
    : std::runtime_error("file cannot be opened"), m_fileName(std::move(fileName)),
      m_reason(std::move(reason))
{
}

Problem FileReadError::problem() const
{
    return {Msg::FileNotOpened, m_fileName, m_reason};
}

QString FileReadError::text(const Language& language) const
{
    return problem().text(language);
}

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
