#pragma once

#include "httpGetter.h"
#include "randomSource.h"
#include "scriptedDialogs.h"
#include "services.h"
#include "soundPlayer.h"
#include "tickSource.h"

struct RecordingSound : SoundPlayer
{
    void play(const QString &soundFileName) override { played.append(soundFileName); }
    QStringList played;
};

struct ManualTicks : TickSource
{
    quint32 tickCount() const override { return now; }
    void advance(quint32 ms) { now += ms; }
    quint32 now = 1000;
};

// The values in turn, then `fallback` for ever.
struct ScriptedRandom : RandomSource
{
    void seedFromTimeOfDay() override {}
    double next() override { return values.isEmpty() ? fallback : values.takeFirst(); }
    QList<double> values;
    double fallback = 0.0;
};

// The replies in turn, then no connection.
struct ScriptedHttp : HttpGetter
{
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
