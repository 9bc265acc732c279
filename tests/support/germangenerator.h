#pragma once

#include "model/language.h"
#include "openhab/openhabgenerator.h"

#include <QTemporaryDir>

// A generator whose catalogue folder has no language.ini, so every text comes in German, writing
// into a fresh temporary project folder. Tests make a new one in init() for a clean folder.
struct GermanGenerator
{
    GermanGenerator() { gen.sProjPath = project.path() + QLatin1Char('/'); }

    QTemporaryDir config;
    Language language{config.path()};
    QTemporaryDir project;
    OpenHabGenerator gen{language, config.path()};
};
