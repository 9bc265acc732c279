#pragma once

#include "model/functionentry.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// What a test of a function sends to the bus: the frames in order, each after a pause.
struct BusStep
{
    int pauseMs = 0;
    QByteArray frame;

    bool operator==(const BusStep&) const = default;
};

// What the user asks a test to do. Default is what the windows' test does for the kind: a light
// on and off after 2 s, a dimmer to 100 % and off after 2 s, a blind up, a key a short press, a
// scenario, a scene on.
struct TestCommand
{
    enum Word
    {
        Default,
        On,
        Off,
        Up,
        Down,
        Stop,
        Level, // a dimmer to level percent
    };
    Word word = Default;
    int level = 0;
};

// on, off, up, down, stop or a percentage 0 to 100; nothing for any other word.
std::optional<TestCommand> ParseTestCommand(const QString& word);

// The frames that switch the function v as openHAB switches it: its address exactly as the
// generator writes it. An individual scene switches every member of its group as its rule does
// (rows: the whole function list). Nothing when the command does not fit the kind; an empty list
// when there is nothing to send (a scene without members).
std::optional<QList<BusStep>> TestSteps(const FunctionEntry& v, const QList<FunctionEntry>& rows,
                                        TestCommand command);

// The pause between switching on and off in the default test of a light or dimmer.
constexpr int testOffPauseMs = 2000;
