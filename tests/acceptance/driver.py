"""Drives the real Jotlark from outside: X servers, window managers, the program
(native or under Wine), its windows by name and size, and its settings file.

Everything the X11 and the Wine cases share lives here once: one poll interval,
one way to wait, one way to answer a message box, one drag.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time
from contextlib import contextmanager
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]

# How often every wait looks again, and how often a message box is answered
# before the case gives up on it.
POLL = 0.05
ANSWER_TRIES = 5
# How long a window may take to appear (the program starts, a box opens).
WINDOW_TIMEOUT = 20


def wait_until(predicate, timeout):
    """Polls predicate every POLL seconds; True as soon as it holds, False when
    timeout seconds have passed without it."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            if predicate():
                return True
        except (subprocess.CalledProcessError, OSError, ValueError):
            pass
        if time.monotonic() > deadline:
            return False
        time.sleep(POLL)


def proc_alive(pid):
    """A process that has ended but is not yet waited for (a zombie) is not running."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except (OSError, IndexError):
        return False


# ---- X servers ----


class XServer:
    """An X server started with -displayfd, so that parallel runs never share a display."""

    def __init__(self, argv, log):
        self.log = log
        r, w = os.pipe()
        with open(log, "ab") as out:
            self.proc = subprocess.Popen(argv + ["-displayfd", str(w)], pass_fds=(w,), stdout=out, stderr=out)
        os.close(w)
        self.display = None
        number = b""
        deadline = time.monotonic() + 20
        os.set_blocking(r, False)
        while time.monotonic() < deadline and self.proc.poll() is None:
            try:
                number += os.read(r, 16) or b""
            except BlockingIOError:
                pass
            if number.endswith(b"\n") and self._answers(":" + number.decode().strip()):
                self.display = ":" + number.decode().strip()
                break
            time.sleep(POLL)
        os.close(r)

    @staticmethod
    def _answers(display):
        env = dict(os.environ, DISPLAY=display)
        return subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0

    def last_log_line(self):
        try:
            return Path(self.log).read_text(errors="replace").strip().splitlines()[-1]
        except (OSError, IndexError):
            return ""

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


def start_xvfb(work):
    """One 1280 x 800 screen. -noreset: without it the server resets whenever its
    last client leaves (the program stopped between two cases), and a program
    started during that reset is refused."""
    return XServer(["Xvfb", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"], work / "xvfb.log")


# Xvfb cannot declare monitors; Xorg with the dummy driver can: one 2560 x 800
# screen split by xrandr into LEFT (0-1279) and RIGHT (1280-2559, the primary).
DUMMY_XORG_CONF = """\
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "2560x800" 173.00 2560 2728 3000 3440 800 803 809 838
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "2560x800"
    Virtual 2560 800
  EndSubSection
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
EndSection
"""


def start_two_monitors(work):
    """Xorg's dummy driver with two monitors; the server's display is None when it did not start."""
    conf = work / "xorg.conf"
    conf.write_text(DUMMY_XORG_CONF)
    server = XServer(
        ["Xorg", "-config", str(conf), "-configdir", str(work / "none"), "-noreset", "-nolisten", "tcp",
         "-logfile", str(work / "xorg.log")],
        work / "xorg.out")
    server.log = work / "xorg.log"
    if server.display:
        env = dict(os.environ, DISPLAY=server.display)
        # RIGHT takes the server's one output, and with it the primary flag.
        for args in (["--setmonitor", "RIGHT", "1280/338x800/212+1280+0", "DUMMY0"],
                     ["--setmonitor", "LEFT", "1280/338x800/212+0+0", "none"],
                     ["--output", "DUMMY0", "--primary"]):
            if subprocess.run(["xrandr", *args], env=env, capture_output=True).returncode != 0:
                server.display = None
                break
    return server


# ---- window managers ----


class WindowManager:
    """A window manager in its own process group on a display. A start that has
    not taken the screen (_NET_SUPPORTING_WM_CHECK on the root) within
    TAKE_SCREEN seconds is a slow start on a busy machine: it is tried once more."""

    TAKE_SCREEN = 15
    name = "none"
    argv = None
    env = {}

    def __init__(self, screen, work):
        self.screen = screen
        self.log = work / "wm.log"
        self.proc = None

    def program_environment(self):
        """What a program started on this desktop needs besides the display (a
        compositor gives its WAYLAND_DISPLAY, ...)."""
        return {}

    def running(self):
        out = self.screen.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)
        return "window id" in out

    def start(self):
        if self.argv is None:
            return True
        for _ in range(2):
            with open(self.log, "ab") as out:
                self.proc = subprocess.Popen(self.argv, env=dict(self.screen.env, **self.env), stdout=out,
                                             stderr=out, start_new_session=True)
            if wait_until(self.running, self.TAKE_SCREEN):
                return True
            self.stop()
        return False

    def log_tail(self):
        try:
            return " | ".join(self.log.read_text(errors="replace").strip().splitlines()[-3:])
        except OSError:
            return ""

    def stop(self):
        if self.proc is None:
            return
        try:
            os.killpg(self.proc.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        self.proc.wait()
        self.proc = None
        self.screen.run(["xprop", "-root", "-remove", "_NET_SUPPORTING_WM_CHECK"], check=False)


class Openbox(WindowManager):
    name = "openbox"
    argv = ["openbox", "--sm-disable"]


class Xfwm4(WindowManager):
    # xfwm4 reads its settings over D-Bus, so it gets a session bus of its own.
    name = "xfwm4"
    argv = ["dbus-run-session", "--", "xfwm4", "--compositor=off", "--sm-client-disable"]
    env = {"NO_AT_BRIDGE": "1"}


# The desktops the docking cases run on; a new one is a class above and a row here.
DESKTOPS = {"none": WindowManager, "openbox": Openbox, "xfwm4": Xfwm4}


# ---- the screen: windows, input, pixels ----


COVER_RGB = "#0000FF"


@dataclass
class Geometry:
    x: int
    y: int
    width: int
    height: int


class Screen:
    """One X display, seen and driven with xdotool and ImageMagick."""

    def __init__(self, display, work, shots):
        self.display = display
        self.work = work
        self.shots = shots
        self.env = dict(os.environ, DISPLAY=display)

    def run(self, argv, check=True):
        try:
            result = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=WINDOW_TIMEOUT)
        except subprocess.TimeoutExpired:
            if check:
                raise
            return ""
        if check and result.returncode != 0:
            raise subprocess.CalledProcessError(result.returncode, argv, result.stdout, result.stderr)
        return result.stdout

    def succeeds(self, argv):
        try:
            self.run(argv)
            return True
        except (subprocess.CalledProcessError, subprocess.TimeoutExpired):
            return False

    def xdotool(self, *args, check=True):
        return self.run(["xdotool", *map(str, args)], check=check)

    # windows
    def windows_named(self, name):
        """Visible windows whose name is exactly name."""
        return self.xdotool("search", "--onlyvisible", "--name", f"^{name}$", check=False).split()

    def has_window(self, name):
        return bool(self.windows_named(name))

    def no_window(self, name):
        return not self.windows_named(name)

    def describe(self):
        """The visible windows with their names and geometry, for a failure message."""
        seen = []
        for wid in self.xdotool("search", "--onlyvisible", "--name", ".", check=False).split():
            try:
                seen.append(f"{self.xdotool('getwindowname', wid).strip()!r} {self.geometry(wid)}")
            except subprocess.CalledProcessError:
                pass
        return "visible windows: " + (", ".join(seen) or "none")

    def geometry(self, wid):
        values = dict(line.split("=", 1) for line in self.xdotool("getwindowgeometry", "--shell", wid).split())
        return Geometry(int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"]))

    def window_gone(self, wid):
        return str(wid) not in self.xdotool("search", "--onlyvisible", "--name", ".", check=False).split()

    def find(self, kind, name=None, size=None):
        """The visible window of kind's name and size, or None."""
        name = name or kind.NAME
        size = size if size is not None else kind.SIZE
        for wid in self.windows_named(name):
            if size is None:
                return kind(self, wid)
            g = self.geometry(wid)
            if (g.width, g.height) == size:
                return kind(self, wid)
        return None

    def wait_window(self, kind, name=None, size=None, timeout=WINDOW_TIMEOUT):
        """Waits for the window of kind's name and size; None when it did not come."""
        found = []
        wait_until(lambda: found.append(self.find(kind, name, size)) or found[-1], timeout)
        return found[-1] if found else None

    def wait_gone(self, name, timeout=5):
        return wait_until(lambda: self.no_window(name), timeout)

    # input
    def move(self, x, y):
        self.xdotool("mousemove", x, y)

    def click(self, point, button=1):
        self.xdotool("mousemove", point[0], point[1], "sleep", "0.1", "click", button)

    def key(self, *keys):
        self.xdotool("key", *keys)

    def type(self, text, delay=12):
        self.xdotool("type", "--delay", delay, text)

    def focus(self, wid):
        """Gives a window the keyboard focus: through the window manager where there is one."""
        if not self.succeeds(["xdotool", "windowactivate", "--sync", str(wid)]):
            self.xdotool("windowfocus", "--sync", wid, check=False)

    def drag(self, start, end):
        """Left button down at start, moved to end in eight steps; the button stays held."""
        self.xdotool("mousemove", start[0], start[1], "sleep", "0.2", "mousedown", 1)
        for i in range(1, 9):
            self.move(start[0] + int((end[0] - start[0]) * i / 8), start[1] + int((end[1] - start[1]) * i / 8))
            time.sleep(0.05)
        time.sleep(0.2)

    def release(self):
        self.xdotool("mouseup", 1)

    @contextmanager
    def dragging(self, start, end):
        """drag(), with the button released when the block ends (checks inside see the held drag)."""
        self.drag(start, end)
        try:
            yield
        finally:
            self.release()

    @contextmanager
    def covered(self, x, y, width, height, rgb=COVER_RGB):
        """An ordinary window of one colour there for the length of a block, mapped
        now (so above what is there); the block gets the window, or None when it
        did not appear."""
        proc = subprocess.Popen(["display", "-title", "cover", "-geometry", f"+{x}+{y}", "-size",
                                 f"{width}x{height}", f"xc:{rgb}"], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        try:
            yield self.wait_window(Window, name="cover", size=None)
        finally:
            proc.terminate()
            proc.wait()

    # pixels and screenshots
    def _capture(self):
        path = self.work / "screen.png"
        self.run(["import", "-window", "root", str(path)])
        return path

    def pixel(self, x, y):
        """The colour of a screen pixel as "#RRGGBB"."""
        out = self.run(["convert", str(self._capture()), "-format", f"%[hex:p{{{x},{y}}}]", "info:"])
        return "#" + out.strip()[:6]

    def pixel_is(self, x, y, rgb):
        return self.pixel(x, y) == rgb

    def shot(self, name, window=None):
        """A screenshot of a window (or of the whole screen) into the screenshots folder."""
        path = self._capture()
        target = self.shots / f"{name}.png"
        if window is None:
            shutil.copyfile(path, target)
            return
        g = window.geometry()
        self.run(["convert", str(path), "-crop", f"{g.width}x{g.height}+{max(g.x, 0)}+{max(g.y, 0)}", "+repage",
                  str(target)])


# ---- the program's windows, with named places ----


def place(dx, dy, doc=None):
    """A named place on a window: a method giving the screen point dx, dy from its corner."""

    def point(self):
        return self.at(dx, dy)

    point.__doc__ = doc
    return point


class Window:
    NAME = None
    SIZE = None

    def __init__(self, screen, wid):
        self.screen = screen
        self.id = wid

    def geometry(self):
        return self.screen.geometry(self.id)

    @property
    def x(self):
        return self.geometry().x

    @property
    def y(self):
        return self.geometry().y

    def at(self, dx, dy):
        g = self.geometry()
        return (g.x + dx, g.y + dy)

    def gone(self):
        return self.screen.window_gone(self.id)

    def is_at(self, x=None, y=None):
        g = self.geometry()
        return (x is None or g.x == x) and (y is None or g.y == y)

    def wait_at(self, x=None, y=None, timeout=3):
        """Waits until the window's position is x (and/or) y."""
        return wait_until(lambda: self.is_at(x, y), timeout)


class MessageBox(Window):
    pass


class Board(Window):
    """The main window, 247 x 320 px: title strip, note box, six slot rows 40 px apart from y 80."""
    NAME, SIZE = "Jotlark", (247, 320)

    title_point = place(120, 10, "Where a drag takes the title strip.")
    title_menu_point = place(60, 10, "Where a right-click on the title strip opens the title menu.")
    note_box = place(60, 45)

    def strip_point(self, dx=5):
        """A pixel of the title strip, clear of its text."""
        return self.at(dx, 5)

    @staticmethod
    def slot_dy(n):
        return 80 + 40 * (n - 1) + 16

    def slot_number(self, n):
        """Slot n's number button (stores the note there)."""
        return self.at(20, self.slot_dy(n))

    def slot_label(self, n):
        """Slot n's label (a right-click opens the slot menu)."""
        return self.at(120, self.slot_dy(n))

    def open_slot_menu(self, n):
        """Right-clicks slot n's label; the slot menu, or None."""
        self.screen.click(self.slot_label(n), 3)
        return self.screen.wait_window(SlotMenu)

    def open_title_menu(self):
        """Right-clicks the title strip; the title menu, or None."""
        self.screen.click(self.title_menu_point(), 3)
        return self.screen.wait_window(TitleMenu)

    def open_settings(self):
        """设置 from the title menu; the settings window, or None."""
        menu = self.open_title_menu()
        assert menu, "no title menu"
        self.screen.click(menu.item("设置"))
        return self.screen.wait_window(SettingsWindow)


class Menu(Window):
    """A pop-up menu of label buttons 24 px apart, all at x 19."""
    ITEMS = ()

    def item(self, text):
        return self.at(19, 12 + 24 * self.ITEMS.index(text))


class SlotMenu(Menu):
    NAME, SIZE = "档案菜单", (38, 97)
    ITEMS = ("修改", "提醒", "删除", "取消")


class TitleMenu(Menu):
    NAME, SIZE = "Jotlark", (38, 120)
    ITEMS = ("移动", "设置", "关于", "退出", "取消")


class HelpPage(Window):
    NAME, SIZE = "帮助", (304, 411)

    dont_show_again = place(30, 394, "不再显示本页面")
    enter = place(150, 394, "立即进入Jotlark")


class SettingsWindow(Window):
    NAME, SIZE = "设置", (312, 223)

    autostart = place(20, 44, "开机自启动")
    save = place(116, 203, "保存")
    close = place(196, 203, "关闭")

    def theme_swatch(self, theme):
        return self.at(36 + 80 * (theme - 1), 136)


class ReminderEditor(Window):
    # The designed 303 x 195 and the repeat row below it.
    NAME, SIZE = "时间设置", (303, 228)

    hour_box = place(192, 112)
    minute_box = place(256, 112)
    save = place(268, 147, "保存")
    delete = place(128, 147, "删除提醒")
    repeat_box = place(150, 208, "重复")


# The title strip's colour in each theme.
STRIP_RGB = {1: "#FF8000", 2: "#80FFFF", 3: "#FF80FF", 4: "#80FF80"}


# ---- the settings file ----


class Profile:
    """The settings file as the program writes it: GBK, CR LF lines."""

    def __init__(self, path):
        self.path = Path(path)

    def raw(self):
        return self.path.read_bytes()

    def value(self, section, key):
        """The value of key in [section] (the first such line), decoded from GBK; None when absent."""
        current = None
        for line in self.raw().split(b"\r\n"):
            if line.startswith(b"["):
                current = line
            elif current == f"[{section}]".encode() and line.startswith(key.encode() + b"="):
                return line[len(key) + 1:].decode("gbk")
        return None

    def is_(self, section, key, value):
        return self.value(section, key) == value

    def set(self, section, key, value):
        """Sets every key= line of [section] to value, as an editor outside the program would."""
        lines = self.raw().split(b"\r\n")
        current = None
        for i, line in enumerate(lines):
            if line.startswith(b"["):
                current = line
            elif current == f"[{section}]".encode() and line.split(b"=")[0] == key.encode():
                lines[i] = key.encode() + b"=" + value.encode("gbk")
        self.path.write_bytes(b"\r\n".join(lines))


# ---- the program ----


class Program:
    """The program started on a screen with its own settings folder. Subclasses say
    how it is started and where its files are."""

    REFUSED = "Could not load the Qt platform plugin"

    def __init__(self, work):
        self.work = work
        work.mkdir(parents=True, exist_ok=True)
        self.log = work / "app.log"
        self.proc = None
        self.screen = None
        # Set by the desktop the program runs on, for every start there.
        self.desktop_env = {}

    # what a subclass gives
    def command(self):
        raise NotImplementedError

    def environment(self):
        return {}

    def cwd(self):
        return None

    def kill(self):
        self.proc.kill()

    # starting and stopping
    def _spawn(self):
        with open(self.log, "ab") as out:
            env = {**self.screen.env, **self.desktop_env, **self.environment()}
            self.proc = subprocess.Popen(self.command(), env=env,
                                         cwd=self.cwd(), stdout=out, stderr=subprocess.STDOUT)

    def start(self, screen):
        """Starts the program. On a shared machine a start now and then finds the
        display refusing its connection; such a start, and only such a start, is
        tried once more."""
        self.screen = screen
        before = self.log.stat().st_size if self.log.exists() else 0
        self._spawn()
        time.sleep(0.3)
        if not self.running() and self.REFUSED in self.log.read_text(errors="replace")[before:]:
            print("    (the display refused the program's connection; starting it once more)")
            self._spawn()

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def stop(self):
        if self.proc is not None:
            if self.proc.poll() is None:
                self.kill()
            self.proc.wait()
            self.proc = None
        if self.screen is not None:
            self.screen.wait_gone(Board.NAME)

    def ended(self, timeout):
        """Waits for the program to end by itself."""
        ended = wait_until(lambda: not self.running(), timeout)
        if ended:
            self.proc = None
        return ended

    def log_tail(self, lines=5):
        try:
            return "\n".join(self.log.read_text(errors="replace").splitlines()[-lines:])
        except OSError:
            return ""

    # driving it
    def board(self, timeout=WINDOW_TIMEOUT):
        return self.screen.wait_window(Board, timeout=timeout)

    def running_board(self, screen):
        """The main window, the program started first when it is not running."""
        if not self.running():
            self.start(screen)
        found = self.board()
        assert found, f"main window did not appear; {self.screen.describe()}"
        return found

    def answer(self, name, key="Return"):
        """Waits for a box of that title and presses its default button, as a person
        does: the box gets the keyboard focus, then a real key press goes to it. A
        key sent to a box before it has the focus is kept and delivered later to
        whatever has the focus then, so keys are only sent while the box is there
        and focused."""
        box = self.screen.wait_window(MessageBox, name=name)
        if box is None:
            return False
        for _ in range(ANSWER_TRIES):
            time.sleep(0.2)
            if box.gone():
                return True
            self.screen.focus(box.id)
            self.screen.key(key)
            if wait_until(box.gone, 3):
                return True
        return False


class NativeProgram(Program):
    """build/app/jotlark with XDG folders of its own."""

    def __init__(self, work, executable):
        super().__init__(work)
        self.executable = executable
        self.config = work / "config"
        self.runtime = work / "runtime"
        self.runtime.mkdir(mode=0o700, parents=True, exist_ok=True)
        self.profile = Profile(self.config / "jotlark" / "AT.ini")
        self.sound = self.config / "jotlark" / "DI.mp3"

    def command(self):
        return [str(self.executable)]

    def environment(self):
        return {"XDG_CONFIG_HOME": str(self.config), "XDG_RUNTIME_DIR": str(self.runtime),
                "QT_MEDIA_BACKEND": "gstreamer"}


RUN_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"


class WineProgram(Program):
    """jotlark.exe from the portable folder, in a fresh 64-bit prefix of its own,
    run as Wine runs programs (an administrator, C:\\ writable); its files are in
    C:\\ of the prefix."""

    def __init__(self, work, executable):
        super().__init__(work)
        self.executable = executable
        self.prefix = work / "prefix"
        self.profile = Profile(self.prefix / "drive_c" / "AT.ini")
        self.sound = self.prefix / "drive_c" / "DI.mp3"
        self.env = {}

    def environment(self):
        return self.env

    def make_prefix(self):
        """Makes the prefix with scripts/wine-env.sh (the one home of the Wine
        settings) and keeps the environment it sets."""
        script = 'source "$0" && wine_prefix "$1" >/dev/null && env -0'
        out = subprocess.run(["bash", "-c", script, str(ROOT / "scripts" / "wine-env.sh"), str(self.prefix)],
                             env=self.screen.env, capture_output=True, check=True).stdout
        env = dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)
        self.env = {k: v for k, v in env.items() if k.startswith(("WINE", "LC_", "QT_"))}

    def wine(self, *args):
        """Runs a Wine tool in the prefix; its output (the console's code page 936) as text."""
        env = dict(self.screen.env, **self.env)
        return subprocess.run(list(args), env=env, capture_output=True).stdout.decode("gbk", errors="replace")

    def command(self):
        return ["wine", self.executable.name]

    def cwd(self):
        return self.executable.parent

    def kill(self):
        self.proc.terminate()
        self.wine("wineserver", "-k")

    def windows_path(self, path):
        return self.wine("winepath", "-w", str(path)).strip()

    standard_user = False

    @property
    def c_drive(self):
        return self.prefix / "drive_c"

    def unix_path(self, windows_path):
        return Path(self.wine("winepath", "-u", windows_path).strip())

    def folder(self, variable):
        """A folder of the user's environment (LOCALAPPDATA, APPDATA) as a Unix path."""
        return self.unix_path(self.wine("wine", "cmd", "/c", f"echo %{variable}%").strip())

    def registry_value(self, key, name):
        """The value called name in key, or ""."""
        for line in self.wine("wine", "reg", "query", key, "/v", name).replace("\r", "").splitlines():
            fields = line.split(None, 2)
            if len(fields) == 3 and fields[0] == name:
                return fields[2].strip()
        return ""

    def machine_run_value(self):
        return self.registry_value(RUN_KEY, "jotlark")

    def run_value(self):
        """The Run value named jotlark where the program should write it, or ""."""
        return self.machine_run_value()

    def shutdown(self):
        self.wine("wineserver", "-k")


USER_RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"


class StandardUserWineProgram(WineProgram):
    """As a standard user under UAC: creating files in C:\\ fails with access denied
    (chattr +i on drive_c; C:\\ is not marked read-only) and HKLM's Run key may only
    be read (setkeyaccess.exe, built with the Windows tests). The files then live
    in %LOCALAPPDATA%\\VirtualStore, the start-up value under HKCU."""

    standard_user = True

    def make_prefix(self):
        super().make_prefix()
        helper = self.executable.parent.parent / "build" / "tests" / "wine" / "setkeyaccess.exe"
        if not helper.is_file():
            raise RuntimeError(f"no {helper} (run scripts/windows build)")
        denied = subprocess.run(["wine", str(helper), "HKLM", RUN_KEY.split("\\", 1)[1], "read"],
                                env=dict(self.screen.env, **self.env), capture_output=True)
        if denied.returncode != 0:
            raise RuntimeError(f"could not deny HKLM's Run key: {denied.stderr.decode(errors='replace')}")
        self.set_c_immutable(True)
        probe = self.c_drive / "jotlark-denied.txt"
        self.wine("wine", "cmd", "/c", r"echo x > C:\jotlark-denied.txt")
        if probe.exists():
            raise RuntimeError("creating a file in C:\\ still works after chattr +i")
        self.virtual_store = self.folder("LOCALAPPDATA") / "VirtualStore"
        self.profile = Profile(self.virtual_store / "AT.ini")
        self.sound = self.virtual_store / "DI.mp3"

    def set_c_immutable(self, on):
        """chattr needs root (CAP_LINUX_IMMUTABLE) and a file system with the flag (ext4, xfs, btrfs)."""
        sudo = [] if os.geteuid() == 0 else ["sudo", "-n"]
        result = subprocess.run(sudo + ["chattr", "+i" if on else "-i", str(self.c_drive)], capture_output=True)
        if on and result.returncode != 0:
            raise RuntimeError(f"chattr +i on drive_c failed (root and ext4/xfs/btrfs needed): {result.stderr!r}")

    def run_value(self):
        return self.registry_value(USER_RUN_KEY, "jotlark")

    def shutdown(self):
        super().shutdown()
        self.set_c_immutable(False)  # or the work folder cannot be removed


# The Wine set-ups the Wine cases run in; a new one is a WineProgram subclass with
# its own make_prefix and a row here.
WINE_PROGRAMS = {"administrator": WineProgram, "standard-user": StandardUserWineProgram}


def start_null_sink(work):
    """PulseAudio with a null sink in a folder of its own; returns (process, environment
    for the programs that use it: the player and pactl)."""
    runtime = work / "pulse"
    runtime.mkdir(mode=0o700, parents=True, exist_ok=True)
    env = dict(os.environ, XDG_RUNTIME_DIR=str(runtime))
    proc = subprocess.Popen(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                             "-L", "module-native-protocol-unix", "-L", "module-null-sink sink_name=nullsink",
                             "-L", "module-always-sink"], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    up = wait_until(lambda: subprocess.run(["pactl", "info"], env=env, capture_output=True).returncode == 0, 10)
    if not up:
        proc.kill()
        proc.wait()
        return None, {}
    return proc, {"XDG_RUNTIME_DIR": str(runtime)}


def sink_inputs(env):
    """How many playback streams the sound server has."""
    out = subprocess.run(["pactl", "list", "short", "sink-inputs"], env=dict(os.environ, **env),
                         capture_output=True, text=True).stdout
    return len([line for line in out.splitlines() if line.strip()])


def new_work_folder():
    return Path(tempfile.mkdtemp(prefix="jotlark-acceptance-"))
