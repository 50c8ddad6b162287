#!/usr/bin/python3
"""Pictures and movies from tessra-run, end to end: the real program on the Life
example, PNG frames decoded and movies probed by the real ffmpeg and ffprobe.

Paths come from the environment: TESSRA_RUN, TESSRA_BINARY_DIR.
"""
import os
import signal
import subprocess
import tempfile
import time
import unittest

RUN = os.environ["TESSRA_RUN"]
LIFE = os.path.join(os.environ["TESSRA_BINARY_DIR"], "models", "life", "model.so")
SMALL_LIFE = ["--set", "Width=48", "--set", "Height=40", "--set", "Density=0.35", "--set", "Seed=7",
              "--quiet"]


def run(*arguments, env=None):
    return subprocess.run([RUN, LIFE, *arguments], capture_output=True, text=True, timeout=120,
                          env=env)


def pixels(png):
    """The picture's (or a movie's first frame's) size and RGB bytes, as ffmpeg
    decodes it."""
    probe = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "stream=width,height",
                            "-of", "csv=p=0", png], capture_output=True, text=True, check=True)
    width, height = map(int, probe.stdout.strip().split(","))
    decoded = subprocess.run(["ffmpeg", "-v", "error", "-i", png, "-frames:v", "1", "-f",
                              "rawvideo", "-pix_fmt", "rgb24", "-"], capture_output=True,
                             check=True)
    return width, height, decoded.stdout


def probe(movie):
    """Codec, width, height and counted frames of the movie's video stream."""
    result = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0",
                             "-show_entries", "stream=codec_name,width,height,nb_read_frames",
                             "-of", "csv=p=0", movie], capture_output=True, text=True, check=True)
    codec, width, height, frames = result.stdout.strip().split(",")
    return codec, int(width), int(height), int(frames)


class Media(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix="tessra-run-media-")
        self.addCleanup(self.folder.cleanup)

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def test_frames_every_5_ticks_are_the_world_at_those_ticks(self):
        frames = self.path("frames")
        result = run(*SMALL_LIFE, "--ticks", "20", "--pictures", frames, "--every", "5")
        self.assertEqual(result.returncode, 0, result.stderr)
        names = sorted(os.listdir(frames))
        self.assertEqual(names, ["frame%06d.png" % i for i in range(5)])
        for i, name in enumerate(names):
            with self.subTest(tick=5 * i):
                picture = self.path("tick%d.png" % (5 * i))
                result = run(*SMALL_LIFE, "--ticks", str(5 * i), "--picture", picture)
                self.assertEqual(result.returncode, 0, result.stderr)
                frame = pixels(os.path.join(frames, name))
                self.assertEqual(frame[:2], (48, 40))
                self.assertEqual(frame, pixels(picture))
        # Consecutive frames differ: they are not one world written five times.
        self.assertNotEqual(pixels(os.path.join(frames, names[0]))[2],
                            pixels(os.path.join(frames, names[1]))[2])

    def test_mp4_and_gif_movies_have_the_frames_size_and_codec(self):
        mp4 = self.path("life.mp4")
        series = self.path("life.tsv")
        result = run(*SMALL_LIFE, "--ticks", "30", "--movie", mp4, "--every", "3", "--scale",
                     "2", "--fps", "10", "--series", "Average Alive", "--output", series)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(probe(mp4), ("h264", 96, 80, 11))
        # Odd sides: the rows of the frames are padded, the movie's are not.
        gif = self.path("life.gif")
        result = run(*SMALL_LIFE, "--set", "Width=45", "--set", "Height=31", "--ticks", "9",
                     "--movie=" + gif)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(probe(gif), ("gif", 45, 31, 10))
        # A GIF keeps the colours: its first frame is the world at tick 0.
        start = self.path("start.png")
        result = run(*SMALL_LIFE, "--set", "Width=45", "--set", "Height=31", "--ticks", "0",
                     "--picture", start)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(pixels(gif), pixels(start))
        os.remove(start)
        # The movies and the series, and no temporary file beside them.
        self.assertEqual(sorted(os.listdir(self.folder.name)), ["life.gif", "life.mp4", "life.tsv"])

    def test_bad_options_exit_2_and_write_nothing(self):
        full = self.path("full")
        os.mkdir(full)
        open(os.path.join(full, "frame000000.png"), "w").close()
        a_file = self.path("a.txt")
        open(a_file, "w").close()
        no_ffmpeg = dict(os.environ, PATH=self.path("empty"))
        out = self.path("out")
        cases = [
            (["--pictures", out, "--every", "0"], "--every needs a whole number from 1"),
            (["--pictures", out, "--every", "2.5"], "not \"2.5\""),
            (["--picture", out + ".png", "--scale", "17"], "--scale needs a whole number from 1 to 16"),
            (["--movie", out + ".mp4", "--fps", "0"], "--fps needs a whole number from 1 to 1000"),
            (["--every", "5"], "--every needs --pictures or --movie"),
            (["--pictures", out, "--fps", "5"], "--fps needs --movie"),
            (["--scale", "2"], "--scale needs --picture, --pictures or --movie"),
            (["--movie", out + ".avi"], "--movie needs an .mp4, .webm or .gif file"),
            (["--movie", out], "--movie needs an .mp4, .webm or .gif file"),
            (["--pictures", a_file], "is a file, not a folder"),
            (["--pictures", full], "already holds frames"),
            (["--picture", self.path("none/p.png")], "there is no folder"),
            (["--picture", full], "is a folder"),
        ]
        for arguments, message in cases:
            with self.subTest(arguments=arguments):
                result = run("--ticks", "5", *arguments)
                self.assertEqual(result.returncode, 2, result.stderr)
                self.assertIn(message, result.stderr)
                self.assertEqual(len(result.stderr.splitlines()), 2, result.stderr)
        result = run("--ticks", "5", "--movie", out + ".mp4", env=no_ffmpeg)
        self.assertEqual(result.returncode, 2, result.stderr)
        self.assertIn("ffmpeg", result.stderr.splitlines()[0])
        self.assertEqual(sorted(os.listdir(self.folder.name)), ["a.txt", "full"])
        self.assertEqual(os.listdir(full), ["frame000000.png"])

    def long_movie(self):
        """A long run recording a movie, and the pid of its ffmpeg once it runs."""
        process = subprocess.Popen([RUN, LIFE, "--set", "Width=64", "--set", "Height=64",
                                    "--ticks", "100000000", "--quiet", "--movie",
                                    self.path("life.mp4")], stderr=subprocess.PIPE, text=True)
        self.addCleanup(lambda: process.poll() is None and (process.kill(), process.wait()))
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            children = subprocess.run(["pgrep", "-P", str(process.pid)], capture_output=True,
                                      text=True).stdout.split()
            if children:
                time.sleep(0.5)
                return process, int(children[0])
            if process.poll() is not None:
                self.fail(process.stderr.read())
            time.sleep(0.05)
        self.fail("no ffmpeg was started")

    def test_a_failing_encoder_or_an_interrupt_leaves_no_movie(self):
        # ffmpeg killed: writing the next frames fails, and the run ends there.
        process, encoder = self.long_movie()
        os.kill(encoder, signal.SIGKILL)
        _, errors = process.communicate(timeout=60)
        self.assertEqual(process.returncode, 1, errors)
        self.assertIn("The encoder failed on", errors)
        self.assertEqual(len(errors.splitlines()), 1, errors)
        self.assertEqual(os.listdir(self.folder.name), [])

        process, encoder = self.long_movie()
        process.terminate()
        process.communicate(timeout=60)
        self.assertEqual(process.returncode, 128 + signal.SIGTERM)
        self.assertEqual(os.listdir(self.folder.name), [])

if __name__ == "__main__":
    unittest.main()
