#include "language.h"

#include "inifile.h"

Language::Language(QString configDir) : m_configDir(std::move(configDir))
{
    if (!m_configDir.isEmpty() && !m_configDir.endsWith(QLatin1Char('/')))
        m_configDir += QLatin1Char('/');
}

QString Language::languageFile() const
{
    return m_configDir + QStringLiteral("language.ini");
}

void Language::LoadLanguage(const QString& section)
{
    m_texts.clear();
    m_messages.clear();
    static const QString messagePrefix = QStringLiteral("m.");
    for (const auto& [name, value] : IniFile(languageFile()).values(section)) {
        const QString key = name.toCaseFolded();
        if (m_texts.contains(key))
            continue;
        m_texts.insert(key, value);
        // GetMsg asks for "M." and the number in decimal; "M.07" is no message 7.
        if (!key.startsWith(messagePrefix))
            continue;
        bool ok = false;
        const int msgID = key.mid(messagePrefix.size()).toInt(&ok);
        if (ok && key == messagePrefix + QString::number(msgID))
            m_messages.insert(msgID, value);
    }
}

QStringList Language::GetLanguages() const
{
    return IniFile(languageFile()).sections();
}

QString Language::GetMsg(Msg id) const
{
    const QString text = m_messages.value(static_cast<int>(id));
    return text.isEmpty() ? Messages::German(id) : text;
}

QString Language::GetMsg(Msg id, const QString& p1, const QString& p2) const
{
    return Fill(GetMsg(id), p1, p2);
}

QString Language::caption(const QString& tagKey) const
{
    return m_texts.value(tagKey.toCaseFolded());
}

QString Language::Fill(QString text, const QString& p1, const QString& p2)
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
