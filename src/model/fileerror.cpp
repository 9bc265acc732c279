#include "fileerror.h"

#include "tlanguage.h"

#include <cstring>

QString TFileError::text(const TLanguage& language) const
{
    return language.GetMsg(Msg::FileNotWritten, fileName, reason);
}

EFileError::EFileError(QString fileName, QString reason)
    : std::runtime_error("file cannot be opened"), m_fileName(std::move(fileName)),
      m_reason(std::move(reason))
{
}

QString EFileError::text(const TLanguage& language) const
{
    return language.GetMsg(Msg::FileNotOpened, m_fileName, m_reason);
}

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
