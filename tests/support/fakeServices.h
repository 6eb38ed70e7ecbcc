#pragma once

#include "randomSource.h"
#include "scriptedDialogs.h"
#include "services.h"
#include "soundPlayer.h"
#include "tickSource.h"

#include <QList>
#include <QStringList>

class RecordingSound : public SoundPlayer
{
public:
    void play(const QString &soundFileName) override { played.append(soundFileName); }
    QStringList played;
};

// A clock that moves only when the test says so.
class ManualTicks : public TickSource
{
public:
    quint32 tickCount() const override { return now; }
    void advance(quint32 ms) { now += ms; }
    quint32 now = 1000;
};

// Gives the scripted values in turn, then `fallback` for ever.
class ScriptedRandom : public RandomSource
{
public:
    void seedFromTimeOfDay() override { ++seeded; }
    double next() override { return values.isEmpty() ? fallback : values.takeFirst(); }
    int seeded = 0;
    QList<double> values;
    double fallback = 0.0;
};

// All fakes together, ready to hand to a window.
struct FakeServices
{
    ScriptedDialogs dialogs;
    RecordingSound sound;
    ManualTicks ticks;
    ScriptedRandom random;
    Services services{dialogs, sound, ticks, random};
};
