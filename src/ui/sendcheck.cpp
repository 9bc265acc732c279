#include "sendcheck.h"

#include "model/functionlist.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "openhab/projectcheck.h"
#include "program.h"
#include "workspace/prompts.h"

using namespace Qt::StringLiterals;

namespace {

// A message box taller than the screen hides its buttons; the rest is what `varuno-cli check`
// lists.
constexpr qsizetype ListedFindings = 15;

} // namespace

bool ConfirmSendAfterCheck(Program& program)
{
    // A generator of its own: the open project's values and list stay as they are. The rows the
    // editor built are not compared themselves, since a save and load gives some of them their
    // stored form ("1" becomes the key "01"), which is no fault the user could correct.
    OpenHabGenerator disk(program.language, program.openHab.sCfgDir());
    disk.sProjPath = program.openHab.sProjPath;
    disk.sProj = program.openHab.sProj;
    FunctionList rows;
    QStringList findings;
    QStringList warnings;
    try {
        disk.LoadFiles(rows);
        ProjectCheck check(disk, rows.entries());
        // A check that could not be finished is a finding as well: what it would have found is
        // unknown.
        if (!check.Run(findings))
            findings << check.errorString();
        warnings = check.warnings();
    } catch (const FileReadError& e) {
        findings << e.text(program.language);
    }
    // warnings alone are shown, not asked about: the project may hold them on purpose.
    if (findings.isEmpty()) {
        if (!warnings.isEmpty())
            program.prompts.information(warnings.mid(0, ListedFindings).join(u'\n'));
        return true;
    }
    findings << warnings;
    QStringList listed = findings.mid(0, ListedFindings);
    if (findings.size() > ListedFindings)
        listed << u"… (+%1)"_s.arg(findings.size() - ListedFindings);
    const QString question = program.language.GetMsg(Msg::CheckSendAnyway);
    return program.prompts.confirm(listed.join(u'\n') + u"\n\n"_s + question, Prompts::Default::No);
}
