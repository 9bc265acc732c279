#include "fileerror.h"

#include "tlanguage.h"

#include <cstring>

Problem TFileError::problem() const
{
    return {Msg::FileNotWritten, fileName, reason};
}

QString TFileError::text(const TLanguage& language) const
{
    return problem().text(language);
}

EFileError::EFileError(QString fileName, QString reason)
    : std::runtime_error("file cannot be opened"), m_fileName(std::move(fileName)),
      m_reason(std::move(reason))
{
}

Problem EFileError::problem() const
{
    return {Msg::FileNotOpened, m_fileName, m_reason};
}

QString EFileError::text(const TLanguage& language) const
{
    return problem().text(language);
}

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
