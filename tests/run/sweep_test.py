#!/usr/bin/python3
"""Parameter sweeps end to end: the real tessra-run on real models, run by itself,
by GNU parallel and by a one-node Slurm cluster that this script starts.

Paths come from the environment: TESSRA_RUN, TESSRA_BINARY_DIR, TESSRA_SOURCE_DIR.
"""
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

RUN = os.environ["TESSRA_RUN"]
BINARY_DIR = os.environ["TESSRA_BINARY_DIR"]
SOURCE_DIR = os.environ["TESSRA_SOURCE_DIR"]
LIFE = os.path.join(BINARY_DIR, "models", "life", "model.so")
FAULTY = os.path.join(BINARY_DIR, "tests", "models", "faulty", "model.so")


def sweep(*arguments, timeout=300):
    return subprocess.run([RUN, "sweep", *arguments], capture_output=True, text=True,
                          timeout=timeout)


def without_date(path):
    """A run file without its date line, the one line that may differ."""
    with open(path) as f:
        lines = f.read().split("\n")
    return "\n".join(lines[:3] + lines[4:])


def run_files(folder):
    return sorted(n for n in os.listdir(folder) if re.fullmatch(r"run-\d{5}\.tsv", n))


class SweepFolder(unittest.TestCase):
    """A test with a folder of its own for sweep files and results."""

    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix="tessra-sweep-")

    def tearDown(self):
        self.folder.cleanup()

    def path(self, *names):
        return os.path.join(self.folder.name, *names)

    def write(self, name, text):
        with open(self.path(name), "w") as f:
            f.write(text)
        return self.path(name)

    def life_sweep(self, name, sweep_lines, output="results", ticks=40, size=24):
        return self.write(name, "[Parameters]\nWidth=%d\nHeight=%d\nDensity=0.3\nSeed=5\n"
                          "[Time Series]\nCount=2\n0=Average Alive\n1=Variance Age\n"
                          "[Sweep]\nModel=%s\nTicks=%d\nOutput=%s\n%s"
                          % (size, size, os.path.relpath(LIFE, self.folder.name), ticks, output,
                             sweep_lines))


class Numbering(SweepFolder):
    def test_two_keys_and_replications(self):
        file = self.life_sweep("grid.ini", "Replications=2\nSeedParameter=Seed\n"
                               "Width=8:16:8\nDensity=0.2, 0.4,0.6\n")
        listed = sweep(file, "--list")
        self.assertEqual(listed.returncode, 0, listed.stderr)
        expected = ["run\tWidth\tDensity\tSeed"]
        run = 0
        for width in ("8", "16"):
            for density in ("0.2", "0.4", "0.6"):
                for seed in ("5", "6"):
                    expected.append("\t".join((str(run), width, density, seed)))
                    run += 1
        self.assertEqual(listed.stdout.splitlines(), expected)
        numbers = sweep(file, "--list", "--numbers")
        self.assertEqual(numbers.stdout.split(), [str(n) for n in range(12)])
        self.assertFalse(os.path.exists(self.path("results")))

        ranged = self.life_sweep("range.ini", "Density=0.1:0.5:0.1\n")
        self.assertEqual([l.split("\t")[1] for l in sweep(ranged, "--list").stdout.splitlines()],
                         ["Density", "0.1", "0.2", "0.3", "0.4", "0.5"])

    def test_refused_values_and_bad_files_stop_before_any_run(self):
        file = self.life_sweep("refused.ini", "Replications=2\nSeedParameter=Seed\n"
                               "Density=0.5, 1.5\n")
        for action in (["--list"], ["--jobs", "2"], ["--slurm"]):
            result = sweep(file, *action)
            self.assertEqual(result.returncode, 1, result.stderr)
            self.assertIn("run 2: Density = 1.5 is refused", result.stderr)
            self.assertFalse(os.path.exists(self.path("results")))
        cases = [("Width=4\n", "no [Sweep] section", False),
                 ("[Sweep]\nTicks=5\n", "needs Model=", False),
                 ("[Sweep]\nModel=%s\nTicks=5\nHeight=2\nWidht=1,2\n", "\"Widht\"", True),
                 ("[Sweep]\nModel=%s\nTicks=5\nWidth=1:4:-1\n", "the step never leads", True),
                 ("[Sweep]\nModel=%s\nTicks=5\nWidth=1;2\n", "is not a number", True),
                 ("[Sweep]\nModel=%s\nTicks=5\nReplications=3\n", "needs SeedParameter=", True),
                 ("[Sweep]\nModel=%s\nTicks=5\n", "no series chosen", True)]
        for text, message, with_model in cases:
            with self.subTest(text=text):
                bad = self.write("bad.ini", text % LIFE if with_model else text)
                result = sweep(bad, "--jobs", "1")
                self.assertEqual(result.returncode, 2, result.stderr)
                self.assertIn(message, result.stderr)
        self.assertEqual(sweep(file, "--index", "2").returncode, 1)
        self.assertEqual(sweep(file, "--index", "4").returncode, 2)  # runs 0 to 3
        self.assertFalse(os.path.exists(self.path("results")))


class Failures(SweepFolder):
    def test_crashing_hanging_and_exiting_runs_are_recorded_and_the_others_complete(self):
        file = self.write("faulty.ini",
                          "[Time Series]\nCount=1\n0=Average x\n"
                          "[Sweep]\nModel=%s\nTicks=10\nTimeout=3\nFault=0,1,2,3,0\n" % FAULTY)
        result = sweep(file, "--jobs", "2")
        self.assertEqual(result.returncode, 103, result.stderr)
        self.assertIn("3 failed", result.stderr)
        results = self.path("results")
        self.assertEqual(run_files(results), ["run-00000.tsv", "run-00004.tsv"])
        self.assertEqual(sorted(os.listdir(results)),
                         [".failed.lock", "failed.tsv", "run-00000.tsv", "run-00004.tsv"])
        with open(os.path.join(results, "failed.tsv")) as f:
            lines = [line.split("\t") for line in f.read().splitlines()]
        self.assertEqual(lines[0], ["run", "Fault", "status", "message"])
        self.assertEqual([line[:2] for line in lines[1:]], [["1", "1"], ["2", "2"], ["3", "3"]])
        self.assertRegex(lines[1][2], r"^(signal 11 \(Segmentation fault\)|exit status \d+)$")
        if lines[1][2].startswith("signal"):  # not under a sanitizer, which ends it itself
            self.assertEqual(lines[1][3], "faulty: crashing at tick 3")
        self.assertEqual(lines[2][2:], ["timed out after 3 s", "faulty: hanging"])
        self.assertEqual(lines[3][2:], ["exit status 3", "faulty: calling exit(3)"])

        merged = sweep(file, "--merge")
        self.assertEqual(merged.returncode, 103, merged.stderr)
        self.assertIn("1, 2, 3", merged.stderr)
        with open(os.path.join(results, "runs.tsv")) as f:
            table = f.read().splitlines()
        self.assertEqual(table[0], "run\tFault\ttick\tAverage x")
        self.assertEqual([row.split("\t")[0] for row in table[1:]], ["0"] * 11 + ["4"] * 11)

        # A run that completes later leaves the list of failures; the list goes
        # when it is empty.
        os.remove(os.path.join(results, "run-00004.tsv"))
        with open(file, "a") as f:
            f.write("[Parameters]\nAt=1000\n")
        again = sweep(file, "--index", "1")
        self.assertEqual(again.returncode, 0, again.stderr)
        with open(os.path.join(results, "failed.tsv")) as f:
            self.assertEqual([l.split("\t")[0] for l in f.read().splitlines()], ["run", "2", "3"])


class ResumeAndMerge(SweepFolder):
    def test_example_sweep_killed_part_way_resumes_and_merges_for_pandas(self):
        import pandas

        with open(os.path.join(SOURCE_DIR, "examples", "density-sweep.ini")) as f:
            text = f.read()
        file = self.write("density-sweep.ini",
                          re.sub(r"(?m)^Model=.*$", "Model=" + LIFE, text))
        results = self.path("results")
        first = subprocess.Popen([RUN, "sweep", file, "--jobs", "1"], stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 120
        while len(run_files(results) if os.path.isdir(results) else []) < 4:
            self.assertIsNone(first.poll(), "the sweep ended before it was killed")
            self.assertLess(time.monotonic(), deadline)
            time.sleep(0.01)
        first.kill()
        first.wait()
        time.sleep(1)  # the run under way ends with its sweep
        done = run_files(results)
        self.assertLess(len(done), 15)
        self.assertEqual(sorted(os.listdir(results)), done, "no half or temporary file")
        before = {n: (os.stat(os.path.join(results, n)).st_ino,
                      os.stat(os.path.join(results, n)).st_mtime_ns) for n in done}
        for name in done:
            with open(os.path.join(results, name)) as f:
                self.assertEqual(len([l for l in f if l[0].isdigit()]), 301, name)

        resumed = sweep(file, "--jobs", "2")
        self.assertEqual(resumed.returncode, 0, resumed.stderr)
        self.assertIn("%d of 15 runs are complete already" % len(done), resumed.stderr)
        self.assertEqual(run_files(results), ["run-%05d.tsv" % n for n in range(15)])
        for name, stamp in before.items():
            status = os.stat(os.path.join(results, name))
            self.assertEqual((status.st_ino, status.st_mtime_ns), stamp, name + " ran twice")

        merged = sweep(file, "--merge")
        self.assertEqual(merged.returncode, 0, merged.stderr)
        table = pandas.read_csv(os.path.join(results, "runs.tsv"), sep="\t")
        self.assertEqual(list(table.columns),
                         ["run", "Density", "Seed", "tick", "Average Alive", "Average Age"])
        self.assertEqual(table.shape, (15 * 301, 6))
        self.assertTrue(all(str(t) != "object" for t in table.dtypes))
        self.assertEqual(sorted(table["Density"].unique()), [0.1, 0.2, 0.3, 0.4, 0.5])
        self.assertEqual(sorted(table["Seed"].unique()), [1, 2, 3])
        self.assertEqual(set(table.groupby("run").size()), {301})
        first_rows = table[table["tick"] == 0].set_index("run")
        self.assertLess(abs(first_rows.loc[14, "Average Alive"] - 0.5), 0.05)


class GnuParallel(SweepFolder):
    def test_parallel_runs_twelve_runs_as_jobs_do(self):
        lines = "Replications=4\nSeedParameter=Seed\nDensity=0.2,0.3,0.4\n"
        by_jobs = self.life_sweep("jobs.ini", lines, output="by-jobs")
        by_parallel = self.life_sweep("parallel.ini", lines, output="by-parallel")
        self.assertEqual(sweep(by_jobs, "--jobs", "2").returncode, 0)
        numbers = subprocess.run([RUN, "sweep", by_parallel, "--list", "--numbers"],
                                 capture_output=True, check=True)
        result = subprocess.run(["parallel", "--will-cite", "-j2", RUN, "sweep", by_parallel,
                                 "--index", "{}"], input=numbers.stdout, capture_output=True,
                                timeout=300, env=dict(os.environ, HOME=self.folder.name))
        self.assertEqual(result.returncode, 0, result.stderr)
        names = ["run-%05d.tsv" % n for n in range(12)]
        self.assertEqual(run_files(self.path("by-parallel")), names)
        for name in names:
            self.assertEqual(without_date(self.path("by-parallel", name)),
                             without_date(self.path("by-jobs", name)), name)
        for folder, file in (("by-jobs", by_jobs), ("by-parallel", by_parallel)):
            self.assertEqual(sweep(file, "--merge").returncode, 0)
        with open(self.path("by-jobs", "runs.tsv")) as a, \
                open(self.path("by-parallel", "runs.tsv")) as b:
            self.assertEqual(a.read(), b.read())


if __name__ == "__main__":
    unittest.main()
