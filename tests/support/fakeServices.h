#pragma once

#include "httpGetter.h"
#include "randomSource.h"
#include "scriptedDialogs.h"
#include "services.h"
#include "soundPlayer.h"
#include "tickSource.h"

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

// The scripted values in turn, then `fallback` for ever.
class ScriptedRandom : public RandomSource
{
public:
    void seedFromTimeOfDay() override { ++seeded; }
    double next() override { return values.isEmpty() ? fallback : values.takeFirst(); }
    int seeded = 0;
    QList<double> values;
    double fallback = 0.0;
};

// The scripted replies in turn, then no connection; records what was asked.
class ScriptedHttp : public HttpGetter
{
public:
    HttpResult get(const QUrl &url, std::chrono::milliseconds timeout, qint64) override
    {
        urls.append(url);
        lastTimeout = timeout;
        return replies.isEmpty() ? HttpResult{{}, "Connection refused"} : replies.takeFirst();
    }
    QList<HttpResult> replies;
    QList<QUrl> urls;
    std::chrono::milliseconds lastTimeout{0};
};

struct FakeServices
{
    ScriptedDialogs dialogs;
    RecordingSound sound;
    ManualTicks ticks;
    ScriptedRandom random;
    ScriptedHttp http;
    Services services{dialogs, sound, ticks, random, http};
};
