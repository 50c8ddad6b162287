#!/usr/bin/python3
"""The real tessra program driven over D-Bus, end to end.

Each test starts build/bin/tessra with /automation on the offscreen platform,
in a private copy of a model folder (model.so and default.ini), and talks to
it as a script would. CTest runs every class in a session bus of its own
(dbus-run-session), so no other test's instance can answer.

    automation_test.py [unittest arguments, e.g. EdgeCases]

Paths come from the environment: TESSRA_EXECUTABLE, TESSRA_BINARY_DIR,
TESSRA_SOURCE_DIR and, for the comma locale, TESSRA_LOCPATH.
"""
import glob
import html
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest

import dbus
import dbus.lowlevel

NAME = "Tessra.FrontEnd"
PATH = "/FrontEnd"
INTERFACE = "Tessra.FrontEnd"
WAIT = 120  # seconds a waiting call may take

TESSRA = os.environ["TESSRA_EXECUTABLE"]
BINARY_DIR = os.environ["TESSRA_BINARY_DIR"]
SOURCE_DIR = os.environ["TESSRA_SOURCE_DIR"]
LIFE = os.path.join(BINARY_DIR, "models", "life")


def fixture(name):
    return os.path.join(BINARY_DIR, "tests", "models", name, "model.so")


def bus_daemon(bus):
    return dbus.Interface(bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus"),
                          "org.freedesktop.DBus")


# The first line of a report by AddressSanitizer, LeakSanitizer or
# UndefinedBehaviorSanitizer, in a program built with them.
SANITIZER_REPORT = re.compile(r"^(==\d+==ERROR: \w+Sanitizer|.*: runtime error: )", re.M)


def wait_for(condition, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


class Instance:
    """One tessra started by hand with /automation, and this script as its
    client on a connection of its own (closing it is the client going away)."""

    def __init__(self, model_folder=LIFE, environment=None, attach=True, arguments=(),
                 files=None, fifos=(), folders=(), bus_address=None):
        """arguments follow /automation; "{folder}" in them is the instance's
        folder. files maps names to texts written there first; fifos and
        folders are names of FIFOs and folders made there first. bus_address
        names another bus than this session's."""
        self.folder = tempfile.TemporaryDirectory(prefix="tessra-e2e-")
        for name in ("model.so", "default.ini"):
            source = os.path.join(model_folder, name)
            if os.path.exists(source):
                shutil.copy(source, self.folder.name)
        for name, text in (files or {}).items():
            with open(self.path(name), "w") as f:
                f.write(text)
        for name in fifos:
            os.mkfifo(self.path(name))
        for name in folders:
            os.mkdir(self.path(name))
        arguments = [argument.format(folder=self.folder.name) for argument in arguments]
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        env.update(environment or {})
        if bus_address:
            env["DBUS_SESSION_BUS_ADDRESS"] = bus_address
        self.log = open(os.path.join(self.folder.name, "tessra.log"), "w+")
        self.process = subprocess.Popen([TESSRA, "/automation", *arguments], cwd=self.folder.name,
                                        env=env, stdout=self.log, stderr=subprocess.STDOUT)
        self.bus = (dbus.bus.BusConnection(bus_address) if bus_address
                    else dbus.SessionBus(private=True))
        daemon = bus_daemon(self.bus)
        # The object is offered once the first model load has finished.
        if not wait_for(lambda: daemon.NameHasOwner(NAME) or self.process.poll() is not None):
            self.kill()
            raise AssertionError("tessra did not offer " + NAME + ": " + self.output())
        if self.process.poll() is not None:
            raise AssertionError("tessra ended at start: " + self.output())
        self.unique_name = daemon.GetNameOwner(NAME)
        # Its first caller becomes its only client; attach=False leaves that
        # to another program.
        if attach:
            self.tessra = dbus.Interface(self.bus.get_object(self.unique_name, PATH), INTERFACE)

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def output(self):
        self.log.flush()
        self.log.seek(0)
        return self.log.read()

    def wait_ended(self, seconds=30):
        try:
            return self.process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            return None

    def release(self):
        """Releases the object and answers the program's exit code."""
        self.tessra.Release()
        code = self.wait_ended()
        self.close()
        return code

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def close(self):
        """Ends the program as a script would, so that it goes through its
        normal exit (where LeakSanitizer reports): Release when this script is
        its client, then this connection closed (its client going away). Only
        a program still running after that is killed."""
        if self.process.poll() is None and hasattr(self, "tessra"):
            try:
                self.tessra.Release(timeout=30)
            except dbus.exceptions.DBusException:
                pass  # busy or gone: closing the connection below ends it too
        self.bus.close()
        if self.process.poll() is None:
            self.wait_ended()
        self.kill()
        if self.log.closed:
            return
        output = self.output()
        self.log.close()
        self.folder.cleanup()
        if SANITIZER_REPORT.search(output):
            raise AssertionError("tessra reported a fault:\n" + output)


class InstanceTest(unittest.TestCase):
    """A test with one fresh instance on the Life example in self.tessra."""

    environment = None

    def setUp(self):
        self.instance = Instance(environment=self.environment)
        self.tessra = self.instance.tessra
        self.files = tempfile.TemporaryDirectory(prefix="tessra-e2e-files-")

    def tearDown(self):
        try:
            if self.instance.process.poll() is None:
                self.assertEqual(self.instance.release(), 0, "ends with exit code 0 on Release")
        finally:
            self.instance.close()
            self.files.cleanup()

    def file(self, name):
        return os.path.join(self.files.name, name)

    def assertError(self, name, call, *arguments, **keywords):
        with self.assertRaises(dbus.DBusException) as caught:
            call(*arguments, **keywords)
        self.assertEqual(caught.exception.get_dbus_name(), name)


class EdgeCases(InstanceTest):
    def test_about_model_keys(self):
        self.assertEqual(self.tessra.AboutModel("name"), "Life")
        self.assertNotEqual(self.tessra.AboutModel("version"), "")
        self.assertEqual(self.tessra.AboutModel("Version"), self.tessra.AboutModel("version"))
        self.assertEqual(self.tessra.AboutModel(" name"), "")
        self.assertEqual(self.tessra.AboutModel(""), "")
        self.assertEqual(self.tessra.GetLoadModelErr(), "")

    def test_parameters(self):
        self.assertEqual(self.tessra.GetParam("NoSuchParameter"), "")
        self.assertEqual(self.tessra.GetParam("Density"), "0.3")  # from default.ini
        self.assertEqual(self.tessra.SetParam("Density", "many"), 0)
        self.assertEqual(self.tessra.SetParam("Density", ""), 0)
        self.assertEqual(self.tessra.GetParam("Density"), "0.3")
        self.assertEqual(self.tessra.SetParam("Density", "2.5"), 1)  # no range check
        self.assertEqual(self.tessra.GetParam("Density"), "2.5")
        self.assertEqual(self.tessra.SetParam("NoSuchParameter", "1"), 0)

    def test_states(self):
        self.assertEqual(self.tessra.GetState(0, 0, "NoSuchState"), "")
        self.assertIn(self.tessra.GetState(0, 0, "Alive"), ("0", "1"))
        self.assertEqual(self.tessra.GetState(-1, 0, "Alive"), "")
        self.assertEqual(self.tessra.GetState(0, 128, "Alive"), "")  # a 128 x 128 world
        self.assertEqual(self.tessra.SetState(3, 4, "Age", "0.1"), 1)
        self.assertEqual(self.tessra.GetState(3, 4, "Age"), "0.100000001490116")
        self.assertEqual(self.tessra.SetState(3, 4, "Age", "x"), 0)

    def test_stop_conditions_parse_and_stop_the_run(self):
        for text, answer in (("Tick >= 100", 1), ("tick=5", 1), ("Tick > = 5", 0), ("=5", 0),
                             ("Tick >=", 0), ("Nothing <= 3", 0), ("Density <= 0.5", 1)):
            self.assertEqual(self.tessra.StopIfAdd(text), answer, text)
        self.tessra.StopIfRemoveAll()
        self.assertEqual(self.tessra.StopIfAdd("tick=3"), 1)
        self.tessra.SimRunWait(timeout=WAIT)
        self.assertEqual(float(self.tessra.GetTick()), 3.0)
        # Switched off with the conditions gone: a run goes until paused.
        self.tessra.StopIfRemoveAll()
        self.tessra.SimRun()
        self.tessra.SimPause(timeout=WAIT)
        self.assertGreater(float(self.tessra.GetTick()), 3.0)

    def test_waits_and_steps(self):
        self.tessra.SimWait(timeout=5)  # nothing running: answers at once
        self.tessra.SimPause(timeout=5)
        self.tessra.SimStep()
        self.assertEqual(float(self.tessra.GetTick()), 1.0)
        self.assertEqual(self.tessra.StopIfAdd("Tick >= 0"), 1)  # holds already
        self.tessra.SimRunWait(timeout=WAIT)
        self.assertEqual(float(self.tessra.GetTick()), 2.0)  # one tick, then the pause
        self.tessra.SimNew(timeout=WAIT)
        self.assertEqual(float(self.tessra.GetTick()), 0.0)
        self.tessra.Refresh()
        self.tessra.UiMinimal()

    def test_time_series_add_and_remove(self):
        self.tessra.TimeSeriesRemoveAll()  # none yet: nothing happens
        self.assertEqual(self.tessra.TimeSeriesAdd("average alive"), 1)
        self.assertEqual(self.tessra.TimeSeriesAdd("Average Alive"), 0)  # the same pair
        self.assertEqual(self.tessra.TimeSeriesAdd("Average"), 0)
        self.assertEqual(self.tessra.TimeSeriesAdd("  Parameter   density "), 1)
        self.assertEqual(self.tessra.TimeSeriesAdd("Median Alive"), 0)
        self.assertEqual(self.tessra.TimeSeriesAdd("Average Dead"), 0)
        self.tessra.TimeSeriesRemoveAll()
        self.assertEqual(self.tessra.TimeSeriesExport(self.file("none.txt"), ""), 0)
        self.assertFalse(os.path.exists(self.file("none.txt")))
        self.assertEqual(self.tessra.TimeSeriesAdd("Average Alive"), 1)  # free again

    def test_seventeenth_series_is_refused(self):
        # The stats fixture has 5 parameters and 2 states: 17 possible series.
        self.assertEqual(self.tessra.LoadModel(fixture("stats"), timeout=WAIT), 1)
        series = ["Parameter v%d" % i for i in range(4)] + ["Parameter Width"]
        for operation in ("Minimum", "Maximum", "Average", "Variance", "Skewness", "Kurtosis"):
            series += [operation + " x", operation + " Average x"]
        answers = [int(self.tessra.TimeSeriesAdd(text)) for text in series]
        self.assertEqual(answers, [1] * 16 + [0])

    def test_export_modes(self):
        export = self.file("alive.txt")
        self.assertEqual(self.tessra.TimeSeriesExport(export, ""), 0)  # no series
        self.assertFalse(os.path.exists(export))
        self.assertEqual(self.tessra.TimeSeriesAdd("Average Alive"), 1)
        self.tessra.SimStep()
        self.tessra.SimStep()

        def blocks():
            with open(export) as f:
                return f.read().count("Time Series\n")

        self.assertEqual(self.tessra.TimeSeriesExport(export, "", timeout=WAIT), 1)
        with open(export) as f:
            rows = [line for line in f if line.strip() and not line.startswith("#")]
        self.assertEqual([row.split("\t")[0] for row in rows], ["1", "2"])
        self.assertEqual(self.tessra.TimeSeriesExport(export, "  APPEND ", timeout=WAIT), 1)
        self.assertEqual(blocks(), 2)
        self.assertEqual(self.tessra.TimeSeriesExport(export, "", timeout=WAIT), 1)
        self.assertEqual(blocks(), 1)
        self.tessra.TimeSeriesClear()
        self.assertEqual(self.tessra.TimeSeriesExport(export, "append", timeout=WAIT), 1)
        self.assertEqual(blocks(), 2)  # a block with its header only
        self.assertEqual(self.tessra.TimeSeriesExport(self.file("no/such/folder.txt"), ""), 0)

    def test_late_bound_calls(self):
        self.assertError("Tessra.Error.MemberNotFound", self.tessra.Invoke, "SimRun", True, [])
        self.assertEqual(float(self.tessra.GetTick()), 0.0)  # refused before it ran
        self.assertEqual(self.tessra.Invoke("simrun", False, []), "")
        self.tessra.SimPause(timeout=WAIT)
        self.assertEqual(self.tessra.Invoke("SetParam", True, ["Density", dbus.Double(0.25)]), 1)
        self.assertEqual(self.tessra.Invoke("GETPARAM", True, ["Density"]), "0.25")
        self.assertError("Tessra.Error.UnknownName", self.tessra.Invoke, "Nothing", True, [])
        self.assertError("Tessra.Error.BadParamCount", self.tessra.Invoke, "GetParam", True, [])

    def test_script_readers(self):
        """The six methods a script reads the model, the run and the series with."""
        t = self.tessra
        self.assertEqual(list(t.GetParamNames()), ["Width", "Height", "Density", "Seed"])
        self.assertEqual(list(t.GetStateNames()), ["Alive", "Age"])
        self.assertEqual(tuple(t.GetWorldSize()), (128, 128))
        self.assertEqual(tuple(t.Invoke("getworldsize", True, [])), (128, 128))
        self.assertEqual(list(t.Invoke("GetStateNames", True, [])), ["Alive", "Age"])
        self.assertEqual(list(t.TimeSeriesLabels()), [])
        self.assertIs(bool(t.IsRunning()), False)
        t.SimRun()
        self.assertIs(bool(t.IsRunning()), True)
        t.SimPause(timeout=WAIT)
        self.assertIs(bool(t.Invoke("IsRunning", True, [])), False)
        t.SimNew(timeout=WAIT)
        self.assertEqual(t.SetParam("Width", "40"), 1)
        t.SimNew(timeout=WAIT)
        self.assertEqual(tuple(t.GetWorldSize()), (40, 128))
        self.assertEqual(t.TimeSeriesAdd("Parameter Density"), 1)
        self.assertEqual(t.TimeSeriesAdd("average alive"), 1)
        # A parameter's series is labelled with the parameter's name.
        self.assertEqual(list(t.TimeSeriesLabels()), ["Density", "Average Alive"])
        ticks, values = t.TimeSeriesGet("Average Alive")
        self.assertEqual((list(ticks), list(values)), ([], []))
        for _ in range(3):
            t.SimStep()
        ticks, values = t.TimeSeriesGet("average ALIVE")
        self.assertEqual(list(ticks), [1.0, 2.0, 3.0])
        # The numbers an export writes (with six significant digits), in full.
        export = self.file("alive.txt")
        self.assertEqual(t.TimeSeriesExport(export, "", timeout=WAIT), 1)
        with open(export) as f:
            rows = [line.rstrip("\n").split("\t") for line in f
                    if line.strip() and not line.startswith("#")]
        self.assertEqual([row[0] for row in rows], ["1", "2", "3"])
        for row, value in zip(rows, values, strict=True):
            self.assertEqual(row[2], "%.6g" % value)
        ticks, values = t.Invoke("TimeSeriesGet", True, ["Density"])
        self.assertEqual((list(ticks), list(values)), ([1.0, 2.0, 3.0], [0.3] * 3))
        self.assertError("Tessra.Error.Exception", t.TimeSeriesGet, "Average Age")
        self.assertError("Tessra.Error.BadParamCount", t.Invoke, "TimeSeriesGet", True, [])
        t.TimeSeriesRemoveAll()
        self.assertEqual(list(t.TimeSeriesLabels()), [])

    def test_load_model(self):
        self.assertEqual(self.tessra.LoadModel(self.file("missing.so"), timeout=WAIT), 0)
        self.assertNotEqual(self.tessra.GetLoadModelErr(), "")
        self.assertEqual(self.tessra.GetParam("Density"), "")
        self.assertEqual(self.tessra.LoadModel(os.path.join(LIFE, "model.so"), timeout=WAIT), 1)
        self.assertEqual(self.tessra.GetLoadModelErr(), "")

    def test_models_reach_the_exported_functions(self):
        self.assertEqual(self.tessra.LoadModel(fixture("hostcaller"), timeout=WAIT), 1)
        self.assertEqual(self.tessra.GetState(0, 0, "host"), "1")
        self.assertEqual(self.tessra.SetParam("Action", "11"), 1)  # _simPause from its step
        self.tessra.SimRun()
        self.tessra.SimWait(timeout=WAIT)
        self.assertEqual(float(self.tessra.GetTick()), 1.0)
        self.assertEqual(self.tessra.SetParam("Action", "13"), 1)  # _simStep: refused
        self.tessra.SimStep()
        self.assertEqual(self.tessra.GetState(1, 1, "steps"), "2")


class Models(InstanceTest):
    """What follows the loaded model, and the model's own failures."""

    def exception(self, call, *arguments, **keywords):
        with self.assertRaises(dbus.DBusException) as caught:
            call(*arguments, **keywords)
        self.assertEqual(caught.exception.get_dbus_name(), "Tessra.Error.Exception")
        return caught.exception.get_dbus_message()

    def test_a_model_from_another_folder_reads_its_own_default_ini(self):
        # Started in a copy of the Life folder, whose default.ini says 128 x 128.
        grayscott = os.path.join(BINARY_DIR, "models", "grayscott", "model.so")
        self.assertEqual(self.tessra.LoadModel(grayscott, timeout=WAIT), 1)
        self.assertEqual(self.tessra.GetParam("Width"), "256")
        self.assertNotEqual(self.tessra.GetState(255, 255, "U"), "")  # a 256 x 256 world
        self.assertEqual(self.tessra.GetState(256, 0, "U"), "")
        self.assertEqual(self.tessra.StopIfAdd("Feed >= 0"), 1)  # Gray-Scott's names
        self.assertEqual(self.tessra.StopIfAdd("Density >= 0"), 0)  # Life's are gone
        self.assertEqual(self.tessra.TimeSeriesAdd("Parameter Kill"), 1)

    def test_load_model_with_no_path_starts_the_held_model_afresh(self):
        self.assertEqual(self.tessra.SetParam("Density", "0.75"), 1)
        self.tessra.SimStep()
        self.assertEqual(self.tessra.LoadModel("", timeout=WAIT), 1)
        self.assertEqual(float(self.tessra.GetTick()), 0.0)
        self.assertEqual(self.tessra.GetParam("Density"), "0.3")  # from default.ini again
        self.assertEqual(self.tessra.AboutModel("name"), "Life")
        self.assertEqual(self.tessra.LoadModel(self.file("missing.so"), timeout=WAIT), 0)
        self.assertEqual(self.tessra.LoadModel("", timeout=WAIT), 0)  # no model is held

    def test_a_world_the_model_cannot_build(self):
        self.assertEqual(self.tessra.SetParam("Width", "100000"), 1)
        self.assertEqual(self.tessra.SetParam("Height", "100000"), 1)
        self.assertIn("The model built no world (100000 x 100000 sites is more than this "
                      "machine can hold)", self.exception(self.tessra.SimNew, timeout=WAIT))
        self.tessra.SimRunWait(timeout=10)  # Run is disabled: nothing runs, no wait
        self.tessra.SimStep()
        self.assertEqual(float(self.tessra.GetTick()), 0.0)
        self.assertEqual(self.tessra.GetState(0, 0, "Alive"), "")
        self.assertEqual(self.tessra.SetParam("Width", "40"), 1)
        self.assertEqual(self.tessra.SetParam("Height", "30"), 1)
        self.tessra.SimNew(timeout=WAIT)
        self.tessra.SimStep()
        self.assertEqual(float(self.tessra.GetTick()), 1.0)

    def test_failures_of_the_model_end_with_its_reason(self):
        self.assertEqual(self.tessra.LoadModel(fixture("faulty"), timeout=WAIT), 1)
        self.assertEqual(self.tessra.SetParam("Fault", "5"), 1)
        self.assertIn("The model built no world (the model's size function gave -2 x 2 sites)",
                      self.exception(self.tessra.SimNew, timeout=WAIT))
        self.assertEqual(self.tessra.SetParam("Fault", "4"), 1)  # the step at tick 2 throws
        self.assertEqual(self.tessra.SetParam("At", "2"), 1)
        self.tessra.SimNew(timeout=WAIT)
        self.tessra.SimRunWait(timeout=WAIT)  # the run ends at the failing step
        self.assertEqual(float(self.tessra.GetTick()), 2.0)
        reason = "The step of the model failed (faulty: the step failed at tick 2)"
        self.assertTrue(wait_for(lambda: reason + ".\n" in self.instance.output()),
                        self.instance.output())
        self.assertIn(reason, self.exception(self.tessra.SimStep))
        self.assertEqual(float(self.tessra.GetTick()), 2.0)

    def test_a_pipe_or_a_partial_copy_is_no_model(self):
        pipe = self.file("model.so")
        os.mkfifo(pipe)
        self.assertEqual(self.tessra.LoadModel(pipe, timeout=WAIT), 0)
        self.assertIn("it is not a regular file", self.tessra.GetLoadModelErr())
        partial = self.file("partial.so")
        with open(os.path.join(LIFE, "model.so"), "rb") as whole, open(partial, "wb") as part:
            data = whole.read()
            # Cut inside the loadable segments, not only in the debug data behind them.
            header_at, = struct.unpack_from("<Q", data, 0x20)
            size, count = struct.unpack_from("<HH", data, 0x36)
            loaded = 0
            for i in range(count):
                kind, _, offset, _, _, length = struct.unpack_from("<IIQQQQ", data,
                                                                  header_at + i * size)
                if kind == 1:  # PT_LOAD
                    loaded = max(loaded, offset + length)
            part.write(data[:loaded - 1])
        self.assertEqual(self.tessra.LoadModel(partial, timeout=WAIT), 0)
        self.assertIn("the file is truncated or damaged", self.tessra.GetLoadModelErr())
        self.assertEqual(self.tessra.LoadModel(os.path.join(LIFE, "model.so"), timeout=WAIT), 1)


class CommaLocale(InstanceTest):
    environment = {"LOCPATH": os.environ.get("TESSRA_LOCPATH", ""), "LC_ALL": "de_DE.UTF-8"}

    def test_numbers_use_the_comma(self):
        self.assertEqual(self.tessra.GetParam("Density"), "0,3")
        self.assertEqual(self.tessra.SetParam("Density", "2,5"), 1)
        self.assertEqual(self.tessra.GetParam("Density"), "2,5")
        self.assertEqual(self.tessra.Invoke("SetParam", True, ["Density", dbus.Double(0.25)]), 1)
        self.assertEqual(self.tessra.GetParam("Density"), "0,25")
        self.assertEqual(self.tessra.StopIfAdd("Tick >= 1,5"), 1)
        self.tessra.SimRunWait(timeout=WAIT)
        self.assertEqual(float(self.tessra.GetTick()), 2.0)


class Lifetime(unittest.TestCase):
    def test_program_ends_when_its_client_disconnects(self):
        instance = Instance()
        try:
            instance.tessra.SimRun()  # a run going does not keep it alive
            instance.bus.close()
            self.assertEqual(instance.wait_ended(), 0, instance.output())
        finally:
            instance.close()

    def test_program_ends_when_its_bus_goes_away(self):
        # A bus of its own, whose daemon this test ends: nothing could reach
        # the program any more, whether a script had called it (a run going
        # on) or none had yet.
        for attach in (True, False):
            daemon = subprocess.Popen(
                ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                stdout=subprocess.PIPE, text=True)
            try:
                instance = Instance(bus_address=daemon.stdout.readline().strip(), attach=attach)
                try:
                    if attach:
                        instance.tessra.SimRun()
                    daemon.terminate()
                    daemon.wait()
                    self.assertEqual(instance.wait_ended(), 0, instance.output())
                finally:
                    instance.close()
            finally:
                daemon.kill()
                daemon.wait()

    def test_release_while_a_waiting_call_runs_ends_the_program(self):
        instance = Instance()
        try:
            # SimRunWait sent without waiting for its answer; Release arrives
            # while it serves the run: the run is paused and the program ends.
            call = dbus.lowlevel.MethodCallMessage(instance.unique_name, PATH, INTERFACE,
                                                   "SimRunWait")
            instance.bus.send_message(call)
            self.assertTrue(wait_for(lambda: float(instance.tessra.GetTick()) > 0))
            instance.tessra.Release()
            self.assertEqual(instance.wait_ended(), 0, instance.output())
        finally:
            instance.close()

    def test_example_script_runs_a_simulation_to_its_stop_condition(self):
        instance = Instance(attach=False)  # the script is its first client
        try:
            output = instance.path("life.txt")
            result = subprocess.run(
                ["/usr/bin/python3", os.path.join(SOURCE_DIR, "examples", "automation.py"),
                 instance.path("model.so"), "--output", output, "--ticks", "20"],
                capture_output=True, text=True, timeout=WAIT)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            self.assertIn("Model: Life", result.stdout)
            self.assertIn("Stopped at tick 20.0", result.stdout)
            with open(output) as f:
                text = f.read()
            self.assertIn("#\t\t2 = Average Alive\n#\t\t3 = Density\n", text)
            rows = [line.split("\t") for line in text.splitlines()
                    if line and not line.startswith("#")]
            # The series are chosen before SimNew: the first sample is at tick 0.
            self.assertEqual([row[0] for row in rows], [str(tick) for tick in range(0, 21)])
            self.assertTrue(all(row[2] == "0.25" for row in rows))
            self.assertEqual(instance.wait_ended(), 0, "ends after the script's Release")
        finally:
            instance.close()


def help_blocks(page):
    """The <pre> blocks of a help page, as a reader copies them."""
    with open(os.path.join(SOURCE_DIR, "help", page), encoding="utf-8") as f:
        text = f.read()
    return [html.unescape(block) for block in re.findall(r"<pre>(.*?)</pre>", text, re.S)]


def command_examples(block):
    """The commands of a block of command-line examples, each with the answer
    shown below it: [(command, answer lines)]."""
    examples = []
    lines = block.splitlines()
    i = 0
    while i < len(lines):
        command = lines[i]
        while command.endswith("\\"):
            i += 1
            command = command[:-1] + lines[i].strip()
        i += 1
        answer = []
        while i < len(lines) and lines[i].strip():
            answer.append(lines[i])
            i += 1
        examples.append((command, answer))
        while i < len(lines) and not lines[i].strip():
            i += 1
    return examples


class HelpExamples(unittest.TestCase):
    """The examples of the Scripting help page, run as a reader runs them."""

    def test_command_line_calls_answer_as_shown(self):
        blocks = [block for block in help_blocks("scripting.html") if "gdbus call" in block]
        self.assertEqual(len(blocks), 1)
        examples = command_examples(blocks[0])
        self.assertGreaterEqual(len(examples), 3)
        with open(os.path.join(SOURCE_DIR, "help", "scripting.html"), encoding="utf-8") as f:
            page = f.read()
        # The busctl call with its types written out, shown in the text, answers
        # the same as the gdbus GetState call.
        typed = re.search(r"<code>(busctl --user call [^<]* GetState iis [^<]*)</code>", page)
        self.assertIsNotNone(typed)
        examples.append((typed.group(1), None))
        answers = {}
        for command, answer in examples:
            with self.subTest(command=command):
                # As the page says: a Tessra started by hand in Life's folder
                # before each call, which ends with the call.
                instance = Instance(attach=False)
                try:
                    result = subprocess.run(command, shell=True, capture_output=True, text=True,
                                            timeout=WAIT)
                    self.assertEqual(result.returncode, 0, result.stderr)
                    answers[command] = result.stdout.splitlines()
                    if answer is not None:
                        self.assertEqual(result.stdout.splitlines(), answer)
                    self.assertEqual(instance.wait_ended(), 0, "ends with its caller")
                finally:
                    instance.close()
        shown = [a for c, a in answers.items() if c.startswith("gdbus") and "GetState" in c]
        value = re.fullmatch(r"\('(.*)',\)", shown[0][0]).group(1)
        self.assertEqual(answers[typed.group(1)], ['s "%s"' % value])

    def run_python_example(self, environment):
        script = [block for block in help_blocks("scripting.html")
                  if block.startswith("#!/usr/bin/python3")]
        self.assertEqual(len(script), 1)
        home = tempfile.TemporaryDirectory(prefix="tessra-e2e-home-")
        self.addCleanup(home.cleanup)
        # The script loads ~/tessra/models/life/model.so and writes ~/life.dat.
        os.makedirs(os.path.join(home.name, "tessra", "models"))
        os.symlink(LIFE, os.path.join(home.name, "tessra", "models", "life"))
        instance = Instance(attach=False, environment=environment)
        try:
            result = subprocess.run(["/usr/bin/python3", "-c", script[0]], capture_output=True,
                                    text=True, timeout=WAIT, env=dict(os.environ, HOME=home.name))
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            self.assertEqual(instance.wait_ended(), 0, "ends with the script")
        finally:
            instance.close()
        with open(os.path.join(home.name, "life.dat")) as f:
            text = f.read()
        self.assertIn("#\t\t2 = Average Alive\n#\t\t3 = Maximum Age\n", text)
        rows = [line.split("\t") for line in text.splitlines() if line and not line.startswith("#")]
        self.assertEqual([row[0] for row in rows], [str(tick) for tick in range(0, 501)])
        return result.stdout

    def test_python_script_runs_as_shown(self):
        output = self.run_python_example(None)
        self.assertIn("running Life", output)
        self.assertIn("density 0.1\n", output)
        self.assertIn("stopped at tick 500.0\n", output)

    def test_python_script_runs_in_a_comma_locale(self):
        output = self.run_python_example(
            {"LOCPATH": os.environ.get("TESSRA_LOCPATH", ""), "LC_ALL": "de_DE.UTF-8"})
        self.assertIn("density 0,1\n", output)


class StartUp(unittest.TestCase):
    """Started for automation, what start-up would show in a message box goes to
    the standard error output instead, and the object is offered all the same."""

    def start(self, arguments, files):
        instance = Instance(arguments=arguments, files=files)
        self.addCleanup(instance.close)
        return instance

    def test_settings_file_named_by_its_absolute_path(self):
        instance = self.start(["{folder}/run.ini"], {"run.ini": "[Parameters]\nWidth=64\n"})
        self.assertEqual(instance.tessra.GetParam("Width"), "64")
        self.assertNotIn("Usage:", instance.output())
        self.assertEqual(instance.release(), 0)

    def test_errors_of_the_command_line_and_the_first_settings_file(self):
        series = "[Time Series]\nCount=2\n0=Average Alive\n1=Average Alive\n"
        instance = self.start(["/nonsense", "run.ini"],
                              {"run.ini": "[Parameters]\nWidth=16\n" + series})
        self.assertEqual(instance.tessra.GetParam("Width"), "16")
        output = instance.output()
        usage = "Usage:\n\t" + os.path.realpath(TESSRA) + "[/[un]regserver] [settingsFile.ini]\n"
        self.assertIn(usage, output)
        self.assertIn("Operation/state pair already being plotted.\n", output)
        self.assertEqual(instance.release(), 0)


class SettingsFiles(unittest.TestCase):
    """Settings files that are not regular files, and models whose names a
    settings file cannot carry."""

    def start(self, **options):
        instance = Instance(**options)
        self.addCleanup(instance.close)
        return instance

    def test_a_folder_or_fifo_named_on_the_command_line_is_refused(self):
        # Opened for reading, a FIFO would keep the program waiting for a writer.
        for name, kind in (("folder.ini", "a folder"), ("fifo.ini", "a FIFO (named pipe)")):
            instance = self.start(arguments=[name], fifos=["fifo.ini"], folders=["folder.ini"])
            self.assertEqual(instance.tessra.GetLoadModelErr(), "")
            self.assertEqual(instance.tessra.GetParam("Density"), "0.3")  # initial value
            self.assertIn('Cannot read the settings file "%s": it is %s, not a settings file.\n'
                          % (name, kind), instance.output())
            self.assertEqual(instance.release(), 0)

    def test_a_fifo_as_the_default_settings_of_a_model_loaded_by_a_script(self):
        instance = self.start()
        os.remove(instance.path("default.ini"))
        os.mkfifo(instance.path("default.ini"))
        with self.assertRaises(dbus.exceptions.DBusException) as raised:
            instance.tessra.LoadModel(instance.path("model.so"), timeout=WAIT)
        # A loaded model reads the default.ini of its own folder.
        self.assertIn('Cannot read the settings file "%s": it is a FIFO (named pipe)'
                      % instance.path("default.ini"), str(raised.exception))
        self.assertEqual(instance.tessra.GetLoadModelErr(), "")  # loaded, from no file
        self.assertEqual(instance.tessra.GetParam("Density"), "0.3")
        self.assertEqual(instance.release(), 0)

    def test_load_errors_stay_on_one_line(self):
        instance = self.start(environment={"TESSRA_BADDESC": "paramlinebreak"})
        self.assertEqual(instance.tessra.LoadModel(fixture("baddesc"), timeout=WAIT), 0)
        error = instance.tessra.GetLoadModelErr()
        self.assertIn('the parameter name "Si\\nze" cannot be kept in settings files', error)
        self.assertNotIn("\n", error)
        self.assertEqual(instance.release(), 0)


def run_tessra(arguments, data_home, config_home, program=TESSRA):
    """Runs tessra to its end; answers (exit code, standard output)."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_DATA_HOME=data_home,
               XDG_CONFIG_HOME=config_home)
    result = subprocess.run([program, *arguments], env=env, capture_output=True, text=True,
                            timeout=60)
    return result.returncode, result.stdout


class ActivationFile(unittest.TestCase):
    def test_automation_by_hand_leaves_the_activation_file_alone(self):
        services = os.path.join(os.environ["XDG_DATA_HOME"], "dbus-1", "services")
        os.makedirs(services, exist_ok=True)
        path = os.path.join(services, "Tessra.FrontEnd.service")
        text = "[D-BUS Service]\nName=Tessra.FrontEnd\nExec=/opt/installed/tessra /embedding\n"
        with open(path, "w") as f:
            f.write(text)
        instance = Instance()
        try:
            self.assertEqual(instance.release(), 0)
        finally:
            instance.close()
        with open(path) as f:
            self.assertEqual(f.read(), text)


class ActivationTest(unittest.TestCase):
    """Tests with a data folder of their own, where /regserver writes the
    activation file that a bus started for the test reads."""

    def setUp(self):
        self.home = tempfile.TemporaryDirectory(prefix="tessra-e2e-home-")
        self.data = os.path.join(self.home.name, "data")
        self.config = os.path.join(self.home.name, "config")
        self.services = os.path.join(self.data, "dbus-1", "services")

    def tearDown(self):
        self.home.cleanup()

    def run_tessra(self, *arguments):
        return run_tessra(arguments, self.data, self.config)

    def activate(self, *mode, display=True):
        """Runs the activation client on a bus of its own, started after the
        activation file exists; without a display, as on a server."""
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_DATA_HOME=self.data,
                   XDG_CONFIG_HOME=self.config)
        if not display:
            for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
                env.pop(name, None)
        result = subprocess.run(
            ["dbus-run-session", "--", "/usr/bin/python3",
             os.path.join(os.path.dirname(os.path.abspath(__file__)), "activation_client.py"),
             os.path.join(LIFE, "model.so"), *(mode or ["inturn"])],
            env=env, capture_output=True, text=True, timeout=4 * WAIT)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("activation ok", result.stdout)


class Registration(ActivationTest):
    def test_regserver_twice_leaves_one_file_and_unregserver_removes_it(self):
        for switch in ("/regserver", "-RegServer"):
            self.assertEqual(self.run_tessra(switch),
                             (0, "Tessra registered as automation server.\n"))
        self.assertEqual(os.listdir(self.services), ["Tessra.FrontEnd.service"])
        with open(os.path.join(self.services, "Tessra.FrontEnd.service")) as f:
            text = f.read()
        self.assertIn("Name=Tessra.FrontEnd\n", text)
        self.assertIn("Exec=" + os.path.realpath(TESSRA) + " /embedding\n", text)
        for _ in range(2):
            self.assertEqual(self.run_tessra("/unregserver"),
                             (0, "Tessra unregistered as automation server.\n"))
            self.assertEqual(os.listdir(self.services), [])
        # No window was shown: a shown main window stores its display settings.
        self.assertFalse(glob.glob(os.path.join(self.config, "**", "*.conf"), recursive=True))

    def test_activation_on_a_machine_without_a_display(self):
        self.assertEqual(self.run_tessra("/regserver")[0], 0)
        self.activate(display=False)

    def test_a_second_script_gets_an_instance_that_outlives_the_first(self):
        self.assertEqual(self.run_tessra("/regserver")[0], 0)
        self.activate()

    def test_activation_from_a_folder_with_a_blank_and_an_apostrophe(self):
        folder = os.path.join(self.home.name, "it's a \\ folder")
        os.makedirs(folder)
        program = os.path.join(folder, "tessra")
        shutil.copy(TESSRA, program)
        self.assertEqual(run_tessra(["/regserver"], self.data, self.config, program),
                         (0, "Tessra registered as automation server.\n"))
        with open(os.path.join(self.services, "Tessra.FrontEnd.service")) as f:
            self.assertIn("Exec='" + self.home.name + "/it'\\\\''s a \\\\ folder/tessra' /embedding\n",
                          f.read())
        self.activate()


class Relay(ActivationTest):
    """Scripts that reach one activated instance together each get one of
    their own: the first instance serves the others through private ones."""

    def test_eight_scripts_started_at_once_each_get_an_instance(self):
        self.assertEqual(self.run_tessra("/regserver")[0], 0)
        self.activate("clients", "8", "0")

    def test_two_scripts_50_ms_apart_each_get_an_instance(self):
        self.assertEqual(self.run_tessra("/regserver")[0], 0)
        self.activate("clients", "2", "0.05")

    def test_a_private_instance_ends_with_the_instance_that_started_it(self):
        self.assertEqual(self.run_tessra("/regserver")[0], 0)
        self.activate("hubgone")

    def test_the_private_switch_is_refused_by_hand(self):
        for arguments in (["/automation", "/automation-private", ":1.99999", "Tessra.FrontEnd.p1_1"],
                          ["/automation", "/automation-private"]):
            result = subprocess.run([TESSRA, *arguments], capture_output=True, text=True,
                                    timeout=60, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
            self.assertEqual(result.returncode, 2, result.stderr)
            self.assertIn("/automation-private", result.stderr)


if __name__ == "__main__":
    unittest.main()
