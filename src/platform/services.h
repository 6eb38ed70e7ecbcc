#pragma once

class Dialogs;
class HttpGetter;
class RandomSource;
class SoundPlayer;
class TickSource;

// The platform services the windows use, handed to them so that tests can put in fakes.
struct Services
{
    Dialogs &dialogs;
    SoundPlayer &sound;
    TickSource &ticks;
    RandomSource &random;
    HttpGetter &http;
};
