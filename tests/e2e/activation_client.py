"""Client side of the activation tests of the real program: runs on a private
session bus whose services folder holds tessra's activation file (written by
tessra /regserver).

    activation_client.py LIFE inturn          two scripts, the second after the first is served
    activation_client.py LIFE hubgone         the same, then the first instance is killed
    activation_client.py LIFE clients N DELAY N scripts, each started DELAY s after the last
    activation_client.py LIFE client I        one of those scripts (started by the above)

LIFE is the Life example's model.so. Every script calls the well-known name
(odd ones method by method, even ones through a dbus-python proxy), sets its
own Width, builds its world and reads its own values back."""
import os
import signal
import subprocess
import sys
import time

import dbus
import dbus.lowlevel

NAME = "Tessra.FrontEnd"
PATH = "/FrontEnd"
INTERFACE = "Tessra.FrontEnd"
WAIT = 120


def check(condition, what):
    if not condition:
        sys.exit("failed: " + what)


def eventually(condition, seconds=60):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


def parent_of(pid):
    with open("/proc/%d/stat" % pid) as f:
        return int(f.read().rsplit(")", 1)[1].split()[1])


def tessra_processes(daemon):
    """The instance that owns the name and the tessra processes it started."""
    hub = int(daemon.GetConnectionUnixProcessID(daemon.GetNameOwner(NAME)))
    found = [hub]
    for pid in map(int, filter(str.isdigit, os.listdir("/proc"))):
        try:
            if (os.path.basename(os.readlink("/proc/%d/exe" % pid)) == "tessra"
                    and parent_of(pid) == hub):
                found.append(pid)
        except OSError:
            pass  # ended meanwhile
    return found


def private_names(daemon):
    return [name for name in daemon.ListNames() if name.startswith(NAME + ".p")]


class Script:
    """One script's calls: through a proxy, or by the well-known name each time."""

    def __init__(self, bus, by_name):
        self.bus = bus
        self.proxy = None if by_name else dbus.Interface(bus.get_object(NAME, PATH), INTERFACE)

    def __call__(self, method, *arguments):
        if self.proxy:
            return getattr(self.proxy, method)(*arguments, timeout=WAIT)
        message = dbus.lowlevel.MethodCallMessage(NAME, PATH, INTERFACE, method)
        if arguments:
            message.append(signature="s" * len(arguments), *arguments)
        answer = self.bus.send_message_with_reply_and_block(message, WAIT).get_args_list()
        return answer[0] if len(answer) == 1 else answer

    def build(self, life, width):
        # Started by the bus, not in a model's folder: no model is loaded yet.
        check(self("LoadModel", life) == 1, "LoadModel")
        check(self("SetParam", "Width", str(width)) == 1, "SetParam Width")
        self("SimNew")

    def check_own(self, width):
        check(tuple(self("GetWorldSize")) == (width, 128), "its own world: %d" % width)
        check(self("GetParam", "Width") == str(width), "its own Width: %d" % width)
        check(float(self("GetTick")) == 0.0, "its own tick")


def refused(bus, name):
    try:
        bus.call_blocking(name, PATH, INTERFACE, "GetTick", "", ())
    except dbus.DBusException as error:
        return error.get_dbus_name() == "Tessra.Error.AccessDenied"
    return False


def all_ended(daemon, processes):
    check(eventually(lambda: not any(os.path.exists("/proc/%d" % pid) for pid in processes)),
          "no tessra is left")
    check(not daemon.NameHasOwner(NAME) and not private_names(daemon), "every name is given up")


def in_turn(life, daemon):
    first_bus = dbus.SessionBus(private=True)
    first = Script(first_bus, by_name=False)
    first.build(life, 40)
    hub = first.proxy.bus_name
    second_bus = dbus.SessionBus(private=True)
    second = Script(second_bus, by_name=True)
    second.build(life, 50)
    first.check_own(40)
    second.check_own(50)
    check(daemon.GetNameOwner(NAME) == hub, "the first instance keeps the name")
    processes = tessra_processes(daemon)
    check(len(processes) == 2, "the second script is served by an instance of its own")
    check(refused(first_bus, private_names(daemon)[0]), "the private instance serves its hub only")
    first("Release")
    second("SimStep")  # the hub lives on for the second script
    check(float(second("GetTick")) == 1.0, "the second script is still served")
    check(tuple(second("GetWorldSize")) == (50, 128), "by the same instance")
    second_bus.close()
    all_ended(daemon, processes)


def hub_gone(life, daemon):
    first = Script(dbus.SessionBus(private=True), by_name=False)
    first.build(life, 40)
    second = Script(dbus.SessionBus(private=True), by_name=True)
    second.build(life, 50)
    processes = tessra_processes(daemon)
    check(len(processes) == 2, "two instances")
    os.kill(processes[0], signal.SIGKILL)  # the hub dies
    all_ended(daemon, processes)  # its private instance ends by itself


def clients(life, bus, daemon, count, delay):
    here = os.path.abspath(__file__)
    scripts = [subprocess.Popen([sys.executable, here, life, "client", str(i)],
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
               for i in range(count)]

    def tell_all(word, pause=0.0):
        for script in scripts:
            script.stdin.write(word + "\n")
            script.stdin.flush()
            time.sleep(pause)

    def hear_all(word):
        for i, script in enumerate(scripts):
            check(script.stdout.readline().strip() == word, "script %d says %s" % (i, word))

    hear_all("connected")
    tell_all("go", delay)  # all at once, or one every `delay` seconds
    hear_all("built")
    processes = tessra_processes(daemon)
    check(len(processes) == count, "one instance per script")
    check(len(private_names(daemon)) == count - 1, "all but one served through the first")
    check(refused(bus, private_names(daemon)[0]), "a private instance serves its hub only")
    tell_all("check")
    hear_all("checked")
    for i, script in enumerate(scripts):  # one ending at a time; the others go on
        script.stdin.write("end\n")
        script.stdin.flush()
        check(script.wait(timeout=WAIT) == 0, "script %d ended well" % i)
        for later in scripts[i + 1:]:
            later.stdin.write("check\n")
            later.stdin.flush()
            check(later.stdout.readline().strip() == "checked", "still served")
    all_ended(daemon, processes)


def client(life, index):
    bus = dbus.SessionBus(private=True)
    print("connected", flush=True)
    width = 20 + index
    check(sys.stdin.readline().strip() == "go", "told to go")
    script = Script(bus, by_name=index % 2 == 1)
    script.build(life, width)
    print("built", flush=True)
    for line in sys.stdin:
        if line.strip() == "check":
            script.check_own(width)
            print("checked", flush=True)
        elif line.strip() == "end":
            break
    if index % 2 == 0:
        script("Release")  # the others just close their connection


def main():
    life, mode = sys.argv[1], sys.argv[2]
    if mode == "client":
        client(life, int(sys.argv[3]))
        return
    bus = dbus.SessionBus()
    daemon = dbus.Interface(bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus"),
                            "org.freedesktop.DBus")
    check(not daemon.NameHasOwner(NAME), "no instance runs before the first call")
    if mode == "inturn":
        in_turn(life, daemon)
    elif mode == "hubgone":
        hub_gone(life, daemon)
    else:
        clients(life, bus, daemon, int(sys.argv[3]), float(sys.argv[4]))
    print("activation ok")


if __name__ == "__main__":
    main()
