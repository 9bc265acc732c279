#pragma once

#include "generatedtext.h"
#include "model/groupnames.h"
#include "nametable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

class Language;

// Collects the sitemap elements of the functions, frame by frame, while the items file is
// written, and gives the sitemap's lines at the end. The frame labels and the button caption are
// looked up when the builder is made, so the sitemap follows the language active at that moment.
class SitemapBuilder
{
public:
    // bKindFrames: one frame per kind of function (layout "1"); otherwise one frame per group of
    // slGroups and a general frame after them.
    // A group frame is labelled with the group's label.
    SitemapBuilder(const Language& language, bool bKindFrames, const QStringList& slGroups,
                   const GroupLabels& labels);

    // Files the element of one function under its frame(s).
    void Add(int iType, const QString& sAlias, const QString& sGroups);
    // The sitemap labelled sProj; no lines at all when no frame holds an element.
    GeneratedText Build(const QString& sProj) const;

private:
    struct Frame
    {
        QString label; // for a group frame the group's name
        GeneratedText lines;
    };

    // Appends the function's element to a frame's lines.
    void AddSitemapElement(GeneratedText& lines, int iType, const QString& sAlias) const;
    QString KindFrameLabel(int iType) const;
    // The frames of the group layout that show a function of the groups text sGroups.
    using FrameIndexes = QVarLengthArray<qsizetype, 8>;
    FrameIndexes GroupFramesOf(const QString& sGroups) const;

    const Language& m_language;
    bool m_bKindFrames;
    QString m_execute; // caption of the single button of scenes
    QList<Frame> m_frames;
    // The group frames by their group's name: a function is filed under the frames of the names it
    // lists, instead of every frame asking about every function.
    NameTable<QList<qsizetype>> m_framesOfGroup;
};
