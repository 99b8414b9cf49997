"""A PulseAudio daemon of the test's own, for the station's sound cards.

Null sinks, 48 kHz mono: what is played into "rx" is the radio's receive
audio, which the station captures from the source "radio" (a monitor of
rx: Qt lists no monitors as inputs); "tx" is the output wired to the
radio's microphone input (recorded from tx.monitor); "speaker", the
default, takes whatever else plays, and the default source "microphone"
is what "mic" is played. It runs as
root too (CI), with its own runtime directory and socket, and touches
nothing of the user's. The socket is where a user's sound server keeps it
in the runtime directory, pulse/native, so the directory can stand for
/run/user/UID.
"""
import array
import math
import os
import subprocess
import tempfile
import threading
import time
import wave

RATE = 48000
BYTES_PER_S = RATE * 2
START_S = 10
SINK = 'rate=48000 channels=1 format=s16le'


class SoundServer:
    def __init__(self, pulseaudio='pulseaudio', pactl='pactl'):
        self.root = tempfile.TemporaryDirectory(prefix='tavrin-pulse-')
        os.mkdir(os.path.join(self.root.name, 'pulse'), 0o700)
        self.socket = os.path.join(self.root.name, 'pulse', 'native')
        self.env = dict(os.environ, PULSE_SERVER=f'unix:{self.socket}', XDG_RUNTIME_DIR=self.root.name,
                        HOME=self.root.name, PULSE_COOKIE=os.path.join(self.root.name, 'cookie'))
        script = os.path.join(self.root.name, 'default.pa')
        with open(script, 'w') as f:
            f.write(f'load-module module-native-protocol-unix socket={self.socket} auth-anonymous=1\n')
            for name in ('rx', 'tx', 'speaker', 'mic'):
                f.write(f'load-module module-null-sink sink_name={name} {SINK} '
                        f'sink_properties=device.description={name}\n')
            for source, sink in (('radio', 'rx'), ('microphone', 'mic')):
                f.write(f'load-module module-remap-source master={sink}.monitor source_name={source} '
                        f'source_properties=device.description={source}\n')
            f.write('set-default-sink speaker\nset-default-source microphone\n')
        self.log = open(os.path.join(self.root.name, 'pulse.log'), 'w')
        self.daemon = subprocess.Popen(
            [pulseaudio, '-n', '--daemonize=no', '--system=no', '--exit-idle-time=-1', '--disallow-exit',
             '--use-pid-file=no', '-F', script], env=self.env, stdout=self.log, stderr=subprocess.STDOUT)
        self.pactl = pactl
        end = time.monotonic() + START_S
        while subprocess.run([pactl, 'info'], env=self.env, capture_output=True).returncode != 0:
            if self.daemon.poll() is not None or time.monotonic() > end:
                raise RuntimeError('pulseaudio did not start: ' + open(self.log.name).read())
            time.sleep(0.1)
        self.players = []

    def use(self):
        """Every program started after this reaches this daemon only."""
        os.environ.update(PULSE_SERVER=self.env['PULSE_SERVER'], XDG_RUNTIME_DIR=self.root.name,
                          PULSE_COOKIE=self.env['PULSE_COOKIE'])

    def play(self, sink, samples):
        """Plays 16-bit samples into a sink; returns the player."""
        path = os.path.join(self.root.name, f'play-{len(self.players)}.raw')
        with open(path, 'wb') as f:
            f.write(samples.tobytes())
        player = subprocess.Popen(['pacat', '--playback', '-d', sink, '--raw', '--rate', str(RATE), '--channels', '1',
                                   '--format', 's16le', '--latency-msec', '20', path], env=self.env)
        self.players.append(player)
        return player

    def record(self, source):
        return Recording(self, source)

    def stop(self):
        for player in self.players:
            if player.poll() is None:
                player.terminate()
                player.wait()
        self.daemon.terminate()
        try:
            self.daemon.wait(5)
        except subprocess.TimeoutExpired:
            self.daemon.kill()
            self.daemon.wait()
        self.log.close()
        self.root.cleanup()


class Recording:
    """What a source carries from now on, by the time it was heard.

    A null sink renders ahead in blocks as long as its latency, which
    changes as streams come and go, so the bytes of a monitor arrive in
    bursts, some late. The samples themselves keep the sink's clock: the
    start is the earliest "now less what has arrived" seen, watched for as
    long as the recording runs."""

    def __init__(self, server, source):
        self.path = os.path.join(server.root.name, f'{source}.raw')
        self.file = open(self.path, 'wb')
        self.recorder = subprocess.Popen(['parec', '-d', source, '--raw', '--rate', str(RATE), '--channels', '1',
                                          '--format', 's16le', '--latency-msec', '10'],
                                         env=server.env, stdout=self.file)
        self.started = float('inf')
        self.running = True
        self.watch = threading.Thread(target=self._watch_start, daemon=True)
        self.watch.start()
        end = time.monotonic() + START_S
        while self.started == float('inf') and time.monotonic() < end:
            time.sleep(0.005)

    def _watch_start(self):
        while self.running:
            size = os.path.getsize(self.path)
            if size:
                self.started = min(self.started, time.monotonic() - size / BYTES_PER_S)
            time.sleep(0.002)

    def samples(self, begin, end):
        """The samples heard from monotonic time begin to end, once they
        have arrived (up to a few seconds late)."""
        self.file.flush()
        wanted = 2 * max(0, int((end - self.started) * RATE))
        deadline = time.monotonic() + 3
        while os.path.getsize(self.path) < wanted and time.monotonic() < deadline:
            time.sleep(0.01)
        with open(self.path, 'rb') as f:
            data = f.read()
        first = max(0, int((begin - self.started) * RATE))
        last = max(first, int((end - self.started) * RATE))
        heard = array.array('h')
        chunk = data[2 * first:2 * last]
        heard.frombytes(chunk[:len(chunk) // 2 * 2])
        return heard

    def stop(self):
        self.running = False
        self.watch.join()
        self.recorder.terminate()
        self.recorder.wait()
        self.file.close()


def tone(hertz, seconds, amplitude=0.5):
    """Whole seconds of a whole number of hertz: one second, repeated."""
    second = array.array('h', (int(amplitude * 32767 * math.sin(2 * math.pi * hertz * i / RATE)) for i in range(RATE)))
    return second * int(seconds)


def write_wav(path, samples):
    with wave.open(path, 'wb') as f:
        f.setnchannels(1)
        f.setsampwidth(2)
        f.setframerate(RATE)
        f.writeframes(samples.tobytes())


def rms(samples):
    return math.sqrt(sum(s * s for s in samples) / len(samples)) / 32768 if samples else 0.0


def share_at(samples, hertz, window=RATE // 25):
    """How much of the power is at `hertz`, from 0 to about 1: Goertzel over
    40 ms windows, so a dropped frame or an underrun, which breaks the
    tone's phase, costs only the window it falls in."""
    coefficient = 2 * math.cos(2 * math.pi * hertz / RATE)
    power = total = 0.0
    for at in range(0, len(samples) - window + 1, window):
        piece = samples[at:at + window]
        s1 = s2 = 0.0
        for x in piece:
            s1, s2 = x + coefficient * s1 - s2, s1
        power += 2 * (s1 * s1 + s2 * s2 - coefficient * s1 * s2) / window
        total += sum(x * x for x in piece)
    return power / total if total else 0.0
