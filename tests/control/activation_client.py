"""Client side of the activation test: run on a private session bus whose
services folder holds the activation file of the test server."""
import sys
import time

import dbus

NAME = "Tessra.FrontEnd"


def check(condition, what):
    if not condition:
        sys.exit("failed: " + what)


def wait_gone(daemon, name):
    for _ in range(100):
        if not daemon.NameHasOwner(name):
            return True
        time.sleep(0.05)
    return False


bus = dbus.SessionBus()
daemon = dbus.Interface(bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus"),
                        "org.freedesktop.DBus")
check(not daemon.NameHasOwner(NAME), "no instance runs before the first call")

first_proxy = bus.get_object(NAME, "/FrontEnd")  # activates the first instance
first = dbus.Interface(first_proxy, "Tessra.FrontEnd")
check(float(first.GetTick()) == 0.0, "typed call to the activated instance")
check(first.Invoke("SetParam", True, ["Density", 0.5]) == 1, "late-bound call")
check(first.GetParam("Density") == "0.5", "the value set is read back")
check(not daemon.NameHasOwner(NAME), "the name is released after the first call")

other_bus = dbus.SessionBus(private=True)
second_proxy = other_bus.get_object(NAME, "/FrontEnd")  # activates a second instance
second = dbus.Interface(second_proxy, "Tessra.FrontEnd")
check(second_proxy.bus_name != first_proxy.bus_name, "the next client gets a new instance")
check(second.AboutModel("name") == "Life", "call to the second instance")

intruder = dbus.Interface(other_bus.get_object(first_proxy.bus_name, "/FrontEnd"), "Tessra.FrontEnd")
try:
    intruder.GetTick()
    check(False, "another client is refused")
except dbus.DBusException as error:
    check(error.get_dbus_name() == "Tessra.Error.AccessDenied", "refused with AccessDenied")

first.Release()
check(wait_gone(daemon, first_proxy.bus_name), "Release ends the first instance")
second_name = second_proxy.bus_name
other_bus.close()
check(wait_gone(daemon, second_name), "a closed client connection ends the second instance")
print("activation ok")
