#!/usr/bin/python3
"""Drive Tessra through its D-Bus automation interface.

Loads a model, sets its parameters, adds a stop condition and two time
series, runs the simulation until the condition holds and exports the
recorded series as a tab-separated file.

    /usr/bin/python3 automation.py MODEL.so [--output FILE] [--ticks N]

Written for the Life example model (parameters Width, Height, Density; state
Alive). Tessra must be registered once with "tessra /regserver" so that the
bus can start it; an instance already started with "tessra /automation"
serves as well.
"""
import argparse
import os
import sys

import dbus

# Waiting calls (LoadModel, SimNew, SimRunWait, TimeSeriesExport) answer when
# the work is done. The D-Bus libraries give up after 25 seconds by default,
# so give them a timeout that outlasts any run: a week, in seconds.
WAIT = 7 * 24 * 3600


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("model", help="path of the model library (model.so)")
    parser.add_argument("--output", default="life.txt", help="export file (default: life.txt)")
    parser.add_argument("--ticks", type=int, default=200, help="ticks to run (default: 200)")
    parser.add_argument("--bus-name", default="Tessra.FrontEnd", help=argparse.SUPPRESS)
    args = parser.parse_args()

    bus = dbus.SessionBus()
    # Starts a new Tessra instance when none is waiting for a client. The
    # proxy keeps talking to that instance, which serves only this script.
    tessra = dbus.Interface(bus.get_object(args.bus_name, "/FrontEnd"), "Tessra.FrontEnd")
    try:
        if not tessra.LoadModel(os.path.abspath(args.model), timeout=WAIT):
            sys.exit("Cannot load the model: " + tessra.GetLoadModelErr())
        print("Model:", tessra.AboutModel("name"), tessra.AboutModel("version"))

        # Values are texts in the number format of Tessra's locale; whole
        # numbers read the same everywhere.
        for name, value in (("Width", "64"), ("Height", "64")):
            if not tessra.SetParam(name, value):
                sys.exit("Cannot set " + name)
        # The late-bound Invoke converts a number to text in Tessra's own
        # locale, so a fraction is safe in any locale.
        if not tessra.Invoke("SetParam", True, ["Density", dbus.Double(0.25)]):
            sys.exit("Cannot set Density")

        # Series chosen before SimNew get their first sample at tick 0.
        tessra.TimeSeriesRemoveAll()
        for series in ("Average Alive", "Parameter Density"):
            if not tessra.TimeSeriesAdd(series):
                sys.exit("Cannot add the series " + series)
        tessra.SimNew(timeout=WAIT)

        tessra.StopIfRemoveAll()
        if not tessra.StopIfAdd("Tick >= %d" % args.ticks):
            sys.exit("Cannot add the stop condition")

        tessra.SimRunWait(timeout=WAIT)
        print("Stopped at tick", float(tessra.GetTick()))
        print("Cell (0, 0) alive:", tessra.GetState(0, 0, "Alive"))

        if not tessra.TimeSeriesExport(os.path.abspath(args.output), "", timeout=WAIT):
            sys.exit("Export failed")
        print("Series written to", args.output)
    except dbus.DBusException as error:
        # Tessra.Error.Exception and the other call errors
        sys.exit("%s: %s" % (error.get_dbus_name(), error.get_dbus_message()))
    finally:
        try:
            tessra.Release()  # the instance quits now
        except dbus.DBusException:
            pass


if __name__ == "__main__":
    main()
