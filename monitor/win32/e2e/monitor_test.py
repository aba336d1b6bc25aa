"""qvlCheckCommunicate.exe under Wine: registered with /RegServer, created by
monitor-client.exe through its ProgID, polling zkemkeeper.dll instances
against the simulated terminals; events recorded by the client."""
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
import winharness as h  # noqa: E402
from terminalsim import TerminalClientTest, TerminalSimulator  # noqa: E402

SERVER = h.BIN / "qvlCheckCommunicate.exe"
SDK = h.BIN / "zkemkeeper.dll"


class Client(h.JsonLineClient):
    """monitor-client.exe: commands on stdin, one JSON line each on stdout."""

    program = "monitor-client.exe"
    wine_timeout = 400
    line_timeout = 120

    def ok(self, command):
        answer = self.call(command)
        assert answer["hr"] == "0x00000000", answer
        return answer

    def events(self, count=0, ms=3000):
        """Events held now (after pumping up to ms, or until count came)."""
        return [tuple(e) for e in self.call("wait %d %d" % (ms, count), timeout=ms / 1000 + 60)["events"]]


def setUpModule():
    if h.wine(SERVER, "/RegServer", timeout=60).returncode != 0:
        raise RuntimeError("qvlCheckCommunicate.exe /RegServer failed")
    if h.wine("regsvr32", "/s", h.win_path(SDK), timeout=60).returncode != 0:
        raise RuntimeError("regsvr32 zkemkeeper.dll failed")


class WithTerminals(TerminalClientTest):
    client_class = Client

    def configure(self, client, via=""):
        ips = ",".join(["127.0.0.1"] * self.terminals)
        ports = ",".join(str(p) for p in self.sim.ports)
        client.ok(via + "set %s %s" % (ips, ports))


class Monitor(WithTerminals):

    def test_a_terminal_down_at_start_is_restored_by_the_first_poll_that_connects_it(self):
        self.assertEqual(self.sim.command("STOP 2"), "OK 2:down")
        client = self.client()
        self.configure(client)
        client.ok("start")
        self.assertEqual(client.events(), [])
        client.ok("poll")
        self.assertEqual(client.events(), [])
        self.assertEqual(self.sim.command("START 2"), "OK 2:up")
        client.ok("disp poll")
        self.assertEqual(client.events(1), [("OnConnectRestore", 2)])

    def test_a_stopped_terminal_is_reported_once_then_stays_silent(self):
        client = self.client()
        self.configure(client)
        client.ok("start")
        self.assertEqual(self.sim.command("STOP 3"), "OK 3:down")
        client.ok("poll")
        self.assertEqual(client.events(1), [("OnDisconnect", 3)])
        client.ok("poll")
        client.ok("poll")
        self.assertEqual(client.events(), [])

    def test_a_notified_terminal_is_skipped_by_the_next_poll(self):
        client = self.client()
        self.configure(client)
        client.ok("start")
        self.assertEqual(self.sim.command("NOTIFY 1"), "OK 1")
        time.sleep(3)  # the server delivers the notification while it is idle (or in the poll's pump: same outcome)
        self.assertEqual(self.sim.command("STOP 1"), "OK 1:down")
        client.ok("poll")
        self.assertEqual(client.events(), [])
        client.ok("poll")
        self.assertEqual(client.events(1), [("OnDisconnect", 1)])

    def test_a_notification_during_the_message_pump_saves_a_failed_probe(self):
        # Under Wine the client starts the server, which inherits this time-out.
        client = self.client(ZKEM_PROBE_TIMEOUT_MS="4000")
        self.configure(client)
        client.ok("start")
        self.assertEqual(self.sim.command("SILENT 1"), "OK")
        client.send("poll")
        time.sleep(1)  # well inside the probe's time-out
        self.assertEqual(self.sim.command("NOTIFY 1"), "OK 1")
        self.assertEqual(client.next_line()["hr"], "0x00000000")
        self.assertEqual(client.events(), [])
        # Still counted as connected: the next failed probe reports it.
        client.ok("poll")
        self.assertEqual(client.events(1), [("OnDisconnect", 1)])

    def test_endcheck_then_startcheck_raises_nothing(self):
        client = self.client()
        self.configure(client, "disp ")
        client.ok("disp start")
        client.ok("disp end")
        client.ok("start")
        self.assertEqual(client.events(), [])

    def test_setmachinestatus_false_then_a_poll_restores_the_terminal(self):
        client = self.client()
        self.configure(client)
        client.ok("start")
        client.ok("status 2 0")
        client.ok("disp status 1 1")
        self.assertEqual(client.events(), [])
        client.ok("poll")
        self.assertEqual(client.events(1), [("OnConnectRestore", 2)])

    def test_failures_are_com_errors_with_numbers_and_descriptions(self):
        client = self.client()
        answer = client.call("disp start")
        self.assertEqual((answer["hr"], answer["description"]), ("0x800A0009", "下标越界"))
        client.ok("set 127.0.0.1,127.0.0.1 %d,x" % self.sim.ports[0])
        answer = client.call("disp start")
        self.assertEqual((answer["hr"], answer["description"]), ("0x800A000D", "类型不匹配"))
        self.assertEqual(client.call("status 5 1")["hr"], "0x800A0009")
        self.assertNotEqual(client.call("set 127.0.0.1 1")["hr"], "0x00000000")

    def test_releasing_the_object_ends_the_server(self):
        client = self.client()
        self.configure(client)
        client.ok("start")
        client.call("release")
        self.assertTrue(client.call("gone 60000", timeout=120)["gone"])


class Soak(WithTerminals):
    terminals = 20

    def test_flapping_terminals_raise_exactly_the_transitions_in_order(self):
        client = self.client()
        self.configure(client)
        client.ok("start")
        expected, received = [], []
        handles = []
        for poll in range(1000):
            reply = self.sim.command("FLAP 1")
            self.assertTrue(reply.startswith("OK"), reply)
            for change in reply.split()[1:]:
                terminal, state = change.split(":")
                expected.append(("OnConnectRestore" if state == "up" else "OnDisconnect", int(terminal)))
            client.ok("poll")
            received += client.events(len(expected) - len(received), ms=10000)
            if poll in (99, 999):
                handles.append(client.call("handles")["handles"])
        self.assertEqual(received, expected)
        # Wine 8 answers no handle count for another process (0); Windows does.
        if handles[0] > 0:
            self.assertLessEqual(handles[1], handles[0] + 10)


class RealTimer(unittest.TestCase):
    def test_the_60_second_timer_polls_by_itself(self):
        with TerminalSimulator(1) as sim, Client() as client:
            self.assertTrue(client.ready["ready"], client.ready)
            client.ok("set 127.0.0.1 %d" % sim.ports[0])
            client.ok("start")
            self.assertEqual(sim.command("STOP 1"), "OK 1:down")
            self.assertEqual(client.events(1, ms=120000), [("OnDisconnect", 1)])


if __name__ == "__main__":
    unittest.main()
