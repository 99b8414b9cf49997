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
from selenium.webdriver.common.keys import Keys
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


def channel_khz(driver, index):
    found = re.search(r'\d+\.\d+', element(driver, f'channel-{index}').text)
    check(found, f'channel-{index} reads "{element(driver, f"channel-{index}").text}": no frequency in it')
    return float(found.group())


def on_khz(suite, wanted):
    return wait_for(lambda: abs(suite.station.frequency_khz() - wanted) < 0.005, WAIT_S)


@row('a click (a tap) on channel-0 only selects it; Recall tunes the radio to it')
def recalled_channel(suite):
    driver = suite.page('alice')
    wanted = channel_khz(driver, 0)
    check(abs(suite.station.frequency_khz() - wanted) >= 0.005, 'the radio is already on channel 0')
    element(driver, 'channel-0').click()
    time.sleep(1)
    check(abs(suite.station.frequency_khz() - wanted) >= 0.005, 'one click on channel 0 retuned the radio')
    check(element(driver, 'channel-0').get_attribute('aria-selected') == 'true', 'channel 0 is not shown selected')
    element(driver, 'recall').click()
    check(on_khz(suite, wanted), f'the radio is on {suite.station.frequency_khz()}, channel 0 on {wanted}')


# The Tab stops inside the list, the list itself not counted.
TAB_STOPS_IN = """
return [...arguments[0].querySelectorAll('a, button, input, select, [tabindex]')]
  .filter((e) => e.tabIndex >= 0 && !e.disabled).length;
"""


@row('the channel list is one tab stop: the arrows move in it, Enter recalls, Tab leaves it')
def channel_list_by_keys(suite):
    driver = suite.page('alice')
    channels = element(driver, 'channels')
    check(channels.get_attribute('role') == 'listbox', f'the list\'s role is {channels.get_attribute("role")}')
    check(channels.get_attribute('tabindex') == '0', 'the list is not a tab stop')
    inside = driver.execute_script(TAB_STOPS_IN, channels)
    check(inside == 0, f'{inside} more tab stops inside the list')
    channels.send_keys(Keys.HOME, Keys.ARROW_DOWN, Keys.ARROW_DOWN)
    check(channels.get_attribute('aria-activedescendant') == 'channel-2',
          f'Home and two arrows down lead to {channels.get_attribute("aria-activedescendant")}')
    wanted = channel_khz(driver, 2)
    channels.send_keys(Keys.ENTER)
    check(on_khz(suite, wanted), f'the radio is on {suite.station.frequency_khz()}, channel 2 on {wanted}')
    channels.send_keys(Keys.TAB)
    check(driver.switch_to.active_element.get_attribute('id') == 'recall',
          f'Tab from the list went to "{driver.switch_to.active_element.get_attribute("id")}", not Recall')


@row('what one page types into freq-entry never shows on another')
def typed_entry_own(suite):
    alice, bob = suite.page('alice'), suite.page('bob')
    typed = element(alice, 'freq-entry')
    typed.clear()
    typed.send_keys('14074.5')
    element(alice, 'freq').click()  # left, not Set
    shown = lambda: element(bob, 'freq-entry').get_attribute('value')
    time.sleep(1.5)
    check('14074' not in shown(), f'bob\'s entry shows "{shown()}"')
    check(typed.get_attribute('value') == '14074.5', f'alice\'s own entry now reads "{typed.get_attribute("value")}"')
    typed.clear()


@row('a listen-role page shows Xmit, Latch transmit and Receive disabled, and "nobody" holding')
def listener_keying_disabled(suite):
    driver = suite.page('carol')
    for name in ('xmit', 'latch', 'receive'):
        found = shown(driver, name)
        check(wait_for(lambda: not found.is_enabled(), WAIT_S), f'{name} is enabled for a listener')
    check(wait_for(lambda: text_of(driver, 'holder') == 'nobody', WAIT_S),
          f'the holder line reads "{text_of(driver, "holder")}"')


# A finger on Xmit that slides 40 px, as a thumb does, on a phone's screen.
PHONE = {'width': 390, 'height': 844, 'deviceScaleFactor': 3, 'mobile': True}


def touch(driver, kind, x, y):
    points = [] if kind == 'touchEnd' else [{'x': x, 'y': y}]
    driver.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': kind, 'touchPoints': points})


@row('a touch hold on xmit that drifts 40 px stays keyed until the finger lifts')
def touch_hold_drifts(suite):
    driver = suite.page('alice')
    driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', PHONE)
    driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': True, 'maxTouchPoints': 5})
    try:
        xmit = shown(driver, 'xmit')
        driver.execute_script('arguments[0].scrollIntoView({block: "center"})', xmit)
        box = driver.execute_script('const r = arguments[0].getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2];', xmit)
        x, y = box
        touch(driver, 'touchStart', x, y)
        try:
            check(wait_for(suite.station.keyed, KEYING_S), 'the radio never keyed')
            for step in range(1, 9):
                touch(driver, 'touchMove', x + step * 2, y + step * 5)
                time.sleep(0.05)
            time.sleep(1)
            check(suite.station.keyed(), f'the key dropped as the finger slid: "{text_of(driver, "key-ended")}"')
        finally:
            touch(driver, 'touchEnd', x, y + 40)
        check(wait_for(lambda: not suite.station.keyed(), KEYING_S), 'the radio stayed keyed after the finger lifted')
        check(not text_of(driver, 'key-ended'), f'the page says "{text_of(driver, "key-ended")}" after a plain release')
    finally:
        driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': False})
        driver.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})


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


@row('a second transmit operator is refused while the first holds the transmitter; his Receive ends her key '
     'and her page says why')
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
        shown(bob, 'receive').click()
        check(wait_for(lambda: not suite.station.keyed(), KEYING_S), 'bob\'s Receive left the radio keyed')
        check(wait_for(lambda: 'Receive' in (text_of(alice, 'key-ended') or ''), WAIT_S),
              f'alice\'s page says "{text_of(alice, "key-ended")}"')
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
