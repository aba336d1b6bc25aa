"""The controls as 64-bit Windows offers them: the i686 Lumen_Control.ocx,
registered by the 32-bit regsvr32, is hosted by the 32-bit form stand-in; the
64-bit stand-in asking for the same controls gets a clear failure, logs it and
keeps running, as a 64-bit program on such a machine would."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "e2e"))
import winharness as h  # noqa: E402
from test_quorvel_form import StandIn, setUpModule as register_library  # noqa: E402


def setUpModule():
    h.require_peer_programs("quorvel.exe")
    register_library()


class PeerStandIn(StandIn):
    """The stand-in built for the other bitness (x86_64)."""

    def __init__(self):
        super().__init__()
        h.copy_program("quorvel.exe", self.folder, source=h.PEER_BIN)


class Hosts(unittest.TestCase):

    def setUp(self):
        h.end_strays("quorvel.exe")

    def run_stand_in(self, stand_in):
        self.addCleanup(lambda: stand_in.process and h.end_process(stand_in.process, grace=1))
        stand_in.start()
        controls = stand_in.wait_for("controls")
        stand_in.end()
        return controls, stand_in.wait_for("saved")

    def test_the_32_bit_form_hosts_the_32_bit_controls(self):
        controls, saved = self.run_stand_in(StandIn())
        self.assertEqual(controls, ["hosted 3"])
        self.assertEqual(saved, ["0x00000000"])

    def test_the_64_bit_form_gets_a_clear_failure_and_keeps_running(self):
        stand_in = PeerStandIn()
        controls, _ = self.run_stand_in(stand_in)
        self.assertEqual(len(controls), 1, stand_in.form_log())
        self.assertRegex(controls[0], r"^unavailable 0x8[0-9A-F]{7}$")
        # It ended through its exit file, not by a crash.
        self.assertEqual(stand_in.exits(), 1)


if __name__ == "__main__":
    unittest.main()
