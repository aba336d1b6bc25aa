"""The validated text box in real containers under Wine: registered with
regsvr32, placed by control-host.exe (and by Wine's ATL host window), typed
into with real keystrokes, its colours, events and notifications seen by the
host, saved into the host's property bag and loaded back."""
import subprocess
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
import winharness as h  # noqa: E402
from controlhost import HostedTest, boolean, color, i2, i4, ok, r8, register_library, text  # noqa: E402

PROGID = "Lumen_Control.TextColor"

ACTIVE = 12648384
INACTIVE = 16777215
VK_BACK, VK_END, VK_HOME, VK_LEFT, VK_RIGHT, VK_DELETE = 8, 35, 36, 37, 39, 46

# What registration writes and unregistration must take away again.
REGISTRY_KEYS = [
    r"HKCR\Lumen_Control.TextColor",
    r"HKCR\Lumen_Control.InputDate",
    r"HKCR\CLSID\{A4FC41AA-CBDC-4CDB-8CC9-0C01ECFBCCB1}",
    r"HKCR\CLSID\{10CF3356-3C7D-4E51-8A17-34119C19BDFE}",
    r"HKCR\TypeLib\{4736CE68-249C-4798-871D-8E40CCB880AC}",
    r"HKCR\Interface\{856E5C85-3769-42E8-AD0E-737D51CD66B0}",
]


def key_exists(key):
    return h.wine("reg", "query", key, timeout=60).returncode == 0


def screen_colour(x, y):
    """The colour at a point of the X screen, as a colour reference (red in the low byte)."""
    shot = h.WORK / "screen.png"
    h.WORK.mkdir(parents=True, exist_ok=True)
    subprocess.run(["import", "-window", "root", str(shot)], check=True, timeout=60)
    pixel = subprocess.run(["convert", str(shot), "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-"],
                           check=True, timeout=60, capture_output=True, text=True).stdout
    red, green, blue = (int(part) for part in pixel.split("(")[1].split(")")[0].split(",")[:3])
    return red | green << 8 | blue << 16


def setUpModule():
    if register_library() != 0:
        raise RuntimeError("regsvr32 Lumen_Control.ocx failed")


class Hosted(HostedTest):
    progid = PROGID

    def place(self, **settings):
        """A fresh box with the given properties set (typed values)."""
        name = self.create()
        for member, value in settings.items():
            self.put(name, member, value)
        return name

    def type_into(self, name, keys, start=None):
        """Focus on the box, put the caret at `start` (None: leave the focus selection), type."""
        self.assertTrue(ok(self.host.focus(name)))
        if start is not None:
            self.put(name, "SelStart", i4(start))
        self.assertTrue(ok(self.host.type_text(keys)))
        return self.text_of(name)


class KeyRules(Hosted):
    def test_numeric_box_keeps_to_the_largest_number_and_the_decimal_places(self):
        box = self.place(IsNumeric=boolean(True), MaxNumber=r8(100), Text=text(""))
        self.assertEqual(self.type_into(box, "1000"), "100")
        self.put(box, "SelStart", i4(0))
        self.put(box, "SelLength", i4(3))
        self.host.type_text("9")
        self.assertEqual(self.text_of(box), "9", "a selection is replaced without the magnitude test")

        decimals = self.place(IsNumeric=boolean(True), DigitNumber=i2(2), Text=text("12.34"))
        self.assertEqual(self.type_into(decimals, "5.", start=5), "12.34")
        self.assertEqual(self.type_into(decimals, "7", start=0), "712.34")
        whole = self.place(IsNumeric=boolean(True), DigitNumber=i2(2), Text=text("12345"))
        self.assertEqual(self.type_into(whole, ".", start=2), "12345", "three characters would follow the point")
        self.assertEqual(self.type_into(whole, ".", start=3), "123.45")
        none = self.place(IsNumeric=boolean(True), DigitNumber=i2(0), Text=text("12"))
        self.assertEqual(self.type_into(none, ".", start=2), "12")

    def test_minus_only_in_front_and_only_when_allowed(self):
        refused = self.place(IsNumeric=boolean(True), Text=text(""))
        self.assertEqual(self.type_into(refused, "-"), "")
        box = self.place(IsNumeric=boolean(True), AllowNegative=boolean(True), Text=text("12"))
        self.assertEqual(self.type_into(box, "-", start=1), "12")
        self.assertEqual(self.type_into(box, "-", start=0), "-12")
        self.assertEqual(self.type_into(box, "-5", start=0), "-12", "nothing goes in front of the minus sign")

    def test_delete_is_judged_as_backspace_after_the_caret(self):
        number = self.place(IsNumeric=boolean(True), Text=text("1.5"))
        self.type_into(number, "", start=1)
        self.host.key(VK_DELETE)
        self.assertEqual(self.text_of(number), "1.5", "the point may not go while decimals follow it")
        words = self.place(MaxLength=i4(10), Text=text("a.b"))
        self.type_into(words, "", start=1)
        self.host.key(VK_DELETE)
        self.assertEqual(self.text_of(words), "a.b", "the same holds in text mode")
        self.type_into(words, "", start=0)
        self.host.key(VK_DELETE)
        self.assertEqual(self.text_of(words), ".b")
        end = self.place(MaxLength=i4(10), Text=text("ab"))
        self.type_into(end, "", start=2)
        self.host.key(VK_DELETE)
        self.assertEqual(self.text_of(end), "a", "the step back puts the caret before the last character")

    def test_double_byte_characters_count_two_bytes_when_asked(self):
        counted = self.place(MaxLength=i4(4), ChaTwoByte=boolean(True), Text=text("ab"))
        self.assertEqual(self.type_into(counted, "中文", start=2), "ab中")
        plain = self.place(MaxLength=i4(4), Text=text("ab"))
        self.assertEqual(self.type_into(plain, "中文x", start=2), "ab中文")
        full = self.place(Text=text("ab"))
        self.assertEqual(self.type_into(full, "c", start=2), "ab", "MaxLength 0 refuses every key")

    def test_name_mode_takes_name_characters_only(self):
        box = self.place(IsVarName=boolean(True), MaxLength=i4(20), Text=text(""))
        self.assertEqual(self.type_into(box, "a_1 -中.B"), "a_1.B")
        self.host.key(VK_BACK)
        self.assertEqual(self.text_of(box), "a_1.")
        selected = self.place(IsVarName=boolean(True), MaxLength=i4(20), Text=text("ab"))
        self.assertEqual(self.type_into(selected, "-"), "-", "with a selection no rule applies")

    def test_the_host_handler_sees_the_key_first(self):
        box = self.place(IsVarName=boolean(True), MaxLength=i4(20), Text=text(""))
        self.host.rule(4, ord("-"), ord("x"))
        self.host.rule(4, ord("q"), 0)
        self.assertEqual(self.type_into(box, "a-q"), "ax", "the rules judge what the handler left")
        numeric = self.place(IsNumeric=boolean(True), Text=text(""))
        self.host.rule(4, ord("a"), ord("7"))
        self.host.rule(4, ord("5"), 0)
        self.assertEqual(self.type_into(numeric, "a5a"), "77")


class Focus(Hosted):
    def test_focus_colours_and_select_all(self):
        box = self.place(Text=text("hello"))
        self.host.focus(box)
        self.assertEqual(self.host.value(box, "BackColor"), ACTIVE)
        self.assertEqual((self.host.value(box, "SelStart"), self.host.value(box, "SelLength")), (0, 5))
        self.host.blur()
        self.assertEqual(self.host.value(box, "BackColor"), INACTIVE)

        answer = self.host.invoke(box, "SetBkClr", i4(0x0000FF), i4(0x00FF00))
        self.assertTrue(ok(answer), answer)
        self.host.focus(box)
        self.assertEqual(self.host.value(box, "BackColor"), 0x0000FF)
        self.assertTrue(ok(self.host.invoke(box, "SetBkClr", i4(0x112233), i4(0x445566))))
        self.assertEqual(self.host.value(box, "BackColor"), 0x445566, "the inactive colour shows at once")
        self.host.blur()
        self.host.focus(box)
        self.assertEqual(self.host.value(box, "BackColor"), 0x112233)
        self.host.blur()

    def test_the_box_shows_the_focus_colours_on_screen(self):
        box = self.place(Text=text(""))
        left, top, right, bottom = self.host.window(box)["screen"]
        inside = (right - 12, (top + bottom) // 2)
        self.host.focus(box)
        self.assertEqual(screen_colour(*inside), ACTIVE)
        self.assertTrue(ok(self.host.invoke(box, "SetBkClr", i4(0x0000FF), i4(0x00FF00))))
        self.assertEqual(screen_colour(*inside), 0x00FF00, "the inactive colour shows at once")
        self.host.blur()
        self.assertEqual(screen_colour(*inside), 0x00FF00)
        self.host.focus(box)
        self.assertEqual(screen_colour(*inside), 0x0000FF)
        self.host.blur()

    def test_locked_box_keeps_its_colour_but_selects_its_text(self):
        box = self.place(Text=text("abc"), Locked=boolean(True), BackColor=color(0x00ABCDEF))
        self.host.focus(box)
        self.assertEqual(self.host.value(box, "BackColor"), 0x00ABCDEF)
        self.assertEqual(self.host.value(box, "SelLength"), 3)
        self.host.blur()
        self.assertEqual(self.host.value(box, "BackColor"), 0x00ABCDEF)

    def test_no_selection_on_focus_when_turned_off(self):
        box = self.place(Text=text("hello"), SelAllWhenFocus=boolean(False), SelStart=i4(2))
        self.host.focus(box)
        self.assertEqual(self.host.value(box, "SelLength"), 0)
        self.host.blur()


class EventsAndNotifications(Hosted):
    def test_events_reach_the_host_with_their_dispatch_identifiers(self):
        box = self.place(MaxLength=i4(10), Text=text(""))
        self.host.events()
        self.host.focus(box)
        self.host.type_text("x")
        self.host.key(VK_LEFT)
        self.host.click(box)
        seen = {(event["dispid"], event["name"]) for event in self.host.events()}
        for expected in [(3, "KeyDown"), (4, "KeyPress"), (5, "KeyUp"), (9, "Change"), (6, "MouseDown"),
                         (7, "MouseMove"), (8, "MouseUp"), (1, "Click")]:
            self.assertIn(expected, seen)
        self.host.click(box)
        self.host.click(box)
        self.assertIn(2, {event["dispid"] for event in self.host.events()}, "two quick clicks make a DblClick")
        self.host.blur()

    def test_key_events_carry_their_arguments_and_the_handler_can_cancel_a_key(self):
        box = self.place(MaxLength=i4(10), Text=text("ab"))
        self.host.focus(box)
        self.put(box, "SelStart", i4(0))
        self.host.events()
        self.host.rule(3, VK_DELETE, 0)
        self.host.key(VK_DELETE)
        key_downs = [e for e in self.host.events() if e["dispid"] == 3]
        self.assertEqual(key_downs[0]["args"], [VK_DELETE, 0])
        self.assertEqual(self.text_of(box), "ab", "a KeyCode of 0 leaves the Delete unhandled")
        self.host.blur()

    def test_pass_through_puts_notify_and_own_members_do_not(self):
        box = self.place()
        self.host.notifications()
        self.put(box, "Alignment", i2(1))
        self.put(box, "Text", text("x"))
        self.put(box, "IsNumeric", boolean(True))
        self.put(box, "MaxNumber", r8(5))
        self.assertTrue(ok(self.host.invoke(box, "SetBkClr", i4(1), i4(2))))
        changed = self.host.notifications()["changed"]
        self.assertEqual(changed, [0x68030024, 0x68030006])
        refused = self.host.set(box, "Alignment", i2(9))
        self.assertFalse(ok(refused))
        self.assertEqual(self.host.notifications()["changed"], [])


class Persistence(Hosted):
    SAVED = {
        "Alignment": (i2(2), 2),
        "Appearance": (i2(0), 0),
        "BorderStyle": (i2(0), 0),
        "CausesValidation": (boolean(False), False),
        "DataMember": (text("成绩"), "成绩"),
        "DrawMode": (i2(5), 5),
        "BackStyle": (i2(0), 0),
        "ForeColor": (color(255), 255),
        "LinkTopic": (text("t|x"), "t|x"),
        "LinkTimeout": (i2(7), 7),
        "MaxLength": (i4(12), 12),
        "MousePointer": (i2(3), 3),
        "OLEDragMode": (i2(1), 1),
        "PasswordChar": (text("*"), "*"),
        "ToolTipText": (text("提示"), "提示"),
        "Locked": (boolean(True), True),
        "Text": (text(""), ""),
    }
    CUSTOM_DEFAULTS = {"IsNumeric": False, "IsVarName": False, "ChaTwoByte": False, "AllowNegative": False,
                       "MaxNumber": 999999999999, "DigitNumber": 100, "SelAllWhenFocus": True}

    def test_save_then_reload_gives_back_every_saved_value_and_the_custom_defaults(self):
        box = self.place(**{member: typed for member, (typed, _) in self.SAVED.items()})
        self.put(box, "FontBold", boolean(True))
        self.put(box, "IsNumeric", boolean(True))
        self.put(box, "MaxNumber", r8(5))
        self.assertTrue(ok(self.host.invoke(box, "SetBkClr", i4(1), i4(2))))
        bag = h.WORK / "textcolor.bag"
        h.WORK.mkdir(parents=True, exist_ok=True)
        saved = self.host.save(box, bag)
        self.assertTrue(ok(saved), saved)
        names = [entry["name"] for entry in saved["entries"]]
        table = ["BackColor", "ForeColor", "Enabled", "Font", "BackStyle", "BorderStyle", "Alignment",
                 "CausesValidation", "Appearance", "DataMember", "DrawMode", "FontBold", "FontItalic", "FontName",
                 "FontSize", "FontStrikethru", "FontUnderline", "LinkItem", "LinkMode", "LinkTimeout", "LinkTopic",
                 "Locked", "MaxLength", "MouseIcon", "MousePointer", "OLEDragMode", "PasswordChar", "RightToLeft",
                 "SelLength", "SelStart", "SelText", "Text", "ToolTipText"]
        self.assertEqual(names, [name for name in table if name in names], "entries keep the table's order")
        for member in self.SAVED:
            self.assertIn(member, names)
        for default in ["Enabled", "FontItalic", "LinkItem", "LinkMode", "RightToLeft", "SelLength", "MouseIcon"]:
            self.assertNotIn(default, names, "a value equal to its default is not stored")

        again = self.create(bag)
        for member, (_, expected) in self.SAVED.items():
            self.assertEqual(self.host.value(again, member), expected, member)
        self.assertTrue(self.host.value(again, "FontBold"))
        for member, expected in self.CUSTOM_DEFAULTS.items():
            self.assertEqual(self.host.value(again, member), expected, member)
        colours = self.host.invoke(again, "GetBkColor", i4(0), i4(0))
        self.assertEqual(colours["args"], [ACTIVE, INACTIVE])

    def test_a_fresh_box_saves_no_text_and_a_bag_without_text_loads_text1(self):
        box = self.place()
        bag = h.WORK / "fresh.bag"
        h.WORK.mkdir(parents=True, exist_ok=True)
        saved = self.host.save(box, bag)
        self.assertNotIn("Text", [entry["name"] for entry in saved["entries"]])
        again = self.create(bag)
        self.assertEqual(self.text_of(again), "Text1")

    def test_stream_save_and_load(self):
        box = self.place(Text=text("流"), MaxLength=i4(3))
        answer = self.host.stream_round_trip(box)
        self.assertTrue(ok(answer), answer)
        self.assertEqual(self.text_of(box), "流")
        self.assertEqual(self.host.value(box, "MaxLength"), 3)


class Containers(Hosted):
    def test_the_inner_box_covers_the_control_after_a_resize(self):
        box = self.place()
        self.assertTrue(ok(self.host.resize(box, 300, 40)))
        window = self.host.window(box)
        child = window["children"][0]
        self.assertEqual(child["class"].lower(), "edit")
        self.assertEqual(child["rect"][2] - child["rect"][0], 300)
        self.assertEqual(child["rect"][3] - child["rect"][1], 40)

    def test_a_box_showing_the_container_font_follows_it(self):
        following = self.place()
        own = self.place()
        self.put(own, "FontSize", "r4:20")
        self.assertTrue(ok(self.host.ambient_font("Tahoma", 14)))
        # Wine's font object reports the size of the font it realized (14.25 for 14).
        self.assertAlmostEqual(self.host.value(following, "FontSize"), 14, delta=0.5)
        self.assertAlmostEqual(self.host.value(own, "FontSize"), 20, delta=0.5, msg="a font of its own stays")

    def test_wine_atl_host_window_creates_the_box_by_progid(self):
        answer = self.host.atl(PROGID)
        self.assertTrue(answer.get("created"), answer)
        self.assertEqual(answer.get("text"), "ATL")
        self.assertTrue(ok(self.host.set("atl", "IsNumeric", boolean(True))))
        self.assertEqual(self.host.value("atl", "IsNumeric"), True)


class Registration(unittest.TestCase):
    def test_unregistering_removes_what_registering_wrote(self):
        try:
            self.assertEqual(register_library("/u"), 0)
            self.assertEqual([key for key in REGISTRY_KEYS if key_exists(key)], [])
            self.assertEqual(register_library(), 0)
            self.assertEqual([key for key in REGISTRY_KEYS if not key_exists(key)], [])
            self.assertEqual(register_library("/u"), 0)
            self.assertEqual([key for key in REGISTRY_KEYS if key_exists(key)], [])
        finally:
            register_library()


if __name__ == "__main__":
    unittest.main()
