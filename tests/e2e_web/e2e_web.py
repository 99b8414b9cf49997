#!/usr/bin/env python3
"""The web panel in a real browser: headless Chromium, driven by selenium,
on the real panel (--headless) on the simulated radio.

Each row prints PASS or FAIL with what was seen; every row runs, and the
exit status is 1 when any failed. Element ids and messages are the ones the
desktop panel's controls give the page (freq-up, freq, mode, xmit, ...).

    e2e_web.py --tavrin build/tavrin --radiosim build/tools/radiosim/tavrin-radiosim
"""
import re
import sys
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

from browser import WAIT_S, close, log_in, open_browser, text_of
from rawpage import RawPage, log_in as raw_log_in
from rows import check, registrar, run_rows, suite_arguments
from station import Station, wait_for

OPERATORS = [('alice', 'transmit', 'alice-password'), ('bob', 'transmit', 'bob-password'),
             ('carol', 'listen', 'carol-password')]
PASSWORDS = {name: password for name, _, password in OPERATORS}
KEYING_S = 2
MODE_DIGITS = {'USB': '1', 'LSB': '2', 'AM': '3', 'CW': '4'}
# What a listening page's own socket gets for a press, or nothing in 3 s.
SEND_ON_OWN_SOCKET = """
const [message, done] = arguments;
const socket = new WebSocket(`wss://${location.host}/ws`);
const timer = setTimeout(() => { socket.close(); done('no answer'); }, 3000);
socket.onopen = () => socket.send(JSON.stringify(message));
socket.onmessage = (event) => {
  const answer = JSON.parse(event.data);
  if (answer.type === 'refused') { clearTimeout(timer); socket.close(); done('refused: ' + answer.text); }
};
socket.onerror = () => { clearTimeout(timer); done('socket error'); };
"""

ROWS = []
row = registrar(ROWS)


def element(driver, element_id):
    try:
        return WebDriverWait(driver, WAIT_S).until(lambda d: d.find_element(By.ID, element_id))
    except Exception:
        raise AssertionError(f'the page has no element "{element_id}"') from None


def shown_khz(driver):
    found = re.search(r'\d+\.\d+', text_of(driver, 'freq') or '')
    return float(found.group()) if found else None


def page_shows_radio(driver, station):
    return wait_for(lambda: shown_khz(driver) is not None and abs(shown_khz(driver) - station.frequency_khz()) < 0.005,
                    WAIT_S)


class Suite:
    def __init__(self, arguments):
        self.arguments = arguments
        self.station = Station(arguments.tavrin, arguments.radiosim, OPERATORS)
        self.station.start_panel()
        self.drivers = {}

    def page(self, name):
        """A browser of its own for each operator, logged in once."""
        if name not in self.drivers:
            driver = open_browser(self.arguments.chromium, self.arguments.chromedriver, self.station.spki_hash)
            self.drivers[name] = driver
            log_in(driver, self.station.url, name, PASSWORDS[name])
        return self.drivers[name]

    def end(self):
        for driver in self.drivers.values():
            close(driver)
        return self.station.stop()


# A page shows its controls once the server has said who is logged in.
def shown(driver, element_id):
    found = element(driver, element_id)
    check(wait_for(found.is_displayed, WAIT_S), f'"{element_id}" is on the page but never shown')
    return found


def hold(driver, element_id):
    ActionChains(driver).click_and_hold(shown(driver, element_id)).perform()


def let_go(driver):
    ActionChains(driver).release().perform()


@row('log in: the name and password lead to the live panel')
def logs_in(suite):
    driver = suite.page('alice')
    check(not driver.find_elements(By.ID, 'password'), 'the login form is still shown')
    link = element(driver, 'link')
    check(wait_for(lambda: 'Connecting' not in link.text, WAIT_S), f'the live feed never connected: "{link.text}"')


@row('freq shows the frequency the radio reports')
def shows_frequency(suite):
    driver = suite.page('alice')
    element(driver, 'freq')
    check(page_shows_radio(driver, suite.station),
          f'the page shows "{text_of(driver, "freq")}", the radio is on {suite.station.frequency_khz()}')


@row('freq-up: the panel sends its Up to the radio, and the page follows')
def frequency_up(suite):
    driver = suite.page('alice')
    button = element(driver, 'freq-up')
    before, sent_before = suite.station.frequency_khz(), len(suite.station.sent())
    button.click()
    check(wait_for(lambda: suite.station.frequency_khz() > before, WAIT_S),
          f'the radio stayed on {before} (sent since: {suite.station.sent()[sent_before:]})')
    # The desktop's Up: the new frequency as F and seven digits of 10 Hz.
    up = 'F' + suite.station.state().get('frequency_digits', '?') + '\\n'
    sent = [text for _, text in suite.station.sent()[sent_before:]]
    check(any(up in text for text in sent), f'the radio obeyed, but the trace shows {sent}, not {up}')
    check(page_shows_radio(driver, suite.station), f'the page shows "{text_of(driver, "freq")}"')


@row('freq-entry and set-freq tune the radio to the frequency typed')
def entered_frequency(suite):
    driver = suite.page('alice')
    entry = element(driver, 'freq-entry')
    entry.clear()
    entry.send_keys('7150.000')
    element(driver, 'set-freq').click()
    check(wait_for(lambda: abs(suite.station.frequency_khz() - 7150.0) < 0.005, WAIT_S),
          f'the radio is on {suite.station.frequency_khz()}, not 7150.000')
    check(page_shows_radio(driver, suite.station), f'the page shows "{text_of(driver, "freq")}"')


@row('mode: the mode chosen reaches the radio')
def chosen_mode(suite):
    driver = suite.page('alice')
    mode = element(driver, 'mode')
    check(mode.tag_name == 'select', f'mode is a <{mode.tag_name}>, not a <select>')
    choice = Select(mode)
    wanted = 'LSB' if suite.station.state().get('mode') != MODE_DIGITS['LSB'] else 'AM'
    labels = [option.text.strip() for option in choice.options]
    check(wanted in labels, f'mode offers {labels}, no {wanted}')
    choice.select_by_visible_text(wanted)
    check(wait_for(lambda: suite.station.state().get('mode') == MODE_DIGITS[wanted], WAIT_S),
          f'the radio\'s mode is {suite.station.state().get("mode")}, not {wanted}')


@row('channel-0 recalls the first channel of the list')
def recalled_channel(suite):
    driver = suite.page('alice')
    channel = element(driver, 'channel-0')
    found = re.search(r'\d+\.\d+', channel.text)
    check(found, f'channel-0 reads "{channel.text}": no frequency in it')
    wanted = float(found.group())
    check(abs(suite.station.frequency_khz() - wanted) >= 0.005, 'the radio is already on channel 0')
    channel.click()
    check(wait_for(lambda: abs(suite.station.frequency_khz() - wanted) < 0.005, WAIT_S),
          f'the radio is on {suite.station.frequency_khz()}, channel 0 on {wanted}')


@row('xmit held keys the radio, let go unkeys it')
def hold_to_talk(suite):
    driver = suite.page('alice')
    hold(driver, 'xmit')
    try:
        check(wait_for(suite.station.keyed, KEYING_S), 'the radio never keyed')
    finally:
        let_go(driver)
    check(wait_for(lambda: not suite.station.keyed(), KEYING_S), 'the radio stayed keyed after xmit was let go')


@row('a tab closed while keyed unkeys the radio within 2 s')
def closed_while_keyed(suite):
    driver = suite.page('alice')
    first = driver.current_window_handle
    driver.switch_to.new_window('tab')
    try:
        driver.get(suite.station.url)
        hold(driver, 'xmit')
        check(wait_for(suite.station.keyed, KEYING_S), 'the radio never keyed')
    finally:
        driver.close()
        closed = time.monotonic()
        driver.switch_to.window(first)
    check(wait_for(lambda: not suite.station.keyed(), KEYING_S),
          f'still keyed {time.monotonic() - closed:.1f} s after the tab closed')


@row('a second transmit operator is refused while the first holds the transmitter')
def second_transmitter_refused(suite):
    alice, bob = suite.page('alice'), suite.page('bob')
    hold(alice, 'xmit')
    try:
        check(wait_for(suite.station.keyed, KEYING_S), 'alice never keyed the radio')
        check(wait_for(lambda: 'alice' in (text_of(bob, 'holder') or ''), WAIT_S),
              f'bob\'s page names "{text_of(bob, "holder")}" as holding the transmitter')
        hold(bob, 'xmit')
        check(wait_for(lambda: text_of(bob, 'refused'), WAIT_S), 'bob\'s page shows no refusal')
        let_go(bob)
        time.sleep(0.5)
        check(suite.station.keyed(), 'bob letting go unkeyed alice\'s transmission')
    finally:
        let_go(alice)
    check(wait_for(lambda: not suite.station.keyed(), KEYING_S), 'the radio stayed keyed after alice let go')


@row('a listening operator\'s press is refused by the server and nothing reaches the radio')
def listener_refused(suite):
    driver = suite.page('carol')
    before, sent_before = suite.station.frequency_khz(), len(suite.station.sent())
    buttons = [b for b in driver.find_elements(By.ID, 'freq-up') if b.is_displayed() and b.is_enabled()]
    for button in buttons:
        button.click()
    answer = driver.execute_async_script(SEND_ON_OWN_SOCKET, {'command': 'press', 'control': 'freq-up'})
    check(answer.startswith('refused: ') and len(answer) > len('refused: '), f'the server answered: {answer}')
    time.sleep(0.5)
    check(suite.station.frequency_khz() == before, f'the radio moved from {before} to {suite.station.frequency_khz()}')
    tuned = [text for _, text in suite.station.sent()[sent_before:] if re.search(r'F\d{7}', text)]
    check(not tuned, f'the panel sent {tuned}')


@row('a page flooding commands never delays the holder\'s heartbeat; it is refused, then closed')
def flood_beside_holder(suite):
    driver = suite.page('alice')
    port = suite.station.web_port
    flood = RawPage(port, raw_log_in(port, 'carol', PASSWORDS['carol']))
    hold(driver, 'xmit')
    try:
        check(wait_for(suite.station.keyed, KEYING_S), 'the radio never keyed')
        sent, dropped, reopened = 0, [], 0
        end = time.monotonic() + 4
        while time.monotonic() < end:
            if not flood.send('{"command":"press","control":"freq-up"}'):
                flood.close()
                reopened += 1
                flood = RawPage(port, raw_log_in(port, 'carol', PASSWORDS['carol']))
            sent += 1
            if sent % 200 == 0 and not suite.station.keyed():
                dropped.append(round(4 - (end - time.monotonic()), 2))
        check(not dropped, f'alice\'s key dropped at {dropped} s of the flood ({sent} commands sent)')
        check(reopened > 0, f'the flooding page was never closed ({sent} commands sent)')
    finally:
        let_go(driver)
        flood.close()
    check(wait_for(lambda: not suite.station.keyed(), KEYING_S), 'the radio stayed keyed after alice let go')


def main():
    parser = suite_arguments(__doc__)
    parser.add_argument('rows', nargs='*', help='run only the rows whose title holds one of these words')
    arguments = parser.parse_args()
    suite = Suite(arguments)
    return run_rows(ROWS, suite, arguments.rows)


if __name__ == '__main__':
    sys.exit(main())
