#!/usr/bin/env python3
"""Start-up benchmark: the game's benchmark build (quillora-startup, which ends once its main
menu has been painted) against a bare Qt Widgets window, run in turn, in a shuffled order each round. The target is
set against the bare window. A third program, the menu's window as plain Qt builds it with
nothing of the game behind it, shows how much of the difference Qt needs to show that menu at
all, and how much is the game's own work.

Both are timed as whole processes, from fork to exit, and their peak resident memory is read
from the kernel (wait4). The game gets a 10000-chain database and a statistics file with 10000
marks, as a player with a full collection has.

    bench/startup/run_startup.py [--build build] [--runs 30] [--platform offscreen]
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

TARGET = 1.15
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
    start = time.perf_counter()
    child = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit(f'{program} ended with status {code}')
    return wall * 1000.0, usage.ru_maxrss / 1024.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--build', default='build')
    parser.add_argument('--runs', type=int, default=30)
    parser.add_argument('--platform', default='offscreen')
    args = parser.parse_args()

    random.seed(10000)
    folder = os.path.join(args.build, 'bench', 'startup')
    game = os.path.join(folder, 'quillora-startup')
    bare = os.path.join(folder, 'bare-window')
    controls = os.path.join(folder, 'controls-window')
    programs = (game, bare, controls)
    write_program_folder(args.build, folder)

    env = dict(os.environ, QT_QPA_PLATFORM=args.platform)
    env.pop('QT_LOGGING_RULES', None)
    for program in programs:  # warm the page cache
        run_once(program, env)
    results = {program: [] for program in programs}
    order = list(programs)
    for _ in range(args.runs):
        # A different order each round: under X, the server may still be tidying up after the
        # program before, and no program should always come after the same one.
        random.shuffle(order)
        for program in order:
            results[program].append(run_once(program, env))

    def summary(program):
        walls = [wall for wall, _ in results[program]]
        peaks = [peak for _, peak in results[program]]
        return statistics.median(walls), statistics.mean(walls), statistics.median(peaks)

    game_wall, game_mean, game_peak = summary(game)
    bare_wall, bare_mean, bare_peak = summary(bare)
    controls_wall, controls_mean, controls_peak = summary(controls)
    wall_ratio = game_wall / bare_wall
    peak_ratio = game_peak / bare_peak
    print(f'platform {args.platform}, {args.runs} runs each, in shuffled turns')
    print(f'{"":22} {"median ms":>10} {"mean ms":>9} {"peak RSS MiB":>13}')
    print(f'{"bare window":22} {bare_wall:10.1f} {bare_mean:9.1f} {bare_peak:13.1f}')
    print(f'{"plain menu window":22} {controls_wall:10.1f} {controls_mean:9.1f} '
          f'{controls_peak:13.1f}')
    print(f'{"quillora":22} {game_wall:10.1f} {game_mean:9.1f} {game_peak:13.1f}')
    print(f'quillora / bare        {wall_ratio:10.3f} {"":9} {peak_ratio:13.3f}'
          f'   (target <= {TARGET})')
    print(f'quillora / plain menu  {game_wall / controls_wall:10.3f} {"":9} '
          f'{game_peak / controls_peak:13.3f}')
    return 0 if wall_ratio <= TARGET and peak_ratio <= TARGET else 1


if __name__ == '__main__':
    sys.exit(main())
