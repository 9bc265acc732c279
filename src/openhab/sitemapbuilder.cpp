#include "sitemapbuilder.h"

#include "model/functionentry.h"
#include "model/functionvocabulary.h"
#include "model/groupnames.h"
#include "model/language.h"
#include "openhabgrammar.h"

#include <QStringTokenizer>

#include <algorithm>

using namespace Qt::StringLiterals;

SitemapBuilder::SitemapBuilder(const Language& language, bool bKindFrames, const QStringList& slGroups,
                               const GroupLabels& labels)
    : m_language(language), m_bKindFrames(bKindFrames), m_execute(language.GetMsg(Msg::Execute))
{
    if (bKindFrames) {
        for (int kind = 0; kind < FunctionEntry::KindCount; ++kind)
            m_frames.append({KindFrameLabel(kind), {}});
        return;
    }
    for (const QString& group : slGroups) {
        // No function belongs to a group without a name.
        if (!group.isEmpty())
            m_framesOfGroup[group].append(m_frames.size());
        m_frames.append({GroupLabel(labels, group), {}});
    }
    m_frames.append({language.GetMsg(Msg::FrameGeneral), {}});
}

void SitemapBuilder::Add(int iType, const QString& sAlias, const QString& sGroups)
{
    if (!m_bKindFrames) {
        for (const qsizetype frame : GroupFramesOf(sGroups))
            AddSitemapElement(m_frames[frame].lines, iType, sAlias);
    } else if (iType >= 0 && iType < m_frames.size()) {
        AddSitemapElement(m_frames[iType].lines, iType, sAlias);
    }
}

GeneratedText SitemapBuilder::Build(const QString& sProj) const
{
    if (std::all_of(m_frames.cbegin(), m_frames.cend(),
                    [](const Frame& frame) { return frame.lines.isEmpty(); }))
        return {};
    GeneratedText sl;
    sl.add(u"sitemap bticino label=\""_s + sProj + u"\" {"_s);
    for (const Frame& frame : m_frames) {
        if (frame.lines.isEmpty())
            continue;
        sl.add(u"  Frame label="_s + QuotedText(frame.label) + u" {"_s);
        sl.append(frame.lines);
        sl.add(u"  }"_s);
    }
    sl.add(u"}"_s);
    return sl;
}

void SitemapBuilder::AddSitemapElement(GeneratedText& lines, int iType, const QString& sAlias) const
{
    // Indented for its frame.
    switch (iType) {
    case FunctionEntry::Dimmer:
        lines.add(u"    Slider item="_s + sAlias);
        return;
    case FunctionEntry::CenScene:
    case FunctionEntry::ScenarioModule:
        lines.add(u"    Switch item="_s + sAlias + u" mappings=[ON=\""_s + m_execute + u"\"]"_s);
        return;
    default:
        lines.add(u"    Switch item="_s + sAlias);
    }
}

QString SitemapBuilder::KindFrameLabel(int iType) const
{
    static constexpr Msg labels[FunctionEntry::KindCount] = {Msg::KindLights,    Msg::KindDimmers,
                                                             Msg::KindBlinds,    Msg::KindCen,
                                                             Msg::KindScenarios, Msg::KindGroupScenes};
    return m_language.GetMsg(labels[iType]);
}

SitemapBuilder::FrameIndexes SitemapBuilder::GroupFramesOf(const QString& sGroups) const
{
    // Functions without a group, and the scene that stops every blind, belong to the general frame.
    if (sGroups.isEmpty() || sGroups == Vocabulary::StopAllBlinds)
        return {m_frames.size() - 1};
    // The names as IsInGroup compares them. A frame shows the function once, however often the
    // function names its group.
    FrameIndexes frames;
    for (const QStringView name : GeneratorGroupNames(sGroups)) {
        const auto named = m_framesOfGroup.find(name);
        if (named == m_framesOfGroup.end())
            continue;
        for (const qsizetype frame : named->second) {
            if (!frames.contains(frame))
                frames.append(frame);
        }
    }
    return frames;
}
