"""The real panel, headless, on the simulated radio, in a scratch home.

Both run as a shack computer runs them: the simulator on a pseudo-terminal
mapped to COM1 in the panel's profile, the panel with --headless, its web
panel on a loopback port, the serial trace in a file. What the radio holds is
read from the simulator's state file, what the panel sent from the trace.
"""
import base64
import hashlib
import os
import re
import signal
import socket
import ssl
import subprocess
import tempfile
import time

START_S = 15
TRACE_LINE = re.compile(r'^(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}) (sent|rcvd) "(.*)"$')


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def wait_for(predicate, seconds, step=0.02):
    end = time.monotonic() + seconds
    while True:
        value = predicate()
        if value or time.monotonic() >= end:
            return value
        time.sleep(step)


class Station:
    def __init__(self, tavrin, radiosim, operators=(), sim_args=(), trace=True):
        self.tavrin_path = os.path.abspath(tavrin)
        self.radiosim_path = os.path.abspath(radiosim)
        self.root = tempfile.TemporaryDirectory(prefix='tavrin-web-')
        self.data = os.path.join(self.root.name, 'data')
        os.makedirs(self.data)
        self.env = dict(os.environ)
        self.env.update(HOME=os.path.join(self.root.name, 'home'),
                        XDG_CONFIG_HOME=os.path.join(self.root.name, 'config'),
                        QT_LOGGING_RULES='tavrin.*=false')
        for name in ('DISPLAY', 'WAYLAND_DISPLAY', 'QT_QPA_PLATFORM', 'XDG_DATA_HOME'):
            self.env.pop(name, None)
        self.state_file = os.path.join(self.data, 'radio.state')
        self.trace_file = os.path.join(self.data, 'trace.log') if trace else None
        self.radio = None
        self.panel = None
        self.url = None
        self.fingerprint = None
        self._start_radio(sim_args)
        for name, role, password in operators:
            self.add_operator(name, role, password)

    # The simulator registers itself as COM1 and writes a sample channel file.
    def _start_radio(self, sim_args):
        self.radio = subprocess.Popen(
            [self.radiosim_path, '--register', '1', '--channel-file', '--state-file', self.state_file, *sim_args],
            cwd=self.data, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.pty = self.radio.stdout.readline().strip()
        if not self.pty.startswith('/dev/'):
            raise RuntimeError('the radio simulator did not start: ' + self.pty)

    def add_operator(self, name, role, password):
        done = subprocess.run([self.tavrin_path, '--data-dir', self.data, '--add-operator', name, '--role', role],
                              input=password, env=self.env, capture_output=True, text=True, timeout=START_S)
        if done.returncode != 0:
            raise RuntimeError(f'--add-operator {name}: {done.stderr.strip()}')

    def start_panel(self, extra=()):
        self.web_port = free_port()
        arguments = [self.tavrin_path, '--headless', '--data-dir', self.data, '--web-port', str(self.web_port),
                     '--web-address', '127.0.0.1']
        if self.trace_file:
            arguments += ['--trace', self.trace_file]
        arguments += list(extra)
        # A file, not a pipe: a panel that logs a lot must never block on it.
        self.panel_log = os.path.join(self.root.name, 'panel.log')
        with open(self.panel_log, 'w') as log:
            self.panel = subprocess.Popen(arguments, env=self.env, stdout=subprocess.PIPE, stderr=log, text=True)
        first = self.panel.stdout.readline()
        found = re.match(r'Web panel: (https://\S+)\s+certificate SHA-256 ([0-9A-F:]+)', first)
        if not found:
            raise RuntimeError('the panel printed no web address: ' + first + self.said())
        self.url, self.fingerprint = found.group(1), found.group(2)
        self.check_certificate()
        if not wait_for(lambda: self.state().get('frequency_khz') and int(self.state().get('commands', 0)) > 0, START_S):
            raise RuntimeError('the panel never reached the radio')

    # The certificate served is the one whose fingerprint the panel printed;
    # Chromium is then told to trust that key, and that key only.
    def check_certificate(self):
        pem = wait_for(lambda: self._served_certificate(), START_S)
        der = ssl.PEM_cert_to_DER_cert(pem)
        served = ':'.join(f'{b:02X}' for b in hashlib.sha256(der).digest())
        if served != self.fingerprint:
            raise RuntimeError(f'served certificate {served} is not the printed {self.fingerprint}')
        spki = subprocess.run('openssl x509 -pubkey -noout | openssl pkey -pubin -outform der',
                              shell=True, input=pem.encode(), capture_output=True, check=True).stdout
        self.spki_hash = base64.b64encode(hashlib.sha256(spki).digest()).decode()

    def _served_certificate(self):
        try:
            return ssl.get_server_certificate(('127.0.0.1', self.web_port))
        except OSError:
            return None

    def said(self):
        with open(self.panel_log, errors='replace') as f:
            return f.read()

    def state(self):
        try:
            with open(self.state_file) as f:
                return dict(line.rstrip('\n').split('=', 1) for line in f if '=' in line)
        except OSError:
            return {}

    def frequency_khz(self):
        return float(self.state().get('frequency_khz', 'nan'))

    def keyed(self):
        return self.state().get('keyed') == '1'

    def sent(self):
        """Every command the panel sent, as (time stamp, text) in order."""
        if not self.trace_file or not os.path.exists(self.trace_file):
            return []
        with open(self.trace_file, encoding='latin-1') as f:
            return [(m.group(1), m.group(3)) for m in map(TRACE_LINE.match, f) if m and m.group(2) == 'sent']

    def stop(self):
        status = None
        if self.panel and self.panel.poll() is None:
            self.panel.send_signal(signal.SIGTERM)
            try:
                status = self.panel.wait(5)
            except subprocess.TimeoutExpired:
                self.panel.kill()
                self.panel.wait()
        if self.radio and self.radio.poll() is None:
            self.radio.send_signal(signal.SIGTERM)
            try:
                self.radio.wait(5)
            except subprocess.TimeoutExpired:
                self.radio.kill()
                self.radio.wait()
        self.root.cleanup()
        return status
