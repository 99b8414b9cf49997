"""The fleet's pieces for the suite and the benchmark: a CA and certificates
made with openssl as the README says, Debian's mosquitto on a loopback port
with the example configuration, and the console started like a station."""
import os
import re
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time

from station import START_S, Station, free_port, wait_for

PACKAGING = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'packaging', 'mosquitto')


def openssl(*arguments, cwd):
    subprocess.run(['openssl', *arguments], cwd=cwd, check=True, capture_output=True)


class Certificates:
    """The fleet's CA, the broker's certificate for localhost, and one
    client certificate per name, its common name the name."""

    def __init__(self, names):
        self.root = tempfile.TemporaryDirectory(prefix='tavrin-fleet-certs-')
        self.dir = self.root.name
        openssl('req', '-x509', '-newkey', 'ec', '-pkeyopt', 'ec_paramgen_curve:P-256', '-nodes', '-days', '3650',
                '-subj', '/CN=Tavrin fleet CA', '-keyout', 'fleet-ca.key', '-out', 'fleet-ca.crt', cwd=self.dir)
        self.make('broker', ['-addext', 'subjectAltName=DNS:localhost,IP:127.0.0.1'])
        for name in names:
            self.make(name)

    def make(self, name, extra=()):
        openssl('req', '-newkey', 'ec', '-pkeyopt', 'ec_paramgen_curve:P-256', '-nodes', '-subj', f'/CN={name}',
                '-keyout', f'{name}.key', '-out', f'{name}.csr', *extra, cwd=self.dir)
        openssl('x509', '-req', '-in', f'{name}.csr', '-CA', 'fleet-ca.crt', '-CAkey', 'fleet-ca.key',
                '-CAcreateserial', '-days', '825', '-copy_extensions', 'copy', '-out', f'{name}.crt', cwd=self.dir)
        os.chmod(os.path.join(self.dir, f'{name}.key'), 0o600)

    def path(self, name):
        return os.path.join(self.dir, name)

    def options(self, name):
        """A client's --fleet-cert, --fleet-key and --fleet-ca."""
        return ['--fleet-cert', self.path(f'{name}.crt'), '--fleet-key', self.path(f'{name}.key'),
                '--fleet-ca', self.path('fleet-ca.crt')]


class Broker:
    """mosquitto with the example configuration and access list, their
    paths pointed at the suite's certificates, on a loopback port."""

    def __init__(self, certificates, acl_extra=''):
        self.root = tempfile.TemporaryDirectory(prefix='tavrin-broker-')
        self.port = free_port()
        self.certificates = certificates
        with open(os.path.join(PACKAGING, 'tavrin-fleet.conf')) as f:
            conf = f.read()
        conf = conf.replace('/etc/mosquitto/conf.d/', self.root.name + '/')
        conf = conf.replace('/etc/mosquitto/certs/', certificates.dir + '/')
        conf = re.sub(r'^listener 8883$', f'listener {self.port} 127.0.0.1', conf, flags=re.M)
        # As root it would become the mosquitto user, who cannot read the
        # suite's files; installed, the README has the keys given to it.
        if os.geteuid() == 0:
            conf += '\nuser root\n'
        conf += 'log_type all\n'
        self.conf = os.path.join(self.root.name, 'tavrin-fleet.conf')
        with open(self.conf, 'w') as f:
            f.write(conf)
        shutil.copy(os.path.join(PACKAGING, 'tavrin-fleet.acl'), self.root.name)
        if acl_extra:
            with open(os.path.join(self.root.name, 'tavrin-fleet.acl'), 'a') as f:
                f.write(acl_extra)
        self.log_path = os.path.join(self.root.name, 'broker.log')
        self.process = None
        self.url = f'mqtts://localhost:{self.port}'

    def start(self):
        with open(self.log_path, 'a') as log:
            self.process = subprocess.Popen([shutil.which('mosquitto') or '/usr/sbin/mosquitto', '-c', self.conf],
                                            stdout=log, stderr=subprocess.STDOUT)
        if not wait_for(lambda: 'Opening ipv4 listen socket' in self.said() or self.process.poll() is not None,
                        START_S) or self.process.poll() is not None:
            raise RuntimeError('mosquitto did not start:\n' + self.said())

    def said(self):
        with open(self.log_path, errors='replace') as f:
            return f.read()

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            self.process.wait(10)
        self.process = None

    def cleanup(self):
        self.stop()
        self.root.cleanup()


class Gate:
    """A loopback port where a station finds its broker down (nothing
    listens there) until the gate opens; then each connection is passed on
    to the broker. What goes through the gate waits on nothing else."""

    def __init__(self, broker):
        self.port = free_port()
        self.broker_port = broker.port
        self.url = f'mqtts://localhost:{self.port}'
        self.server = None

    def open(self):
        self.server = socket.create_server(('127.0.0.1', self.port))
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self):
        while True:
            try:
                client, _ = self.server.accept()
                broker = socket.create_connection(('127.0.0.1', self.broker_port))
            except OSError:
                return
            for source, sink in ((client, broker), (broker, client)):
                threading.Thread(target=self._pipe, args=(source, sink), daemon=True).start()

    @staticmethod
    def _pipe(source, sink):
        # Either end closing closes both, so the broker sees a station go.
        try:
            while data := source.recv(1 << 16):
                sink.sendall(data)
        except OSError:
            pass
        for end in (source, sink):
            try:
                end.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


class Console(Station):
    """tavrin --fleet-console, with no radio, in a scratch home of its own."""

    def _start_radio(self, sim_args):
        self.radio = None

    def start_console(self, broker, certificates, name='console'):
        self.web_port = free_port()
        arguments = [self.tavrin_path, '--fleet-console', '--data-dir', self.data, '--web-port', str(self.web_port),
                     '--web-address', '127.0.0.1', '--fleet-broker', broker.url, *certificates.options(name)]
        self.launch(arguments, dict(self.env, QT_LOGGING_RULES='tavrin.fleet=true'), 'Fleet console')


def fleet_station(tavrin, radiosim, name, broker, certificates, frequency, certificate=None, extra=()):
    """A headless station on its own simulated radio, publishing as `name`
    with the certificate of `certificate` (its own unless named), to the
    broker or through a Gate."""
    station = Station(tavrin, radiosim, [('otto', 'transmit', 'otto-password')], sim_args=['--freq', str(frequency)],
                      trace=False)
    station.env['QT_LOGGING_RULES'] = 'tavrin.fleet=true'
    station.fleet_name = name
    try:
        station.start_panel(['--fleet-broker', broker.url, '--fleet-name', name,
                             *certificates.options(certificate or name), *extra])
    except BaseException:
        station.stop()
        raise
    return station


def pause(process):
    process.send_signal(signal.SIGSTOP)


def resume(process):
    process.send_signal(signal.SIGCONT)


def kill(process):
    process.kill()
    process.wait()


def wait_until(predicate, seconds, step=0.05):
    started = time.monotonic()
    value = wait_for(predicate, seconds, step)
    return value, time.monotonic() - started
