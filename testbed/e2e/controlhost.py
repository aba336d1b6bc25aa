"""The control container (testbed/control-host) under Wine: creates the
controls in place in a real window, drives them through IDispatch and real
keystrokes, and records their events and property notifications.

    with ControlHost() as host:
        host.create("t", "Lumen_Control.TextColor")
        host.set("t", "IsNumeric", boolean(True))
        host.focus("t"); host.type_text("12.5")
        host.get("t", "Text")["value"]          # -> "12.5"
        host.events()                            # -> [{"dispid": 4, "name": "KeyPress", "args": [49]}, ...]

Every answer is a dict with "call" and "hr" ("0x00000000" on success);
`ok()` tells whether an answer succeeded.
"""
import unittest
from urllib.parse import quote

import winharness as h

LIBRARY = h.BIN / "Lumen_Control.ocx"


def pct(text):
    """A text as one command word: percent-encoded UTF-8, "-" for the empty text."""
    if text == "":
        return "-"
    if text == "-":
        return "%2D"
    return quote(text, safe="-._~")


def i2(number):
    return "i2:%d" % number


def i4(number):
    return "i4:%d" % number


def r4(number):
    return "r4:%r" % float(number)


def r8(number):
    return "r8:%r" % float(number)


def boolean(flag):
    return "bool:%d" % (1 if flag else 0)


def text(value):
    return "str:" + pct(value)


def color(value):
    """A colour reference as an unsigned 32-bit number (system colours keep their top bit)."""
    return "color:%d" % (value & 0xFFFFFFFF)


def ok(answer):
    return answer.get("hr") == "0x00000000"


class ControlHost(h.JsonLineClient):
    program = "control-host.exe"

    def create(self, name, progid, bag_file=None):
        command = "create %s %s" % (name, pct(progid))
        if bag_file is not None:
            command += " " + pct(h.win_path(bag_file))
        return self.call(command)

    def make(self, name, progid):
        """The object alone: no site, no loading, no window; calls reach it through IDispatch."""
        return self.call("make %s %s" % (name, pct(progid)))

    def activate(self, name, bag_file=None):
        """Places a control made with make(): site, InitNew (or the bag), in-place activation."""
        command = "activate " + name
        if bag_file is not None:
            command += " " + pct(h.win_path(bag_file))
        return self.call(command)

    def destroy(self, name):
        return self.call("destroy " + name)

    def get(self, name, member):
        return self.call("get %s %s" % (name, member))

    def value(self, name, member):
        """The member's value; fails the caller with the answer when the get failed."""
        answer = self.get(name, member)
        if not ok(answer):
            raise AssertionError("get %s.%s failed: %r" % (name, member, answer))
        return answer["value"]

    def set(self, name, member, typed_value):
        return self.call("set %s %s %s" % (name, member, typed_value))

    def set_font(self, name, face, points, member="Font"):
        return self.call("setref %s %s %s %s" % (name, member, pct(face), points))

    def invoke(self, name, method, *typed_args):
        return self.call(" ".join(["call", name, method, *typed_args]))

    def focus(self, name):
        return self.call("focus " + name)

    def blur(self):
        return self.call("blur")

    def other_text(self):
        """The text of the host's plain edit box (where "blur" puts the focus)."""
        return self.call("other")["text"]

    def type_text(self, value):
        return self.call("type " + pct(value))

    def key(self, virtual_key, modifier=None):
        return self.call("key %d%s" % (virtual_key, " " + modifier if modifier else ""))

    def click(self, name):
        return self.call("click " + name)

    def events(self):
        """Events since the last call, oldest first; forgets them."""
        return self.call("events")["events"]

    def notifications(self):
        """{"changed": [dispid, ...], "requestEdit": [...]} since the last call; forgets them."""
        answer = self.call("notifications")
        return {"changed": answer["changed"], "requestEdit": answer["requestEdit"]}

    def rule(self, dispid, from_value, to_value):
        """Have the host's handler of event `dispid` turn a first argument `from_value` into `to_value`."""
        return self.call("rule %d %d %d" % (dispid, from_value, to_value))

    def no_rules(self):
        return self.call("norules")

    def save(self, name, bag_file):
        return self.call("save %s %s" % (name, pct(h.win_path(bag_file))))

    def stream_round_trip(self, name):
        return self.call("stream " + name)

    def ambient_font(self, face, points):
        return self.call("ambientfont %s %s" % (pct(face), points))

    def window(self, name):
        return self.call("window " + name)

    def resize(self, name, width, height):
        return self.call("resize %s %d %d" % (name, width, height))

    def atl(self, progid):
        return self.call("atl " + pct(progid))


def register_library(*switches):
    """regsvr32 on the built control library; its exit code."""
    return h.wine("regsvr32", "/s", *switches, h.win_path(LIBRARY), timeout=120).returncode


class HostedTest(unittest.TestCase):
    """One host per test class; each test places its own controls of `progid`."""

    progid = None

    @classmethod
    def setUpClass(cls):
        h.end_strays("control-host.exe")
        cls.host = ControlHost().__enter__()
        assert cls.host.ready.get("ready"), cls.host.ready
        cls.count = 0

    @classmethod
    def tearDownClass(cls):
        cls.host.__exit__(None, None, None)

    def next_name(self):
        type(self).count += 1
        return "c%d" % self.count

    def create(self, bag=None):
        """A new control (loaded from the bag file when given), with no key rules in force."""
        name = self.next_name()
        answer = self.host.create(name, self.progid, bag)
        self.assertTrue(ok(answer), answer)
        self.host.no_rules()
        return name

    def put(self, name, member, value):
        answer = self.host.set(name, member, value)
        self.assertTrue(ok(answer), (member, answer))

    def text_of(self, name):
        return self.host.value(name, "Text")
