"""The 32-bit connectivity monitor as 64-bit Windows has it: registered by the
i686 qvlCheckCommunicate.exe /RegServer, hosting the i686 terminal SDK, and
created out of process by a 64-bit and by a 32-bit client, both of which
marshal its interface through the type library and receive its events."""
import re
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
import winharness as h  # noqa: E402
from terminalsim import TerminalClientTest  # noqa: E402
from monitor_test import Client, setUpModule as register_server  # noqa: E402

IDL = Path(__file__).resolve().parents[1] / "qvlCheckCommunicate.idl"
PROGID = "qvlCheckCommunicate.clsCheckCommunicate"


def idl_uuid(kind, name):
    """The uuid that the monitor's IDL gives to `kind name` (library, interface, dispinterface)."""
    text = IDL.read_text(encoding="utf-8")
    match = re.search(r"\[uuid\(([0-9A-Fa-f-]+)\)[^\]]*\]\s*%s %s\b" % (kind, re.escape(name)), text)
    return "{%s}" % match.group(1).upper()


def setUpModule():
    h.require_peer_programs("monitor-client.exe")
    register_server()


class Client64(Client):
    bin = h.PEER_BIN


class RegistryViews(unittest.TestCase):
    """What the 32-bit /RegServer leaves in the 64-bit registry view for 64-bit clients."""

    def test_the_class_its_interfaces_and_a_win64_type_library_are_in_the_64_bit_view(self):
        clsid = h.reg_query(r"HKLM\Software\Classes\%s\CLSID" % PROGID, view=64)
        self.assertRegex(clsid or "", r"^\{[0-9A-F-]{36}\}$")
        server = h.reg_query(r"HKLM\Software\Classes\CLSID\%s\LocalServer32" % clsid, view=64)
        self.assertTrue((server or "").lower().endswith('qvlcheckcommunicate.exe"'), server)
        for kind, name, proxy in [("interface", "_clsCheckCommunicate", "{00020424-0000-0000-C000-000000000046}"),
                                  ("dispinterface", "__clsCheckCommunicate",
                                   "{00020420-0000-0000-C000-000000000046}")]:
            key = r"HKLM\Software\Classes\Interface\%s" % idl_uuid(kind, name)
            self.assertEqual((h.reg_query(key + r"\ProxyStubClsid32", view=64) or "").upper(), proxy, name)
            self.assertEqual(h.reg_query(key + r"\TypeLib", view=64), idl_uuid("library", "qvlCheckCommunicate"))
        # version(39.0) is written in hexadecimal, as the system writes it.
        library = r"HKLM\Software\Classes\TypeLib\%s\27.0\0" % idl_uuid("library", "qvlCheckCommunicate")
        for platform in ("win32", "win64"):
            path = h.reg_query(library + "\\" + platform, view=64)
            self.assertTrue((path or "").lower().endswith("qvlcheckcommunicate.exe"), (platform, path))


class BothBitnessesAsClients(TerminalClientTest):
    terminals = 2

    def check_events_reach(self, client_class):
        self.client_class = client_class
        client = self.client()
        client.ok("set 127.0.0.1,127.0.0.1 %d,%d" % tuple(self.sim.ports))
        client.ok("start")
        self.assertEqual(self.sim.command("STOP 2"), "OK 2:down")
        client.ok("poll")
        self.assertEqual(client.events(1), [("OnDisconnect", 2)])
        self.assertEqual(self.sim.command("START 2"), "OK 2:up")
        client.ok("disp poll")
        self.assertEqual(client.events(1), [("OnConnectRestore", 2)])

    def test_a_64_bit_client_creates_the_32_bit_server_and_receives_its_events(self):
        self.check_events_reach(Client64)

    def test_a_32_bit_client_creates_the_32_bit_server_and_receives_its_events(self):
        self.check_events_reach(Client)


if __name__ == "__main__":
    unittest.main()
