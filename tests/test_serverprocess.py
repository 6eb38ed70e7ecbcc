#!/usr/bin/env python3
"""The real quillora-server on loopback, against hostile clients and under load.
   test_serverprocess.py SERVER [--sanitized] [unittest test names]"""
import base64, http.client, os, resource, socket, sqlite3, subprocess, sys, tempfile, threading, time
import unittest
from urllib.parse import quote

SERVER = sys.argv.pop(1)
SANITIZED = '--sanitized' in sys.argv  # AddressSanitizer's quarantine makes memory meaningless
if SANITIZED:
    sys.argv.remove('--sanitized')
KNOWN = 'fire place card board game show boat'
PACKAGE = b'8\r\n' + b''.join(base64.b64encode(f'{KNOWN} {i}'.encode()) + b'\r\n' for i in range(2000))
OTHERS = [f'127.0.0.{i}' for i in range(2, 12)]  # the per-address limit is not what is tested
GROWTH_KIB = 16 * 1024  # peak memory over that after start-up: something holds what it should not

resource.setrlimit(resource.RLIMIT_NOFILE, (resource.getrlimit(resource.RLIMIT_NOFILE)[1],) * 2)


class Server:
    def __init__(self, *extra):
        self.dir = tempfile.TemporaryDirectory()
        self.package, self.db = self.path('package'), self.path('s.sqlite')
        os.mkdir(self.package)
        self.publish(b'8\r\n', PACKAGE)
        self.proc = subprocess.Popen([SERVER, '--port', '0', '--package', self.package,
                                      '--database', self.db, *extra], stdout=subprocess.PIPE)
        self.port = int(self.proc.stdout.readline().rsplit(b':', 1)[1])

    def path(self, name): return os.path.join(self.dir.name, name)

    def publish(self, ver, tx0):  # as a maintainer does: each file renamed into place, database first
        for name, content in (('chayn.tx0', tx0), ('chayn.ver', ver)):
            with open(self.path('new'), 'wb') as f:
                f.write(content)
            os.rename(self.path('new'), os.path.join(self.package, name))

    def memory(self, field):
        with open(f'/proc/{self.proc.pid}/status') as f:
            return next(int(line.split()[1]) for line in f if line.startswith(field + ':'))

    def get(self, target, headers={}, source='127.0.0.1'):
        connection = http.client.HTTPConnection('127.0.0.1', self.port, timeout=10, source_address=(source, 0))
        try:
            connection.request('GET', target, headers=headers)
            reply = connection.getresponse()
            return reply.status, reply.headers, reply.read()
        finally:
            connection.close()

    def stored(self):
        with sqlite3.connect(self.db) as db:
            return [row[0] for row in db.execute('SELECT value FROM submissions ORDER BY id')]

    def __enter__(self): return self

    def __exit__(self, *_):
        self.proc.terminate()
        self.proc.wait(10)
        self.dir.cleanup()


def submission(value): return '/chain.php?one=' + quote(value, safe='')


def connections(count):  # not connected yet, each bound to one of the other addresses
    sockets = [socket.socket() for _ in range(count)]
    for i, s in enumerate(sockets):
        s.bind((OTHERS[i % len(OTHERS)], 0))
    return sockets


def send(s, data):
    try:
        s.send(data)
    except OSError:  # cut off by the server
        pass


class HostileClients(unittest.TestCase):
    def test_package_files_go_out_whole_whatever_range_or_encoding_is_asked(self):
        with Server() as server:
            for ranges in ['bytes=0-9', 'bytes=99999999-', 'bytes=-5', 'bytes=9-0', 'bytes=' + '0-0,' * 3000 + '1-1']:
                status, headers, body = server.get('/chayn.tx0', {'Range': ranges, 'Accept-Encoding': 'br, gzip'})
                self.assertEqual((status, body, headers['Content-Range'], headers['Content-Encoding']),
                                 (200, PACKAGE, None, None), ranges[:20])
                self.assertEqual(int(headers['Content-Length']), len(PACKAGE))
            self.assertEqual(server.get('/chayn.ver')[2], b'8\r\n')

    def test_replaced_package_is_served_from_the_next_request_on(self):
        with Server() as server:
            server.publish(b'9\r\n', PACKAGE + b'bmV3\r\n')
            self.assertEqual(server.get('/chayn.ver')[2], b'9\r\n')
            self.assertEqual(server.get('/chayn.tx0')[2], PACKAGE + b'bmV3\r\n')

    def test_flood_of_range_headers_leaves_memory_bounded(self):
        with Server() as server:
            start, ranges = server.memory('VmRSS'), 'bytes=' + '0-0,' * 3000 + '1-1'
            replies = []
            flood = [threading.Thread(target=lambda: replies.extend(
                server.get('/chayn.tx0', {'Range': ranges})[0] for _ in range(10))) for _ in range(64)]
            [t.start() for t in flood]
            [t.join() for t in flood]
            self.assertEqual(replies, [200] * 640)
            if not SANITIZED:
                self.assertLess(server.memory('VmHWM') - start, GROWTH_KIB)
            print(f'peak memory under the range flood: {server.memory("VmHWM")} KiB', file=sys.stderr)

    def test_normal_request_is_answered_at_once_beside_1000_slow_or_idle_connections(self):
        def answered_within_two_seconds():
            started = time.monotonic()
            self.assertEqual(server.get('/chayn.tx0')[2], PACKAGE)
            self.assertLess(time.monotonic() - started, 2)

        def held(sockets):  # every connection accepted (within 2 s): a descriptor for each
            deadline = time.monotonic() + 2
            while len(os.listdir(f'/proc/{server.proc.pid}/fd')) < len(sockets):
                if time.monotonic() > deadline:
                    return False
                time.sleep(0.1)
            return True

        with Server() as server:
            for trickle in True, False:
                sockets = connections(1000)
                [s.connect(('127.0.0.1', server.port)) for s in sockets]
                for second in range(12 if trickle else 3):  # the deadline of 10 s ends trickling
                    if trickle:
                        [send(s, b'GET /chayn.ver HTTP/1.1\r\nX: '[second:second + 1]) for s in sockets]
                    self.assertTrue(second > 7 or held(sockets))
                    answered_within_two_seconds()
                    time.sleep(1)
                self.assertFalse(trickle and held(sockets), 'trickling connections outlive the deadline')
                [s.close() for s in sockets]

    def test_burst_of_500_connections_needs_no_retried_syn(self):
        with Server() as server:
            sockets = connections(500)
            started = time.monotonic()
            for s in sockets:
                s.setblocking(False)
                s.connect_ex(('127.0.0.1', server.port))
            for s in sockets:
                s.setblocking(True)
                s.sendall(b'GET /chayn.ver HTTP/1.1\r\nHost: x\r\n\r\n')
            self.assertLess(time.monotonic() - started, 0.9)  # a dropped SYN is retried after 1 s
            for s in sockets:
                s.settimeout(10)
                self.assertTrue(s.recv(4096).startswith(b'HTTP/1.1 200'))
                s.close()

    def test_start_up_and_export_errors_name_the_path_and_reason(self):
        with tempfile.TemporaryDirectory() as d:
            empty, text, other = (os.path.join(d, name) for name in ('empty', 'text', 'other.sqlite'))
            os.mkdir(empty)
            with open(text, 'w') as f:
                f.write('hello\n')
            sqlite3.connect(other).execute('CREATE TABLE t (x)')
            with Server() as good:
                for command, option, value, message in [
                        ([], '--package', '/nonexistent', '/nonexistent: no such package folder'),
                        ([], '--package', empty, f'{empty}/chayn.ver: missing from the package'),
                        ([], '--database', text, f'{text}: file is not a database'),
                        ([], '--database', other, f'{other}: not a quillora-server database (no submissions table)'),
                        (['export'], '--database', '/nonexistent.sqlite', '/nonexistent.sqlite: no such database file'),
                        (['export'], '--database', other, f'{other}: not a quillora-server database (no submissions table)'),
                        (['export'], '--package', '/nonexistent', '/nonexistent: no such package folder')]:
                    arguments = {'--port': '0', '--package': good.package, '--database': good.db, option: value}
                    if command:
                        del arguments['--port']
                    run = subprocess.run([SERVER, *command, *[a for pair in arguments.items() for a in pair]],
                                         capture_output=True, text=True, timeout=10)
                    self.assertEqual((run.returncode, run.stderr, run.stdout), (1, f'quillora-server: {message}\n', ''))
            self.assertFalse(os.path.exists('/nonexistent.sqlite'))

    def test_export_prints_new_chains_of_seven_lower_case_words_once(self):
        with Server() as server:
            for value in ['Ann sent: ' + KNOWN + ' 7', 'Bob sent:  red hot dog house boat race car ',
                          'Cy sent: Not Lower Case at all here now', ' sent: sun flower pot hole punch line dance',
                          'Bob sent: red hot dog house boat race car']:
                self.assertEqual(server.get(submission(value))[0], 200)
            export = subprocess.run([SERVER, 'export', '--package', server.package, '--database', server.db],
                                    capture_output=True, timeout=10)
            self.assertEqual(export.stdout, b'red hot dog house boat race car\nsun flower pot hole punch line dance\n')


class Load(unittest.TestCase):
    def test_ten_thousand_submissions_from_fifty_clients_are_all_stored(self):
        values = [f'player {c} sent: chain {i} of {KNOWN}' for c in range(50) for i in range(200)]
        with Server('--rate-limit', '1000000') as server:
            start, failed = server.memory('VmRSS'), []

            def player(c):
                connection = http.client.HTTPConnection('127.0.0.1', server.port, timeout=30)
                for value in values[c * 200:(c + 1) * 200]:
                    connection.request('GET', submission(value))
                    reply = connection.getresponse()
                    reply.read()
                    failed.extend([value] if reply.status != 200 else [])

            def oversized():  # refused while the players are at it, each with 4xx or a closed connection
                for headers, target in [({}, submission('a' * 20000)), ({}, submission('b sent: ' + 'b' * 3000)),
                                        ({'X-Filler': 'x' * 100000}, '/chayn.ver')]:
                    try:
                        failed.extend([target[:30]] if server.get(target, headers)[0] < 400 else [])
                    except (ConnectionError, http.client.HTTPException):
                        pass

            threads = [threading.Thread(target=player, args=(c,)) for c in range(50)]
            threads.append(threading.Thread(target=oversized))
            [t.start() for t in threads]
            [t.join() for t in threads]
            self.assertEqual(failed, [])
            self.assertEqual(sorted(server.stored()), sorted(values))
            print(f'server memory: {start} KiB after start, peak {server.memory("VmHWM")} KiB', file=sys.stderr)
            if not SANITIZED:
                self.assertLess(server.memory('VmHWM') - start, GROWTH_KIB)
            self.assertEqual(server.get('/chayn.ver')[2], b'8\r\n')


if __name__ == '__main__':
    unittest.main()
