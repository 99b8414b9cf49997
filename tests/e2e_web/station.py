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
        self.home = os.path.join(self.root.name, 'home')
        self.data = self.data_folder()
        os.makedirs(self.data)
        self.env = dict(os.environ)
        self.env.update(HOME=self.home, XDG_CONFIG_HOME=self.config_folder(), QT_LOGGING_RULES='tavrin.*=false')
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

    def data_folder(self):
        return os.path.join(self.root.name, 'data')

    def config_folder(self):
        return os.path.join(self.root.name, 'config')

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
        self.run_panel(arguments, self.env)

    def run_panel(self, arguments, env):
        """Starts the panel; returns once it printed its web address and
        reached the radio."""
        self.launch(arguments, env, 'Web panel')
        if not wait_for(lambda: self.state().get('frequency_khz') and int(self.state().get('commands', 0)) > 0, START_S):
            raise RuntimeError('the panel never reached the radio')

    def launch(self, arguments, env, printed):
        """Starts the program; returns once it printed its address, after
        `printed` ("Web panel"), and serves the certificate it named."""
        # A file, not a pipe: a panel that logs a lot must never block on it.
        self.panel_log = os.path.join(self.root.name, 'panel.log')
        with open(self.panel_log, 'w') as log:
            self.panel = subprocess.Popen(arguments, env=env, stdout=subprocess.PIPE, stderr=log, text=True)
        first = self.panel.stdout.readline()
        found = re.match(printed + r': (https://\S+)\s+certificate SHA-256 ([0-9A-F:]+)', first)
        if not found:
            raise RuntimeError(f'{printed}: no address printed: ' + first + self.said())
        self.url, self.fingerprint = found.group(1), found.group(2)
        self.check_certificate()

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


class ServiceStation(Station):
    """The panel as the package's unit runs it, set up as the README says:
    the operators and the profile made as the user, then the unit's own
    command line with only what systemd gives a service (no runtime folder,
    no sound server named, no display), in the user's home, with /run/user
    read-only as ProtectHome= makes it. /run/user/UID is the sound server's
    folder, in a mount namespace of the run's own, so nothing of the
    machine's changes."""

    SYSTEMD_PATH = '/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin'

    def __init__(self, tavrin, radiosim, operators, unit, runtime_dir):
        self.unit = unit
        self.runtime_dir = runtime_dir
        super().__init__(tavrin, radiosim, operators, trace=False)

    def data_folder(self):
        return os.path.join(self.home, '.local', 'share', 'tavrin')

    def config_folder(self):
        return os.path.join(self.home, '.config')

    def unit_command(self):
        """ExecStart= and Environment= of the unit, the program swapped for
        the one under test."""
        command, environment = None, {}
        with open(self.unit) as f:
            for line in f:
                key, _, value = line.strip().partition('=')
                if key == 'ExecStart':
                    command = value.split()
                elif key == 'Environment':
                    environment.update(pair.split('=', 1) for pair in value.split())
        if not command or os.path.basename(command[0]) != 'tavrin':
            raise RuntimeError(f'{self.unit} starts {command}')
        return [self.tavrin_path] + command[1:], environment

    def start_panel(self, setup=()):
        self.web_port = free_port()
        # Once as the user, as the README's setup does: kept in the profile.
        setup_run = subprocess.Popen([self.tavrin_path, '--headless', '--user-data-dir', '--web-port',
                                      str(self.web_port), '--web-address', '127.0.0.1', *setup],
                                     env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        printed = setup_run.stdout.readline()
        # Ctrl+C once the panel is up, a moment after the address.
        time.sleep(2)
        setup_run.send_signal(signal.SIGINT)
        said = setup_run.communicate(timeout=START_S)[1]
        if not printed.startswith('Web panel:') or setup_run.returncode != 0:
            raise RuntimeError(f'the setup run printed "{printed}", status {setup_run.returncode}: {said}')
        command, environment = self.unit_command()
        user = os.environ.get('USER') or subprocess.run(['id', '-un'], capture_output=True, text=True).stdout.strip()
        environment.update(HOME=self.home, USER=user, LOGNAME=user, SHELL='/bin/sh', PATH=self.SYSTEMD_PATH,
                           LANG='C.UTF-8')
        uid = os.getuid()
        script = ('mount -t tmpfs -o mode=755 tmpfs /run/user 2>/dev/null || '
                  '{ mount -t tmpfs -o mode=755 tmpfs /run && mkdir /run/user; } || exit 97; '
                  f'mkdir /run/user/{uid} && mount --bind "$0" /run/user/{uid} && '
                  f'mount -o remount,bind,ro /run/user/{uid} || exit 98; '
                  'exec env -i "$@"')
        wrapped = ['unshare', '--mount', '--propagation', 'private', 'sh', '-c', script, self.runtime_dir,
                   *[f'{k}={v}' for k, v in environment.items()], *command]
        self.run_panel(wrapped, self.env)
