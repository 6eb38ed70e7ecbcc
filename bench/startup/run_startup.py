#!/usr/bin/env python3
"""Start-up benchmark: the game's benchmark build (quillora-startup, which ends once its main
menu has been painted) against the menu's window as plain Qt builds it (controls-window: the same
title, entries and buttons, nothing of the game behind it) and a bare Qt Widgets window, run in
turn, in a shuffled order each round.

The target is start-up as a player sees it: on an X display with a window manager, the game
within 1.15 x the plain menu window in wall time and 1.20 x in peak memory. The script starts its
own Xvfb and openbox for that (Debian packages xvfb and openbox), then runs the same programs
offscreen, reported without a target.

Each program is timed from fork to its window on screen (it prints that moment once the first
paint has been handed to the window system, then ends), and to its end; its peak resident
memory is read from the kernel (wait4). The game gets a 10000-chain database and a statistics file with
10000 marks, as a player with a full collection has.

    bench/startup/run_startup.py [--build build] [--runs 30]
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


def write_program_folder(build, folder):
    words = [''.join(random.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(random.randint(3, 10)))
             for _ in range(5000)]
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
        for i in range(CHAINS):
            out.write(b'#TRUE#\r\n' if i % 7 == 0 else b'#FALSE#\r\n')
    options = os.path.join(folder, 'options.dat')
    if os.path.exists(options):
        os.remove(options)  # the defaults: no automatic update at start-up
    for sound in ('correctword.wav', 'finishchain.wav', 'timeup.wav'):
        shutil.copyfile(os.path.join(build, 'game', sound), os.path.join(folder, sound))


def run_once(program, env):
    """Milliseconds from fork to the window on screen (the program prints the moment), the
    same to the process's end, and the peak resident memory in MiB."""
    start = time.monotonic_ns()
    child = subprocess.Popen([program], env=env, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL)
    output = child.stdout.read().decode()
    _, status, usage = os.wait4(child.pid, 0)
    end = time.monotonic_ns()
    child.stdout.close()
    code = os.waitstatus_to_exitcode(status)
    if code != 0 or not output.startswith('shown '):
        sys.exit(f'{program} ended with status {code} and said {output!r}')
    shown = int(output.split()[1])
    return (shown - start) / 1e6, (end - start) / 1e6, usage.ru_maxrss / 1024.0


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
    time.sleep(1.0)  # openbox takes the root window within a few hundred milliseconds
    if manager.poll() is not None:
        server.kill()
        sys.exit('openbox did not start')
    return display, (manager, server)


def measure(programs, env, runs):
    for program in programs:  # warm the page cache
        run_once(program, env)
    results = {program: [] for program in programs}
    order = list(programs)
    for _ in range(runs):
        # A different order each round: under X, the server may still be tidying up after the
        # program before, and no program should always come after the same one.
        random.shuffle(order)
        for program in order:
            results[program].append(run_once(program, env))
    summary = {}
    for program in programs:
        shown, ended, peaks = zip(*results[program])
        summary[program] = (statistics.median(shown), statistics.mean(shown),
                            statistics.median(ended), statistics.median(peaks))
    return summary


def report(title, names, summary, game, controls, targets):
    print(title)
    print(f'{"":22} {"shown, median ms":>17} {"mean ms":>8} {"ended, median ms":>17} '
          f'{"peak RSS MiB":>13}')
    for program, name in names.items():
        shown, mean, ended, peak = summary[program]
        print(f'{name:22} {shown:17.1f} {mean:8.1f} {ended:17.1f} {peak:13.1f}')
    ratios = [summary[game][i] / summary[controls][i] for i in range(4)]
    target_text = f'   (targets <= {WALL_TARGET} / {PEAK_TARGET})' if targets else ''
    print(f'quillora / plain menu  {ratios[0]:17.3f} {"":8} {ratios[2]:17.3f} '
          f'{ratios[3]:13.3f}{target_text}')
    print()
    return ratios[0] <= WALL_TARGET and ratios[3] <= PEAK_TARGET


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--build', default='build')
    parser.add_argument('--runs', type=int, default=30)
    args = parser.parse_args()

    random.seed(10000)
    folder = os.path.join(args.build, 'bench', 'startup')
    game = os.path.join(folder, 'quillora-startup')
    bare = os.path.join(folder, 'bare-window')
    controls = os.path.join(folder, 'controls-window')
    names = {bare: 'bare window', controls: 'plain menu window', game: 'quillora'}
    write_program_folder(args.build, folder)

    env = dict(os.environ)
    env.pop('QT_LOGGING_RULES', None)
    display, processes = start_x_display()
    try:
        x_env = dict(env, QT_QPA_PLATFORM='xcb', DISPLAY=display)
        x_summary = measure(names, x_env, args.runs)
    finally:
        for process in processes:
            process.terminate()
            process.wait(timeout=10)
    met = report(f'Xvfb + openbox, {args.runs} runs each, in shuffled turns', names, x_summary,
                 game, controls, True)
    offscreen_summary = measure(names, dict(env, QT_QPA_PLATFORM='offscreen'), args.runs)
    report(f'offscreen, {args.runs} runs each, in shuffled turns', names, offscreen_summary, game,
           controls, False)
    return 0 if met else 1


if __name__ == '__main__':
    sys.exit(main())
