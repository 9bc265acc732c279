#pragma once

// Shared by the transfer tests: a window stand-in that records what the transfer reports, and a
// project whose files hold labels beyond ASCII.

#include "bus/busaddress.h"
#include "link/gatewaytransfer.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"
#include "scriptedprompts.h"

#include <QDir>
#include <QStringList>

#include <functional>

class RecordingView : public TransferView
{
public:
    QString sAddress = QStringLiteral("127.0.0.1");
    TransferMode eMode = TransferMode::Send;
    ScriptedPrompts scripted;

    QStringList progressTexts;
    int progress = -1;
    int maximum = -1;
    QString serverCaption;
    QString serverHint;
    bool rebootNote = false;
    // Runs after each step of the progress bar, with the bar's value.
    std::function<void(int)> afterProgress;

    QString address() const override { return sAddress; }
    TransferMode mode() const override { return eMode; }
    void setProgressText(const QString& text) override { progressTexts << text; }
    void setProgress(int value, int max) override
    {
        progress = value;
        maximum = max;
    }
    void advanceProgress() override
    {
        ++progress;
        if (afterProgress)
            afterProgress(progress);
    }
    void setServerTime(const QString& caption, const QString& hint) override
    {
        serverCaption = caption;
        serverHint = hint;
    }
    void showRebootNote() override { rebootNote = true; }
    // Worded as the window words it; every transfer test runs in the built-in German.
    void showProblem(const Problem& problem) override
    {
        static const Language german{QString()};
        scripted.error(problem.text(german));
    }
    Prompts& prompts() override { return scripted; }
};

// Where the gateway keeps each file, as its store keys name it.
inline const QList<QPair<QString, QByteArray>>& gatewayKeys()
{
    static const QList<QPair<QString, QByteArray>> keys = {
        {QStringLiteral("bticino.cfg"), "/var/lib/docker/volumes/openhab_conf/_data/services/bticino.cfg"},
        {QStringLiteral("bticino.items"), "/var/lib/docker/volumes/openhab_conf/_data/items/bticino.items"},
        {QStringLiteral("openhabcloud.cfg"),
         "/var/lib/docker/volumes/openhab_conf/_data/services/openhabcloud.cfg"},
        {QStringLiteral("bticino.rules"), "/var/lib/docker/volumes/openhab_conf/_data/rules/bticino.rules"},
        {QStringLiteral("bticino.sitemap"),
         "/var/lib/docker/volumes/openhab_conf/_data/sitemaps/bticino.sitemap"},
        {QStringLiteral("uuid"), "/var/lib/docker/volumes/openhab_userdata/_data/uuid"},
        {QStringLiteral("secret"), "/var/lib/docker/volumes/openhab_userdata/_data/openhabcloud/secret"},
        {QStringLiteral("homekit.cfg"), "/var/lib/docker/volumes/openhab_conf/_data/services/homekit.cfg"},
        {QStringLiteral("mqtt.cfg"), "/var/lib/docker/volumes/openhab_conf/_data/services/mqtt.cfg"},
    };
    return keys;
}

// A project in a throw-away program folder, opened in its own generator.
class TransferProject
{
public:
    explicit TransferProject(const QString& name = QStringLiteral("Haus"))
        : language(folder.configDir()), openHab(language, folder.configDir())
    {
        openHab.sProjPath = folder.projectsDir() + name + QLatin1Char('/');
        openHab.sProj = name;
        openHab.serverIP = QStringLiteral("127.0.0.1");
        openHab.serverPort = QStringLiteral("20000");
        openHab.serverPass = QStringLiteral("12345");
        openHab.uuid = QStringLiteral("0b5f6c1e-2d7a-4e0f-9a61-3c2b7d8e9f10");
        openHab.secret = QStringLiteral("k3j5h7g9f1d2s4a6p8o0");
        openHab.hmac = true;
        QDir().mkpath(openHab.sProjPath);
    }

    QString file(const QString& name) const { return openHab.sProjPath + name; }

    // Writes every project file the way the program does: UTF-8, CR LF after every line.
    bool writeFiles(bool withSceneCommands = false)
    {
        QByteArray items =
            "Group gKüche \"Küche\"\r\n"
            "Switch SWITCH_1 \"Küche\" <light> (gKüche) "
            "{bticino=\"if=webserver;who=1;what=0;where=0112\"}\r\n"
            "Switch SWITCH_2 \"Café € ł\" <light> {bticino=\"if=webserver;who=1;what=0;where=0113\"}\r\n";
        if (withSceneCommands)
            items += "Switch GROUP_1 \"Alles aus\" {mqtt=\">[cmdbroker:varuno/cmd:command:*:default]\"}\r\n";
        return openHab.SaveCfg().isEmpty() && writeBytes(file(QStringLiteral("bticino.items")), items) &&
               writeBytes(file(QStringLiteral("openhabcloud.cfg")),
                          "baseURL=https://myopenhab.org/\r\nmode=remote\r\nexpose=SWITCH_1\r\n") &&
               writeBytes(file(QStringLiteral("bticino.rules")),
                          "rule \"Start\"\r\nwhen\r\n  System started\r\nthen\r\n\r\nend\r\n") &&
               writeBytes(file(QStringLiteral("bticino.sitemap")),
                          "sitemap bticino label=\"Haus Müller\" {\r\n  Switch item=SWITCH_1 "
                          "label=\"Küche\"\r\n}\r\n") &&
               writeBytes(file(QStringLiteral("homekit.cfg")), "org.openhab.homekit:name=Alt\r\n") &&
               writeBytes(file(QStringLiteral("mqtt.cfg")),
                          readBytes(folder.configDir() + QStringLiteral("mqtt.cfg")));
    }

    TestProgramFolder folder;
    Language language;
    OpenHabGenerator openHab;
};
