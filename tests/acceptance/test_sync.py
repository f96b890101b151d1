"""Two machines on one settings file through a real sync engine.

Two Syncthing instances, each with its own home, talk only over 127.0.0.1
(discovery, relays, NAT traversal, usage reporting and upgrades off) and share
one folder: each side's $XDG_CONFIG_HOME/jotlark/. Each side runs its own board
(build/app/jotlark) in its own Xvfb. A note stored on board A must appear in
board B's slot; notes stored on both while the link is paused must all survive:
one side's changes are taken by the other, and a note changed on both keeps one
text in its slot and puts the other in the note box, from where it is stored.

Run: pytest tests/acceptance -m sync --build build (or JOTLARK=path/to/jotlark).
The case is skipped, with the reason, only when Syncthing cannot start. The
displays, the boards, their boxes and the settings files are the driver's.
"""

import json
import os
import shutil
import socket
import subprocess
import tempfile
import urllib.request
import xml.etree.ElementTree as ET

import pytest

import driver
from driver import SlotMenu, wait_until

pytestmark = pytest.mark.sync

SYNC_TIMEOUT = 60  # per step; the whole case is bounded by the sum of its steps
FOLDER_ID = "jotlark-notes"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Machine:
    """One side: a Syncthing home, and a board (the driver's program) in an Xvfb of
    its own whose settings folder, $XDG_CONFIG_HOME/jotlark/, is the shared one."""

    def __init__(self, name, work, executable):
        self.name = name
        self.work = work / name
        self.st_home = self.work / "syncthing"
        self.program = driver.NativeProgram(self.work, executable)
        self.profile = self.program.profile
        self.folder = self.profile.path.parent
        self.gui_port = free_port()
        self.sync_port = free_port()
        self.api_key = f"jotlark-acceptance-{name}"
        self.syncthing = None
        self.xvfb = None
        self.screen = None
        self.board = None
        self.folder.mkdir(parents=True)
        (self.folder / ".stfolder").mkdir()
        # The lock and the temporary files of a save belong to this machine only.
        (self.folder / ".stignore").write_text("AT.ini.lock\n*.jotlark*\n")

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
        with open(self.work / "syncthing.log", "ab") as out:
            self.syncthing = subprocess.Popen(
                ["syncthing", "serve", f"--home={self.st_home}", "--no-browser", "--no-restart", "--no-upgrade"],
                env=env, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
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

    # ---- the board ----

    def start_board(self):
        self.xvfb = driver.start_xvfb(self.work)
        assert self.xvfb.display, f"board {self.name}: Xvfb did not start ({self.xvfb.last_log_line()})"
        self.screen = driver.Screen(self.xvfb.display, self.work, self.work)
        self.board = self.program.running_board(self.screen)

    def value(self, n):
        return self.profile.value("Main", str(n))

    def told(self):
        """Answers the box that tells of a note changed on both sides, when one is open."""
        return self.screen.has_window("提示") and self.program.answer("提示")

    def store_from_note_box(self, n):
        self.screen.click(self.board.slot_number(n))
        assert self.program.answer("保存确认"), f"board {self.name}: no store confirmation for slot {n}"
        assert self.program.answer("提示"), f"board {self.name}: no stored message for slot {n}"

    def store(self, n, text):
        self.screen.click(self.board.note_box())  # clears the placeholder
        self.screen.type(text, delay=15)
        self.store_from_note_box(n)
        assert self.value(n) == text, f"board {self.name}: slot {n} not written"

    def modify_into(self, slot, target):
        """Slot menu of slot, 修改 (its text into the note box), then stores it into target:
        proves what the running board holds in that slot."""
        menus = []
        # An empty slot opens no menu: right-click until the board holds the note.
        assert wait_until(lambda: menus.append(self.board.open_slot_menu(slot, timeout=1)) or menus[-1], 20), \
            f"board {self.name}: slot {slot} holds no note"
        self.screen.click(menus[-1].item("修改"))
        assert self.screen.wait_gone(SlotMenu.NAME, 10)
        self.store_from_note_box(target)

    def stop(self):
        self.program.stop()
        if self.xvfb is not None:
            self.xvfb.stop()
        if self.syncthing is not None:
            driver.end_process_group(self.syncthing)


@pytest.fixture
def machines(request):
    for tool in ("syncthing", "Xvfb", "xdotool"):
        if not shutil.which(tool):
            pytest.skip(f"{tool} is not installed (scripts/setup.sh installs it)")
    executable = driver.Path(os.environ.get("JOTLARK") or driver.Path(request.config.getoption("--build")) / "app"
                             / "jotlark")
    if not executable.exists():
        pytest.fail(f"{executable} is missing: build it first")
    work = driver.Path(tempfile.mkdtemp(prefix="jotlark-sync-"))
    a, b = Machine("a", work, executable), Machine("b", work, executable)
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
            log = work / "a" / "syncthing.log"
            pytest.skip(f"Syncthing could not start: {log.read_text(errors='replace')[-400:] if log.exists() else ''}")
        assert wait_until(lambda: a.connected(b) and b.connected(a), SYNC_TIMEOUT), "the two instances never connected"
        for m in (a, b):
            m.program.settle_in()
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
    assert wait_until(lambda: b.value(3) == "from desk", SYNC_TIMEOUT), "slot 3 never reached B"
    b.modify_into(3, 4)
    assert b.value(4) == "from desk"
    assert wait_until(lambda: a.value(4) == "from desk", SYNC_TIMEOUT)

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
        told.extend(m for m in (a, b) if m.told())
        copies = [p for f in folders for p in f.iterdir() if ".sync-conflict-" in p.name]
        same = a.profile.raw() == b.profile.raw()
        return same and not copies and a.value(5) == "desk five" and a.value(6) == "laptop six"

    assert wait_until(settled, SYNC_TIMEOUT * 2), "the two files never settled on one merged version"
    assert told, "no board told of the note changed on both"
    kept = a.value(2)
    assert kept in ("desk two", "laptop two")
    other = "laptop two" if kept == "desk two" else "desk two"

    # The other text, from the note box of the board that told, into slot 1.
    teller = told[0]
    teller.store_from_note_box(1)
    assert teller.value(1) == other
    peer = b if teller is a else a
    assert wait_until(lambda: peer.value(1) == other, SYNC_TIMEOUT)
    for m in (a, b):
        for slot, text in {2: kept, 3: "from desk", 5: "desk five", 6: "laptop six", 1: other}.items():
            assert m.value(slot) == text, f"{m.name}: slot {slot}"
