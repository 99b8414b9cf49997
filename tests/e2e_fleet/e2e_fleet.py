#!/usr/bin/env python3
"""Many stations on one screen, end to end: Debian's mosquitto on loopback
with the example configuration and access list, three headless stations on
three simulated radios, and the operations console in headless Chromium.

Each row prints PASS or FAIL with what was seen; every row runs, and the
exit status is 1 when any failed.

    e2e_fleet.py --tavrin build/tavrin --radiosim build/tools/radiosim/tavrin-radiosim
"""
import os
import socket
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'e2e_web'))

from selenium.webdriver.common.by import By  # noqa: E402

from browser import close, log_in, open_browser  # noqa: E402
from fleetkit import (Broker, Certificates, Console, Gate, fleet_station, kill, pause, resume,  # noqa: E402
                      wait_until)
from rawpage import log_in as raw_log_in, tls  # noqa: E402
from rows import check, registrar, run_rows, suite_arguments  # noqa: E402
from station import free_port, wait_for  # noqa: E402

FREQUENCIES = {'alpha': 7035.25, 'bravo': 14200.0, 'charlie': 3650.5}
WATCHER = ('wanda', 'watch', 'wanda-password')
OPERATOR = ('otto', 'transmit', 'otto-password')
# The bound: what the broker knows shows on the page within 2 s.
SHOWN_S = 2
# The silence watch calls a radio silent after 10 s without a report.
SILENT_S = 16
TRANSMISSIONS_WHILE_AWAY = 3
# A station that found no broker tries again after 1, 2, 4... s, at most a
# minute apart: charlie, up before the broker, may take that long to come.
RETRY_S = 45

ROWS = []
row = registrar(ROWS)


class Keyer:
    """A station program keying through the station's rig-control server,
    holding its connection while it transmits: one that goes away unkeys."""

    def __init__(self, port):
        self.socket = socket.create_connection(('127.0.0.1', port), timeout=5)

    def say(self, command):
        self.socket.sendall(command.encode() + b'\n')
        return self.socket.recv(256).decode()

    def transmit(self, seconds):
        self.say('T 1')
        time.sleep(seconds)
        self.say('T 0')

    def close(self):
        self.socket.close()


def cell(driver, name, column):
    found = driver.find_elements(By.CSS_SELECTOR, f'#station-{name} .{column}')
    return found[0].text if found else ''


def spoken(driver):
    return driver.find_element(By.ID, 'spoken').get_attribute('textContent')


class Suite:
    def __init__(self, arguments):
        self.arguments = arguments
        self.stations = {}
        self.driver = None
        self.console = None
        self.certificates = Certificates([*FREQUENCIES, 'console'])
        self.broker = Broker(self.certificates)
        self.gate = Gate(self.broker)
        try:
            self.start()
        except BaseException:
            # What did start is not left running.
            self.end()
            raise

    def start(self):
        # Charlie comes up while its broker is down, and transmits then; it
        # reaches the broker once the console reads it, so the console is
        # there to see what charlie delivers (transmissions are not kept).
        self.rigctl_ports = {name: free_port() for name in FREQUENCIES}
        self.stations['charlie'] = self.station('charlie', broker=self.gate)
        keyer = Keyer(self.rigctl_ports['charlie'])
        for _ in range(TRANSMISSIONS_WHILE_AWAY):
            keyer.transmit(0.3)
            time.sleep(0.3)
        keyer.close()
        self.broker.start()
        for name in ('alpha', 'bravo'):
            self.stations[name] = self.station(name)
        self.console = Console(self.arguments.tavrin, self.arguments.radiosim, [WATCHER, OPERATOR])
        self.console.start_console(self.broker, self.certificates)
        if not wait_for(lambda: 'Received SUBSCRIBE from tavrin-console' in self.broker.said(), RETRY_S):
            raise RuntimeError('the console never subscribed:\n' + self.broker.said())
        self.gate.open()

    def station(self, name, certificate=None, frequency=None, broker=None):
        return fleet_station(self.arguments.tavrin, self.arguments.radiosim, name, broker or self.broker,
                             self.certificates, frequency or FREQUENCIES[name], certificate,
                             extra=['--rigctl-port', str(self.rigctl_ports.get(name, free_port()))])

    def page(self):
        if not self.driver:
            self.driver = open_browser(self.arguments.chromium, self.arguments.chromedriver, self.console.spki_hash)
            log_in(self.driver, self.console.url, WATCHER[0], WATCHER[2])
        return self.driver

    def when_failed(self):
        print('--- broker\n' + self.broker.said()[-4000:])
        print('--- console\n' + self.console.said()[-3000:])
        for name, station in self.stations.items():
            print(f'--- {name}\n' + station.said()[-2000:])

    def end(self):
        if self.driver:
            close(self.driver)
        status = self.console.stop() if self.console else None
        # Those still running end on SIGTERM as cleanly as the console,
        # their connection to the broker and its thread included.
        for name, station in self.stations.items():
            ended = station.stop()
            if ended not in (None, 0):
                print(f'FAIL!  {name} ended with status {ended} on SIGTERM', flush=True)
                status = status or ended
        self.broker.cleanup()
        return status


@row('the console shows all three stations with their radios\' frequencies')
def all_three(suite):
    driver = suite.page()
    for name, khz in FREQUENCIES.items():
        shown = wait_for(lambda: cell(driver, name, 'frequency-cell') == f'{khz:.3f} kHz', RETRY_S)
        check(shown, f'{name} shows "{cell(driver, name, "frequency-cell")}", not {khz:.3f} kHz')
        check(cell(driver, name, 'status-cell').startswith('online since'),
              f'{name} is "{cell(driver, name, "status-cell")}"')
        check(cell(driver, name, 'radio-cell') == 'heard', f'{name}\'s radio is "{cell(driver, name, "radio-cell")}"')
        link = driver.find_elements(By.CSS_SELECTOR, f'#station-{name} .web-cell a')
        check(link and link[0].get_attribute('href') == suite.stations[name].url,
              f'{name}\'s web panel link is not {suite.stations[name].url}')


@row('a station started while the broker was down delivers every transmission once it is up')
def delivered_after(suite):
    driver = suite.page()
    lines = lambda: driver.find_elements(By.CSS_SELECTOR, '#station-charlie .last-cell li')
    ended = lambda: [li.text for li in lines() if ', on air' not in li.text]
    check(wait_for(lambda: len(ended()) == TRANSMISSIONS_WHILE_AWAY, 10),
          f'charlie\'s page shows {[li.text for li in lines()]}')
    check(all('station program 127.0.0.1' in line and 'rig-control T 0' in line for line in ended()),
          f'charlie\'s transmissions read {ended()}')
    outbox = os.path.join(suite.stations['charlie'].data, 'fleet-outbox.jsonl')
    check(wait_for(lambda: '"n"' not in open(outbox).read(), 5), f'charlie still owes: {open(outbox).read()}')


@row('a transmission on one station shows who transmits, and the live region says so')
def who_transmits(suite):
    driver = suite.page()
    keyer = Keyer(suite.rigctl_ports['alpha'])
    keyer.say('T 1')
    try:
        shown, seconds = wait_until(lambda: 'transmitting: station program 127.0.0.1' in cell(driver, 'alpha', 'tx-cell'),
                                    SHOWN_S + 1)
        check(shown, f'alpha\'s transmitter shows "{cell(driver, "alpha", "tx-cell")}"')
        check(seconds <= SHOWN_S, f"shown after {seconds:.2f} s")
        check(wait_for(lambda: 'alpha transmitting' in spoken(driver), 2), f'the live region said "{spoken(driver)}"')
    finally:
        keyer.say('T 0')
        keyer.close()
    check(wait_for(lambda: cell(driver, 'alpha', 'tx-cell') == 'receiving', SHOWN_S + 1),
          f'alpha\'s transmitter still shows "{cell(driver, "alpha", "tx-cell")}"')


@row('a simulated radio that falls silent shows as silent, and heard again')
def silent_radio(suite):
    driver = suite.page()
    radio = suite.stations['bravo'].radio
    pause(radio)
    try:
        check(wait_for(lambda: cell(driver, 'bravo', 'radio-cell') == 'silent', SILENT_S),
              f'bravo\'s radio shows "{cell(driver, "bravo", "radio-cell")}"')
        check(wait_for(lambda: 'bravo radio silent' in spoken(driver), 2), f'the live region said "{spoken(driver)}"')
    finally:
        resume(radio)
    check(wait_for(lambda: cell(driver, 'bravo', 'radio-cell') == 'heard', 8),
          f'bravo\'s radio shows "{cell(driver, "bravo", "radio-cell")}"')


@row('a certificate naming another station publishes nothing under that station, and the console shows nothing false')
def impostor(suite):
    driver = suite.page()
    # Charlie's certificate, calling itself bravo, on a radio tuned elsewhere.
    mallory = suite.station('bravo', certificate='charlie', frequency=21300.0)
    suite.stations['mallory'] = mallory
    check(wait_for(lambda: "Denied PUBLISH" in suite.broker.said() and "'tavrin/bravo/" in suite.broker.said(), 10),
          'the broker never refused a publication under tavrin/bravo/')
    check(wait_for(lambda: 'the broker refuses' in mallory.said(), 5), 'the impostor was never told it was refused')
    time.sleep(1)
    kill(mallory.panel)
    time.sleep(SHOWN_S)
    check(cell(driver, 'bravo', 'frequency-cell') == '14200.000 kHz',
          f'bravo shows "{cell(driver, "bravo", "frequency-cell")}"')
    check(cell(driver, 'bravo', 'status-cell').startswith('online'), f'bravo is "{cell(driver, "bravo", "status-cell")}"')
    names = [e.get_attribute('id') for e in driver.find_elements(By.CSS_SELECTOR, '#rows tr')]
    check(names == ['station-alpha', 'station-bravo', 'station-charlie'], f'the page lists {names}')


@row('a station killed shows offline within 2 s, and the live region says so')
def killed(suite):
    driver = suite.page()
    kill(suite.stations['alpha'].panel)
    shown, seconds = wait_until(lambda: cell(driver, 'alpha', 'status-cell').startswith('offline since'), SHOWN_S + 1)
    check(shown, f'alpha is "{cell(driver, "alpha", "status-cell")}"')
    check(seconds <= SHOWN_S, f"shown after {seconds:.2f} s")
    check(wait_for(lambda: 'alpha offline' in spoken(driver), 2), f'the live region said "{spoken(driver)}"')


@row('the console refuses a login without the watch role')
def refuses_role(suite):
    try:
        raw_log_in(suite.console.web_port, OPERATOR[0], OPERATOR[2])
    except RuntimeError as refused:
        check('could not log in' in str(refused), str(refused))
    else:
        check(False, 'an operator with the transmit role logged in to the console')
    check(wait_for(lambda: 'refused: role transmit not served here' in open(
        os.path.join(suite.console.data, [f for f in os.listdir(suite.console.data) if f.startswith('access-')][0])).read(),
        3), 'the console\'s access record has no refusal of the role')


@row('the console refuses a live page from another origin')
def refuses_origin(suite):
    cookie = raw_log_in(suite.console.web_port, WATCHER[0], WATCHER[2])
    s = tls(suite.console.web_port)
    s.sendall(f'GET /ws HTTP/1.1\r\nHost: 127.0.0.1:{suite.console.web_port}\r\nOrigin: https://evil.example\r\n'
              f'Cookie: tavrin_session={cookie}\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n'
              f'Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n'.encode())
    head = s.recv(256).split(b'\r\n')[0]
    s.close()
    check(b' 403 ' in head, f'another origin\'s live page was answered {head!r}')


def main():
    parser = suite_arguments(__doc__)
    parser.add_argument('rows', nargs='*', help='run only the rows whose title holds one of these words')
    arguments = parser.parse_args()
    suite = Suite(arguments)
    return run_rows(ROWS, suite, arguments.rows, suite.when_failed)


if __name__ == '__main__':
    sys.exit(main())
