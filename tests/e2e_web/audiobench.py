#!/usr/bin/env python3
"""How late the station's sound is through the page, and what listeners
cost the station: the real panel (--headless) on the simulated radio, a
PulseAudio daemon of its own for the sound cards, headless Chromium
capturing from and playing to that daemon.

Tone bursts played into the radio's receive audio are timed again where
Chromium plays them (receive: station input to page output); bursts played
into the page's microphone are timed again at the transmitter's input while
the page keys (transmit: page microphone to station output). Both ends are
recorded from one daemon, so on one clock. Then the station's CPU time over
10 s with no page listening and with N.

    audiobench.py --tavrin build/tavrin --radiosim build/tools/radiosim/tavrin-radiosim [--bursts 30] [--listeners 5]
"""
import argparse
import array
import os
import sys
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

from browser import WAIT_S, close, log_in, open_browser
from soundserver import RATE, SoundServer, tone
from rows import suite_arguments
from station import Station, wait_for

PERIOD_S = 1.0
BURST_S = 0.2
BLOCK = RATE // 400  # 2.5 ms
LOUD = 0.05
CPU_S = 10


def bursts(count):
    burst = tone(1000, 1, 0.5)[:int(BURST_S * RATE)]
    gap = array.array('h', bytes(2 * int((PERIOD_S - BURST_S) * RATE)))
    return (burst + gap) * count


def onsets(samples):
    """The times (s from the start) where sound turns loud after 100 ms that
    were not. The codec smears a burst's edges into a few blocks between
    quiet and loud, which must not hide the burst they belong to."""
    found, calm = [], 0
    for at in range(0, len(samples) - BLOCK, BLOCK):
        block = samples[at:at + BLOCK]
        level = (sum(s * s for s in block) / BLOCK) ** 0.5 / 32768
        if level > LOUD and calm * BLOCK >= RATE // 10:
            found.append(at / RATE)
        calm = calm + 1 if level <= LOUD else 0
    return found


def delays(sent, heard, started_sent, started_heard):
    result = []
    for t in sent:
        t += started_sent
        later = [h + started_heard - t for h in heard if 0 <= h + started_heard - t < PERIOD_S * 0.8]
        if later:
            result.append(later[0])
    return result


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


def report(what, values, count):
    if not values:
        print(f'{what}: nothing heard of {count} bursts')
        return
    ms = [v * 1000 for v in values]
    print(f'{what}: {len(ms)} of {count} bursts, p50 {percentile(ms, 50):.0f} ms, p95 {percentile(ms, 95):.0f} ms, '
          f'min {min(ms):.0f}, max {max(ms):.0f}', flush=True)


def cpu_seconds(pid):
    with open(f'/proc/{pid}/stat') as f:
        fields = f.read().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf('SC_CLK_TCK')


def cpu_share(pid, seconds=CPU_S):
    before, start = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return (cpu_seconds(pid) - before) / (time.monotonic() - start) * 100


def timed(sound, player_sink, sent_source, heard_source, count):
    sent, heard = sound.record(sent_source), sound.record(heard_source)
    time.sleep(0.5)
    player = sound.play(player_sink, bursts(count))
    player.wait()
    time.sleep(1.0)
    # From each recording's first sample, timed from its start as known
    # once everything has arrived.
    end = time.monotonic()
    sent_pcm, heard_pcm = sent.samples(0, end), heard.samples(0, end)
    sent_at, heard_at = onsets(sent_pcm), onsets(heard_pcm)
    if os.environ.get('AUDIOBENCH_DEBUG'):
        print('sent', [round(t + sent.started, 3) for t in sent_at])
        print('heard', [round(t + heard.started, 3) for t in heard_at])
        print('heard level per 100 ms', [round((sum(x * x for x in heard_pcm[i:i + 4800]) / 4800) ** 0.5 / 32768, 3)
                                          for i in range(0, len(heard_pcm) - 4800, 4800)])
    result = delays(sent_at, heard_at, sent.started, heard.started)
    sent.stop()
    heard.stop()
    return result


def main():
    parser = suite_arguments(__doc__)
    parser.add_argument('--bursts', type=int, default=30)
    parser.add_argument('--listeners', type=int, default=5)
    parser.add_argument('--only-transmit', action='store_true', help=argparse.SUPPRESS)
    arguments = parser.parse_args()
    sound = SoundServer()
    sound.use()
    station = Station(arguments.tavrin, arguments.radiosim, [('alice', 'transmit', 'alice-password')])
    drivers = []
    try:
        station.start_panel(['--audio-in', 'radio', '--audio-out', 'tx'])
        pid = station.panel.pid
        driver = open_browser(arguments.chromium, arguments.chromedriver, station.spki_hash,
                              ('--use-fake-ui-for-media-stream', '--autoplay-policy=no-user-gesture-required'))
        drivers.append(driver)
        log_in(driver, station.url, 'alice', 'alice-password')
        WebDriverWait(driver, WAIT_S).until(lambda d: d.find_element(By.ID, 'listen').is_displayed())
        idle = cpu_share(pid)
        print(f'station CPU, no page listening: {idle:.2f} %', flush=True)

        driver.find_element(By.ID, 'listen').click()
        time.sleep(2)
        report('receive, station input to page output', timed(sound, 'rx', 'radio', 'speaker.monitor', arguments.bursts),
               arguments.bursts)
        if arguments.only_transmit:
            arguments.listeners = 1
        one = cpu_share(pid)
        print(f'station CPU, 1 page listening: {one:.2f} %', flush=True)
        for n in range(1, arguments.listeners):
            driver.switch_to.new_window('tab')
            driver.get(station.url)
            WebDriverWait(driver, WAIT_S).until(lambda d: d.find_element(By.ID, 'listen').is_displayed())
            driver.find_element(By.ID, 'listen').click()
        time.sleep(2)
        many = cpu_share(pid)
        print(f'station CPU, {arguments.listeners} pages listening: {many:.2f} %, '
              f'{(many - idle) / arguments.listeners:.2f} % a listener', flush=True)
        for handle in driver.window_handles[1:]:
            driver.switch_to.window(handle)
            driver.close()
        driver.switch_to.window(driver.window_handles[0])

        ActionChains(driver).click_and_hold(driver.find_element(By.ID, 'xmit')).perform()
        if not wait_for(station.keyed, 3):
            raise RuntimeError('the page never keyed the radio')
        time.sleep(1.5)
        report('transmit, page microphone to station output',
               timed(sound, 'mic', 'microphone', 'tx.monitor', min(arguments.bursts, 150)), arguments.bursts)
        ActionChains(driver).release().perform()
        said = driver.find_element(By.ID, 'audio-status').text
        if said:
            print(f'the page said: {said}')
        for entry in driver.get_log('browser'):
            print('browser:', entry.get('message'))
    finally:
        for d in drivers:
            close(d)
        station.stop()
        sound.stop()
    return 0


if __name__ == '__main__':
    sys.exit(main())
