#!/usr/bin/env python3
"""What the web panel costs and how late it is, on the real headless panel.

Run by hand, never by CTest:

    /usr/bin/python3 tests/e2e_web/bench.py --tavrin build/tavrin \\
        --radiosim build/tools/radiosim/tavrin-radiosim

The radio here is this script, on a pseudo-terminal of its own (the
simulator gives it its first full status report and the channel file): so it
knows to the microsecond when it wrote a report and when a command reached
it. Measured, with headless Chromium logged in:

  report -> page   a report of a new frequency written at the radio's end, to
                   the page's frequency text changing (a MutationObserver's
                   time stamp; one clock, this machine's)
  click -> radio   a click on the page's Up (its time stamp in the page) to
                   the panel's command arriving at the radio's end
  page load        bytes the page's load moved (Performance API: the
                   document and every resource, transferSize and body sizes)
  CPU per char     the panel's user+system time (/proc/PID/stat) over a fixed
                   stream of full reports at 960 characters a second (9600
                   baud), each a new frequency, with 0 and with 20 pages open,
                   less the same time idle, per character (--seconds 0: not)
  memory           the panel's resident and peak memory (/proc/PID/status)

With --attack, all of it is measured while --idle connections (200; half
never start TLS, half never send a request, each from an address of its
own on 127.0.0.0/8, reopened as the panel closes them) and a listen-role
page flooding refused commands as fast as it can (reopened when closed)
are open; and the panel is stopped with SIGTERM while they are.
"""
import os
import pty
import signal
import re
import select
import subprocess
import sys
import threading
import time
import tty

from selenium.webdriver.common.by import By

from browser import close, log_in, open_browser
from rawpage import RawPage, log_in as raw_log_in, tls
from rows import suite_arguments
from station import Station, wait_for

CLOCK_TICK_S = 1.0 / os.sysconf('SC_CLK_TCK')
STREAM_RATE = 960  # characters a second: 9600 baud, 7 data bits, odd parity, 1 stop bit
FREQUENCY_IDS = ('freq', 'frequency')  # the contract's id, and the page's before it
UP_IDS = ('freq-up', 'up')
PAGE_BUILT_S = 10

WATCH_TEXT = """
const target = document.getElementById(arguments[0]);
window.tavrinChanges = [];
new MutationObserver(() => window.tavrinChanges.push([performance.timeOrigin + performance.now(), target.textContent]))
  .observe(target, {childList: true, characterData: true, subtree: true});
"""
WATCH_CLICKS = """
window.tavrinClicks = [];
document.getElementById(arguments[0]).addEventListener('click',
  () => window.tavrinClicks.push(performance.timeOrigin + performance.now()), true);
"""
LOAD_SIZES = """
const entries = [...performance.getEntriesByType('navigation'), ...performance.getEntriesByType('resource')];
return entries.map((e) => [e.name, e.transferSize, e.encodedBodySize, e.decodedBodySize]);
"""


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(share * (len(ordered) - 1))))]


class PtyRadio:
    """Answers the panel's status query with a full report, a frequency
    command with the report of it, and writes reports when told to."""

    def __init__(self, full_report):
        self.template = full_report
        self.frequency_digits = full_report[1:8]
        self.master, slave = pty.openpty()
        tty.setraw(slave)
        self.path = os.ttyname(slave)
        self.slave = slave
        self.arrivals = []  # (wall time, command)
        self.lock = threading.Lock()
        self.running = True
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def full(self, digits=None):
        digits = digits or self.frequency_digits
        return ('F' + digits).ljust(9) + self.template[9:]

    def write(self, text):
        with self.lock:
            os.write(self.master, text.encode('latin-1'))

    def _read(self):
        pending = b''
        while self.running:
            ready, _, _ = select.select([self.master], [], [], 0.1)
            if not ready:
                continue
            try:
                pending += os.read(self.master, 1024)
            except OSError:
                return
            now = time.time()
            while b'\n' in pending:
                line, pending = pending.split(b'\n', 1)
                command = line.decode('latin-1')
                self.arrivals.append((now, command))
                if command == '?':
                    self.write(self.full())
                elif command.startswith('F') and command[1:].isdigit():
                    self.frequency_digits = command[1:].rjust(7, '0')[-7:]
                    self.write(('F' + self.frequency_digits).ljust(9) + '\n')

    def stop(self):
        self.running = False
        self.reader.join()


def first_report(radiosim, env):
    """The simulator's own full report, for the fields this radio does not change."""
    sim = subprocess.Popen([radiosim], env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    path = sim.stdout.readline().strip()
    fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
    tty.setraw(fd)
    os.write(fd, b'?\n')
    report = b''
    while not report.endswith(b'\n'):
        select.select([fd], [], [], 2)
        report += os.read(fd, 256)
    os.close(fd)
    sim.terminate()
    sim.wait()
    return report.decode('latin-1')


def process_cpu_s(pid):
    with open(f'/proc/{pid}/stat') as f:
        fields = f.read().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * CLOCK_TICK_S  # utime, stime


def find_id(driver, ids, seconds=PAGE_BUILT_S):
    """The first of `ids` the page has, once it has built its controls from
    the panel's layout message (after the log-in, not with the document)."""
    found = wait_for(lambda: next((i for i in ids if driver.find_elements(By.ID, i)), None), seconds)
    if not found:
        raise RuntimeError(f'the page has none of {ids} after {seconds} s')
    return found


def report_to_page(radio, driver, frequency_id, samples):
    driver.execute_script(WATCH_TEXT, frequency_id)
    written = []
    digits = int(radio.frequency_digits)
    for i in range(samples):
        digits += 1
        text = f'{digits:07d}'
        radio.frequency_digits = text
        report = ('F' + text).ljust(9) + '\n'
        written.append((digits / 100, time.time() * 1000))
        radio.write(report)
        time.sleep(0.05)
    time.sleep(1)
    changes = driver.execute_script('return window.tavrinChanges')
    # A report overtaken by the next before the page was sent it counts
    # until the first text showing it or a later one.
    shown = [(t, float(m.group())) for t, text in changes if (m := re.search(r'\d+\.\d+', text))]
    delays, exact = [], 0
    for khz, at in written:
        seen = [(t, value) for t, value in shown if t >= at and value >= khz - 0.001]
        if seen:
            delays.append(seen[0][0] - at)
            exact += abs(seen[0][1] - khz) < 0.001
    return delays, exact


def click_to_radio(radio, driver, up_id, samples):
    driver.execute_script(WATCH_CLICKS, up_id)
    button = driver.find_element(By.ID, up_id)
    delays = []
    for _ in range(samples):
        before = len(radio.arrivals)
        button.click()
        if not wait_for(lambda: len(radio.arrivals) > before, 2, 0.005):
            continue
        clicked = driver.execute_script('return window.tavrinClicks[window.tavrinClicks.length - 1]')
        arrived = radio.arrivals[before][0] * 1000
        delays.append(arrived - clicked)
        time.sleep(0.1)
    return delays


def page_load(driver, url):
    driver.get(url)
    time.sleep(1)
    return driver.execute_script(LOAD_SIZES)


def cpu_per_char(radio, pid, seconds):
    """Idle for the window, then fed for the window: the difference per character."""
    idle_start = process_cpu_s(pid)
    time.sleep(seconds)
    idle = process_cpu_s(pid) - idle_start
    fed_start = process_cpu_s(pid)
    sent = 0
    digits = int(radio.frequency_digits)
    began = time.monotonic()
    while time.monotonic() - began < seconds:
        digits = digits + 1 if digits < 9999999 else 100000
        line = radio.full(f'{digits:07d}')
        for c in line:
            radio.write(c)
            sent += 1
            delay = began + sent / STREAM_RATE - time.monotonic()
            if delay > 0:
                time.sleep(delay)
    took = time.monotonic() - began
    fed = process_cpu_s(pid) - fed_start
    time.sleep(0.5)
    return idle, fed, sent, took


def measure_cpu(radio, station, pages, seconds):
    feeds = live_feeds(station.web_port)
    idle, fed, sent, took = cpu_per_char(radio, station.panel.pid, seconds)
    per = (fed - idle) / sent * 1e6
    return (f'{pages:2} pages open ({feeds} connections to the panel): idle {idle * 1000:4.0f} ms, fed '
            f'{fed * 1000:4.0f} ms CPU over {took:.1f} s, {sent} chars ({sent / took:.0f}/s): {per:.1f} us/char '
            f'({fed / sent * 1e6:.1f} us/char fed only)')


class Attack:
    """Idle connections and a flooding page, kept open until stopped."""

    def __init__(self, port, idle, cookie):
        self.port, self.idle, self.cookie = port, idle, cookie
        self.running = True
        self.sent = self.flood_closed = self.reopened = 0
        self.sockets = {}
        self.threads = [threading.Thread(target=self._hold, daemon=True),
                        threading.Thread(target=self._flood, daemon=True)]
        for thread in self.threads:
            thread.start()

    def _hold(self):
        while self.running:
            for i in range(self.idle):
                held = self.sockets.get(i)
                if held is not None and not self._closed(held):
                    continue
                try:
                    self.sockets[i] = tls(self.port, f'127.0.{1 + i // 250}.{2 + i % 250}', handshake=i % 2 == 1)
                    self.reopened += held is not None
                except OSError:
                    pass
            time.sleep(0.5)

    @staticmethod
    def _closed(held):
        try:
            if not select.select([held], [], [], 0)[0]:
                return False
            return held.recv(1) == b''
        except (OSError, ValueError):
            return True

    def _flood(self):
        command = '{"command":"press","control":"freq-up"}'
        while self.running:
            try:
                page = RawPage(self.port, self.cookie)
            except (OSError, RuntimeError):
                time.sleep(0.1)
                continue
            while self.running and page.send(command):
                self.sent += 1
            self.flood_closed += 1
            page.close()

    def stop(self):
        self.running = False
        for thread in self.threads:
            thread.join(5)
        for held in self.sockets.values():
            held.close()

    def said(self):
        return (f'{self.idle} idle connections reopened {self.reopened} times as the panel closed them; '
                f'the flooding page sent {self.sent} commands and was closed {self.flood_closed} times')


def memory_kb(pid):
    with open(f'/proc/{pid}/status') as f:
        fields = dict(line.split(':', 1) for line in f if ':' in line)
    return int(fields['VmRSS'].split()[0]), int(fields['VmHWM'].split()[0])


def live_feeds(port):
    """The page's connections the panel holds open (its live feeds)."""
    listed = subprocess.run(['ss', '-Htn', 'state', 'established', f'( sport = :{port} )'],
                            capture_output=True, text=True).stdout
    return len(listed.splitlines())


def main():
    parser = suite_arguments(__doc__)
    parser.add_argument('--samples', type=int, default=200)
    parser.add_argument('--seconds', type=float, default=10)
    parser.add_argument('--pages', type=int, default=20)
    parser.add_argument('--attack', action='store_true', help='measure beside idle connections and a flooding page')
    parser.add_argument('--idle', type=int, default=200)
    arguments = parser.parse_args()

    # Four pages per operator at most: the other pages are listeners', each
    # four in a browser of their own. Carol's page floods in an attack.
    listeners = [(f'listener{n}', 'listen', f'listener{n}-password') for n in range(1, (arguments.pages + 2) // 4)]
    station = Station(arguments.tavrin, arguments.radiosim,
                      [('alice', 'transmit', 'alice-password'), ('carol', 'listen', 'carol-password')] + listeners,
                      trace=False)
    radio = PtyRadio(first_report(station.radiosim_path, station.env))
    # The simulator started by the station wrote the channel file; this
    # radio takes its place on COM1.
    station.radio.terminate()
    station.radio.wait()
    profile = os.path.join(station.env['XDG_CONFIG_HOME'], 'Local AppWizard-Generated Applications', 'Tavrin.conf')
    with open(profile, 'w') as f:
        f.write(f'[Ports]\nCOM1={radio.path}\n')
    station.state = lambda: {'frequency_khz': '1', 'commands': '1'} if radio.arrivals else {}
    browsers = []
    attack = None
    stopped = None
    try:
        station.start_panel()
        pid = station.panel.pid
        time.sleep(1)
        # No browser at all yet: the panel's cost with no page open.
        cpu = [measure_cpu(radio, station, 0, arguments.seconds)] if arguments.seconds > 0 else []
        if arguments.attack:
            attack = Attack(station.web_port, arguments.idle, raw_log_in(station.web_port, 'carol', 'carol-password'))
            time.sleep(3)
        driver = open_browser(arguments.chromium, arguments.chromedriver, station.spki_hash)
        browsers.append(driver)
        log_in(driver, station.url, 'alice', 'alice-password')
        frequency_id = find_id(driver, FREQUENCY_IDS)
        up_id = find_id(driver, UP_IDS)
        time.sleep(1)

        shown, exact = report_to_page(radio, driver, frequency_id, arguments.samples)
        clicked = click_to_radio(radio, driver, up_id, arguments.samples // 2)
        resident, peak = memory_kb(pid)
        sizes = page_load(driver, station.url)
        if arguments.seconds > 0:
            for page in range(1, arguments.pages):
                if page % 4 == 0:
                    name, _, password = listeners[page // 4 - 1]
                    driver = open_browser(arguments.chromium, arguments.chromedriver, station.spki_hash)
                    browsers.append(driver)
                    log_in(driver, station.url, name, password)
                    continue
                driver.switch_to.new_window('tab')
                driver.get(station.url)
            time.sleep(2)
            cpu.append(measure_cpu(radio, station, arguments.pages, arguments.seconds))
        if attack:
            began = time.monotonic()
            station.panel.send_signal(signal.SIGTERM)
            try:
                stopped = (station.panel.wait(30), time.monotonic() - began)
            except subprocess.TimeoutExpired:
                stopped = (None, time.monotonic() - began)

        print(f'page ids: frequency "{frequency_id}", up "{up_id}"; a report every 50 ms, '
              f'{exact} of {len(shown)} shown as such, the others overtaken by the next')
        for name, values in (('report -> page text', shown), ('click -> command at radio', clicked)):            print(f'{name:28} p50 {percentile(values, 0.5):7.2f} ms  p99 {percentile(values, 0.99):7.2f} ms'
                  f'  max {max(values):7.2f} ms  ({len(values)} samples)')
        print(f'the panel\'s memory: {resident / 1024:.1f} MB resident, {peak / 1024:.1f} MB at most')
        if attack:
            print(attack.said())
            print(f'SIGTERM beside them: ended with status {stopped[0]} after {stopped[1]:.2f} s')
        for name, transfer, encoded, decoded in sizes:
            print(f'  load {name:40} transfer {transfer:6} B  body {encoded:6} B (decoded {decoded})')
        print(f'page load total: transfer {sum(s[1] for s in sizes)} B, bodies {sum(s[2] for s in sizes)} B')
        for line in cpu:
            print(line)
    finally:
        if attack:
            attack.stop()
        for driver in browsers:
            close(driver)
        radio.stop()
        status = station.stop()
    print(f'the panel ended with status {status}')


if __name__ == '__main__':
    sys.exit(main())
