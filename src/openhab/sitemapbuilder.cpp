#include "sitemapbuilder.h"

#include "groupmembership.h"
#include "model/functionentry.h"
#include "model/tlanguage.h"

using namespace Qt::StringLiterals;

TSitemapBuilder::TSitemapBuilder(const TLanguage& language, bool bKindFrames, const QStringList& slGroups)
    : m_language(language)
    , m_bKindFrames(bKindFrames)
    , m_execute(language.GetMsg(13, u"Ausführen"_s))
{
    if (bKindFrames) {
        for (int kind = 0; kind < FunctionEntry::KindCount; ++kind)
            m_frames.append({KindFrameLabel(kind), {}});
        return;
    }
    for (const QString& group : slGroups)
        m_frames.append({group, {}});
    m_frames.append({language.GetMsg(79, u"Allgemein"_s), {}});
}

void TSitemapBuilder::Add(int iType, const QString& sAlias, const QString& sGroups)
{
    const QString line = u"    "_s + BuildSitemapElement(iType, sAlias);
    if (!m_bKindFrames)
        AddToGroupFrames(line, sGroups);
    else if (iType >= 0 && iType < m_frames.size())
        m_frames[iType].lines.append(line);
}

QStringList TSitemapBuilder::Build(const QString& sProj) const
{
    QStringList sl;
    for (const TFrame& frame : m_frames) {
        if (frame.lines.isEmpty())
            continue;
        sl << u"  Frame label=\""_s + frame.label + u"\" {"_s;
        sl << frame.lines;
        sl << u"  }"_s;
    }
    if (sl.isEmpty())
        return {};
    sl.prepend(u"sitemap bticino label=\""_s + sProj + u"\" {"_s);
    sl << u"}"_s;
    return sl;
}

QString TSitemapBuilder::BuildSitemapElement(int iType, const QString& sAlias) const
{
    switch (iType) {
    case FunctionEntry::Dimmer:
        return u"Slider item="_s + sAlias;
    case FunctionEntry::CenScene:
    case FunctionEntry::ScenarioModule:
        return u"Switch item="_s + sAlias + u" mappings=[ON=\""_s + m_execute + u"\"]"_s;
    default:
        return u"Switch item="_s + sAlias;
    }
}

QString TSitemapBuilder::KindFrameLabel(int iType) const
{
    static const char16_t* const germanLabels[FunctionEntry::KindCount] = {
        u"Lichter/Schalter", u"Dimmer", u"Jalousien/Raffstore", u"CEN", u"Szenarien", u"individuelle Szenen"};
    return m_language.GetMsg(38 + iType, QString::fromUtf16(germanLabels[iType]));
}

void TSitemapBuilder::AddToGroupFrames(const QString& line, const QString& sGroups)
{
    // Functions without a group, and the scene that stops every blind, belong to the general frame.
    if (sGroups.isEmpty() || sGroups == u"_STOP_"_s) {
        m_frames.last().lines.append(line);
        return;
    }
    for (qsizetype i = 0; i + 1 < m_frames.size(); ++i) {
        if (IsInGroup(sGroups, m_frames[i].label))
            m_frames[i].lines.append(line);
    }
}
