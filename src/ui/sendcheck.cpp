#include "sendcheck.h"

#include "openhab/projectcheck.h"
#include "model/tlanguage.h"
#include "program.h"
#include "workspace/prompts.h"

using namespace Qt::StringLiterals;

namespace {

// A message box taller than the screen hides its buttons; the rest is what `varuno-cli check`
// lists.
constexpr qsizetype ListedFindings = 15;

} // namespace

bool ConfirmSendAfterCheck(TProgram& program, const QList<FunctionEntry>& rows)
{
    TProjectCheck check(program.openHab, program.bticino, rows);
    QStringList findings;
    // A check that could not be finished is a finding as well: what it would have found is unknown.
    if (!check.Run(findings))
        findings << check.errorString();
    if (findings.isEmpty())
        return true;
    QStringList listed = findings.mid(0, ListedFindings);
    if (findings.size() > ListedFindings)
        listed << u"… (+%1)"_s.arg(findings.size() - ListedFindings);
    const QString question = program.language.GetMsg(
        108, u"Die Prüfung des Projekts hat diese Fehler gefunden. Trotzdem senden?"_s);
    return program.prompts.confirm(listed.join(u'\n') + u"\n\n"_s + question, Prompts::Default::No);
}
