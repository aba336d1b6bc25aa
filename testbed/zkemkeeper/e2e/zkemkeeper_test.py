"""zkemkeeper.dll under Wine against the simulated terminals: registered with
regsvr32, created by ProgID and called by dispatch identifier from
zkem-client.exe, the notification received through the connection point."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "e2e"))
import winharness as h  # noqa: E402
from terminalsim import TerminalClientTest  # noqa: E402

DLL = h.BIN / "zkemkeeper.dll"
NOTIFICATION = 1020  # the identifier that the 20th event has in the type library


def regsvr32(*flags):
    return h.wine("regsvr32", *flags, "/s", h.win_path(DLL), timeout=60).returncode


class Client(h.JsonLineClient):
    """zkem-client.exe: one control, commands on stdin, one JSON line each on stdout."""

    program = "zkem-client.exe"


class Registration(unittest.TestCase):
    def test_registering_makes_the_progid_known_and_unregistering_removes_it(self):
        self.assertEqual(regsvr32(), 0)
        with Client() as client:
            self.assertEqual(client.ready, {"ready": True, "notification": NOTIFICATION})
        self.assertEqual(regsvr32("/u"), 0)
        with Client() as client:
            self.assertFalse(client.ready["ready"])
        self.assertEqual(regsvr32(), 0)


class ControlAgainstTerminals(TerminalClientTest):
    client_class = Client

    @classmethod
    def setUpClass(cls):
        if regsvr32() != 0:
            raise RuntimeError("regsvr32 failed")

    def connect(self, client, terminal):
        return client.call("connect 127.0.0.1 %d" % self.sim.ports[terminal - 1])["result"]

    def test_connect_probe_and_notification_by_its_identifier(self):
        client = self.client()
        self.assertTrue(self.connect(client, 2))
        probe = client.call("probe 1")
        self.assertEqual((probe["result"], probe["text"]), (True, "TERMINAL 2 MACHINE 1"))
        self.assertEqual(self.sim.command("NOTIFY 2"), "OK 1")
        self.assertEqual(client.call("wait 30000 1")["events"], [[NOTIFICATION, 2]])
        self.assertTrue(client.call("connect-byref 127.0.0.1 %d" % self.sim.ports[0])["result"])
        self.assertEqual(client.call("probe 1")["text"], "TERMINAL 1 MACHINE 1")
        # Connecting again let go of the first terminal.
        self.assertTrue(h.wait_until(lambda: self.sim.command("CONNECTIONS 2") == "OK 0", 30))

    def test_stopped_terminal_fails_probe_and_connect_until_started(self):
        client = self.client()
        self.assertTrue(self.connect(client, 1))
        self.assertEqual(self.sim.command("STOP 1"), "OK 1:down")
        self.assertFalse(client.call("probe 1")["result"])
        self.assertFalse(self.connect(client, 1))
        self.assertEqual(self.sim.command("START 1"), "OK 1:up")
        self.assertTrue(self.connect(client, 1))
        self.assertTrue(client.call("probe 1")["result"])

    def test_silent_terminal_fails_probes_after_the_time_out_until_it_answers_again(self):
        client = self.client(ZKEM_PROBE_TIMEOUT_MS="300")
        self.assertTrue(self.connect(client, 3))
        self.assertEqual(self.sim.command("SILENT 3"), "OK")
        self.assertFalse(client.call("probe 1")["result"])
        self.assertEqual(self.sim.command("ANSWER 3"), "OK")
        probe = client.call("probe 7")
        self.assertEqual((probe["result"], probe["text"]), (True, "TERMINAL 3 MACHINE 7"))

    def test_notification_read_during_a_failed_probe_is_fired_from_the_message_loop(self):
        client = self.client(ZKEM_PROBE_TIMEOUT_MS="3000")
        self.assertTrue(self.connect(client, 3))
        self.assertEqual(self.sim.command("SILENT 3"), "OK")
        client.process.stdin.write(b"probe 1\n")
        client.process.stdin.flush()
        self.assertEqual(self.sim.command("NOTIFY 3"), "OK 1")
        self.assertFalse(client.next_line()["result"])
        self.assertEqual(client.call("wait 30000 1")["events"], [[NOTIFICATION, 3]])

    def test_unreachable_terminal_fails_without_hanging(self):
        client = self.client(ZKEM_CONNECT_TIMEOUT_MS="300")
        self.assertEqual(self.sim.command("STOP 1"), "OK 1:down")
        self.assertFalse(self.connect(client, 1))
        self.assertFalse(client.call("connect 192.0.2.1 4370")["result"])  # documentation range: nobody there
        self.assertFalse(client.call("connect 127.0.0.1 0")["result"])  # no such port
        self.assertFalse(client.call("probe 1")["result"])

    def test_disconnect_closes_the_connection(self):
        client = self.client()
        self.assertTrue(self.connect(client, 2))
        self.assertEqual(self.sim.command("CONNECTIONS 2"), "OK 1")
        self.assertEqual(client.call("disconnect")["hr"], 0)
        self.assertTrue(h.wait_until(lambda: self.sim.command("CONNECTIONS 2") == "OK 0", 30))
        self.assertFalse(client.call("probe 1")["result"])


if __name__ == "__main__":
    unittest.main()
