"""Drives the real Jotlark from outside: X servers, window managers, the program
(native or under Wine), its windows by name and size, and its settings file.

Everything the X11 and the Wine cases share lives here once: one poll interval,
one way to wait, one way to answer a message box, one drag.
"""

import glob
import math
import os
import pwd
import re
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


def end_process_group(proc, timeout=5):
    """Ends a process started with start_new_session and all it started (SIGTERM,
    then SIGKILL after timeout seconds)."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(proc.pid, sig)
            proc.wait(timeout)
            return
        except ProcessLookupError:
            proc.wait()
            return
        except subprocess.TimeoutExpired:
            pass


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
    # The groups of desktop cases that run here (a case names its group with
    # @pytest.mark.desktop_case; unmarked ones are "windows").
    CASES = ("docking", "windows")
    # Whether a desktop that cannot start on this machine skips its cases (with the
    # reason) instead of failing them.
    OPTIONAL = False
    # Whether it puts a new window where it likes, not where the program asks.
    PLACES_WINDOWS = False

    def __init__(self, screen, work):
        # The screen the program runs on: this one, or one the desktop makes.
        self.screen = screen
        self.log = work / "wm.log"
        self.proc = None
        self.reason = ""

    def bare(self):
        """The display as it is: nothing to start, the program need not restart."""
        return self.argv is None

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

    def why_not(self):
        return self.reason or f"it did not take the screen ({self.log_tail()})"

    def stop(self):
        if self.proc is None:
            return
        end_process_group(self.proc)
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


# ---- the screen: windows, input, pixels ----


COVER_RGB = "#0000FF"


@dataclass
class Geometry:
    x: int
    y: int
    width: int
    height: int


class Screen:
    """One X display, seen and driven with xdotool and ImageMagick. scale: device
    pixels per logical pixel of the program there (QT_SCALE_FACTOR); the places on
    its windows and their sizes are given in logical pixels."""

    def __init__(self, display, work, shots, scale=1, env=None):
        self.display = display
        self.work = work
        self.shots = shots
        self.scale = scale
        self.env = dict(os.environ, DISPLAY=display, **(env or {}))
        self.env.pop("WAYLAND_DISPLAY", None)

    def size(self):
        """The screen's width and height in device pixels."""
        width, height = self.xdotool("getdisplaygeometry").split()
        return int(width), int(height)

    def device(self, logical):
        """Logical pixels in device pixels, rounded as Qt rounds (halves away from 0)."""
        return int(math.floor(logical * self.scale + 0.5))

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
        size = size if size is not None else kind.SIZE and tuple(map(self.device, kind.SIZE))
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
    def input(self, *args):
        """xdotool input (pointer and keys) where this screen takes it."""
        return self.xdotool(*args)

    def move(self, x, y):
        self.input("mousemove", x, y)

    def click(self, point, button=1):
        self.input("mousemove", point[0], point[1], "sleep", "0.1", "click", button)

    def key(self, *keys):
        self.input("key", *keys)

    def type(self, text, delay=12):
        self.input("type", "--delay", delay, text)

    def focus(self, wid):
        """Gives a window the keyboard focus: through the window manager where there is one."""
        if not self.succeeds(["xdotool", "windowactivate", "--sync", str(wid)]):
            self.xdotool("windowfocus", "--sync", wid, check=False)

    def drag(self, start, end):
        """Left button down at start, moved to end in eight steps; the button stays held."""
        self.input("mousemove", start[0], start[1], "sleep", "0.2", "mousedown", 1)
        for i in range(1, 9):
            self.move(start[0] + int((end[0] - start[0]) * i / 8), start[1] + int((end[1] - start[1]) * i / 8))
            time.sleep(0.05)
        time.sleep(0.2)

    def release(self):
        self.input("mouseup", 1)

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

    def area_of(self, rgb):
        """The smallest rectangle holding every pixel of that colour, as Geometry, or
        None: where no X window tells where a window is (a native Wayland client)."""
        out = self.run(["convert", str(self._capture()), "-fill", "black", "+opaque", rgb, "-fill", "white",
                        "-opaque", rgb, "-bordercolor", "black", "-border", "1", "-format", "%@", "info:"])
        m = re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", out.strip())
        if not m or m.group(1) == "0":
            return None
        width, height, x, y = (int(v) for v in m.groups())
        return Geometry(x - 1, y - 1, width, height)

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


# ---- desktops with a display of their own: a scaled screen, Wayland compositors ----


class Scaled(WindowManager):
    """No window manager on a 2560 x 1600 screen of its own, the program at
    QT_SCALE_FACTOR=1.5, where Qt's logical widths are rounded."""

    name = "scale1.5"
    CASES = ("docking",)
    SCALE = 1.5

    def __init__(self, screen, work):
        super().__init__(screen, work / self.name)
        self.base = screen
        self.work = work / self.name
        self.work.mkdir(parents=True, exist_ok=True)
        self.server = None

    def bare(self):
        return False

    def start(self):
        self.server = XServer(["Xvfb", "-screen", "0", "2560x1600x24", "-nolisten", "tcp", "-noreset"],
                              self.work / "xvfb.log")
        if not self.server.display:
            self.reason = f"Xvfb did not start ({self.server.last_log_line()})"
            return False
        self.screen = Screen(self.server.display, self.work, self.base.shots, scale=self.SCALE)
        return True

    def program_environment(self):
        return {"QT_SCALE_FACTOR": str(self.SCALE)}

    def stop(self):
        if self.server is not None:
            self.server.stop()
            self.server = None
        self.screen = self.base


class NestedScreen(Screen):
    """The XWayland display of a compositor nested in an outer X server: the
    program's windows are found there, while the pointer and the keys go to the
    outer display, where they are the compositor's own input (as a person moves
    the pointer), and pixels are read there, from the composited output. Points
    are in the compositor's output, whose corner lies at origin on the outer
    display."""

    def __init__(self, display, outer, origin, env):
        super().__init__(display, outer.work, outer.shots, env=env)
        self.outer = outer
        self.origin = origin

    def input(self, *args):
        args, ox, oy = list(args), *self.origin
        for i, arg in enumerate(args[:-2]):
            if arg == "mousemove":
                args[i + 1], args[i + 2] = int(args[i + 1]) + ox, int(args[i + 2]) + oy
        return self.outer.xdotool(*args)

    def geometry(self, wid):
        # Inside a compositor's frame xdotool's geometry can be wrong; xwininfo's absolute one is right.
        lines = (line.split(":", 1) for line in self.run(["xwininfo", "-id", str(wid)]).splitlines() if ":" in line)
        v = {key.strip(): value.strip() for key, value in lines}
        return Geometry(int(v["Absolute upper-left X"]), int(v["Absolute upper-left Y"]), int(v["Width"]),
                        int(v["Height"]))

    def _capture(self):
        full = self.outer._capture()
        width, height = self.size()
        path = self.work / "output.png"
        self.run(["convert", str(full), "-crop", f"{width}x{height}+{self.origin[0]}+{self.origin[1]}", "+repage",
                  str(path)])
        return path


class Compositor(WindowManager):
    """A Wayland compositor nested in an outer Xvfb of its own whose screen its
    output fills (so the outer pointer stops at the output's edges), with XWayland:
    the program runs on the XWayland display, driven through the outer one (see
    NestedScreen). A compositor that is missing or cannot start here skips its
    cases, with the reason."""

    OPTIONAL = True
    binary = None
    WIDTH, HEIGHT = 1280, 800
    START_TIMEOUT = 40

    def __init__(self, screen, work):
        super().__init__(screen, work)
        self.base = screen
        self.work = work / self.name
        self.work.mkdir(parents=True, exist_ok=True)
        self.runtime = self.work / "runtime"
        self.runtime.mkdir(mode=0o700, exist_ok=True)
        self.log = self.work / "compositor.log"
        self.outer = None
        self.xauthority = None

    def bare(self):
        return False

    # what a compositor gives
    def launch(self, env):
        """Starts the compositor (self.proc) on the outer display of env."""
        raise NotImplementedError

    def xwayland_display(self):
        """Its XWayland display once it has one, or None."""
        raise NotImplementedError

    def _popen(self, argv, env, **kwargs):
        with open(self.log, "ab") as out:
            self.proc = subprocess.Popen(argv, env=env, stdout=out, stderr=subprocess.STDOUT, start_new_session=True,
                                         **kwargs)

    def _from_log(self, pattern):
        m = re.search(pattern, self.log.read_text(errors="replace")) if self.log.exists() else None
        return f":{m.group(1)}" if m else None

    @staticmethod
    def _from_file(path):
        try:
            return Path(path).read_text().strip() or None
        except OSError:
            return None

    def origin(self, outer):
        """The corner of the compositor's output window on the outer display."""
        for line in outer.run(["xwininfo", "-root", "-children"]).splitlines():
            m = re.search(r"(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)", line)
            if m and (int(m.group(1)), int(m.group(2))) == (self.WIDTH, self.HEIGHT):
                return int(m.group(3)), int(m.group(4))
        return 0, 0

    def start(self):
        if shutil.which(self.binary) is None:
            self.reason = f"{self.binary} is not installed"
            return False
        self.outer = XServer(["Xvfb", "-screen", "0", f"{self.WIDTH}x{self.HEIGHT}x24", "-nolisten", "tcp",
                              "-noreset"], self.work / "outer.log")
        if not self.outer.display:
            self.reason = f"the outer Xvfb did not start ({self.outer.last_log_line()})"
            return False
        outer = Screen(self.outer.display, self.work, self.base.shots)
        env = dict(outer.env, XDG_RUNTIME_DIR=str(self.runtime))
        try:
            self.launch(env)
        except OSError as error:
            self.reason = f"{self.name} could not be run: {error}"
            return False
        found = []
        if not wait_until(lambda: found.append(self.xwayland_display()) or found[-1], self.START_TIMEOUT):
            self.reason = f"{self.name} gave no XWayland display within {self.START_TIMEOUT} s: {self.log_tail()}"
            return False
        env = {"XAUTHORITY": self.xauthority} if self.xauthority else {}
        self.screen = NestedScreen(found[-1], outer, self.origin(outer), env)
        if not wait_until(lambda: self.screen.succeeds(["xdpyinfo"]), WINDOW_TIMEOUT):
            self.reason = f"the XWayland display {found[-1]} of {self.name} does not answer: {self.log_tail()}"
            return False
        return True

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def program_environment(self):
        return {"QT_QPA_PLATFORM": "xcb"}

    def stop(self):
        if self.proc is not None:
            end_process_group(self.proc)
            self.proc = None
        if self.outer is not None:
            self.outer.stop()
            self.outer = None
        self.screen = self.base


class Mutter(Compositor):
    """GNOME's compositor; its XWayland wants the auth file it writes."""
    name, binary = "mutter", "mutter"
    CASES = ("docking",)

    def launch(self, env):
        env["MUTTER_DEBUG_DUMMY_MODE_SPECS"] = f"{self.WIDTH}x{self.HEIGHT}"
        self._popen(["dbus-run-session", "--", "mutter", "--nested", "--wayland", "--wayland-display=jotlark-mutter"],
                    env)

    def xwayland_display(self):
        display = self._from_log(r"Using public X11 display :(\d+)")
        auth = glob.glob(str(self.runtime / ".mutter-Xwaylandauth.*"))
        if display and auth:
            self.xauthority = auth[0]
            return display
        return None


class Kwin(Compositor):
    """KDE's compositor, from a copy of the binary: /usr/bin/kwin_wayland carries
    file capabilities a container may refuse to exec; a copy has none, and must
    keep the name. It runs a command once XWayland is up, which tells the display."""
    name, binary = "kwin", "kwin_wayland"
    CASES = ("docking",)

    def launch(self, env):
        copy = self.work / "bin" / "kwin_wayland"
        copy.parent.mkdir(exist_ok=True)
        shutil.copy(shutil.which("kwin_wayland"), copy)
        report = self.work / "display"
        self._popen(["dbus-run-session", "--", str(copy), "--x11-display", env["DISPLAY"], "--socket", "jotlark-kwin",
                     "--xwayland", "--width", str(self.WIDTH), "--height", str(self.HEIGHT),
                     f"sh -c 'echo $DISPLAY > {report}.tmp; mv {report}.tmp {report}; exec sleep infinity'"], env)

    def xwayland_display(self):
        return self._from_file(self.work / "display")


class Weston(Compositor):
    """weston's X11 backend; it places X11 windows itself."""
    name, binary = "weston", "weston"
    CASES = ("placement",)
    # weston 10 places every new X11 window itself (below its panel), whatever
    # position the window asks for (its position hints included).
    PLACES_WINDOWS = True

    def launch(self, env):
        self._popen(["weston", "--backend=x11-backend.so", "--socket=jotlark-weston", "--xwayland",
                     f"--width={self.WIDTH}", f"--height={self.HEIGHT}", "--idle-time=0"], env)

    def xwayland_display(self):
        return self._from_log(r"xserver listening on display :(\d+)")

    def start(self):
        """Its X11 backend moves its own pointer by the outer pointer's steps, not
        to its place: from the far corner to 0,0 both end on the corner (each stops
        at the same edges), and stay together from then on."""
        if not super().start():
            return False
        for x, y in ((self.WIDTH - 1, self.HEIGHT - 1), (0, 0), (self.WIDTH // 2, self.HEIGHT // 2)):
            self.screen.move(x, y)
            time.sleep(0.1)
        return True


class NativeWayland:
    """A compositor with the program as a native Wayland client (QT_QPA_PLATFORM=
    wayland) on its socket: no X window shows where the board is, the output does."""
    CASES = ("native",)

    # The compositor's Wayland socket in its runtime folder (sway's IPC socket is there too).
    SOCKET = None

    def program_environment(self):
        socket = next(p for p in sorted(self.runtime.glob(self.SOCKET)) if p.is_socket())
        return {"QT_QPA_PLATFORM": "wayland", "WAYLAND_DISPLAY": str(socket)}


class WestonNative(NativeWayland, Weston):
    name, SOCKET = "weston-native", "jotlark-weston"


class Sway(Compositor):
    """sway's X11 backend (wlroots). sway refuses to run as root: it runs as the
    user nobody from a folder of its own, and lets root's clients onto its XWayland
    display."""
    name, binary = "sway", "sway"
    CASES = ("drag",)

    def launch(self, env):
        user = pwd.getpwnam("nobody")
        home = Path(tempfile.mkdtemp(prefix="jotlark-sway-"))
        os.chmod(home, 0o755)
        self._home = home
        self.runtime = home / "runtime"
        self.runtime.mkdir()
        os.chown(self.runtime, user.pw_uid, user.pw_gid)
        os.chmod(self.runtime, 0o700)
        config = home / "sway.conf"
        config.write_text(f"output * resolution {self.WIDTH}x{self.HEIGHT}\nxwayland enable\n"
                          f"exec sh -c 'xhost +si:localuser:root; echo $DISPLAY > {self.runtime}/d.tmp; "
                          f"mv {self.runtime}/d.tmp {self.runtime}/display'\n")
        os.chmod(config, 0o644)
        self._popen(["setpriv", f"--reuid={user.pw_uid}", f"--regid={user.pw_gid}", "--clear-groups", "sway", "-c",
                     str(config)],
                    {"PATH": "/usr/bin:/bin", "HOME": str(self.runtime), "XDG_RUNTIME_DIR": str(self.runtime),
                     "DISPLAY": env["DISPLAY"], "WLR_BACKENDS": "x11", "WLR_RENDERER": "pixman",
                     "WLR_X11_OUTPUTS": "1"})

    def xwayland_display(self):
        return self._from_file(self.runtime / "display")

    def stop(self):
        super().stop()
        shutil.rmtree(getattr(self, "_home", ""), ignore_errors=True)


class SwayNative(NativeWayland, Sway):
    name, SOCKET = "sway-native", "wayland-*"


# The desktops the desktop cases run on, each running its CASES; a new one is a
# class above and a row here.
DESKTOPS = {"none": WindowManager, "openbox": Openbox, "xfwm4": Xfwm4, "scale1.5": Scaled, "mutter": Mutter,
            "kwin": Kwin, "weston": Weston, "sway": Sway, "weston-native": WestonNative,
            "sway-native": SwayNative}


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
        """The screen point dx, dy logical pixels from the window's corner."""
        g = self.geometry()
        return (g.x + self.screen.device(dx), g.y + self.screen.device(dy))

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

    def open_slot_menu(self, n, timeout=WINDOW_TIMEOUT):
        """Right-clicks slot n's label; the slot menu, or None."""
        self.screen.click(self.slot_label(n), 3)
        return self.screen.wait_window(SlotMenu, timeout=timeout)

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

    def settle_in(self):
        """Where the program has not run yet: the default settings file with the help
        page switched off, as after a first start (for a case picked alone)."""
        if not self.profile.path.exists():
            self.profile.path.parent.mkdir(parents=True, exist_ok=True)
            self.profile.path.write_bytes((ROOT / "resources" / "AT.ini").read_bytes())
            self.profile.set("Main", "S", "1")

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
