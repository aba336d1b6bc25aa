"""The date box in real containers under Wine: registered with regsvr32,
placed by control-host.exe (and by Wine's ATL host window), typed into with
real keystrokes, its focus colours, events and notifications seen by the host,
saved into the host's property bag file and created again from it."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
import winharness as h  # noqa: E402
from controlhost import HostedTest, boolean, color, i2, i4, ok, register_library, text  # noqa: E402

PROGID = "Lumen_Control.InputDate"

ACTIVE = 12648384
INACTIVE = 16777215
VK_BACK, VK_END, VK_HOME, VK_LEFT, VK_RIGHT, VK_DELETE, VK_X = 8, 35, 36, 37, 39, 46, 88

EMPTY = {0: "    -  -     :  ", 1: "    -  -  ", 2: "    -  -     :  :  "}
FIELD_LENGTH = {0: 16, 1: 10, 2: 19}

# The members that announce a put to the container, in interface order.
NOTIFYING = [
    ("BackColor", color(0x00102030), 0x68030005),
    ("ForeColor", color(0x00405060), 0x68030004),
    ("Enabled", boolean(True), 0x68030003),
    ("BackStyle", i2(1), 0x68030002),
    ("BorderStyle", i4(0), 0x68030001),
]
SAVED_ORDER = ["BackColor", "ForeColor", "Enabled", "Font", "BackStyle", "BorderStyle"]
ERROR_500 = "0x800A01F4"
INVALID_PROPERTY_VALUE = "0x800A017C"


def setUpModule():
    # Left registered: the text box's suite checks unregistration.
    if register_library() != 0:
        raise RuntimeError("regsvr32 Lumen_Control.ocx failed")


class Hosted(HostedTest):
    progid = PROGID

    def place(self, layout=None, bag=None):
        name = self.create(bag)
        if layout is not None:
            self.set_format(name, layout)
        return name

    def set_format(self, name, layout):
        answer = self.host.invoke(name, "SetFormat", i2(layout))
        self.assertTrue(ok(answer), answer)

    def caret_to(self, name, position):
        """Focus on the box and move its caret with real Home and Right keys."""
        self.assertTrue(ok(self.host.focus(name)))
        self.assertTrue(ok(self.host.key(VK_HOME)))
        for _ in range(position):
            self.host.key(VK_RIGHT)

    def type_at(self, name, position, keys):
        self.caret_to(name, position)
        self.assertTrue(ok(self.host.type_text(keys)))
        return self.text_of(name)

    def background(self, name):
        return self.host.value(name, "BackColor")

    def colours(self, name):
        answer = self.host.invoke(name, "GetBkColor", i4(0), i4(0))
        self.assertTrue(ok(answer), answer)
        return answer["args"]


class Typing(Hosted):
    def test_digits_step_over_separators_and_backspace_blanks_before_them(self):
        box = self.place(layout=1)
        self.assertEqual(self.text_of(box), EMPTY[1])
        self.assertEqual(self.type_at(box, 0, "20100"), "2010-0 -  ", "the fifth digit steps over the '-'")
        self.host.type_text("1")
        self.assertEqual(self.text_of(box), "2010-01-  ", "the caret stood after the digit at 5")

        self.caret_to(box, 5)
        self.host.key(VK_BACK)
        self.assertEqual(self.text_of(box), "201 -01-  ", "Backspace after a separator blanks the year's last digit")
        self.host.type_text("9")
        self.assertEqual(self.text_of(box), "2019-01-  ", "the caret was left at 3")

        self.caret_to(box, 0)
        self.host.key(VK_BACK)
        self.assertEqual(self.text_of(box), "2019-01-  ", "Backspace at 0 does nothing")

    def test_a_digit_at_the_end_of_each_layout_is_discarded(self):
        for layout, length in FIELD_LENGTH.items():
            with self.subTest(layout=layout):
                box = self.place(layout=layout)
                self.assertEqual(self.text_of(box), EMPTY[layout])
                self.assertTrue(ok(self.host.focus(box)))
                self.host.key(VK_END)
                self.host.type_text("7")
                self.assertEqual(self.text_of(box), EMPTY[layout])
                self.host.key(VK_LEFT)
                self.host.type_text("7")
                self.assertEqual(self.text_of(box), EMPTY[layout][:length - 1] + "7",
                                 "the last digit position still takes a digit")
                self.host.blur()

    def test_letters_separators_and_blanks_change_nothing(self):
        box = self.place(layout=0)
        self.type_at(box, 0, "2010")
        self.assertEqual(self.type_at(box, 2, "a-: Z中"), "2010-  -     :  ")
        self.host.type_text("5")
        self.assertEqual(self.text_of(box), "2050-  -     :  ", "the refused keys did not move the caret")

    def test_any_digit_goes_into_any_digit_position(self):
        box = self.place(layout=1)
        self.assertEqual(self.type_at(box, 0, "20101345"), "2010-13-45")
        layout2 = self.place(layout=2)
        self.assertEqual(self.type_at(layout2, 0, "20109999996161"), "2010-99-99 99:61:61")

    def test_control_characters_are_discarded_and_delete_is_the_inner_boxs(self):
        box = self.place(layout=1)
        self.type_at(box, 0, "20100101")
        self.host.key(VK_HOME)
        self.host.key(VK_END, "shift")
        self.host.events()
        self.host.key(VK_X, "ctrl")
        self.assertIn([24], [event["args"] for event in self.host.events() if event["dispid"] == 4])
        self.assertEqual(self.text_of(box), "2010-01-01", "Ctrl+X reaches the editing as a typed code and is dropped")
        self.host.key(VK_DELETE)
        self.assertEqual(self.text_of(box), EMPTY[1], "the selection was still there for the inner box's Delete")

        self.type_at(box, 0, "20100101")
        self.caret_to(box, 0)
        self.host.key(VK_DELETE)
        self.assertEqual(self.text_of(box), " 010-01-01")
        self.host.rule(3, VK_DELETE, 0)
        self.host.key(VK_DELETE)
        self.assertEqual(self.text_of(box), " 010-01-01", "a KeyCode of 0 from the host leaves Delete unhandled")
        self.host.blur()


class Layouts(Hosted):
    def test_unknown_layouts_fail_with_error_500_and_change_nothing(self):
        box = self.place(layout=1)
        self.type_at(box, 0, "2010")
        for bad in (3, -1):
            with self.subTest(layout=bad):
                answer = self.host.invoke(box, "SetFormat", i2(bad))
                self.assertEqual(answer["hr"], ERROR_500, answer)
                self.assertEqual(int(answer["hr"], 16) & 0xFFFF, 500)
                self.assertEqual(answer.get("description"), "格式设置错误")
                self.assertEqual(self.host.invoke(box, "GetFormat")["result"], 1)
                self.assertEqual(self.text_of(box), "2010-  -  ")
        self.host.blur()

    def test_text_is_formatted_into_the_layout_in_force(self):
        cases = [
            (0, "2010-1-5 8:03", "2010-01-05 08:03"),
            (1, "2010-1-5", "2010-01-05"),
            (2, "2010-1-5 8:03:09", "2010-01-05 08:03:09"),
            (0, "2010-1-5", "2010-01-05 00:00"),
        ]
        for layout, given, shown in cases:
            with self.subTest(layout=layout, given=given):
                box = self.place(layout=layout)
                self.put(box, "Text", text(given))
                self.assertEqual(self.text_of(box), shown)
                self.assertEqual(self.host.invoke(box, "GetFormat")["result"], layout)

    def test_a_text_the_mask_cannot_take_is_refused_with_the_inner_boxs_error(self):
        box = self.place(layout=1)
        self.put(box, "Text", text("2010-1-5"))
        refused = self.host.set(box, "Text", text("not a date"))
        self.assertEqual(refused["hr"], INVALID_PROPERTY_VALUE, refused)
        self.assertEqual(self.text_of(box), "2010-01-05")


class HostKeyPress(Hosted):
    def test_the_host_handler_judges_the_key_before_the_editing(self):
        box = self.place(layout=1)
        self.host.rule(4, ord("a"), ord("7"))
        self.host.rule(4, ord("5"), 0)
        self.assertEqual(self.type_at(box, 0, "a5a"), "77  -  -  ", "a turned into 7 is written, 5 turned to 0 is not")
        presses = [event["args"] for event in self.host.events() if event["dispid"] == 4]
        self.assertEqual(presses[-3:], [[ord("a")], [ord("5")], [ord("a")]], "the host saw the typed codes")
        self.host.blur()


class FocusColours(Hosted):
    def test_active_colour_while_focused_and_inactive_after(self):
        box = self.place()
        self.assertEqual(self.colours(box), [ACTIVE, INACTIVE])
        self.host.focus(box)
        self.assertEqual(self.background(box), ACTIVE)
        self.host.blur()
        self.assertEqual(self.background(box), INACTIVE)

    def test_set_bk_clr_shows_the_inactive_colour_at_once(self):
        box = self.place()
        self.host.focus(box)
        answer = self.host.invoke(box, "SetBkClr", i4(0x112233), i4(0x445566))
        self.assertTrue(ok(answer), answer)
        self.assertEqual(self.background(box), 0x445566, "even while the box has the focus")
        self.assertEqual(self.colours(box), [0x112233, 0x445566])
        self.host.blur()
        self.host.focus(box)
        self.assertEqual(self.background(box), 0x112233)
        self.host.blur()
        self.assertEqual(self.background(box), 0x445566)

    def test_a_disabled_box_takes_the_inactive_colour_when_it_loses_the_focus(self):
        # Disabling the focused inner window takes the focus from it at once,
        # so the focus is lost while the box is already disabled.
        box = self.place()
        self.assertTrue(ok(self.host.invoke(box, "SetBkClr", i4(0x112233), i4(0x445566))))
        self.host.focus(box)
        self.assertEqual(self.background(box), 0x112233)
        self.put(box, "Enabled", boolean(False))
        self.assertEqual(self.host.value(box, "Enabled"), False)
        self.assertEqual(self.background(box), 0x445566)
        self.host.blur()
        self.host.focus(box)
        self.assertEqual(self.background(box), 0x445566, "a disabled box does not take the active colour")
        self.host.blur()
        self.put(box, "Enabled", boolean(True))


class EventsAndNotifications(Hosted):
    def test_key_events_reach_the_host_and_nothing_else_is_raised(self):
        box = self.place(layout=1)
        self.host.focus(box)
        self.host.events()
        self.host.type_text("1")
        self.host.key(VK_LEFT)
        events = self.host.events()
        self.assertEqual({(event["dispid"], event["name"]) for event in events},
                         {(3, "KeyDown"), (4, "KeyPress"), (5, "KeyUp")}, "there is no Change event")
        self.assertIn([ord("1")], [event["args"] for event in events if event["dispid"] == 4])
        self.assertIn([VK_LEFT, 0], [event["args"] for event in events if event["dispid"] == 3])
        self.assertIn([VK_LEFT, 0], [event["args"] for event in events if event["dispid"] == 5])
        self.assertEqual(self.text_of(box), "1   -  -  ")

        self.host.click(box)
        self.assertEqual(self.host.events(), [], "the inner box's clicks are not passed on")
        self.host.blur()

    def test_pass_through_puts_notify_and_own_members_do_not(self):
        box = self.place()
        self.host.notifications()
        for member, value, _ in NOTIFYING:
            self.put(box, member, value)
        self.assertTrue(ok(self.host.set_font(box, "宋体", 11)))
        self.assertEqual(self.host.notifications()["changed"], [dispid for _, _, dispid in NOTIFYING] + [-512])

        self.put(box, "Text", text("2010-1-5 8:03"))
        self.set_format(box, 2)
        self.assertTrue(ok(self.host.invoke(box, "SetBkClr", i4(1), i4(2))))
        self.assertTrue(ok(self.host.invoke(box, "Refresh")))
        self.assertEqual(self.host.notifications()["changed"], [])


class Persistence(Hosted):
    def test_save_keeps_the_six_properties_and_a_reload_starts_in_layout_zero(self):
        box = self.place(layout=2)
        self.put(box, "BackStyle", i2(1))
        self.put(box, "BorderStyle", i4(0))
        self.put(box, "ForeColor", color(255))
        self.put(box, "Enabled", boolean(False))
        self.assertTrue(ok(self.host.set_font(box, "宋体", 12)))
        self.assertTrue(ok(self.host.invoke(box, "SetBkClr", i4(0x112233), i4(0x445566))))
        font = self.host.value(box, "Font")["font"]
        bag = h.scratch_folder("inputdate") / "saved.bag"
        saved = self.host.save(box, bag)
        self.assertTrue(ok(saved), saved)
        self.assertEqual([entry["name"] for entry in saved["entries"]], SAVED_ORDER)

        again = self.place(bag=bag)
        self.assertEqual(self.host.invoke(again, "GetFormat")["result"], 0)
        self.assertEqual(self.text_of(again), EMPTY[0], "the mask is layout 0's")
        self.assertEqual(self.colours(again), [ACTIVE, INACTIVE], "SetBkClr's colours are not saved")
        kept = {"BackColor": 0x445566, "ForeColor": 255, "Enabled": False, "BackStyle": 1, "BorderStyle": 0}
        for member, expected in kept.items():
            self.assertEqual(self.host.value(again, member), expected, member)
        reloaded = self.host.value(again, "Font")["font"]
        self.assertEqual((reloaded["name"], reloaded["size"]), (font["name"], font["size"]))
        self.assertEqual(reloaded["size"], 12)

    def test_values_equal_to_their_defaults_are_not_stored(self):
        # The box's font equals the container's (Wine reports it by the face it
        # realized, the control compares it as realized): no "Font" entry.
        box = self.place()
        self.put(box, "BorderStyle", i4(0))
        self.put(box, "BackStyle", i2(1))
        self.put(box, "Enabled", boolean(True))
        bag = h.scratch_folder("inputdate") / "defaults.bag"
        saved = self.host.save(box, bag)
        self.assertTrue(ok(saved), saved)
        self.assertEqual([entry["name"] for entry in saved["entries"]], ["BackStyle", "BorderStyle"])
        again = self.place(bag=bag)
        self.assertEqual(self.host.value(again, "BackColor"), 0x80000005)
        self.assertEqual(self.host.value(again, "ForeColor"), 0x80000008)
        self.assertEqual(self.host.value(again, "Enabled"), True)
        self.assertEqual(self.host.value(again, "BorderStyle"), 0)


class Containers(Hosted):
    def test_wine_atl_host_window_creates_the_box_by_progid(self):
        answer = self.host.atl(PROGID)
        self.assertTrue(answer.get("created"), answer)
        # The host's probe text is no date: the inner box refuses it.
        self.assertEqual(answer["hr"], INVALID_PROPERTY_VALUE, answer)
        self.assertEqual(self.host.value("atl", "Text"), EMPTY[0])
        self.assertTrue(ok(self.host.set("atl", "Text", text("2011-2-3"))))
        self.assertEqual(self.host.value("atl", "Text"), "2011-02-03 00:00")


if __name__ == "__main__":
    unittest.main()
