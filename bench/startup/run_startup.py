#!/usr/bin/env python3
"""Start-up benchmark: the game's benchmark build (quillora-startup, which ends once its main
menu has been painted) against the menu's window as plain Qt builds it (controls-window: the same
title, entries and buttons, nothing of the game behind it) and a bare Qt Widgets window, run in
turn, in a shuffled order each round.

The target is start-up as a player sees it: on an X display with a window manager, the game
within 1.15 x the plain menu window in wall time and 1.20 x in peak memory. The script starts its
own Xvfb and openbox for that (Debian packages xvfb and openbox), then runs the same programs
offscreen, reported without a target.

Under X, each program is timed by map-timer (built from mapTimer.cpp), an X client of its own
that listens to the root window: from just before the program's exec to the moment the window
manager maps the frame holding the program's window, the same way for every program. Also shown:
the moment the program itself says its first paint was handed to the window system (offscreen,
the only figure), its end, and its peak resident memory (wait4). Each round runs on a fresh
display; the ratios are of the medians over all rounds, with each round's ratio to show the
spread. The game gets a 10000-chain database and a statistics file with 10000 marks, as a
player with a full collection has; with --shipped, the chain database the game ships with and
a statistics file with a mark for each of its chains, as a player sees it today.

    bench/startup/run_startup.py [--build build] [--runs 30] [--rounds 5] [--shipped]
"""

import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

WALL_TARGET = 1.15
PEAK_TARGET = 1.20
CHAINS = 10000


def write_program_folder(build, folder, shipped):
    chains = CHAINS
    words = [''.join(random.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(random.randint(3, 10)))
             for _ in range(5000)]
    if shipped:
        database = os.path.join(build, 'game', 'quillora.chn')
        with open(database, 'rb') as text:
            chains = sum(1 for line in text.read().split(b'\r\n')[1:] if len(line) >= 7)
        shutil.copyfile(database, os.path.join(folder, 'quillora.chn'))
    else:
        with tempfile.TemporaryDirectory() as scratch:
            chain_list = os.path.join(scratch, 'chains.txt')
            with open(chain_list, 'w') as out:
                for _ in range(CHAINS):
                    out.write(' '.join(random.choice(words) for _ in range(7)) + '\n')
            pack = os.path.join(build, 'tools', 'pack', 'quillora-pack')
            subprocess.run([pack, chain_list, scratch], check=True, stdout=subprocess.DEVNULL)
            shutil.copyfile(os.path.join(scratch, 'chayn.tx0'), os.path.join(folder, 'quillora.chn'))
    with open(os.path.join(folder, 'chaininfo.txt'), 'wb') as out:
        out.write(b'1428\r\n901000\r\n')
        for i in range(chains):
            out.write(b'#TRUE#\r\n' if i % 7 == 0 else b'#FALSE#\r\n')
    options = os.path.join(folder, 'options.dat')
    if os.path.exists(options):
        os.remove(options)  # the defaults: no automatic update at start-up
    for sound in ('correctword.wav', 'finishchain.wav', 'timeup.wav'):
        shutil.copyfile(os.path.join(build, 'game', sound), os.path.join(folder, sound))


def run_once(timer, program, env):
    """Milliseconds from exec to the window mapped on the X display (None offscreen), to the first
    paint (the program prints the moment), to the process's end, and the peak resident memory in
    MiB; map-timer takes them from outside the program."""
    done = subprocess.run([timer, program], env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True)
    if done.returncode != 0:
        sys.exit(f'{program}: {done.stderr.strip()}')
    fields = done.stdout.split()
    mapped, painted, ended, peak = (float(fields[i]) for i in (1, 3, 5, 7))
    return (mapped if mapped >= 0 else None), painted, ended, peak / 1024.0


def start_x_display():
    """A private Xvfb display with openbox on it; gives the display and the two processes."""
    for tool in ('Xvfb', 'openbox'):
        if not shutil.which(tool):
            sys.exit(f'{tool} is missing: apt-get install xvfb openbox')
    for number in range(90, 190):
        if not os.path.exists(f'/tmp/.X11-unix/X{number}') and \
                not os.path.exists(f'/tmp/.X{number}-lock'):
            break
    else:
        sys.exit('no free X display number')
    display = f':{number}'
    server = subprocess.Popen(['Xvfb', display, '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while not os.path.exists(f'/tmp/.X11-unix/X{number}'):
        if time.monotonic() > deadline or server.poll() is not None:
            server.kill()
            sys.exit('Xvfb did not start')
        time.sleep(0.05)
    env = dict(os.environ, DISPLAY=display)
    manager = subprocess.Popen(['openbox'], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    # Ready once openbox has said so on the root window (xprop, from x11-utils); without xprop,
    # openbox takes the root window within a few hundred milliseconds.
    deadline = time.monotonic() + 10
    while True:
        if manager.poll() is not None or time.monotonic() > deadline:
            manager.kill()
            server.kill()
            sys.exit('openbox did not start')
        if not shutil.which('xprop'):
            time.sleep(1.0)
            break
        check = subprocess.run(['xprop', '-root', '_NET_SUPPORTING_WM_CHECK'], env=env,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        if 'window id' in check.stdout:
            time.sleep(0.2)  # and has settled after writing its other root properties
            break
        time.sleep(0.05)
    return display, (manager, server)


def measure(timer, programs, env, runs):
    """Each program's runs, in shuffled turns."""
    for program in programs:  # warm the page cache
        run_once(timer, program, env)
    results = {program: [] for program in programs}
    order = list(programs)
    for _ in range(runs):
        # A different order each turn: under X, the server and the window manager may still be
        # tidying up after the program before, and no program should always come after the same
        # one.
        random.shuffle(order)
        for program in order:
            results[program].append(run_once(timer, program, env))
    return results


def quartiles(values):
    low, middle, high = statistics.quantiles(values, n=4)
    return low, middle, high


FIGURES = ('mapped', 'painted', 'ended', 'peak RSS MiB')


def report(title, names, rounds, game, controls, targets):
    """Medians and quartiles over every run of every round; the game's ratio to the plain menu
    window over all runs and in each round."""
    print(title)
    columns = [i for i in range(4) if rounds[0][game][0][i] is not None]
    print(f'{"":20}' + ''.join(f'{FIGURES[i] + " (median, IQR)":>30}' for i in columns))
    medians = {}
    for program, name in names.items():
        runs = [run for results in rounds for run in results[program]]
        cells = ''
        for i in columns:
            low, middle, high = quartiles([run[i] for run in runs])
            medians[program, i] = middle
            cells += f'{middle:12.1f} ({low:6.1f} – {high:6.1f})'
        print(f'{name:20}{cells}')
    ratios = {i: medians[game, i] / medians[controls, i] for i in columns}
    print(f'{"quillora / plain menu":20}' + ''.join(f'{ratios[i]:30.3f}' for i in columns))
    for i in columns:
        per_round = [statistics.median(run[i] for run in results[game]) /
                     statistics.median(run[i] for run in results[controls]) for results in rounds]
        print(f'  {FIGURES[i]}: ratio in each round ' + ' '.join(f'{r:.3f}' for r in per_round))
    if targets:
        print(f'  targets: mapped <= {WALL_TARGET} x, peak RSS <= {PEAK_TARGET} x')
    print()
    return ratios[0] <= WALL_TARGET and ratios[3] <= PEAK_TARGET if targets else True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--build', default='build')
    parser.add_argument('--runs', type=int, default=30)
    parser.add_argument('--rounds', type=int, default=5)
    parser.add_argument('--shipped', action='store_true',
                        help='the shipped chain database instead of 10000 chains')
    args = parser.parse_args()

    random.seed(10000)
    folder = os.path.join(args.build, 'bench', 'startup')
    timer = os.path.join(folder, 'map-timer')
    game = os.path.join(folder, 'quillora-startup')
    bare = os.path.join(folder, 'bare-window')
    controls = os.path.join(folder, 'controls-window')
    names = {bare: 'bare window', controls: 'plain menu window', game: 'quillora'}
    if not os.path.exists(timer):
        sys.exit(f'{timer} is missing: it needs Debian\'s libxcb1-dev')
    write_program_folder(args.build, folder, args.shipped)

    env = dict(os.environ)
    env.pop('QT_LOGGING_RULES', None)
    x_rounds, offscreen_rounds = [], []
    for _ in range(args.rounds):
        # Each round on a fresh display, then offscreen, so that slower and quieter spells of
        # the machine fall on both.
        display, processes = start_x_display()
        try:
            x_env = dict(env, QT_QPA_PLATFORM='xcb', DISPLAY=display)
            x_rounds.append(measure(timer, names, x_env, args.runs))
        finally:
            for process in processes:
                process.terminate()
                process.wait(timeout=10)
        offscreen_env = dict(env, QT_QPA_PLATFORM='offscreen')
        offscreen_env.pop('DISPLAY', None)
        offscreen_rounds.append(measure(timer, names, offscreen_env, args.runs))
    turns = f'{args.rounds} rounds of {args.runs} runs each, in shuffled turns'
    met = report(f'Xvfb + openbox, exec to the window mapped (watched from outside), {turns}',
                 names, x_rounds, game, controls, True)
    report(f'offscreen, exec to the first paint, {turns}', names, offscreen_rounds, game, controls,
           False)
    return 0 if met else 1


if __name__ == '__main__':
    sys.exit(main())
