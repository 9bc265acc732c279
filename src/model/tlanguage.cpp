#include "tlanguage.h"

#include "inifile.h"

TLanguage::TLanguage(QString configDir)
    : m_configDir(std::move(configDir))
{
    if (!m_configDir.isEmpty() && !m_configDir.endsWith(QLatin1Char('/')))
        m_configDir += QLatin1Char('/');
}

QString TLanguage::languageFile() const
{
    return m_configDir + QStringLiteral("language.ini");
}

void TLanguage::LoadLanguage(const QString& sLang)
{
    slLang = TIniFile(languageFile()).values(sLang);
}

QStringList TLanguage::GetLanguages() const
{
    return TIniFile(languageFile()).sections();
}

QString TLanguage::lookup(const QString& key) const
{
    for (const auto& [name, value] : slLang) {
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QString TLanguage::GetMsg(int msgID, const QString& sDefault) const
{
    const QString text = lookup(QStringLiteral("M.") + QString::number(msgID));
    return text.isEmpty() ? sDefault : text;
}

QString TLanguage::Caption(const QString& tagKey) const
{
    return lookup(tagKey);
}

QString TLanguage::Fill(QString text, const QString& p1, const QString& p2)
{
    // Both placeholders are found before anything is replaced, and the later one is replaced
    // first, so a value that itself holds "$1" or "$2" is never replaced again.
    const qsizetype at1 = text.indexOf(QStringLiteral("$1"));
    const qsizetype at2 = text.indexOf(QStringLiteral("$2"));
    const auto replaceAt = [&text](qsizetype at, const QString& value) {
        if (at >= 0)
            text.replace(at, 2, value);
    };
    if (at1 > at2) {
        replaceAt(at1, p1);
        replaceAt(at2, p2);
    } else {
        replaceAt(at2, p2);
        replaceAt(at1, p1);
    }
    return text;
}
