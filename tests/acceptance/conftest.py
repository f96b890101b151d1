"""Fixtures of the acceptance suites: the display, the desktop (window manager)
on it, and the program (native or under Wine) with a settings folder of its own."""

import os
import shutil

import pytest

import driver
from driver import ROOT


def pytest_addoption(parser):
    group = parser.getgroup("jotlark")
    group.addoption("--build", default=str(ROOT / "build"), help="the build folder with app/jotlark")
    group.addoption("--build-win", default=str(ROOT / "build-win"),
                    help="the Windows build folder with jotlark-windows/jotlark.exe")
    group.addoption("--shots", default=os.environ.get("SHOTS"),
                    help="where the screenshots go (default: <build folder>/screenshots)")


# The desktops the docking cases run on, the bare display first. JOTLARK_WMS
# names the window managers (default: all of them).
DESKTOP_NAMES = ["none"] + os.environ.get("JOTLARK_WMS", " ".join(n for n in driver.DESKTOPS if n != "none")).split()


def _shots(config, build):
    shots = driver.Path(config.getoption("--shots") or driver.Path(build) / "screenshots")
    shots.mkdir(parents=True, exist_ok=True)
    return shots


@pytest.fixture(scope="session")
def work():
    folder = driver.new_work_folder()
    yield folder
    shutil.rmtree(folder, ignore_errors=True)


@pytest.fixture(scope="session")
def xvfb(work):
    server = driver.start_xvfb(work)
    if not server.display:
        server.stop()
        pytest.fail(f"could not start Xvfb ({server.last_log_line()})")
    yield server
    server.stop()


# ---- the native program ----


@pytest.fixture(scope="module")
def screen(xvfb, work, request):
    return driver.Screen(xvfb.display, work, _shots(request.config, request.config.getoption("--build")))


@pytest.fixture(scope="module")
def jotlark(work, request):
    """build/app/jotlark with a fresh settings folder, kept for the whole module:
    the cases run in order, each on what the one before left."""
    executable = driver.Path(request.config.getoption("--build")) / "app" / "jotlark"
    if not os.access(executable, os.X_OK):
        pytest.fail(f"no executable at {executable}", pytrace=False)
    program = driver.NativeProgram(work / "native", executable)
    yield program
    program.stop()


@pytest.fixture
def board(jotlark, screen):
    """The main window of the running program (started when it is not running)."""
    return jotlark.running_board(screen)


@pytest.fixture(scope="class", params=DESKTOP_NAMES)
def desktop(request, jotlark, screen, work):
    """A window manager on the display (or none). Under a window manager the
    program is restarted, at the position it stored, once the manager has taken
    the screen."""
    manager = driver.DESKTOPS[request.param](screen, work)
    if manager.argv is not None:
        jotlark.stop()
        if not manager.start():
            manager.stop()
            pytest.fail(f"{manager.name}: the window manager did not start ({manager.log_tail()})", pytrace=False)
        jotlark.desktop_env = manager.program_environment()
        jotlark.start(screen)
    yield manager
    if manager.argv is not None:
        jotlark.stop()
        jotlark.desktop_env = {}
        manager.stop()


@pytest.fixture(scope="class")
def two_monitors(jotlark, work, request):
    """The program on Xorg's dummy driver with two monitors, started centred."""
    jotlark.stop()
    server = driver.start_two_monitors(work)
    if not server.display:
        server.stop()
        pytest.fail(f"Xorg with the dummy driver did not start ({server.last_log_line()})", pytrace=False)
    screen = driver.Screen(server.display, work, _shots(request.config, request.config.getoption("--build")))
    jotlark.profile.set("Main", "X", "0")  # start-up placement: centred
    jotlark.profile.set("Main", "Y", "0")
    jotlark.start(screen)
    yield screen
    jotlark.stop()
    server.stop()


# ---- the Windows program under Wine ----


@pytest.fixture(scope="module")
def wine_screen(xvfb, work, request):
    return driver.Screen(xvfb.display, work, _shots(request.config, request.config.getoption("--build-win")))


@pytest.fixture(scope="module", params=list(driver.WINE_PROGRAMS))
def wine_jotlark(work, wine_screen, request):
    """jotlark.exe from the portable folder in a fresh 64-bit prefix, kept for the
    module; once for each Wine set-up."""
    executable = driver.Path(request.config.getoption("--build-win")) / "jotlark-windows" / "jotlark.exe"
    if not executable.is_file():
        pytest.skip(f"no program at {executable} (run scripts/windows build)")
    if shutil.which("wine") is None:
        pytest.skip("no Wine (wine64)")
    program = driver.WINE_PROGRAMS[request.param](work / f"wine-{request.param}", executable)
    program.screen = wine_screen
    program.make_prefix()
    yield program
    program.stop()
    program.shutdown()


@pytest.fixture
def wine_board(wine_jotlark, wine_screen):
    return wine_jotlark.running_board(wine_screen)


# ---- reports ----


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    """A failing case shows the end of the program's log."""
    outcome = yield
    report = outcome.get_result()
    if report.failed:
        for name in ("jotlark", "wine_jotlark"):
            program = item.funcargs.get(name)
            if program is not None:
                report.sections.append(("program log (last lines)", program.log_tail()))
