"""The simulated terminals (testbed/terminal-sim) and a client of their control
port, for end-to-end tests. Terminals are numbered from 1; `ports[i - 1]` is
terminal i's port. Every wait is bounded.

    with TerminalSimulator(3) as sim:
        sim.command("STOP 2")          # -> "OK 2:down"
        sim.command("NOTIFY 1")        # -> "OK <connections reached>"
"""
import socket
import subprocess
import unittest

import winharness as h


class TerminalSimulator:
    def __init__(self, terminals, seed=1, lifetime=600):
        self.terminals = terminals
        self.seed = seed
        self.lifetime = lifetime
        self.folder = h.scratch_folder("terminals")
        self.process = None
        self.ports = []
        self.control = None
        self.replies = None

    def __enter__(self):
        ports_file = self.folder / "ports"
        control_file = self.folder / "control-port"
        self.process = subprocess.Popen(
            [str(h.HOST_TESTBED / "terminal-sim" / "terminal-sim"), "--terminals", str(self.terminals),
             "--ports-file", str(ports_file), "--control-port-file", str(control_file),
             "--seed", str(self.seed), "--lifetime", str(self.lifetime)], start_new_session=True)
        text = h.wait_until(lambda: control_file.exists() and control_file.read_text().strip(), 10)
        if not text:
            self.__exit__(None, None, None)
            raise RuntimeError("the terminal simulator did not start")
        self.ports = [int(line) for line in ports_file.read_text().split()]
        self.control = socket.create_connection(("127.0.0.1", int(text)), timeout=30)
        self.replies = self.control.makefile("r", encoding="ascii")
        return self

    def command(self, line):
        """Sends one control command and returns its reply line."""
        self.control.sendall((line + "\n").encode("ascii"))
        return self.replies.readline().strip()

    def __exit__(self, *exc):
        if self.control:
            try:
                self.command("QUIT")
            except OSError:
                pass
            self.control.close()
        if self.process:
            h.end_process(self.process)


class TerminalClientTest(unittest.TestCase):
    """Tests with a fresh simulator of `terminals` terminals and clients of
    `client_class` (a winharness.JsonLineClient) that are ended afterwards."""

    terminals = 3
    client_class = None

    def setUp(self):
        self.sim = TerminalSimulator(self.terminals)
        self.sim.__enter__()
        self.addCleanup(self.sim.__exit__, None, None, None)

    def client(self, **environment):
        client = self.client_class(**environment)
        client.__enter__()
        self.addCleanup(client.__exit__, None, None, None)
        self.assertTrue(client.ready["ready"], client.ready)
        return client
