#pragma once

#include <QString>
#include <QTemporaryDir>

class TestProgramFolder;
class OpenHabGenerator;

// A throw-away project for tests that save it over and over. It lies on a RAM disk where there is
// one: every save syncs its files, and hundreds of syncs take seconds only there.
class TestSaveProject
{
public:
    TestSaveProject();

    // Makes the folder the generator's open project "Haus", holding what a save needs besides the
    // files it generates: the templates of the program folder, a UUID and a secret.
    bool open(OpenHabGenerator& openHab, const TestProgramFolder& folder) const;

private:
    QTemporaryDir m_dir;
};
