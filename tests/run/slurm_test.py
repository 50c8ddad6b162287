#!/usr/bin/python3
"""A sweep on a real one-node Slurm cluster: this script starts munged, slurmctld
and slurmd for localhost with a configuration, key, ports and folders of its own,
submits the script tessra-run prints with --slurm, waits for the merge job and
compares the merged table with the one --jobs 2 makes. The daemons are stopped
afterwards. Without root or the Slurm and munge programs, or when the daemons do
not start, the test says why and is skipped.

Paths come from the environment: TESSRA_RUN, TESSRA_BINARY_DIR.
"""
import os
import random
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

RUN = os.environ["TESSRA_RUN"]
BINARY_DIR = os.environ["TESSRA_BINARY_DIR"]
LIFE = os.path.join(BINARY_DIR, "models", "life", "model.so")
PROGRAMS = ("munged", "slurmctld", "slurmd", "sbatch", "squeue", "sinfo", "scontrol")


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.2)
    return condition()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Cluster:
    """munged, slurmctld and slurmd in a folder of their own."""

    def __init__(self, folder):
        self.folder = folder
        self.node = socket.gethostname().split(".")[0]
        for name in ("munge", "state", "spool", "log"):
            os.makedirs(self.path(name), mode=0o755)
        self.socket = self.path("munge", "munge.socket")
        key = self.path("munge", "munge.key")
        with open(key, "wb") as f:
            f.write(os.urandom(1024))
        os.chmod(key, 0o600)
        ctld_port = free_port()
        d_port = free_port()
        while d_port == ctld_port:
            d_port = free_port()
        self.conf = self.path("slurm.conf")
        with open(self.conf, "w") as f:
            f.write("\n".join([
                "ClusterName=tessratest%d" % random.randrange(10000),
                "SlurmctldHost=%s(127.0.0.1)" % self.node,
                "AuthType=auth/munge", "CredType=cred/munge",
                "AuthInfo=socket=" + self.socket,
                "SlurmUser=root", "SlurmdUser=root",
                "SlurmctldPort=%d" % ctld_port, "SlurmdPort=%d" % d_port,
                "StateSaveLocation=" + self.path("state"),
                "SlurmdSpoolDir=" + self.path("spool"),
                "SlurmctldPidFile=" + self.path("slurmctld.pid"),
                "SlurmdPidFile=" + self.path("slurmd.pid"),
                "SlurmctldLogFile=" + self.path("log", "slurmctld.log"),
                "SlurmdLogFile=" + self.path("log", "slurmd.log"),
                "ProctrackType=proctrack/linuxproc", "TaskPlugin=task/none", "MpiDefault=none",
                "SchedulerType=sched/builtin", "SelectType=select/cons_tres",
                "SelectTypeParameters=CR_CPU", "ReturnToService=2",
                "JobAcctGatherType=jobacct_gather/none",
                "AccountingStorageType=accounting_storage/none", "JobCompType=jobcomp/none",
                "NodeName=%s NodeAddr=127.0.0.1 CPUs=%d State=UNKNOWN" % (self.node,
                                                                         os.cpu_count() or 1),
                "PartitionName=tessra Nodes=%s Default=YES MaxTime=INFINITE State=UP" % self.node,
                ""]))
        self.env = dict(os.environ, SLURM_CONF=self.conf)
        self.started = []

    def path(self, *names):
        return os.path.join(self.folder, *names)

    def start(self):
        """Starts the daemons; answers why not when they do not come up."""
        munge = [shutil.which("munged"), "--force", "--socket=" + self.socket,
                 "--key-file=" + self.path("munge", "munge.key"),
                 "--log-file=" + self.path("log", "munged.log"),
                 "--pid-file=" + self.path("munge", "munged.pid"),
                 "--seed-file=" + self.path("munge", "munged.seed")]
        for name, command in (("munged", munge),
                              ("slurmctld", ["slurmctld", "-f", self.conf]),
                              ("slurmd", ["slurmd", "-f", self.conf])):
            result = subprocess.run(command, env=self.env, capture_output=True, text=True)
            if result.returncode != 0:
                return "%s did not start: %s" % (name, (result.stderr or result.stdout).strip())
            self.started.append(name)
        if not wait_for(lambda: self.node_state() == "idle", 60):
            return "the node did not become idle (%s): %s" % (self.node_state(), self.logs())
        return None

    def node_state(self):
        result = subprocess.run(["sinfo", "-h", "-n", self.node, "-o", "%t"], env=self.env,
                                capture_output=True, text=True)
        return result.stdout.strip()

    def jobs(self):
        result = subprocess.run(["squeue", "-h", "-o", "%i"], env=self.env, capture_output=True,
                                text=True)
        return result.stdout.split() if result.returncode == 0 else None

    def logs(self):
        text = ""
        for name in sorted(os.listdir(self.path("log"))):
            with open(self.path("log", name), errors="replace") as f:
                text += "\n== %s ==\n%s" % (name, "".join(f.readlines()[-15:]))
        return text

    def stop(self):
        if "slurmctld" in self.started:
            subprocess.run(["scontrol", "shutdown"], env=self.env, capture_output=True)
        for pid_file in ("slurmd.pid", "slurmctld.pid", os.path.join("munge", "munged.pid")):
            try:
                with open(self.path(pid_file)) as f:
                    pid = int(f.read().strip())
            except (OSError, ValueError):
                continue
            if not wait_for(lambda: not os.path.exists("/proc/%d" % pid), 10):
                try:
                    os.kill(pid, 9)
                except ProcessLookupError:
                    pass


class Slurm(unittest.TestCase):
    def setUp(self):
        missing = [p for p in PROGRAMS if not shutil.which(p)]
        if missing:
            self.skipTest("Slurm or munge is not installed (no %s)" % ", ".join(missing))
        if os.geteuid() != 0:
            self.skipTest("starting slurmd and munged for a test cluster needs root")
        self.folder = tempfile.TemporaryDirectory(prefix="tessra-slurm-")
        self.addCleanup(self.folder.cleanup)
        os.chmod(self.folder.name, 0o755)
        self.cluster = Cluster(os.path.join(self.folder.name, "cluster"))
        self.addCleanup(self.cluster.stop)
        why = self.cluster.start()
        if why:
            self.skipTest("the Slurm test cluster does not start here: " + why)

    def test_printed_script_runs_the_sweep_and_merges_as_jobs_do(self):
        def sweep_file(name, output):
            path = os.path.join(self.folder.name, name)
            with open(path, "w") as f:
                f.write("[Parameters]\nWidth=24\nHeight=24\nSeed=3\n"
                        "[Time Series]\nCount=2\n0=Average Alive\n1=Skewness Age\n"
                        "[Sweep]\nModel=%s\nTicks=60\nOutput=%s\nReplications=3\n"
                        "SeedParameter=Seed\nDensity=0.25, 0.5\nHeight=16:32:16\n"
                        % (LIFE, output))
            return path

        by_jobs = sweep_file("jobs.ini", "by-jobs")
        by_slurm = sweep_file("slurm.ini", "by-slurm")
        self.assertEqual(subprocess.run([RUN, "sweep", by_jobs, "--jobs", "2"]).returncode, 0)
        self.assertEqual(subprocess.run([RUN, "sweep", by_jobs, "--merge"]).returncode, 0)

        script = subprocess.run([RUN, "sweep", by_slurm, "--slurm", "--max-parallel", "2"],
                                capture_output=True, text=True)
        self.assertEqual(script.returncode, 0, script.stderr)
        self.assertIn("--array=0-11%2", script.stdout)
        submit = os.path.join(self.folder.name, "submit.sh")
        with open(submit, "w") as f:
            f.write(script.stdout)
        submitted = subprocess.run(["sh", submit], env=self.cluster.env, capture_output=True,
                                   text=True, cwd=self.folder.name)
        self.assertEqual(submitted.returncode, 0, submitted.stderr + self.cluster.logs())
        self.assertIn("Submitted the runs as job array", submitted.stdout)
        merged = os.path.join(self.folder.name, "by-slurm", "runs.tsv")
        finished = wait_for(lambda: self.cluster.jobs() == [] and os.path.exists(merged), 240)
        self.assertTrue(finished, "the jobs did not finish: %s %s" % (self.cluster.jobs(),
                                                                      self.cluster.logs()))
        with open(os.path.join(self.folder.name, "by-jobs", "runs.tsv")) as a, open(merged) as b:
            self.assertEqual(b.read(), a.read())
        logs = sorted(os.listdir(os.path.join(self.folder.name, "by-slurm", "slurm")))
        self.assertEqual(logs, sorted(["merge.out"] + ["run-%d.out" % n for n in range(12)]))


if __name__ == "__main__":
    outcome = unittest.main(exit=False).result
    if not outcome.wasSuccessful():
        sys.exit(1)
    # 77: CTest's mark of a skipped test (SKIP_RETURN_CODE)
    sys.exit(77 if outcome.skipped and len(outcome.skipped) == outcome.testsRun else 0)
