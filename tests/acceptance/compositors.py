"""Wayland compositors nested in an outer Xvfb, each with its XWayland display.

The compositor runs as a window of the outer X server, which gives it its input:
xdotool on the OUTER display moves the compositor's own pointer, as a person
moves it (a headless compositor driven through XTEST on its XWayland display
never moves that pointer, and hides the faults that matter here). A screenshot
of the outer display shows the composited screen.
"""

import glob
import os
import pwd
import re
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

# The compositor's output, in pixels of the outer display.
WIDTH, HEIGHT = 1024, 700


def _wait(predicate, timeout, step=0.1):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return None


def _free_display(start):
    for n in range(start, start + 200):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return n
    raise RuntimeError("no free X display number")


class Nested:
    """One compositor nested in its own Xvfb. start() returns False (with
    self.reason set) when it cannot start on this machine."""

    name = "?"
    binary = "?"

    def __init__(self, work):
        self.work = Path(work) / self.name
        self.work.mkdir(parents=True, exist_ok=True)
        self.runtime = self.work / "runtime"
        self.runtime.mkdir(exist_ok=True)
        os.chmod(self.runtime, 0o700)
        self.log = self.work / "compositor.log"
        self.outer = None  # ":N"
        self.display = None  # the XWayland display
        self.xauthority = None
        self.reason = ""
        self.started_in = None  # seconds from start to a usable XWayland display
        self._xvfb = None
        self._proc = None

    # ---- the outer display ----

    def _start_outer(self):
        n = _free_display(140)
        self._xvfb = subprocess.Popen(
            ["Xvfb", f":{n}", "-screen", "0", f"{WIDTH + 64}x{HEIGHT + 64}x24", "-noreset", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.outer = f":{n}"
        env = dict(os.environ, DISPLAY=self.outer)
        return _wait(lambda: subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0, 10)

    def outer_env(self):
        return dict(os.environ, DISPLAY=self.outer)

    def xdotool(self, *args):
        """xdotool on the outer display: the compositor's own pointer."""
        return subprocess.run(["xdotool", *map(str, args)], env=self.outer_env(), capture_output=True, text=True)

    def origin(self):
        """Top-left corner of the compositor's output on the outer display."""
        out = subprocess.run(["xwininfo", "-root", "-children"], env=self.outer_env(), capture_output=True,
                             text=True).stdout
        for line in out.splitlines():
            m = re.search(r"(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s+\+(-?\d+)\+(-?\d+)", line)
            if m and int(m.group(1)) == WIDTH and int(m.group(2)) == HEIGHT:
                return int(m.group(5)), int(m.group(6))
        return 0, 0

    def move_pointer(self, x, y):
        """Moves the compositor's pointer to x, y of its output."""
        ox, oy = self.origin()
        self.xdotool("mousemove", x + ox, y + oy)

    def shot(self, path):
        subprocess.run(["import", "-window", "root", str(path)], env=self.outer_env(), capture_output=True)

    # ---- the program's environment ----

    def client_env(self, extra=None):
        env = dict(os.environ)
        env.pop("WAYLAND_DISPLAY", None)
        env.update(DISPLAY=self.display, QT_QPA_PLATFORM="xcb")
        if self.xauthority:
            env["XAUTHORITY"] = self.xauthority
        env.update(extra or {})
        return env

    def x(self, *argv):
        """A command on the XWayland display (xwininfo, xdotool search...)."""
        return subprocess.run(list(map(str, argv)), env=self.client_env(), capture_output=True, text=True)

    # ---- start and stop ----

    def start(self, timeout=40):
        if shutil.which(self.binary) is None:
            self.reason = f"{self.binary} is not installed"
            return False
        if not self._start_outer():
            self.reason = "the outer Xvfb did not start"
            return False
        began = time.monotonic()
        try:
            self._launch()
        except OSError as error:
            self.reason = f"{self.name} could not be run: {error}"
            return False
        display = _wait(self._xwayland_display, timeout, 0.2)
        if not display:
            self.reason = f"{self.name} gave no XWayland display within {timeout} s: {self.log_tail()}"
            return False
        self.display = display
        ok = _wait(lambda: self.x("xdpyinfo").returncode == 0, 20, 0.2)
        if not ok:
            self.reason = f"the XWayland display {display} of {self.name} does not answer: {self.log_tail()}"
            return False
        self.started_in = time.monotonic() - began
        return True

    def log_tail(self, lines=3):
        try:
            text = self.log.read_text(errors="replace").strip().splitlines()
        except OSError:
            return "(no log)"
        return " | ".join(text[-lines:])

    def _popen(self, argv, env, **kwargs):
        self._proc = subprocess.Popen(argv, env=env, stdout=open(self.log, "wb"), stderr=subprocess.STDOUT,
                                      start_new_session=True, **kwargs)

    def _base_env(self):
        env = dict(os.environ, DISPLAY=self.outer, XDG_RUNTIME_DIR=str(self.runtime))
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def _from_log(self, pattern):
        try:
            m = re.search(pattern, self.log.read_text(errors="replace"))
        except OSError:
            return None
        return f":{m.group(1)}" if m else None

    def _from_file(self, path):
        try:
            value = Path(path).read_text().strip()
        except OSError:
            return None
        return value or None

    def stop(self):
        if self._proc and self._proc.poll() is None:
            try:
                os.killpg(self._proc.pid, signal.SIGTERM)
                self._proc.wait(timeout=5)
            except (OSError, subprocess.TimeoutExpired):
                try:
                    os.killpg(self._proc.pid, signal.SIGKILL)
                except OSError:
                    pass
        if self._xvfb and self._xvfb.poll() is None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()


class Mutter(Nested):
    name, binary = "mutter", "mutter"

    def _launch(self):
        env = self._base_env()
        env["MUTTER_DEBUG_DUMMY_MODE_SPECS"] = f"{WIDTH}x{HEIGHT}"
        self._popen(["dbus-run-session", "--", "mutter", "--nested", "--wayland", "--wayland-display=jotlark-mutter"],
                    env)

    def _xwayland_display(self):
        display = self._from_log(r"Using public X11 display :(\d+)")
        auth = glob.glob(str(self.runtime / ".mutter-Xwaylandauth.*"))
        if display and auth:
            self.xauthority = auth[0]
            return display
        return None


class Kwin(Nested):
    name, binary = "kwin", "kwin_wayland"

    def _launch(self):
        # /usr/bin/kwin_wayland carries file capabilities a container may refuse to
        # exec; a copy has none, and must keep the name.
        copy = self.work / "bin" / "kwin_wayland"
        copy.parent.mkdir(exist_ok=True)
        shutil.copy(shutil.which("kwin_wayland"), copy)
        report = self.work / "display"
        self._popen(["dbus-run-session", "--", str(copy), "--x11-display", self.outer, "--socket", "jotlark-kwin",
                     "--xwayland", "--width", str(WIDTH), "--height", str(HEIGHT),
                     f"sh -c 'echo $DISPLAY > {report}; exec sleep infinity'"], self._base_env())

    def _xwayland_display(self):
        return self._from_file(self.work / "display")


class Weston(Nested):
    name, binary = "weston", "weston"

    def _launch(self):
        self._popen(["weston", "--backend=x11-backend.so", "--socket=jotlark-weston", "--xwayland",
                     f"--width={WIDTH}", f"--height={HEIGHT}", "--idle-time=0"], self._base_env())

    def _xwayland_display(self):
        return self._from_log(r"xserver listening on display :(\d+)")


class Sway(Nested):
    """sway refuses to run as root: it runs as the user nobody, and lets root's
    clients onto its XWayland display."""
    name, binary = "sway", "sway"

    def _launch(self):
        user = pwd.getpwnam("nobody")
        # Its own folder, open to that user (the suite's work folder is not).
        home = Path(tempfile.mkdtemp(prefix="jotlark-sway-"))
        os.chmod(home, 0o755)
        self.runtime = home / "runtime"
        self.runtime.mkdir()
        os.chown(self.runtime, user.pw_uid, user.pw_gid)
        os.chmod(self.runtime, 0o700)
        self.report = home / "display"
        config = home / "sway.conf"
        config.write_text(f"output * resolution {WIDTH}x{HEIGHT}\nxwayland enable\n"
                          f"exec sh -c 'xhost +si:localuser:root; echo $DISPLAY > {self.runtime}/d.tmp; "
                          f"mv {self.runtime}/d.tmp {self.runtime}/display'\n")
        os.chmod(config, 0o644)
        self._home = home
        env = {"PATH": "/usr/bin:/bin", "HOME": str(self.runtime), "XDG_RUNTIME_DIR": str(self.runtime),
               "DISPLAY": self.outer, "WLR_BACKENDS": "x11", "WLR_RENDERER": "pixman", "WLR_X11_OUTPUTS": "1"}
        self._popen(["setpriv", f"--reuid={user.pw_uid}", f"--regid={user.pw_gid}", "--clear-groups",
                     "sway", "-c", str(config)], env)

    def _xwayland_display(self):
        # Written by sway's user into its own folder, which root may read.
        return self._from_file(self.runtime / "display")

    def stop(self):
        super().stop()
        shutil.rmtree(getattr(self, "_home", ""), ignore_errors=True)


COMPOSITORS = {c.name: c for c in (Mutter, Kwin, Weston, Sway)}
