#!/usr/bin/env python3
"""The fleet under load, run by hand (never by CTest):

- 100 stations (build/tools/bench/fleetload, MQTT clients publishing a
  state a second each, as a station does) to one mosquitto and one console
  on this machine: the console's and the broker's processor time, and how
  long a state takes from the station to a live page of the console (p50,
  p99), read off the page's own WebSocket;
- the panel's processor time per received character (tools/bench/linerate)
  without the fleet and publishing to that broker, its state changing with
  every report.

    tests/e2e_fleet/bench.py --tavrin build/tavrin --radiosim build/tools/radiosim/tavrin-radiosim \\
        [--stations 100] [--seconds 60] [--linerate-seconds 20] [--linerate-rounds 3]
"""
import json
import os
import re
import select
import stat
import struct
import subprocess
import sys
import tempfile
import threading
import time
from datetime import datetime, timezone

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'e2e_web'))

from fleetkit import Broker, Certificates, Console  # noqa: E402
from rawpage import RawPage, log_in  # noqa: E402
from rows import suite_arguments  # noqa: E402

WATCHER = ('wanda', 'watch', 'wanda-password')
TICKS = os.sysconf('SC_CLK_TCK')


def cpu_seconds(pid):
    with open(f'/proc/{pid}/stat') as f:
        fields = f.read().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


class PageReader(threading.Thread):
    """A live page of the console: every station's state as it arrives,
    and how late, against the time the station put in it."""

    def __init__(self, page):
        super().__init__(daemon=True)
        self.page = page
        self.buffer = b''
        self.latencies = []
        self.seen = set()
        self.running = True

    def frames(self):
        while len(self.buffer) >= 2:
            length = self.buffer[1] & 0x7F
            start = 2
            if length == 126:
                if len(self.buffer) < 4:
                    return
                length, start = struct.unpack('>H', self.buffer[2:4])[0], 4
            elif length == 127:
                if len(self.buffer) < 10:
                    return
                length, start = struct.unpack('>Q', self.buffer[2:10])[0], 10
            if len(self.buffer) < start + length:
                return
            yield self.buffer[0] & 0x0F, self.buffer[start:start + length]
            self.buffer = self.buffer[start + length:]

    def run(self):
        sock = self.page.sock
        while self.running:
            if not sock.pending() and not select.select([sock], [], [], 0.2)[0]:
                continue
            data = sock.recv(1 << 20)
            if not data:
                return
            now = time.time()
            self.buffer += data
            for opcode, payload in list(self.frames()):
                if opcode != 1:
                    continue
                message = json.loads(payload)
                if message.get('type') != 'state':
                    continue
                for name, station in message.get('values', {}).items():
                    sent = (station.get('state') or {}).get('time')
                    if not sent or (name, sent) in self.seen:
                        continue
                    self.seen.add((name, sent))
                    at = datetime.strptime(sent, '%Y-%m-%dT%H:%M:%S.%fZ').replace(tzinfo=timezone.utc).timestamp()
                    self.latencies.append(now - at)


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(len(ordered) * p / 100))] if ordered else float('nan')


def load(arguments, certificates, broker, console):
    cookie = log_in(console.web_port, WATCHER[0], WATCHER[2])
    reader = PageReader(RawPage(console.web_port, cookie))
    reader.start()
    fleetload = os.path.join(os.path.dirname(arguments.tavrin), 'tools', 'bench', 'fleetload')
    process = subprocess.Popen([fleetload, '--broker-host', 'localhost', '--broker-port', str(broker.port),
                                '--ca', certificates.path('fleet-ca.crt'), '--cert', certificates.path('bench.crt'),
                                '--key', certificates.path('bench.key'), '--stations', str(arguments.stations),
                                '--seconds', str(arguments.seconds + 5)], stdout=subprocess.PIPE, text=True)
    print(process.stdout.readline().strip(), flush=True)
    time.sleep(5)  # every station's first state has arrived; then measured
    reader.latencies.clear()
    before = {name: cpu_seconds(pid) for name, pid in
              (('console', console.panel.pid), ('broker', broker.process.pid), ('fleetload', process.pid))}
    started = time.monotonic()
    time.sleep(arguments.seconds)
    spent = time.monotonic() - started
    after = {name: cpu_seconds(pid) for name, pid in
             (('console', console.panel.pid), ('broker', broker.process.pid), ('fleetload', process.pid))}
    latencies = list(reader.latencies)
    print(process.stdout.read().strip(), flush=True)
    process.wait()
    reader.running = False
    print(f'{arguments.stations} stations, a state a second each, {spent:.1f} s measured:')
    for name in ('console', 'broker', 'fleetload'):
        print(f'  {name:9} {100 * (after[name] - before[name]) / spent:6.2f} % of a core')
    print(f'  state to page: {len(latencies)} states, p50 {1000 * percentile(latencies, 50):.0f} ms, '
          f'p99 {1000 * percentile(latencies, 99):.0f} ms, most {1000 * max(latencies or [float("nan")]):.0f} ms',
          flush=True)


def linerate(arguments, certificates, broker):
    """us/char of the panel without and with publishing."""
    linerate_path = os.path.join(os.path.dirname(arguments.tavrin), 'tools', 'bench', 'linerate')
    wrapper_dir = tempfile.TemporaryDirectory(prefix='tavrin-fleet-bench-')
    wrapper = os.path.join(wrapper_dir.name, 'tavrin-publishing')
    options = ' '.join(certificates.options('alpha'))
    with open(wrapper, 'w') as f:
        f.write(f'#!/bin/sh\nexec {os.path.abspath(arguments.tavrin)} --fleet-broker {broker.url} '
                f'--fleet-name alpha {options} "$@"\n')
    os.chmod(wrapper, stat.S_IRWXU)
    env = dict(os.environ, QT_QPA_PLATFORM='offscreen')
    figures = {'without the fleet': [], 'publishing': []}
    # Turn about, so that what else the machine does falls on both alike.
    for _ in range(arguments.linerate_rounds):
        for label, panel in (('without the fleet', arguments.tavrin), ('publishing', wrapper)):
            done = subprocess.run([linerate_path, '--only', 'panel', '--panel', os.path.abspath(panel),
                                   '--seconds', str(arguments.linerate_seconds)],
                                  env=env, capture_output=True, text=True, timeout=600)
            line = next((l for l in done.stdout.splitlines() if l.startswith('panel')), done.stdout + done.stderr)
            print(f'  {label:18} {line}', flush=True)
            found = re.search(r'([\d.]+) us/char', line)
            figures[label].append(float(found.group(1)) if found else float('nan'))
    without, publishing = (percentile(figures[label], 50) for label in ('without the fleet', 'publishing'))
    print(f'  medians: {without:.1f} us/char without the fleet, {publishing:.1f} publishing: '
          f'{publishing / without:.2f}x per character', flush=True)


def main():
    parser = suite_arguments(__doc__)
    parser.add_argument('--stations', type=int, default=100)
    parser.add_argument('--seconds', type=int, default=60)
    parser.add_argument('--linerate-seconds', type=int, default=20)
    parser.add_argument('--linerate-rounds', type=int, default=3)
    arguments = parser.parse_args()
    certificates = Certificates(['console', 'bench', 'alpha'])
    broker = Broker(certificates, acl_extra='\n# The bench\'s load: any station.\nuser bench\ntopic write tavrin/#\n')
    broker.start()
    console = Console(arguments.tavrin, arguments.radiosim, [WATCHER])
    try:
        console.start_console(broker, certificates)
        load(arguments, certificates, broker, console)
        linerate(arguments, certificates, broker)
    finally:
        console.stop()
        broker.cleanup()


if __name__ == '__main__':
    main()
