#!/usr/bin/python3
"""The model examples of the "Writing a model" help page, built as the page
shows them: the SDK of this build tree installed into a private prefix, the
C++ example with the page's CMakeLists.txt, the C example with a CMakeLists.txt
of the same form, then each model run for a few ticks by tessra-run.

    help_models_test.py BUILD_DIR SOURCE_DIR WORK_DIR TESSRA_RUN
"""
import html
import os
import re
import shutil
import subprocess
import sys

build_dir, source_dir, work_dir, runner = sys.argv[1:5]


def run(*command, cwd=None):
    result = subprocess.run(command, cwd=cwd, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit("Failed (%d): %s\n%s%s" % (result.returncode, " ".join(command), result.stdout,
                                            result.stderr))
    return result.stdout


with open(os.path.join(source_dir, "help", "models.html"), encoding="utf-8") as f:
    page = f.read()
blocks = [html.unescape(block) for block in re.findall(r"<pre>(.*?)</pre>", page, re.S)]


def block(start):
    found = [b for b in blocks if b.startswith(start)]
    if len(found) != 1:
        sys.exit("models.html: %d blocks start with %r" % (len(found), start))
    return found[0] + "\n"


shutil.rmtree(work_dir, ignore_errors=True)
prefix = os.path.join(work_dir, "prefix")
run("cmake", "--install", build_dir, "--prefix", prefix, "--component", "sdk")

# The C++ example, with the page's four-line CMakeLists.txt and the default.ini
# and help folder it names.
majority = os.path.join(work_dir, "majority")
os.makedirs(os.path.join(majority, "help"))
with open(os.path.join(majority, "Majority.cpp"), "w") as f:
    f.write(block("// Majority vote"))
with open(os.path.join(majority, "CMakeLists.txt"), "w") as f:
    f.write(block("cmake_minimum_required"))
with open(os.path.join(majority, "default.ini"), "w") as f:
    f.write("[Parameters]\n")
with open(os.path.join(majority, "help", "index.html"), "w") as f:
    f.write("<p>Majority</p>\n")

# The C example, built the same way.
blink = os.path.join(work_dir, "blink")
os.makedirs(blink)
with open(os.path.join(blink, "Blink.c"), "w") as f:
    f.write(block("#include <tessra/model.h>"))
with open(os.path.join(blink, "CMakeLists.txt"), "w") as f:
    f.write("cmake_minimum_required(VERSION 3.25)\nproject(Blink C)\n"
            "find_package(Tessra REQUIRED)\ntessra_add_model(NAME blink SOURCES Blink.c)\n")

for project, name, series in ((majority, "majority", None), (blink, "blink", "Average On")):
    build = os.path.join(project, "build")
    # The page's commands; only the installed prefix is known to the project.
    run("cmake", "-S", ".", "-B", "build", "-DCMAKE_PREFIX_PATH=" + prefix, cwd=project)
    run("cmake", "--build", "build", cwd=project)
    model = os.path.join(build, "models", name, "model.so")
    if not os.path.exists(model):
        sys.exit("no " + model)
    arguments = [runner, model, "--ticks", "3", "--quiet"]
    if series:
        arguments += ["--series", series]
    output = run(*arguments)
    if series:
        rows = [line.split("\t") for line in output.splitlines()
                if line and not line.startswith("#")]
        # Blink: half the sites on, all of them flipping every step.
        if [row[0] for row in rows] != ["0", "1", "2", "3"]:
            sys.exit("blink ran to the wrong ticks:\n" + output)
    print(name, "built and ran")
