#!/usr/bin/env python3
# The real quillora-server on loopback, against hostile clients and under load.
#   test_serverprocess.py SERVER [--sanitized] [unittest names]
import base64, contextlib, http.client, os, pathlib, resource, socket, sqlite3, subprocess, sys, tempfile
import threading, time, unittest
from urllib.parse import quote

SERVER = sys.argv.pop(1)
SANITIZED = '--sanitized' in sys.argv and not sys.argv.remove('--sanitized')  # memory means nothing
KNOWN = 'fire place card board game show boat'
PACKAGE = b'8\r\n' + b''.join(base64.b64encode(c.encode()) + b'\r\n' for c in [KNOWN, *map(str, range(2000))])
OTHERS = [f'127.0.0.{i}' for i in range(2, 12)]  # so that the per-address limit is not what is tested
GROWTH_KIB = 16 * 1024  # peak memory above this over start-up: something holds what it should not
resource.setrlimit(resource.RLIMIT_NOFILE, (max(4096, resource.getrlimit(resource.RLIMIT_NOFILE)[1]),) * 2)


class Server:
    def __init__(self, *extra):
        self.dir = tempfile.TemporaryDirectory()
        self.package, self.db = self.path('package'), self.path('s.sqlite')
        os.mkdir(self.package)
        self.publish(b'8\r\n', PACKAGE)
        self.proc = subprocess.Popen([SERVER, '--port', '0', '--package', self.package, '--database', self.db,
                                      *extra], stdout=subprocess.PIPE)
        self.port = int(self.proc.stdout.readline().rsplit(b':', 1)[1])

    def path(self, name): return os.path.join(self.dir.name, name)

    def publish(self, ver, tx0):  # as a maintainer does: renamed into place, the database first
        for name, content in (('chayn.tx0', tx0), ('chayn.ver', ver)):
            pathlib.Path(self.path('new')).write_bytes(content)
            os.rename(self.path('new'), os.path.join(self.package, name))

    def memory(self, field):
        with open(f'/proc/{self.proc.pid}/status') as f:
            return next(int(line.split()[1]) for line in f if line.startswith(field + ':'))

    def held(self, count):  # within 2 s the server holds a descriptor for each of count connections
        for _ in range(20):
            if len(os.listdir(f'/proc/{self.proc.pid}/fd')) >= count:
                return True
            time.sleep(0.1)

    def get(self, target, headers={}, keptAlive=None):
        c = keptAlive or http.client.HTTPConnection('127.0.0.1', self.port, timeout=10)
        try:
            c.request('GET', target, headers=headers)
            reply = c.getresponse()
            return reply.status, reply.headers, reply.read()
        finally:
            keptAlive or c.close()

    def __enter__(self): return self

    def __exit__(self, *_):
        self.proc.terminate()
        self.proc.wait(10)
        self.proc.stdout.close()
        self.dir.cleanup()


def submission(value): return '/chain.php?one=' + quote(value, safe='')


def connections(count):  # not connected yet, spread over the other addresses
    sockets = [socket.socket() for _ in range(count)]
    [s.bind((OTHERS[i % len(OTHERS)], 0)) for i, s in enumerate(sockets)]
    return sockets


def send(s, data):
    with contextlib.suppress(OSError):  # cut off by the server
        s.send(data)


class HostileClients(unittest.TestCase):
    def test_package_files_go_out_whole_and_as_they_are_now_whatever_the_range(self):
        with Server() as server:
            start, many = server.memory('VmRSS'), 'bytes=' + '0-0,' * 3000 + '1-1'
            for ranges in ['bytes=0-9', 'bytes=99999999-', 'bytes=-5', 'bytes=9-0', many]:
                status, headers, body = server.get('/chayn.tx0', {'Range': ranges, 'Accept-Encoding': 'br, gzip'})
                self.assertEqual((status, body, int(headers['Content-Length']), headers['Content-Range'],
                                  headers['Content-Encoding']), (200, PACKAGE, len(PACKAGE), None, None))
            replies = []  # a flood of many ranges at once
            flood = [threading.Thread(target=lambda: replies.extend(
                server.get('/chayn.tx0', {'Range': many})[0] for _ in range(10))) for _ in range(64)]
            [t.start() for t in flood]
            [t.join() for t in flood]
            self.assertEqual(replies, [200] * 640)
            print(f'peak memory after the range flood: {server.memory("VmHWM")} KiB', file=sys.stderr)
            self.assertTrue(SANITIZED or server.memory('VmHWM') - start < GROWTH_KIB)
            server.publish(b'9\r\n', PACKAGE + b'bmV3\r\n')
            self.assertEqual((server.get('/chayn.ver')[2], server.get('/chayn.tx0')[2]), (b'9\r\n', PACKAGE + b'bmV3\r\n'))

    def test_request_is_answered_at_once_beside_1000_slow_or_idle_connections(self):
        with Server() as server:
            for trickle in True, False:
                sockets = connections(1000)
                [s.connect(('127.0.0.1', server.port)) for s in sockets]
                self.assertTrue(server.held(1000))
                for second in range(12 if trickle else 3):
                    [send(s, b'GET /chayn.ver HTTP/1.1\r\nX: '[second:second + 1]) for s in sockets if trickle]
                    started = time.monotonic()
                    self.assertEqual(server.get('/chayn.tx0')[2], PACKAGE)
                    self.assertLess(time.monotonic() - started, 2)
                    time.sleep(1)
                self.assertFalse(trickle and server.held(1000), 'a trickled request outlived its 10 s')
                [s.close() for s in sockets]

    def test_burst_of_500_connections_needs_no_retried_syn(self):
        with Server() as server:
            sockets, started = connections(500), time.monotonic()
            [s.setblocking(False) or s.connect_ex(('127.0.0.1', server.port)) for s in sockets]
            for s in sockets:  # a send waits for its connection; a dropped SYN is retried after 1 s
                s.setblocking(True)
                s.sendall(b'GET /chayn.ver HTTP/1.1\r\nHost: x\r\n\r\n')
            self.assertLess(time.monotonic() - started, 0.9)
            for s in sockets:
                s.settimeout(10)
                self.assertTrue(s.recv(4096).startswith(b'HTTP/1.1 200'))
                s.close()

    def test_start_up_and_export_errors_name_the_path_and_reason(self):
        with Server() as good, tempfile.TemporaryDirectory() as d:
            empty, text, other = (os.path.join(d, name) for name in ('empty', 'text', 'other.sqlite'))
            os.mkdir(empty)
            pathlib.Path(text).write_text('hello\n')
            sqlite3.connect(other).execute('CREATE TABLE t (x)').connection.close()
            for command, option, value, message in [
                    ([], '--package', '/nonexistent', '/nonexistent: no such package folder'),
                    ([], '--package', empty, f'{empty}/chayn.ver: missing from the package'),
                    ([], '--database', text, f'{text}: file is not a database'),
                    ([], '--database', other, f'{other}: not a quillora-server database (no submissions table)'),
                    (['export'], '--database', '/new.sqlite', '/new.sqlite: no such database file'),
                    (['export'], '--database', other, f'{other}: not a quillora-server database (no submissions table)'),
                    (['export'], '--package', '/nonexistent', '/nonexistent: no such package folder')]:
                arguments = {'--package': good.package, '--database': good.db, option: value}
                run = subprocess.run([SERVER, *(command or ['--port', '0']), *sum(arguments.items(), ())],
                                     capture_output=True, text=True, timeout=10)
                self.assertEqual((run.returncode, run.stderr, run.stdout), (1, f'quillora-server: {message}\n', ''))
            self.assertFalse(os.path.exists('/new.sqlite'))

    def test_export_prints_new_chains_of_seven_lower_case_words_once(self):
        with Server() as server:
            for chain in [KNOWN, ' red hot dog house boat race car ', 'red hot dog house boat race car',
                          'Not lower case at all here now', 'six words are not a chain', 'a  double space b c d e',
                          'eight words are not a chain at all', 'caf\u00e9 place card board game show boat',
                          'sun flower pot hole punch line dance']:
                self.assertEqual(server.get(submission('Ann sent: ' + chain))[0], 200)
            export = subprocess.run([SERVER, 'export', '--package', server.package, '--database', server.db],
                                    capture_output=True, timeout=10)
            self.assertEqual(export.stdout, b'red hot dog house boat race car\nsun flower pot hole punch line dance\n')


class Load(unittest.TestCase):
    def test_ten_thousand_submissions_from_fifty_clients_are_all_stored(self):
        values = [f'player {c} sent: chain {i} of {KNOWN} +&#%\u00e9' for c in range(50) for i in range(200)]
        with Server('--rate-limit', '1000000') as server:
            start, failed = server.memory('VmRSS'), []

            def player(c):
                keptAlive = http.client.HTTPConnection('127.0.0.1', server.port, timeout=30)
                failed.extend(v for v in values[c::50] if server.get(submission(v), {}, keptAlive)[0] != 200)

            def oversized():  # refused while the players are at it: 4xx, or the connection closed
                for headers, target in [({}, submission('a' * 20000)), ({}, submission('b sent: ' + 'b' * 3000)),
                                        ({'X-Filler': 'x' * 100000}, '/chayn.ver'),
                                        ({'Content-Length': '1048576'}, submission('c sent: d'))]:
                    try:
                        failed.extend([target[:30]] if server.get(target, headers)[0] < 400 else [])
                    except (ConnectionError, http.client.HTTPException):
                        pass

            threads = [threading.Thread(target=player, args=(c,)) for c in range(50)]
            threads.append(threading.Thread(target=oversized))
            [t.start() for t in threads]
            [t.join() for t in threads]
            self.assertEqual(failed, [])
            with sqlite3.connect(server.db) as db:
                self.assertEqual(sorted(row[0] for row in db.execute('SELECT value FROM submissions')), sorted(values))
            print(f'server memory: {start} KiB after start, peak {server.memory("VmHWM")} KiB', file=sys.stderr)
            self.assertTrue(SANITIZED or server.memory('VmHWM') - start < GROWTH_KIB)
            self.assertEqual(server.get('/chayn.ver')[2], b'8\r\n')


if __name__ == '__main__':
    unittest.main()
