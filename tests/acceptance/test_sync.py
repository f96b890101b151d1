"""Two machines on one settings file through a real sync engine.

Two Syncthing instances, each with its own home, talk only over 127.0.0.1
(discovery, relays, NAT traversal, usage reporting and upgrades off) and share
one folder: each side's $XDG_CONFIG_HOME/jotlark/. Each side runs its own board
(build/app/jotlark) in its own Xvfb. A note stored on board A must appear in
board B's slot; notes stored on both while the link is paused must all survive:
one side's changes are taken by the other, and a note changed on both keeps one
text in its slot and puts the other in the note box, from where it is stored.

Run: pytest tests/acceptance/test_sync.py (after building build/app/jotlark).
The case is skipped, with the reason, only when Syncthing cannot start.
"""

import json
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import urllib.request
import xml.etree.ElementTree as ET
from pathlib import Path

import pytest

pytestmark = pytest.mark.sync

ROOT = Path(__file__).resolve().parents[2]
JOTLARK = Path(os.environ.get("JOTLARK", ROOT / "build" / "app" / "jotlark"))
POLL = 0.1
SYNC_TIMEOUT = 60  # per step; the whole case is bounded by the sum of its steps
FOLDER_ID = "jotlark-notes"

# The default settings file with the help page switched off, in GBK with CR LF.
SETTINGS = "\r\n".join(
    ["[Main]", "S=1", "X=0", "Y=0", "Boots=0", "Color=1", "Out=0", "1=Jotlark，懂你的Jotlark！",
     "2=", "3=", "4=", "5=", "6="]
    + sum([["", f"[{n}]", "D=", "T="] for n in range(1, 7)], [])) + "\r\n"


def wait_until(predicate, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            if predicate():
                return True
        except (OSError, ValueError, subprocess.CalledProcessError, urllib.error.URLError):
            pass
        time.sleep(POLL)
    return False


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def key_value(ini, section, key):
    """The value of key in section, as text; None when the file or key is missing."""
    try:
        text = Path(ini).read_bytes().decode("gb18030")
    except OSError:
        return None
    current = None
    for line in text.splitlines():
        if line.startswith("["):
            current = line.strip()[1:-1]
        elif current == section and line.split("=", 1)[0] == key:
            return line.split("=", 1)[1]
    return None


class Machine:
    """One side: a Syncthing home, a config home whose jotlark/ folder is shared, an X display, a board."""

    def __init__(self, name, work):
        self.name = name
        self.work = work / name
        self.st_home = self.work / "syncthing"
        self.config_home = self.work / "config"
        self.folder = self.config_home / "jotlark"
        self.ini = self.folder / "AT.ini"
        self.gui_port = free_port()
        self.sync_port = free_port()
        self.api_key = f"jotlark-acceptance-{name}"
        self.procs = []
        self.display = None
        self.board = None
        self.folder.mkdir(parents=True)
        (self.folder / ".stfolder").mkdir()
        # The lock and the temporary files of a save belong to this machine only.
        (self.folder / ".stignore").write_text("AT.ini.lock\n*.jotlark*\n")

    def log(self, what):
        return open(self.work / f"{what}.log", "ab")

    # ---- Syncthing ----

    def generate(self):
        subprocess.run(["syncthing", "generate", f"--home={self.st_home}", "--no-default-folder"], check=True,
                       capture_output=True, timeout=60)
        self.device_id = subprocess.run(["syncthing", "serve", f"--home={self.st_home}", "--device-id"],
                                        check=True, capture_output=True, text=True, timeout=60).stdout.strip()

    def configure(self, other):
        path = self.st_home / "config.xml"
        tree = ET.parse(path)
        root = tree.getroot()
        gui = root.find("gui")
        gui.find("address").text = f"127.0.0.1:{self.gui_port}"
        gui.find("apikey").text = self.api_key
        options = root.find("options")
        for tag, value in {"listenAddress": f"tcp://127.0.0.1:{self.sync_port}",
                           "globalAnnounceEnabled": "false", "localAnnounceEnabled": "false",
                           "relaysEnabled": "false", "natEnabled": "false", "urAccepted": "-1",
                           "autoUpgradeIntervalH": "0", "startBrowser": "false",
                           "crashReportingEnabled": "false", "reconnectionIntervalS": "1"}.items():
            element = options.find(tag)
            if element is None:
                element = ET.SubElement(options, tag)
            element.text = value
        peer = ET.SubElement(root, "device", id=other.device_id, name=other.name, compression="metadata",
                             introducer="false")
        ET.SubElement(peer, "address").text = f"tcp://127.0.0.1:{other.sync_port}"
        folder = ET.Element("folder", id=FOLDER_ID, label="jotlark", path=str(self.folder), type="sendreceive",
                            rescanIntervalS="3600", fsWatcherEnabled="true", fsWatcherDelayS="1")
        for device in (self.device_id, other.device_id):
            ET.SubElement(folder, "device", id=device)
        ET.SubElement(folder, "maxConflicts").text = "10"
        root.insert(0, folder)
        tree.write(path)

    def start_syncthing(self):
        env = dict(os.environ, STNOUPGRADE="1", STNODEFAULTFOLDER="1", HOME=str(self.work))
        self.procs.append(subprocess.Popen(
            ["syncthing", "serve", f"--home={self.st_home}", "--no-browser", "--no-restart", "--no-upgrade"],
            env=env, stdout=self.log("syncthing"), stderr=subprocess.STDOUT, start_new_session=True))
        return wait_until(lambda: self.rest("GET", "/rest/system/ping").get("ping") == "pong", SYNC_TIMEOUT)

    def rest(self, method, path):
        request = urllib.request.Request(f"http://127.0.0.1:{self.gui_port}{path}", method=method,
                                         headers={"X-API-Key": self.api_key})
        with urllib.request.urlopen(request, timeout=5) as reply:
            body = reply.read()
        return json.loads(body) if body else {}

    def connected(self, other):
        return self.rest("GET", "/rest/system/connections")["connections"].get(other.device_id, {}).get("connected")

    def pause(self, other):
        self.rest("POST", f"/rest/system/pause?device={other.device_id}")

    def resume(self, other):
        self.rest("POST", f"/rest/system/resume?device={other.device_id}")

    # ---- X and the board ----

    def start_display(self):
        r, w = os.pipe()
        self.procs.append(subprocess.Popen(["Xvfb", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                                            "-displayfd", str(w)], pass_fds=(w,), stdout=self.log("xvfb"),
                                           stderr=subprocess.STDOUT, start_new_session=True))
        os.close(w)
        with os.fdopen(r) as out:
            self.display = ":" + out.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.display, XDG_CONFIG_HOME=str(self.config_home),
                        QT_QPA_PLATFORM="xcb")
        self.env.pop("WAYLAND_DISPLAY", None)

    def xdotool(self, *args, check=True):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True,
                              check=check, timeout=20).stdout

    def windows(self, name):
        out = self.xdotool("search", "--onlyvisible", "--name", f"^{name}$", check=False)
        return out.split()

    def geometry(self, wid):
        values = dict(line.split("=", 1) for line in self.xdotool("getwindowgeometry", "--shell", wid).split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def start_board(self):
        self.procs.append(subprocess.Popen([str(JOTLARK)], env=self.env, stdout=self.log("jotlark"),
                                           stderr=subprocess.STDOUT, start_new_session=True))
        assert wait_until(lambda: any(self.geometry(w)[2:] == (247, 320) for w in self.windows("Jotlark")), 30), \
            f"board {self.name} did not appear"
        self.board = next(w for w in self.windows("Jotlark") if self.geometry(w)[2:] == (247, 320))

    def click(self, dx, dy):
        x, y, _, _ = self.geometry(self.board)
        self.xdotool("mousemove", x + dx, y + dy, "sleep", "0.05", "click", "1")

    def answer(self, title, timeout=20):
        """Presses Return in the next box of that title; False when none came."""
        if not wait_until(lambda: self.windows(title), timeout):
            return False
        for _ in range(5):
            boxes = self.windows(title)
            if not boxes:
                return True
            self.xdotool("windowfocus", "--sync", boxes[0], check=False)
            self.xdotool("key", "Return", check=False)
            if wait_until(lambda: not self.windows(title), 3):
                return True
        return False

    @staticmethod
    def slot_y(n):
        return 80 + 40 * (n - 1) + 16

    def store_from_note_box(self, n):
        self.click(20, self.slot_y(n))
        assert self.answer("保存确认"), f"board {self.name}: no store confirmation for slot {n}"
        assert self.answer("提示"), f"board {self.name}: no stored message for slot {n}"

    def store(self, n, text):
        self.click(110, 45)  # the note box: clears the placeholder
        self.xdotool("type", "--delay", "15", text)
        self.store_from_note_box(n)
        assert key_value(self.ini, "Main", str(n)) == text, f"board {self.name}: slot {n} not written"

    def modify_into(self, slot, target):
        """Slot menu of slot, 修改 (its text into the note box), then stores it into target:
        proves what the running board holds in that slot."""
        x, y, _, _ = self.geometry(self.board)

        def menu_opened():
            # An empty slot opens no menu: right-click until the board holds the note.
            self.xdotool("mousemove", x + 120, y + self.slot_y(slot), "sleep", "0.05", "click", "3")
            return wait_until(lambda: self.windows("档案菜单"), 1)

        assert wait_until(menu_opened, 20), f"board {self.name}: slot {slot} holds no note"
        menu = self.windows("档案菜单")[0]
        mx, my, _, _ = self.geometry(menu)
        # The menu's items: 修改 is the first row.
        self.xdotool("mousemove", mx + 19, my + 12, "sleep", "0.1", "click", "1")
        assert wait_until(lambda: not self.windows("档案菜单"), 10)
        self.store_from_note_box(target)

    def stop(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                try:
                    os.killpg(proc.pid, signal.SIGTERM)
                    proc.wait(10)
                except (ProcessLookupError, subprocess.TimeoutExpired):
                    try:
                        os.killpg(proc.pid, signal.SIGKILL)
                    except ProcessLookupError:
                        pass
                    proc.wait()


@pytest.fixture
def machines():
    for tool in ("syncthing", "Xvfb", "xdotool"):
        if not shutil.which(tool):
            pytest.skip(f"{tool} is not installed (scripts/setup.sh installs it)")
    if not JOTLARK.exists():
        pytest.fail(f"{JOTLARK} is missing: build it first")
    work = Path(tempfile.mkdtemp(prefix="jotlark-sync-"))
    a, b = Machine("a", work), Machine("b", work)
    try:
        try:
            for m in (a, b):
                m.generate()
            a.configure(b)
            b.configure(a)
            started = a.start_syncthing() and b.start_syncthing()
        except (OSError, subprocess.SubprocessError) as error:
            started = False
            print(f"syncthing: {error}")
        if not started:
            tail = (work / "a" / "syncthing.log").read_text(errors="replace")[-400:] if (
                work / "a" / "syncthing.log").exists() else ""
            pytest.skip(f"Syncthing could not start: {tail}")
        assert wait_until(lambda: a.connected(b) and b.connected(a), SYNC_TIMEOUT), "the two instances never connected"
        for m in (a, b):
            m.ini.write_bytes(SETTINGS.encode("gb18030"))
            m.start_display()
            m.start_board()
        yield a, b
    finally:
        a.stop()
        b.stop()
        if os.environ.get("KEEP_SYNC_WORK"):
            print(f"kept {work}")
        else:
            shutil.rmtree(work, ignore_errors=True)


def test_notes_travel_and_survive_a_conflict(machines):
    a, b = machines

    # One machine stores, the other board shows it in its slot.
    a.store(3, "from desk")
    assert wait_until(lambda: key_value(b.ini, "Main", "3") == "from desk", SYNC_TIMEOUT), "slot 3 never reached B"
    b.modify_into(3, 4)
    assert key_value(b.ini, "Main", "4") == "from desk"
    assert wait_until(lambda: key_value(a.ini, "Main", "4") == "from desk", SYNC_TIMEOUT)

    # Both store while the link is paused: different slots and the same slot.
    a.pause(b)
    b.pause(a)
    assert wait_until(lambda: not a.connected(b) and not b.connected(a), SYNC_TIMEOUT)
    a.store(5, "desk five")
    a.store(2, "desk two")
    b.store(6, "laptop six")
    b.store(2, "laptop two")
    a.resume(b)
    b.resume(a)

    # Every board that finds a conflict copy tells once; the other text goes into its note box.
    told = []
    folders = (a.folder, b.folder)

    def settled():
        for m in (a, b):
            if m.windows("提示") and m.answer("提示", 1):
                told.append(m)
        copies = [p for f in folders for p in f.iterdir() if ".sync-conflict-" in p.name]
        same = a.ini.read_bytes() == b.ini.read_bytes()
        return same and not copies and key_value(a.ini, "Main", "5") == "desk five" \
            and key_value(a.ini, "Main", "6") == "laptop six"

    assert wait_until(settled, SYNC_TIMEOUT * 2), "the two files never settled on one merged version"
    assert told, "no board told of the note changed on both"
    kept = key_value(a.ini, "Main", "2")
    assert kept in ("desk two", "laptop two")
    other = "laptop two" if kept == "desk two" else "desk two"

    # The other text, from the note box of the board that told, into slot 1.
    teller = told[0]
    teller.store_from_note_box(1)
    assert key_value(teller.ini, "Main", "1") == other
    peer = b if teller is a else a
    assert wait_until(lambda: key_value(peer.ini, "Main", "1") == other, SYNC_TIMEOUT)
    for m in (a, b):
        for slot, text in {"2": kept, "3": "from desk", "5": "desk five", "6": "laptop six", "1": other}.items():
            assert key_value(m.ini, "Main", slot) == text, f"{m.name}: slot {slot}"
