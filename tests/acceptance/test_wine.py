"""The Windows build under Wine: jotlark.exe from the portable folder in Xvfb, in a
fresh 64-bit prefix, driven from outside and observed through C:\\ in the prefix,
the registry and screenshots. Needs scripts/windows build.

The cases run in the order written; each starts from what the one before left."""

import datetime
import time

import pytest

import shutil
import subprocess

import driver
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
        if jotlark.standard_user:
            assert not (jotlark.c_drive / "AT.ini").exists() and not (jotlark.c_drive / "DI.mp3").exists(), \
                "files appeared in C:\\"
            assert (jotlark.virtual_store / "AT.ini.lock").exists(), "no lock beside VirtualStore\\AT.ini"
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
        if jotlark.standard_user:
            assert jotlark.machine_run_value() == "", "a value appeared in HKLM's denied Run key"
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


    # ---- the files of a standard user ----

    def test_an_existing_virtual_store_copy_is_used(self, wine_jotlark, wine_screen):
        """VirtualStore\\AT.ini with notes takes the place of C:\\AT.ini, which stays untouched."""
        jotlark, screen = wine_jotlark, wine_screen
        if not jotlark.standard_user:
            pytest.skip("a standard user's case")
        jotlark.stop()
        jotlark.set_c_immutable(False)
        shutil.copy(ROOT / "resources/AT.ini", jotlark.c_drive / "AT.ini")  # an older C:\\AT.ini
        jotlark.set_c_immutable(True)
        before = (jotlark.c_drive / "AT.ini").read_bytes()
        jotlark.profile.set("Main", "S", "1")
        board = jotlark.running_board(screen)
        store_note(jotlark, board, 4, "second note")
        assert wait_until(lambda: jotlark.profile.is_("Main", "4", "second note"), 3), \
            f"key 4 is '{jotlark.profile.value('Main', '4')}'"
        assert jotlark.profile.is_("Main", "2", "wine note 1"), "the earlier note is gone"
        assert (jotlark.c_drive / "AT.ini").read_bytes() == before, "C:\\AT.ini changed"

    def test_an_unwritable_c_ini_is_copied_once(self, wine_jotlark, wine_screen):
        """A C:\\AT.ini the user may not replace is copied into VirtualStore with its notes."""
        jotlark, screen = wine_jotlark, wine_screen
        if not jotlark.standard_user:
            pytest.skip("a standard user's case")
        jotlark.stop()
        shutil.rmtree(jotlark.virtual_store)
        original = driver.Profile(jotlark.c_drive / "AT.ini")
        jotlark.set_c_immutable(False)
        original.set("Main", "S", "1")
        original.set("Main", "5", "from C")
        shutil.copy(ROOT / "resources/DI.mp3", jotlark.c_drive / "DI.mp3")
        jotlark.set_c_immutable(True)
        before = original.raw()
        board = jotlark.running_board(screen)
        assert jotlark.profile.raw() == before, "VirtualStore\\AT.ini is not a copy of C:\\AT.ini"
        assert jotlark.sound.exists(), "no DI.mp3 beside the copy"
        store_note(jotlark, board, 6, "after the seed")
        assert wait_until(lambda: jotlark.profile.is_("Main", "6", "after the seed"), 3), \
            f"key 6 is '{jotlark.profile.value('Main', '6')}'"
        assert jotlark.profile.is_("Main", "5", "from C"), "the note from C:\\AT.ini is lost"
        assert original.raw() == before, "C:\\AT.ini changed"
        jotlark.stop()
        jotlark.running_board(screen)
        assert jotlark.profile.is_("Main", "6", "after the seed"), "the copy was seeded again at the next start"

    # ---- sound and installer ----

    def test_the_alarm_plays_a_stream_under_the_null_sink(self, wine_jotlark, wine_screen, work):
        """With a sound device (PulseAudio's null sink) the alarm really plays: a
        playback stream exists while the box is up, and none after it closes."""
        jotlark, screen = wine_jotlark, wine_screen
        if shutil.which("pulseaudio") is None:
            pytest.fail("no PulseAudio (package pulseaudio)")
        jotlark.stop()
        assert screen.wait_gone("Jotlark", 10), "the board did not close"
        server, sound_env = driver.start_null_sink(work / f"sink-{id(jotlark)}")
        assert server, "PulseAudio did not start"
        try:
            jotlark.env.update(sound_env)
            due = (datetime.datetime.now() + datetime.timedelta(seconds=15)).replace(microsecond=0)
            jotlark.profile.set("Main", "S", "1")
            jotlark.profile.set("2", "D", f"{due.year}/{due.month}/{due.day}")
            jotlark.profile.set("2", "T", f"{due.hour}:{due:%M:%S}")
            jotlark.start(screen)
            assert jotlark.board(timeout=30), "main window did not appear"
            assert driver.sink_inputs(sound_env) == 0, "a stream plays before the alarm"
            assert screen.wait_window(MessageBox, name="提示", timeout=30), "no alarm"
            assert wait_until(lambda: driver.sink_inputs(sound_env) > 0, 5), \
                "no playback stream while the alarm box is up"
            assert jotlark.answer("提示"), "the alarm box did not close"
            assert wait_until(lambda: driver.sink_inputs(sound_env) == 0, 5), "the stream stayed after the box closed"
        finally:
            jotlark.stop()
            for key in sound_env:
                jotlark.env.pop(key, None)
            server.terminate()
            server.wait()

    def test_the_installer_installs_and_uninstalls_silently(self, wine_jotlark, wine_screen):
        jotlark, screen = wine_jotlark, wine_screen
        installer = jotlark.executable.parent.parent / "jotlark-windows-installer.exe"
        assert installer.is_file(), f"no {installer} (run scripts/windows build)"
        jotlark.stop()
        installed = jotlark.folder("LOCALAPPDATA") / "Programs" / "Jotlark"
        shortcut = jotlark.folder("APPDATA") / "Microsoft/Windows/Start Menu/Programs/Jotlark.lnk"
        uninstall_key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Jotlark"
        jotlark.wine("wine", str(installer), "/S")
        assert wait_until(lambda: (installed / "jotlark.exe").is_file(), 30), f"nothing in {installed}"
        assert shortcut.is_file(), f"no Start-menu shortcut at {shortcut}"
        assert jotlark.registry_value(uninstall_key, "UninstallString"), "no uninstall entry"
        program = driver.WineProgram(jotlark.work / "installed", installed / "jotlark.exe")
        program.env = jotlark.env
        program.start(screen)
        assert program.board(timeout=30), "the installed program shows no board"
        program.stop()
        # A start-up value of the installed copy goes with it; the notes stay.
        target = f'"{jotlark.windows_path(installed / "jotlark.exe")}"'
        jotlark.wine("wine", "reg", "add", driver.USER_RUN_KEY, "/v", "jotlark", "/d", target, "/f")
        notes = jotlark.profile.raw()
        jotlark.wine("wine", str(installed / "uninstall.exe"), "/S")
        assert wait_until(lambda: not (installed / "jotlark.exe").exists() and not (installed / "Qt6Core.dll").exists(),
                          30), "the program files stayed"
        assert wait_until(lambda: not jotlark.registry_value(uninstall_key, "UninstallString"), 10), \
            "the uninstall entry stayed"
        assert not shortcut.exists(), "the shortcut stayed"
        assert jotlark.registry_value(driver.USER_RUN_KEY, "jotlark") == "", "the HKCU Run value stayed"
        assert jotlark.profile.raw() == notes and jotlark.sound.exists(), "the uninstaller touched AT.ini or DI.mp3"


def store_note(jotlark, board, slot, text):
    """Types text into the note box and stores it in slot, answering both boxes."""
    screen = jotlark.screen
    screen.click(board.note_box())
    screen.key("ctrl+a", "BackSpace")
    screen.type(text, delay=40)
    screen.click(board.slot_number(slot))
    assert jotlark.answer("保存确认"), "no store confirmation"
    assert jotlark.answer("提示"), "no stored message"
