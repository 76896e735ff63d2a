#!/usr/bin/env python3
"""Ravlin from Python through ctypes: opens a serial port, reads the
device's serial number and its coin event buffer, and prints them, as
read_device.c does.

    read_device.py [--library PATH] [PORT [ADDRESS]]

--library names libRavlin.so.1 when it is not where the dynamic linker
looks (libPontel.so.1 is then taken from the same folder)."""
import argparse
import ctypes
import ctypes.util
import os
import sys

PortHandle = ctypes.c_int32
PortRef = ctypes.POINTER(PortHandle)


def load(library):
    if library is None:
        library = ctypes.util.find_library("Ravlin") or "libRavlin.so.1"
        pontel = ctypes.util.find_library("Pontel") or "libPontel.so.1"
    else:
        pontel = os.path.join(os.path.dirname(os.path.abspath(library)), "libPontel.so.1")
    ravlin = ctypes.CDLL(library)
    pontel = ctypes.CDLL(pontel)

    pontel.ComInit.restype = PortHandle
    pontel.ComInit.argtypes = [ctypes.c_uint8] + [ctypes.c_int32] * 9
    pontel.CloseCom.restype = ctypes.c_uint8
    pontel.CloseCom.argtypes = [PortRef]
    ravlin.CCGet_Serial_Number.restype = ctypes.c_int32
    ravlin.CCGet_Serial_Number.argtypes = [PortRef, ctypes.c_uint8]
    ravlin.CCGet_Buffer.restype = None
    ravlin.CCGet_Buffer.argtypes = [PortRef, ctypes.c_uint8, ctypes.POINTER(ctypes.c_uint8)]
    return ravlin, pontel


def main():
    parser = argparse.ArgumentParser(description="Reads a ccTalk device's serial number and event buffer.")
    parser.add_argument("--library", help="path of libRavlin.so.1")
    parser.add_argument("port", nargs="?", type=int, default=1, choices=range(1, 10), metavar="PORT")
    parser.add_argument("address", nargs="?", type=int, default=0, choices=range(256), metavar="ADDRESS")
    args = parser.parse_args()
    ravlin, pontel = load(args.library)

    # 9600 baud, 8N1; read time-outs of 200 ms between bytes, 200 ms a byte
    # plus 3 s a read.
    port = PortHandle(pontel.ComInit(args.port, 9600, 8, 0, 1, 200, 200, 3000, 0, 0))
    if port.value == -1:
        sys.exit(f"Com{args.port} does not open")
    try:
        serial = ravlin.CCGet_Serial_Number(ctypes.byref(port), args.address)
        if serial == -1:
            sys.exit(f"no answer from address {args.address} on Com{args.port}")
        print(f"Com{args.port}, address {args.address}: serial number {serial}")

        # A counter, then five (result A, result B) pairs, newest first; the
        # library writes only what the device sent.
        events = (ctypes.c_uint8 * 254)()
        ravlin.CCGet_Buffer(ctypes.byref(port), args.address, events)
        print(f"event counter {events[0]}")
        for k in range(1, 6):
            print(f"  event {k}: result A {events[2 * k - 1]:3}, result B {events[2 * k]:3}")
    finally:
        pontel.CloseCom(ctypes.byref(port))


if __name__ == "__main__":
    main()
