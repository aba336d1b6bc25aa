"""The date box as clients nobody here wrote use it, under Wine: the platform's
VBScript host (cscript) creating it by ProgID and calling it late-bound before
it has a window, and a container calling it before it places it. Whatever a
client sets first must stay in force."""
import subprocess
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
import winharness as h  # noqa: E402
from controlhost import HostedTest, i2, i4, ok, register_library, text  # noqa: E402

PROGID = "Lumen_Control.InputDate"
CASES = [(0, "2010-1-5 8:03", "2010-01-05 08:03"), (1, "2010-1-5", "2010-01-05"),
         (2, "2010-1-5 8:03:09", "2010-01-05 08:03:09")]
ACTIVE, INACTIVE = 0x00ABCDEF, 0x00123456

# The script: one box per layout, each told its layout as its first call, with
# values as a script writer passes them (literals: a script's variables go by
# reference as Variants, which typed reference parameters refuse with error 13);
# then a box whose first call sets its colours. Err is read after every call.
HEADER = """Option Explicit
On Error Resume Next
Sub Report(name)
    WScript.Echo name & "=" & Err.Number & ":" & Err.Description
    Err.Clear
End Sub
Dim box
"""
LAYOUT_BLOCK = """Set box = CreateObject("{progid}")
Report "create{layout}"
box.SetFormat {layout}
Report "SetFormat{layout}"
WScript.Echo "GetFormat{layout}=" & box.GetFormat()
box.Text = "{given}"
Report "Text{layout}"
WScript.Echo "shown{layout}=" & box.Text
box.SetFormat 3
Report "SetFormat3of{layout}"
WScript.Echo "after3of{layout}=" & box.GetFormat()
"""
COLOUR_BLOCK = """Set box = CreateObject("{progid}")
box.SetBkClr {active}, {inactive}
Report "SetBkClr"
WScript.Echo "BackColor=" & box.BackColor
"""


def client_script():
    blocks = [LAYOUT_BLOCK.format(progid=PROGID, layout=layout, given=given) for layout, given, _ in CASES]
    return HEADER + "".join(blocks) + COLOUR_BLOCK.format(progid=PROGID, active=ACTIVE, inactive=INACTIVE)


def setUpModule():
    if register_library() != 0:
        raise RuntimeError("regsvr32 Lumen_Control.ocx failed")


def run_script(source):
    """cscript's lines (in the ANSI code page) as a dict of name=value."""
    folder = h.scratch_folder("script")
    script = folder / "client.vbs"
    script.write_bytes(source.replace("\n", "\r\n").encode("gbk"))
    result = subprocess.run([h.WINE_RUN, "cscript", "//nologo", h.win_path(script)], stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120, start_new_session=True)
    lines = result.stdout.decode("gbk", "replace").splitlines()
    return dict(line.split("=", 1) for line in lines if "=" in line), result


class ScriptClient(unittest.TestCase):
    def test_a_script_that_sets_the_layout_and_colours_first_keeps_them(self):
        path = Path(h.WINEPREFIX) / "drive_c" / "windows" / "system32" / "cscript.exe"
        self.assertTrue(path.is_file(), "the platform's script host is missing")
        answers, result = run_script(client_script())
        self.assertIn("BackColor", answers, (result.stdout, result.stderr))
        for layout, _, shown in CASES:
            with self.subTest(layout=layout):
                self.assertEqual(answers["create%d" % layout], "0:")
                self.assertEqual(answers["SetFormat%d" % layout], "0:")
                self.assertEqual(answers["GetFormat%d" % layout], str(layout))
                self.assertEqual(answers["Text%d" % layout], "0:", "the text was formatted for another layout")
                self.assertEqual(answers["shown%d" % layout], shown)
                self.assertEqual(answers["SetFormat3of%d" % layout], "500:格式设置错误")
                self.assertEqual(answers["after3of%d" % layout], str(layout))
        self.assertEqual(answers["SetBkClr"], "0:")
        self.assertEqual(answers["BackColor"], str(INACTIVE), "the inactive colour is not shown")


class BeforeActivation(HostedTest):
    """The container makes the object, calls it through IDispatch, and only then places it."""

    progid = PROGID

    def made(self):
        name = self.next_name()
        answer = self.host.make(name, PROGID)
        self.assertTrue(ok(answer), answer)
        return name

    def placed(self, name):
        answer = self.host.activate(name)
        self.assertTrue(ok(answer), answer)
        self.host.no_rules()

    def test_layout_and_text_set_before_placing_stay(self):
        for layout, given, shown in CASES:
            with self.subTest(layout=layout):
                box = self.made()
                self.assertTrue(ok(self.host.invoke(box, "SetFormat", i2(layout))))
                self.assertEqual(self.host.invoke(box, "GetFormat")["result"], layout)
                self.put(box, "Text", text(given))
                self.placed(box)
                self.assertEqual(self.host.invoke(box, "GetFormat")["result"], layout)
                self.assertEqual(self.text_of(box), shown)
                self.put(box, "Text", text(given))
                self.assertEqual(self.text_of(box), shown)

    def test_colours_set_before_placing_are_read_back_and_shown_once_placed(self):
        box = self.made()
        self.assertTrue(ok(self.host.invoke(box, "SetBkClr", i4(ACTIVE), i4(INACTIVE))))
        self.placed(box)
        answer = self.host.invoke(box, "GetBkColor", i4(0), i4(0))
        self.assertTrue(ok(answer), answer)
        self.assertEqual(answer["args"], [ACTIVE, INACTIVE])
        self.assertEqual(self.host.value(box, "BackColor"), INACTIVE)
        self.assertTrue(ok(self.host.focus(box)))
        self.assertEqual(self.host.value(box, "BackColor"), ACTIVE)
        self.host.blur()
        self.assertEqual(self.host.value(box, "BackColor"), INACTIVE)


if __name__ == "__main__":
    unittest.main()
