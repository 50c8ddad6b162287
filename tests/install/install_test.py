#!/usr/bin/python3
"""The installed Tessra, tried as a user gets it.

InstalledTree installs the build folder into a temporary prefix with
`cmake --install`; DebianPackage builds the package with CPack, lists it and
unpacks it into a temporary root. Each then runs both installed programs with
no LD_LIBRARY_PATH, starts tessra as its desktop entry says (in the Life
model's folder), lets the installed D-Bus service file start it on a bus of
its own, and validates the desktop entry and the metainfo.

Paths come from the environment: TESSRA_BINARY_DIR, TESSRA_SOURCE_DIR,
TESSRA_VERSION, TESSRA_CMAKE, TESSRA_CPACK. ctest runs it under
dbus-run-session.
"""
import configparser
import glob
import os
import shlex
import subprocess
import sys
import tempfile
import textwrap
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from tessra_process import end_after_client  # noqa: E402

BINARY_DIR = os.environ["TESSRA_BINARY_DIR"]
SOURCE_DIR = os.environ["TESSRA_SOURCE_DIR"]
VERSION = os.environ["TESSRA_VERSION"]
APP_ID = "org.tessra.Tessra"
MODELS = ("life", "grayscott", "forestfire")
WAIT = 120


def clean_environment(**extra):
    """The environment of a user's session: nothing points into the build."""
    env = {k: v for k, v in os.environ.items() if k not in ("LD_LIBRARY_PATH", "LD_PRELOAD")}
    env.update(extra)
    return env


def run(arguments, **options):
    options.setdefault("env", clean_environment())
    return subprocess.run(arguments, capture_output=True, text=True, timeout=WAIT, **options)


def data_lines(text):
    return [line for line in text.splitlines() if line and not line.startswith("#")]


def service_quoted(path):
    """A path as the D-Bus daemon reads it on an Exec line."""
    plain = all(c.isalnum() or c in "/._+,:@=-" for c in path)
    return path if plain else "'" + path.replace("'", "'\\''") + "'"


def desktop_entry(path):
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read(path)
    return parser["Desktop Entry"]


class InstalledProgram:
    """Checks of one installed tree: `root` is where its files are found and
    `prefix` the prefix the files name (the same for an installed tree, /usr
    for the package, whose files are found under the unpacked root)."""

    def check_layout(self, root, prefix):
        def present(relative):
            path = os.path.join(root, relative)
            self.assertTrue(os.path.isfile(path), "missing " + relative)
            return path

        present("bin/tessra")
        present("bin/tessra-run")
        library = present("lib/libTessraAPI.so.1")
        self.assertTrue(os.path.islink(library), "the soname links to the versioned library")
        self.assertEqual(os.path.basename(os.path.realpath(library)), "libTessraAPI.so." + VERSION)
        for name in MODELS:
            folder = "share/tessra/models/" + name
            for f in ("model.so", "default.ini", "help/index.html"):
                present(folder + "/" + f)
        for page in glob.glob(os.path.join(SOURCE_DIR, "help", "*.html")):
            present("share/tessra/help/" + os.path.basename(page))
        present("share/icons/hicolor/scalable/apps/%s.svg" % APP_ID)
        present("share/man/man1/tessra.1")
        present("share/man/man1/tessra-run.1")
        # The model SDK, for models built outside this tree.
        present("include/tessra/model.hpp")
        present("lib/cmake/Tessra/TessraConfig.cmake")
        present("lib/cmake/Tessra/TessraModel.cmake")

        for program in ("tessra", "tessra-run"):
            dynamic = run(["readelf", "-d", os.path.join(root, "bin", program)]).stdout
            self.assertIn("[$ORIGIN/../lib]", dynamic, program + " finds its library beside it")
            self.assertIn("[libTessraAPI.so.1]", dynamic)

        entry_path = present("share/applications/%s.desktop" % APP_ID)
        entry = desktop_entry(entry_path)
        program = os.path.join(prefix, "bin", "tessra")
        self.assertEqual(shlex.split(entry["Exec"]), [program, "%f"])
        self.assertEqual(entry["TryExec"], program)
        self.assertEqual(entry["Path"], os.path.join(prefix, "share/tessra/models/life"))
        self.assertEqual(entry["Icon"], APP_ID)
        validated = run(["desktop-file-validate", entry_path])
        self.assertEqual((validated.returncode, validated.stdout), (0, ""), validated.stderr)

        metainfo = present("share/metainfo/%s.metainfo.xml" % APP_ID)
        with open(metainfo) as f:
            text = f.read()
        self.assertIn('<release version="%s"' % VERSION, text)
        self.assertIn("<launchable type=\"desktop-id\">%s.desktop</launchable>" % APP_ID, text)
        validated = run(["appstreamcli", "validate", "--no-net", "--strict", metainfo])
        self.assertEqual(validated.returncode, 0, validated.stdout + validated.stderr)

        with open(present("share/dbus-1/services/Tessra.FrontEnd.service")) as f:
            self.assertEqual(f.read(), "[D-BUS Service]\nName=Tessra.FrontEnd\nExec=%s /embedding\n"
                             % service_quoted(program))

    def check_tessra_run(self, root):
        life = os.path.join(root, "share/tessra/models/life/model.so")
        result = run([os.path.join(root, "bin/tessra-run"), life, "--ticks", "10",
                      "--series", "Average Alive", "--quiet"])
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = data_lines(result.stdout)
        self.assertEqual([line.split("\t")[0] for line in lines], [str(t) for t in range(11)])
        # The Life folder's default.ini: a 128 x 128 world, 30 % alive at first.
        self.assertIn("#\t\tWidth = 128", result.stdout)
        self.assertAlmostEqual(float(lines[0].split("\t")[1]), 0.3, delta=0.02)

    def check_desktop_start(self, root, entry_root):
        """Starts tessra as the desktop entry does: its Exec in its Path, with
        /automation added so that this test can ask what it loaded."""
        import dbus

        entry = desktop_entry(os.path.join(entry_root, "share/applications/%s.desktop" % APP_ID))
        program = os.path.join(root, os.path.relpath(shlex.split(entry["Exec"])[0], self.prefix))
        folder = os.path.join(root, os.path.relpath(entry["Path"], self.prefix))
        log = tempfile.TemporaryFile(mode="w+")
        self.addCleanup(log.close)
        tessra = subprocess.Popen([program, "/automation"], cwd=folder, stdout=log,
                                  stderr=subprocess.STDOUT, env=clean_environment())
        self.addCleanup(end_after_client, tessra)
        bus = dbus.SessionBus(private=True)
        self.addCleanup(bus.close)
        daemon = dbus.Interface(bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus"),
                                "org.freedesktop.DBus")
        deadline = time.monotonic() + WAIT
        while not daemon.NameHasOwner("Tessra.FrontEnd"):
            if tessra.poll() is not None:
                log.seek(0)
                self.fail("tessra ended at start: " + log.read())
            self.assertLess(time.monotonic(), deadline, "tessra offered no automation object")
            time.sleep(0.05)
        front = dbus.Interface(bus.get_object(daemon.GetNameOwner("Tessra.FrontEnd"), "/FrontEnd"),
                               "Tessra.FrontEnd")
        self.assertEqual(front.GetLoadModelErr(), "", "./model.so of the Life folder loaded")
        self.assertEqual(front.AboutModel("name"), "Life")
        self.assertEqual(front.GetParam("Width"), "128", "the folder's default.ini applied")
        self.assertEqual(front.GetParam("Density"), "0.3")
        front.SimStep()
        self.assertEqual(float(front.GetTick()), 1.0)
        front.Release()
        self.assertEqual(tessra.wait(30), 0)

    def check_activation(self, root):
        """A bus whose only services folder is the installed one starts the
        installed program for a script's call."""
        services = os.path.join(root, "share/dbus-1/services")
        config = os.path.join(self.work, "session.conf")
        with open(config, "w") as f:
            f.write(textwrap.dedent("""\
                <!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
                 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
                <busconfig>
                  <type>session</type>
                  <listen>unix:tmpdir=/tmp</listen>
                  <servicedir>%s</servicedir>
                  <policy context="default">
                    <allow send_destination="*" eavesdrop="true"/>
                    <allow eavesdrop="true"/>
                    <allow own="*"/>
                  </policy>
                </busconfig>
                """) % services)
        client = textwrap.dedent("""\
            import sys
            import dbus
            front = dbus.Interface(dbus.SessionBus().get_object("Tessra.FrontEnd", "/FrontEnd"),
                                   "Tessra.FrontEnd")
            assert front.LoadModel(sys.argv[1], timeout=120) == 1, front.GetLoadModelErr()
            print(front.AboutModel("name"), front.GetParam("Width"))
            front.Release()
            """)
        life = os.path.join(root, "share/tessra/models/life/model.so")
        result = run(["dbus-run-session", "--config-file=" + config, "--",
                      "/usr/bin/python3", "-c", client, life],
                     env=clean_environment(XDG_DATA_HOME=os.path.join(self.work, "data")))
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(result.stdout, "Life 128\n")


class InstalledTree(InstalledProgram, unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory(prefix="tessra install ")
        self.addCleanup(folder.cleanup)
        self.work = folder.name
        # A blank in the prefix: the installed files must quote what they name.
        self.prefix = os.path.join(self.work, "my prefix")

    def test_cmake_install_gives_a_working_program(self):
        result = run([os.environ["TESSRA_CMAKE"], "--install", BINARY_DIR, "--prefix", self.prefix])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.check_layout(self.prefix, self.prefix)
        self.check_tessra_run(self.prefix)
        self.check_desktop_start(self.prefix, self.prefix)
        self.check_activation(self.prefix)


class DebianPackage(InstalledProgram, unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory(prefix="tessra-package-")
        self.addCleanup(folder.cleanup)
        self.work = folder.name
        self.prefix = "/usr"

    def test_package_builds_lists_and_runs_unpacked(self):
        result = run([os.environ["TESSRA_CPACK"], "-G", "DEB", "-B", self.work,
                      "--config", os.path.join(BINARY_DIR, "CPackConfig.cmake")])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        architecture = run(["dpkg", "--print-architecture"]).stdout.strip()
        package = os.path.join(self.work, "tessra_%s_%s.deb" % (VERSION, architecture))
        self.assertTrue(os.path.isfile(package), os.listdir(self.work))

        fields = run(["dpkg-deb", "-f", package, "Package", "Version", "Architecture",
                      "Depends"]).stdout
        self.assertIn("Package: tessra\n", fields)
        self.assertIn("Version: %s\n" % VERSION, fields)
        # Computed from the binaries: Qt's libraries and the C++ library.
        for dependency in ("libqt6widgets6", "libqt6dbus6", "libstdc++6", "libc6"):
            self.assertIn(dependency, fields)
        self.assertNotIn("libTessraAPI", fields, "the package brings its own library")

        listing = run(["dpkg-deb", "-c", package])
        self.assertEqual(listing.returncode, 0, listing.stderr)
        names = {line.split()[5] for line in listing.stdout.splitlines()}
        for path in ("./usr/bin/tessra", "./usr/bin/tessra-run", "./usr/lib/libTessraAPI.so.1",
                     "./usr/share/tessra/models/life/model.so",
                     "./usr/share/applications/%s.desktop" % APP_ID,
                     "./usr/share/dbus-1/services/Tessra.FrontEnd.service"):
            self.assertIn(path, names)

        root = os.path.join(self.work, "root")
        unpacked = run(["dpkg-deb", "-x", package, root])
        self.assertEqual(unpacked.returncode, 0, unpacked.stderr)
        usr = os.path.join(root, "usr")
        self.check_layout(usr, self.prefix)
        self.check_tessra_run(usr)
        self.check_desktop_start(usr, usr)
        # The unpacked service file names /usr/bin/tessra; the bus starts the
        # unpacked program through a copy that names it where it lies.
        services = os.path.join(self.work, "share/dbus-1/services")
        os.makedirs(services)
        with open(os.path.join(usr, "share/dbus-1/services/Tessra.FrontEnd.service")) as f:
            text = f.read().replace("/usr/bin/tessra", os.path.join(usr, "bin/tessra"))
        with open(os.path.join(services, "Tessra.FrontEnd.service"), "w") as f:
            f.write(text)
        os.symlink(os.path.join(usr, "share/tessra"), os.path.join(self.work, "share/tessra"))
        self.check_activation(self.work)


if __name__ == "__main__":
    unittest.main()
