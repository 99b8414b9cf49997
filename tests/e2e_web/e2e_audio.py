#!/usr/bin/env python3
"""The station's sound in a real browser: the real panel (--headless) on
the simulated radio, its sound cards the null sinks of a PulseAudio daemon
of the suite's own, and headless Chromium with a fake microphone.

A tone played into "rx" (the receiver's audio) must be what the page's
analyser hears once Listen is pressed; the fake microphone's tone must come
out of "tx" (the transmitter's microphone input) while, and only while, the
page holding the transmitter keys, and never from another page.

    e2e_audio.py --tavrin build/tavrin --radiosim build/tools/radiosim/tavrin-radiosim
"""
import os
import sys
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

from browser import WAIT_S, close, log_in, open_browser
from soundserver import SoundServer, rms, share_at, tone, write_wav
from rows import check, registrar, run_rows, suite_arguments
from station import ServiceStation, Station, wait_for

OPERATORS = [('alice', 'transmit', 'alice-password'), ('bob', 'transmit', 'bob-password'),
             ('carol', 'listen', 'carol-password')]
PASSWORDS = {name: password for name, _, password in OPERATORS}
RECEIVER_HZ = 880
MIC_HZ = 1500
INTRUDER_HZ = 600
KEYING_S = 3
SILENT = 0.002

# The page's analyser, a few looks over a second: the loudest bin's pitch.
DOMINANT_PITCH = """
const done = arguments[arguments.length - 1];
const found = [];
let looks = 0;
const look = () => {
  const audio = window.tavrinAudio;
  if (audio && audio.analyser) {
    const a = audio.analyser;
    const bins = new Float32Array(a.frequencyBinCount);
    a.getFloatFrequencyData(bins);
    let best = 1;
    for (let i = 2; i < bins.length; i++) if (bins[i] > bins[best]) best = i;
    if (bins[best] > -70) found.push(best * audio.context.sampleRate / a.fftSize);
  }
  if (++looks < 50 && found.length < 5) setTimeout(look, 200); else done(found);
};
look();
"""

# A page of this operator's that sends a tone as microphone frames on a
# socket of its own, 20 ms a frame in real time, as a page would that
# ignored whether it holds the transmitter.
SEND_TONE = """
const [hz, seconds, done] = arguments;
const socket = new WebSocket(`wss://${location.host}/ws`);
socket.binaryType = 'arraybuffer';
let sequence = 0;
let sent = 0;
socket.onerror = () => done('socket error');
socket.onopen = () => {
  const encoder = new AudioEncoder({
    output: (chunk) => {
      const message = new Uint8Array(5 + chunk.byteLength);
      message[0] = 2;
      new DataView(message.buffer).setUint32(1, sequence++);
      chunk.copyTo(message.subarray(5));
      socket.send(message.buffer);
      sent++;
    },
    error: (e) => done('encoder: ' + e.message),
  });
  encoder.configure({ codec: 'opus', sampleRate: 48000, numberOfChannels: 1, bitrate: 24000,
                      opus: { frameDuration: 20000 } });
  let frame = 0;
  const timer = setInterval(() => {
    const samples = new Float32Array(960);
    for (let i = 0; i < 960; i++) samples[i] = 0.5 * Math.sin(2 * Math.PI * hz * (frame * 960 + i) / 48000);
    encoder.encode(new AudioData({ format: 'f32-planar', sampleRate: 48000, numberOfFrames: 960,
                                   numberOfChannels: 1, timestamp: frame * 20000, data: samples }));
    if (++frame >= seconds * 50) {
      clearInterval(timer);
      encoder.flush().then(() => setTimeout(() => { socket.close(); done(sent); }, 200));
    }
  }, 20);
};
"""

ROWS = []
row = registrar(ROWS)


class Suite:
    def __init__(self, arguments):
        self.arguments = arguments
        self.sound = SoundServer(arguments.pulseaudio, arguments.pactl)
        self.sound.use()
        self.drivers = {}
        self.station = None
        self.transmitter = None
        try:
            self.sound.play('rx', tone(RECEIVER_HZ, 300, 0.4))
            self.microphone = os.path.join(self.sound.root.name, 'microphone.wav')
            write_wav(self.microphone, tone(MIC_HZ, 10))
            self.station = Station(arguments.tavrin, arguments.radiosim, OPERATORS)
            self.station.start_panel(['--audio-in', 'radio', '--audio-out', 'tx'])
            self.transmitter = self.sound.record('tx.monitor')
        except Exception:
            self.end()
            raise

    def page(self, name):
        if name not in self.drivers:
            extra = ('--use-fake-device-for-media-stream', '--use-fake-ui-for-media-stream',
                     f'--use-file-for-fake-audio-capture={self.microphone}',
                     '--autoplay-policy=no-user-gesture-required')
            driver = open_browser(self.arguments.chromium, self.arguments.chromedriver, self.station.spki_hash, extra)
            driver.set_script_timeout(30)
            self.drivers[name] = driver
            log_in(driver, self.station.url, name, PASSWORDS[name])
            WebDriverWait(driver, WAIT_S).until(lambda d: d.find_element(By.ID, 'listen').is_displayed())
        return self.drivers[name]

    def heard(self, begin, end):
        return self.transmitter.samples(begin, end)

    def end(self):
        for driver in self.drivers.values():
            close(driver)
        status = self.station.stop() if self.station else None
        if self.transmitter:
            self.transmitter.stop()
        self.sound.stop()
        return status


def hold_xmit(suite, name):
    driver = suite.page(name)
    ActionChains(driver).click_and_hold(driver.find_element(By.ID, 'xmit')).perform()
    check(wait_for(suite.station.keyed, KEYING_S), f'{name} never keyed the radio')
    return driver


def let_go(suite, driver):
    ActionChains(driver).release().perform()
    check(wait_for(lambda: not suite.station.keyed(), KEYING_S), 'the radio stayed keyed after xmit was let go')


def describe(samples, *pitches):
    shares = ', '.join(f'{hz} Hz {share_at(samples, hz):.2f}' for hz in pitches)
    return f'level {rms(samples):.4f}, {shares}'


def hears_receiver(driver):
    listen = driver.find_element(By.ID, 'listen')
    check(listen.get_attribute('aria-label') == 'Listen to the receiver', f'Listen is "{listen.get_attribute("aria-label")}"')
    listen.click()
    check(wait_for(lambda: listen.get_attribute('aria-pressed') == 'true', WAIT_S), 'Listen is not shown pressed')
    pitches = driver.execute_async_script(DOMINANT_PITCH)
    check(pitches, 'the page\'s analyser heard nothing: ' + (driver.find_element(By.ID, 'audio-status').text or ''))
    pitch = sorted(pitches)[len(pitches) // 2]
    check(abs(pitch - RECEIVER_HZ) < 25, f'the page hears {pitch:.0f} Hz (looks {pitches}), not {RECEIVER_HZ} Hz')
    level = float(driver.find_element(By.ID, 'level').get_attribute('value'))
    check(level > 0.05, f'the level meter shows {level}')


@row('listen: the page plays the receiver\'s tone')
def listens(suite):
    hears_receiver(suite.page('carol'))


@row('nothing reaches the transmitter while nobody keys')
def silent_unkeyed(suite):
    suite.page('alice')
    begin = time.monotonic()
    time.sleep(1.5)
    heard = suite.heard(begin, time.monotonic())
    check(rms(heard) < SILENT, 'tx carried ' + describe(heard, MIC_HZ))


@row('the holder\'s microphone reaches the transmitter while keyed')
def holder_heard(suite):
    driver = hold_xmit(suite, 'alice')
    keyed = time.monotonic()
    try:
        time.sleep(KEYING_S)
        heard = suite.heard(keyed + 1.0, time.monotonic())
    finally:
        let_go(suite, driver)
    check(rms(heard) > 0.02 and share_at(heard, MIC_HZ) > 0.5, 'tx carried ' + describe(heard, MIC_HZ))


@row('after the unkey the transmitter hears nothing more')
def silent_after_unkey(suite):
    driver = hold_xmit(suite, 'alice')
    time.sleep(1.5)
    let_go(suite, driver)
    unkeyed = time.monotonic()
    time.sleep(1.5)
    heard = suite.heard(unkeyed + 0.2, time.monotonic())
    check(rms(heard) < SILENT, 'tx carried after the unkey ' + describe(heard, MIC_HZ))


@row('a page sending microphone frames while nobody keys is not heard')
def unkeyed_sender_dropped(suite):
    driver = suite.page('bob')
    begin = time.monotonic()
    sent = driver.execute_async_script(SEND_TONE, INTRUDER_HZ, 2)
    heard = suite.heard(begin, time.monotonic())
    check(isinstance(sent, int) and sent > 50, f'bob\'s page sent {sent}')
    check(rms(heard) < SILENT, f'tx carried {describe(heard, INTRUDER_HZ)} of bob\'s {sent} frames')


@row('another transmit operator\'s and a listener\'s frames are dropped while the holder keys')
def others_dropped(suite):
    alice = hold_xmit(suite, 'alice')
    try:
        results = []
        for name in ('bob', 'carol'):
            begin = time.monotonic()
            sent = suite.page(name).execute_async_script(SEND_TONE, INTRUDER_HZ, 2)
            results.append((name, sent, suite.heard(begin + 0.3, time.monotonic())))
    finally:
        let_go(suite, alice)
    for name, sent, heard in results:
        check(isinstance(sent, int) and sent > 50, f'{name}\'s page sent {sent}')
        check(share_at(heard, INTRUDER_HZ) < 0.01 and share_at(heard, MIC_HZ) > 0.3,
              f'while {name} sent, tx carried ' + describe(heard, MIC_HZ, INTRUDER_HZ))


@row('the service: the unit\'s own command line, with what systemd gives it, brings the page the receiver')
def service_listens(suite):
    service = ServiceStation(suite.arguments.tavrin, suite.arguments.radiosim, [OPERATORS[2]], suite.arguments.unit,
                             suite.sound.root.name)
    driver = None
    try:
        service.start_panel(['--audio-in', 'radio', '--audio-out', 'tx'])
        driver = open_browser(suite.arguments.chromium, suite.arguments.chromedriver, service.spki_hash,
                              ('--autoplay-policy=no-user-gesture-required',))
        driver.set_script_timeout(30)
        log_in(driver, service.url, 'carol', PASSWORDS['carol'])
        WebDriverWait(driver, WAIT_S).until(lambda d: d.find_element(By.ID, 'listen').is_displayed())
        hears_receiver(driver)
    except AssertionError:
        print('--- the service said:\n' + service.said()[-3000:], flush=True)
        raise
    finally:
        if driver:
            close(driver)
        service.stop()


def main():
    parser = suite_arguments(__doc__)
    parser.add_argument('--pulseaudio', default='pulseaudio')
    parser.add_argument('--pactl', default='pactl')
    parser.add_argument('--unit', required=True, help='the systemd unit as installed, tavrin@.service')
    parser.add_argument('rows', nargs='*', help='run only the rows whose title holds one of these words')
    arguments = parser.parse_args()
    suite = Suite(arguments)
    return run_rows(ROWS, suite, arguments.rows, lambda: print('--- the panel said:\n' + suite.station.said()[-3000:], flush=True))


if __name__ == '__main__':
    sys.exit(main())
