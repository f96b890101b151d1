"""The Windows build under Wine: jotlark.exe from the portable folder in Xvfb, in a
fresh 64-bit prefix, driven from outside and observed through C:\\ in the prefix,
the registry and screenshots. Needs scripts/windows build.

The cases run in the order written; each starts from what the one before left."""

import datetime
import time

import pytest

from driver import ROOT, HelpPage, MessageBox, SettingsWindow, wait_until

pytestmark = pytest.mark.wine


def toggle_autostart(jotlark, board, shot=None):
    """Opens 设置 from the title menu, ticks or clears 开机自启动 and saves."""
    screen = jotlark.screen
    settings = board.open_settings()
    assert settings, "the settings window did not open"
    screen.click(settings.autostart())
    if shot:
        time.sleep(0.3)
        screen.shot(shot, settings)
    screen.click(settings.save())
    assert jotlark.answer("温馨提示"), "no saved message"
    screen.click(settings.close())
    assert screen.wait_gone(SettingsWindow.NAME), "关闭 did not close the settings window"


class TestWine:
    def test_first_start_writes_the_files_and_shows_help_then_board(self, wine_jotlark, wine_screen):
        jotlark, screen = wine_jotlark, wine_screen
        jotlark.start(screen)
        page = screen.wait_window(HelpPage, timeout=60)
        assert page, "help page did not appear"
        assert jotlark.profile.raw() == (ROOT / "resources/AT.ini").read_bytes(), \
            "C:\\AT.ini differs from the default bytes"
        assert jotlark.sound.read_bytes() == (ROOT / "resources/DI.mp3").read_bytes(), \
            "C:\\DI.mp3 differs from the resource"
        time.sleep(0.5)
        screen.shot("windows-help", page)
        screen.click(page.enter())
        board = jotlark.board()
        assert board, "main window did not appear"
        assert screen.wait_gone(HelpPage.NAME), "help page stayed"
        time.sleep(0.5)
        screen.shot("windows-main", board)

    def test_a_typed_note_lands_in_the_file(self, wine_jotlark, wine_board):
        jotlark, screen, board = wine_jotlark, wine_jotlark.screen, wine_board
        screen.click(board.note_box())
        screen.type("wine note 1", delay=40)
        screen.click(board.slot_number(2))
        assert jotlark.answer("保存确认"), "no store confirmation"
        assert jotlark.answer("提示"), "no stored message"
        assert wait_until(lambda: jotlark.profile.is_("Main", "2", "wine note 1"), 3), \
            f"key 2 is '{jotlark.profile.value('Main', '2')}'"

    def test_autostart_writes_and_removes_the_run_value(self, wine_jotlark, wine_board):
        jotlark = wine_jotlark
        assert jotlark.run_value() == "", "a Run value exists before the test"
        toggle_autostart(jotlark, wine_board, shot="windows-settings")
        assert jotlark.profile.is_("Main", "Boots", "1"), f"Boots is '{jotlark.profile.value('Main', 'Boots')}', not 1"
        expected = f'"{jotlark.windows_path(jotlark.executable)}"'
        assert jotlark.run_value() == expected, f"Run value is '{jotlark.run_value()}', not '{expected}'"
        toggle_autostart(jotlark, wine_board)
        assert jotlark.profile.is_("Main", "Boots", "0"), f"Boots is '{jotlark.profile.value('Main', 'Boots')}', not 0"
        assert jotlark.run_value() == "", f"Run value '{jotlark.run_value()}' stayed after clearing"

    def test_dragging_the_title_docks_at_the_left_edge(self, wine_jotlark, wine_board):
        screen, board = wine_jotlark.screen, wine_board
        y = board.y
        with screen.dragging(board.title_point(), (20, y + 10)):
            pass
        assert board.is_at(y=y), f"the drag changed Y from {y} to {board.y}"
        assert board.wait_at(x=-4, timeout=5), f"not shown 4 px beyond the left edge after docking (X={board.x})"
        screen.move(800, 400)
        assert board.wait_at(x=-243, timeout=5), f"did not slide out to a 4 px strip (X={board.x})"
        screen.move(1, y + 100)
        assert board.wait_at(x=-4, timeout=5), f"did not slide back when the strip was touched (X={board.x})"

    def test_an_alarm_shows_its_note_without_a_sound_device(self, wine_jotlark, wine_screen):
        """No sound device in the prefix: MCI cannot open C:\\DI.mp3, and the alarm
        box must show all the same."""
        jotlark, screen = wine_jotlark, wine_screen
        jotlark.stop()
        assert screen.wait_gone("Jotlark", 10), "the board did not close"
        due = (datetime.datetime.now() + datetime.timedelta(seconds=15)).replace(microsecond=0)
        jotlark.profile.set("Main", "S", "1")  # straight to the board
        jotlark.profile.set("1", "D", f"{due.year}/{due.month}/{due.day}")
        jotlark.profile.set("1", "T", f"{due.hour}:{due:%M:%S}")
        jotlark.start(screen)
        assert jotlark.board(timeout=30), "main window did not appear"
        box = screen.wait_window(MessageBox, name="提示", timeout=30)
        assert box, f"no alarm by {datetime.datetime.now():%H:%M:%S} (due {due:%H:%M:%S})"
        assert datetime.datetime.now() >= due, f"the alarm rang before {due:%H:%M:%S}"
        time.sleep(0.3)
        screen.shot("windows-alarm", box)
        assert jotlark.profile.is_("1", "D", "") and jotlark.profile.is_("1", "T", ""), \
            "the reminder was not cleared in the file"
        assert jotlark.answer("提示"), "the alarm box did not close"

