"""quorvel.exe as a form under Wine: with Lumen_Control.ocx registered it hosts
the numeric box, the name box and the date box, saves them into quorvel.form
when it ends by itself and loads them from there on the next start; with
QV_TERMINALS it runs the connectivity monitor against simulated terminals and
lists its events (also written to quorvel.form.log)."""
import datetime
import re
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "e2e"))
import winharness as h  # noqa: E402
from terminalsim import TerminalSimulator  # noqa: E402

LIBRARY = h.BIN / "Lumen_Control.ocx"
WINDOW_CLASS = "QuorvelStandInWindow"
EVENT_LINE = r"\d\d:\d\d:\d\d %s 127\.0\.0\.1"


def setUpModule():
    # Left registered: later suites register it themselves as well.
    if h.wine("regsvr32", "/s", h.win_path(LIBRARY), timeout=120).returncode != 0:
        raise RuntimeError("regsvr32 Lumen_Control.ocx failed")


class StandIn:
    """One installation folder with quorvel.exe, started and ended as often as needed."""

    def __init__(self):
        self.folder = h.scratch_folder("form") / "Quorvel Client"
        self.folder.mkdir()
        h.copy_program("quorvel.exe", self.folder)
        self.process = None

    @property
    def form_file(self):
        return self.folder / "quorvel.form"

    def start(self, **environment):
        (self.folder / "quorvel.exit").unlink(missing_ok=True)
        self.process = h.wine_start(self.folder / "quorvel.exe", env=dict(QV_STANDIN_LIFETIME="120", **environment))

    def form_log(self):
        """The rows of quorvel.form.log: [kind, pid, text]."""
        log = self.folder / "quorvel.form.log"
        if not log.exists():
            return []
        return [line.split("\t") for line in log.read_text(encoding="utf-8").splitlines()]

    def wait_for(self, kind, count=1, timeout=60):
        """The texts of the first `count` rows of this kind, once there are that many."""
        def texts():
            return [row[2] for row in self.form_log() if row[0] == kind]
        h.wait_until(lambda: len(texts()) >= count, timeout)
        return texts()[:count]

    def end(self):
        """Ends it through its exit file, as the tests end it normally, and waits until it is gone."""
        exits = self.exits()
        (self.folder / "quorvel.exit").touch()
        h.wait_until(lambda: self.exits() > exits, 60)
        h.end_process(self.process, grace=30)

    def exits(self):
        log = self.folder / "quorvel.started.log"
        return log.read_text(encoding="utf-8").count("\texit-file") if log.exists() else 0


def window_texts(ui, needed, timeout=60):
    """The texts of the form's child windows, once a recorded state holds all of `needed`."""
    def seen():
        for event in reversed(ui.events("window")):
            if event.get("class") == WINDOW_CLASS and all(text in event.get("texts", []) for text in needed):
                return event["texts"]
        return None
    return h.wait_until(seen, timeout) or ui.events("window")


def section(form_text, name):
    """The bag lines of one control in the saved form."""
    match = re.search(r"^\[%s\]\n(.*?)(?=^\[|\Z)" % name, form_text, re.S | re.M)
    return match.group(1).splitlines() if match else None


class Form(unittest.TestCase):

    def setUp(self):
        h.end_strays("quorvel.exe")
        self.stand_in = StandIn()
        self.addCleanup(lambda: self.stand_in.process and h.end_process(self.stand_in.process, grace=1))

    def test_hosts_the_three_boxes_and_saves_them_when_it_ends(self):
        today = datetime.date.today().strftime("%Y-%m-%d")
        with h.UiDriver(watch=(WINDOW_CLASS,)) as ui:
            self.stand_in.start()
            self.assertEqual(self.stand_in.wait_for("controls"), ["hosted 3"])
            texts = window_texts(ui, ["金额", "代码", "日期", today])
            self.assertIn(today, texts)
            # The first child is still the stand-in's own line; the new boxes start empty.
            self.assertEqual(texts[0], "Quorvel 主程序（测试替身）")
            self.assertNotIn("Text1", texts)
        self.assertFalse(self.stand_in.form_file.exists())
        self.stand_in.end()
        self.assertEqual(self.stand_in.wait_for("saved"), ["0x00000000"])

        saved = self.stand_in.form_file.read_text(encoding="utf-8")
        for name in ("amount", "code", "date"):
            self.assertEqual((section(saved, name) or ["(missing)"])[0], "QvPropertyBag 1", name)
        # What the form's code set is in the boxes, and so in what they save.
        self.assertIn("MaxLength 3 20", section(saved, "code"))

    def test_a_second_start_loads_what_the_first_saved(self):
        self.stand_in.start()
        self.assertEqual(self.stand_in.wait_for("controls"), ["hosted 3"])
        self.stand_in.end()
        self.assertEqual(self.stand_in.wait_for("saved"), ["0x00000000"])

        # As a form designer would leave it: texts in both text boxes.
        saved = self.stand_in.form_file.read_text(encoding="utf-8")
        values = iter(["12345.67", "stu_no"])
        edited, count = re.subn(r"^Text 8 .*$", lambda _: "Text 8 " + next(values), saved, flags=re.M)
        self.assertEqual(count, 2, saved)
        self.stand_in.form_file.write_text(edited, encoding="utf-8")

        with h.UiDriver(watch=(WINDOW_CLASS,)) as ui:
            self.stand_in.start()
            self.assertEqual(self.stand_in.wait_for("controls", 2), ["hosted 3", "hosted 3"])
            texts = window_texts(ui, ["12345.67", "stu_no"])
            self.assertIn("12345.67", texts)
            self.assertIn("stu_no", texts)
        self.stand_in.end()
        self.assertEqual(self.stand_in.wait_for("saved", 2), ["0x00000000", "0x00000000"])
        resaved = self.stand_in.form_file.read_text(encoding="utf-8")
        self.assertIn("Text 8 12345.67", section(resaved, "amount"))
        self.assertIn("Text 8 stu_no", section(resaved, "code"))

    def test_a_damaged_section_gives_a_new_box_and_the_others_still_load(self):
        self.stand_in.form_file.write_text("[amount]\nnot a bag\n[code]\nQvPropertyBag 1\nText 8 kept\n",
                                           encoding="utf-8")
        with h.UiDriver(watch=(WINDOW_CLASS,)) as ui:
            self.stand_in.start()
            self.assertEqual(self.stand_in.wait_for("controls"), ["hosted 3"])
            texts = window_texts(ui, ["kept"])
            self.assertIn("kept", texts)
            self.assertNotIn("Text1", texts)
        self.stand_in.end()


class Monitor(unittest.TestCase):
    """The form as a client of qvlCheckCommunicate, polling every second."""

    @classmethod
    def setUpClass(cls):
        if h.wine(h.BIN / "qvlCheckCommunicate.exe", "/RegServer", timeout=60).returncode != 0:
            raise RuntimeError("qvlCheckCommunicate.exe /RegServer failed")
        if h.wine("regsvr32", "/s", h.win_path(h.BIN / "zkemkeeper.dll"), timeout=60).returncode != 0:
            raise RuntimeError("regsvr32 zkemkeeper.dll failed")

    def setUp(self):
        h.end_strays("quorvel.exe", "qvlCheckCommunicate.exe")
        self.sim = TerminalSimulator(2)
        self.sim.__enter__()
        self.addCleanup(self.sim.__exit__, None, None, None)
        self.stand_in = StandIn()
        self.addCleanup(lambda: self.stand_in.process and h.end_process(self.stand_in.process, grace=1))

    def test_a_terminal_that_drops_off_and_comes_back_is_listed_both_times(self):
        ports = ",".join(str(port) for port in self.sim.ports)
        self.stand_in.start(QV_TERMINALS="127.0.0.1,127.0.0.1;" + ports, QV_MONITOR_POLL_MS="1000")
        self.assertEqual(self.stand_in.wait_for("monitor", timeout=90), ["started"])
        self.assertEqual(self.sim.command("STOP 2"), "OK 2:down")
        events = self.stand_in.wait_for("event", 1, timeout=60)
        self.assertEqual(len(events), 1, self.stand_in.form_log())
        self.assertRegex(events[0], "^%s$" % (EVENT_LINE % "断开"))
        self.assertEqual(self.sim.command("START 2"), "OK 2:up")
        events = self.stand_in.wait_for("event", 2, timeout=60)
        self.assertEqual(len(events), 2, self.stand_in.form_log())
        self.assertRegex(events[1], "^%s$" % (EVENT_LINE % "恢复"))
        self.stand_in.end()

    def test_without_terminals_there_is_no_monitor(self):
        self.stand_in.start(QV_MONITOR_POLL_MS="1000")
        self.assertEqual(self.stand_in.wait_for("controls"), ["hosted 3"])
        self.stand_in.end()
        self.assertEqual([row[0] for row in self.stand_in.form_log()], ["controls", "saved"])

    def test_a_monitor_that_refuses_the_lists_is_reported_and_the_form_stays(self):
        # More addresses than ports: StartCheck fails after the first terminal.
        self.stand_in.start(QV_TERMINALS="127.0.0.1,127.0.0.1;%d" % self.sim.ports[0])
        rows = self.stand_in.wait_for("monitor", timeout=90)
        self.assertEqual(len(rows), 1, self.stand_in.form_log())
        self.assertTrue(rows[0].startswith("unavailable 0x"), rows)
        self.assertEqual(self.stand_in.wait_for("controls"), ["hosted 3"])
        self.stand_in.end()
        self.assertEqual(self.stand_in.wait_for("saved"), ["0x00000000"])


if __name__ == "__main__":
    unittest.main()
