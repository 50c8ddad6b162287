#!/usr/bin/python3
"""tessra-run end to end: the real program on the example and fixture models.

Paths come from the environment: TESSRA_RUN, TESSRA_EXECUTABLE,
TESSRA_BINARY_DIR. AgainstAutomation also starts the real tessra with
/automation on a private session bus (ctest runs it under dbus-run-session).
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from tessra_process import end_after_client  # noqa: E402

RUN = os.environ["TESSRA_RUN"]
TESSRA = os.environ["TESSRA_EXECUTABLE"]
BINARY_DIR = os.environ["TESSRA_BINARY_DIR"]
LIFE = os.path.join(BINARY_DIR, "models", "life", "model.so")
HOSTCALLER = os.path.join(BINARY_DIR, "tests", "models", "hostcaller", "model.so")
SMALL_LIFE = ["--set", "Width=48", "--set", "Height=40", "--set", "Density=0.35", "--set", "Seed=7"]


def run(*arguments, cwd=None):
    return subprocess.run([RUN, *arguments], cwd=cwd, capture_output=True, text=True, timeout=120)


def data_lines(text):
    return [line for line in text.splitlines() if line and not line.startswith("#")]


def header_lines(text):
    """The header without the date line: it is the only line that may differ."""
    lines = [line for line in text.splitlines() if line.startswith("#")]
    return lines[:2] + lines[3:]


class HeadlessRun(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix="tessra-run-")

    def tearDown(self):
        self.folder.cleanup()

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def test_stop_condition_ends_the_run_and_series_go_to_the_file(self):
        out = self.path("life.tsv")
        result = run(LIFE, *SMALL_LIFE, "--stop", "Tick >= 25", "--series", "Average Alive",
                     "--series", "density", "--output", out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, "")
        with open(out) as f:
            text = f.read()
        lines = data_lines(text)
        self.assertEqual([line.split("\t")[0] for line in lines], [str(t) for t in range(26)])
        self.assertTrue(all(line.endswith("\t") and line.count("\t") == 3 for line in lines))
        self.assertIn("#\t\t2 = Average Alive", text)
        self.assertIn("#\t\t3 = Density", text)
        self.assertIn("#\t\tWidth = 48", text)
        self.assertEqual({line.split("\t")[2] for line in lines}, {"0.35"})

        # --append adds a second block; standard output gets the same block.
        again = run(LIFE, *SMALL_LIFE, "--ticks", "25", "--series", "Average Alive", "--series",
                    "Density", "--output", out, "--append", "--quiet")
        self.assertEqual(again.returncode, 0, again.stderr)
        with open(out) as f:
            both = f.read()
        self.assertEqual(both.count("#\tTessra v1.9 - Time Series"), 2)
        self.assertEqual(data_lines(both), lines + lines)
        to_stdout = run(LIFE, *SMALL_LIFE, "--ticks", "25", "--series", "Average Alive",
                        "--series", "Density", "--quiet")
        self.assertEqual(to_stdout.returncode, 0, to_stdout.stderr)
        self.assertEqual(data_lines(to_stdout.stdout), lines)
        self.assertEqual(header_lines(to_stdout.stdout), header_lines(text))

    def test_settings_file_and_the_model_folders_default(self):
        settings = self.path("mine.ini")
        with open(settings, "w") as f:
            f.write("; mine\n[Parameters]\nWidth=16\nHeight=8\nDensity=0\n"
                    "[Time Series]\nCount=1\n0=Maximum Alive\n")
        result = run(LIFE, settings, "--ticks", "3")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("#\t\t2 = Maximum Alive", result.stdout)
        self.assertIn("#\t\tWidth = 16", result.stdout)
        self.assertEqual(data_lines(result.stdout), ["%d\t0\t" % t for t in range(4)])
        # Without a settings file: the default.ini beside the model, not one in the
        # working folder.
        with open(self.path("default.ini"), "w") as f:
            f.write("[Parameters]\nWidth=5\n")
        result = run(LIFE, "--ticks", "1", "--series", "Average Alive", cwd=self.folder.name)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("#\t\tWidth = 128", result.stdout)

    def test_refused_values_and_bad_arguments_write_nothing(self):
        out = self.path("never.tsv")
        cases = [
            (1, ["--set", "Density=1.5"], "Density"),
            (1, ["--set", "Width=2.5"], "whole number from 1 to 4096"),
            (2, ["--set", "Nope=1"], "no parameter \"Nope\""),
            (2, ["--set", "Width=wide"], "not a number"),
            (2, ["--series", "Average Nothing"], "no series"),
            (2, ["--stop", "Tick > 5"], "no condition"),
            (2, ["--bogus"], "unknown option --bogus"),
            (2, ["--ticks", "-5"], "--ticks needs a number of ticks"),
            (2, ["extra.ini", "more.ini"], "at most one settings file"),
            (2, ["missing.ini"], "no settings file"),
        ]
        for status, arguments, message in cases:
            with self.subTest(arguments=arguments):
                result = run(LIFE, "--ticks", "5", "--series", "Average Alive", *arguments,
                             "--output", out)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertIn(message, result.stderr)
                self.assertEqual(len(result.stderr.splitlines()), 1 if status == 1 else 2,
                                 result.stderr)
                self.assertFalse(os.path.exists(out))
        self.assertEqual(run(LIFE).returncode, 2)  # never ends: no --ticks, no --stop
        self.assertIn("--ticks needs a value", run(LIFE, "--ticks").stderr)
        self.assertEqual(run(os.path.join(self.folder.name, "none.so"), "--ticks", "1").returncode, 2)
        not_a_model = self.path("model.so")
        with open(not_a_model, "w") as f:
            f.write("no library")
        result = run(not_a_model, "--ticks", "1")
        self.assertEqual(result.returncode, 1)
        self.assertIn("does not load", result.stderr)
        # Nothing but the files the test made: no temporary file left behind.
        self.assertEqual(sorted(os.listdir(self.folder.name)), ["model.so"])

    def test_debug_log_goes_to_standard_error_and_the_model_can_pause(self):
        # Action 17: every step writes "hostcaller step <time>" to the debug log.
        result = run(HOSTCALLER, "--set", "Action=17", "--ticks", "3", "--series", "Level")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr.splitlines(),
                         ["hostcaller step 0", "hostcaller step 1", "hostcaller step 2"])
        quiet = run(HOSTCALLER, "--set", "Action=17", "--ticks", "3", "--series", "Level",
                    "--quiet")
        self.assertEqual(quiet.stderr, "")
        self.assertEqual(quiet.stdout.count("\n"), result.stdout.count("\n"))
        # Action 11: the first step calls _simPause, which ends the run there.
        paused = run(HOSTCALLER, "--set", "Action=11", "--ticks", "50", "--series", "Level")
        self.assertEqual(paused.returncode, 0, paused.stderr)
        self.assertEqual([line.split("\t")[0] for line in data_lines(paused.stdout)], ["0", "1"])

    def test_failures_of_the_model_end_the_run_with_its_reason(self):
        faulty = os.path.join(BINARY_DIR, "tests", "models", "faulty", "model.so")
        out = self.path("never.tsv")
        cases = [
            (["--set", "Fault=4", "--set", "At=2"], "faulty: the step failed at tick 2"),
            (["--set", "Fault=5"], "the model's size function gave -2 x 2 sites"),
        ]
        for arguments, reason in cases:
            with self.subTest(arguments=arguments):
                # Neither the series nor the movie begun before the failure is written.
                result = run(faulty, *arguments, "--ticks", "10", "--series", "Average x",
                             "--output", out, "--movie", self.path("never.gif"))
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertIn(reason, result.stderr)
                self.assertEqual(os.listdir(self.folder.name), [])

    def test_an_interrupted_run_leaves_no_file(self):
        out = self.path("big.tsv")
        process = subprocess.Popen([RUN, LIFE, "--set", "Width=512", "--set", "Height=512",
                                    "--ticks", "1000000", "--series", "Average Alive",
                                    "--output", out], stderr=subprocess.PIPE)
        time.sleep(1.5)
        self.assertIsNone(process.poll())
        process.terminate()
        self.assertEqual(process.wait(30), 128 + 15)
        process.stderr.close()
        self.assertEqual(os.listdir(self.folder.name), [])


class AgainstAutomation(unittest.TestCase):
    """The same model, settings and seed give the same data lines as the same run
    through the window's automation."""

    def test_life_for_100_ticks_with_two_series(self):
        import dbus

        folder = tempfile.TemporaryDirectory(prefix="tessra-run-auto-")
        self.addCleanup(folder.cleanup)
        out_run = os.path.join(folder.name, "run.tsv")
        out_auto = os.path.join(folder.name, "auto.tsv")
        series = ["Average Alive", "Kurtosis Age"]
        result = run(LIFE, *SMALL_LIFE, "--series", series[0], "--series", series[1],
                     "--ticks", "100", "--output", out_run)
        self.assertEqual(result.returncode, 0, result.stderr)

        shutil.copy(os.path.join(os.path.dirname(LIFE), "default.ini"), folder.name)
        shutil.copy(LIFE, folder.name)
        log = open(os.path.join(folder.name, "tessra.log"), "w")
        self.addCleanup(log.close)
        tessra = subprocess.Popen([TESSRA, "/automation"], cwd=folder.name, stdout=log,
                                  stderr=subprocess.STDOUT,
                                  env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        self.addCleanup(end_after_client, tessra)
        bus = dbus.SessionBus(private=True)
        self.addCleanup(bus.close)
        daemon = dbus.Interface(bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus"),
                                "org.freedesktop.DBus")
        deadline = time.monotonic() + 60
        while not daemon.NameHasOwner("Tessra.FrontEnd"):
            self.assertIsNone(tessra.poll(), "tessra ended at start")
            self.assertLess(time.monotonic(), deadline, "tessra offered no automation object")
            time.sleep(0.05)
        front = dbus.Interface(bus.get_object(daemon.GetNameOwner("Tessra.FrontEnd"), "/FrontEnd"),
                               "Tessra.FrontEnd")
        self.assertEqual(front.LoadModel(LIFE, timeout=120), 1)
        for pair in SMALL_LIFE[1::2]:
            name, value = pair.split("=")
            self.assertEqual(front.SetParam(name, value), 1)
        front.TimeSeriesRemoveAll()
        for label in series:
            self.assertEqual(front.TimeSeriesAdd(label), 1)
        front.SimNew(timeout=120)
        self.assertEqual(front.StopIfAdd("Tick >= 100"), 1)
        front.SimRunWait(timeout=120)
        self.assertEqual(front.TimeSeriesExport(out_auto, "", timeout=120), 1)
        front.Release()
        self.assertEqual(tessra.wait(30), 0)

        with open(out_run) as f:
            by_run = f.read()
        with open(out_auto) as f:
            by_automation = f.read()
        self.assertEqual(len(data_lines(by_run)), 101)
        self.assertEqual(data_lines(by_run), data_lines(by_automation))
        self.assertEqual(header_lines(by_run), header_lines(by_automation))


if __name__ == "__main__":
    unittest.main()
