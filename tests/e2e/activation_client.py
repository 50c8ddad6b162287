"""Client side of the activation test of the real program: runs on a private
session bus whose services folder holds tessra's activation file (written by
tessra /regserver). Argument: the Life example's model.so."""
import os
import sys
import time

import dbus

NAME = "Tessra.FrontEnd"
INTERFACE = "Tessra.FrontEnd"
WAIT = 120


def check(condition, what):
    if not condition:
        sys.exit("failed: " + what)


def wait_gone(daemon, name):
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        if not daemon.NameHasOwner(name):
            return True
        time.sleep(0.05)
    return False


life = sys.argv[1]
bus = dbus.SessionBus()
daemon = dbus.Interface(bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus"),
                        "org.freedesktop.DBus")
check(not daemon.NameHasOwner(NAME), "no instance runs before the first call")

first_proxy = bus.get_object(NAME, "/FrontEnd")  # the bus starts the first instance
first = dbus.Interface(first_proxy, INTERFACE)
# Started by the bus, not in a model's folder: the first load fails quietly.
check(first.GetLoadModelErr() != "", "no ./model.so where the bus starts the program")
check(first.LoadModel(life, timeout=WAIT) == 1, "LoadModel in the activated instance")
check(first.AboutModel("name") == "Life", "the model answers")
check(not daemon.NameHasOwner(NAME) or daemon.GetNameOwner(NAME) != first_proxy.bus_name,
      "the first instance has given up the name")

other_bus = dbus.SessionBus(private=True)
second_proxy = other_bus.get_object(NAME, "/FrontEnd")  # a second instance
second = dbus.Interface(second_proxy, INTERFACE)
check(second_proxy.bus_name != first_proxy.bus_name, "the next client gets a new instance")
check(float(second.GetTick()) == 0.0, "call to the second instance")

intruder = dbus.Interface(other_bus.get_object(first_proxy.bus_name, "/FrontEnd"), INTERFACE)
try:
    intruder.GetTick()
    check(False, "another client is refused")
except dbus.DBusException as error:
    check(error.get_dbus_name() == "Tessra.Error.AccessDenied", "refused with AccessDenied")

first.Release()
check(wait_gone(daemon, first_proxy.bus_name), "Release ends the first instance")
second_name = second_proxy.bus_name
other_bus.close()
check(wait_gone(daemon, second_name), "a closed connection ends the second instance")
print("activation ok")
